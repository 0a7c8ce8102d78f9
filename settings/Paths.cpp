#include "settings/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace flikka::paths {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGame = "flikka";
constexpr const char* kHint = " Set FLIKKA_DATA to the folder that holds gfx/.";

Locations gCurrent{Layout::Portable, "", "config", ""};
bool gSettingsDirMade = false;

std::string join(const std::string& dir, const std::string& name) {
    return dir.empty() ? name : (fs::path(dir) / name).string();
}

bool holdsData(const fs::path& dir) {
    std::error_code ec;
    return fs::is_directory(dir / "gfx", ec);
}

// An XDG base folder counts only when set, not empty and absolute; otherwise its default applies.
std::optional<fs::path> baseFolder(const std::optional<std::string>& xdg, const std::optional<std::string>& home,
                                   const char* underHome) {
    if (xdg && !xdg->empty() && fs::path(*xdg).is_absolute()) return fs::path(*xdg);
    if (home && !home->empty()) return fs::path(*home) / underHome;
    return std::nullopt;
}

std::optional<std::string> variable(const char* name) {
    const char* v = std::getenv(name);
    if (v == nullptr) return std::nullopt;
    return std::string(v);
}

}  // namespace

std::string dataFile(const std::string& relative) { return join(gCurrent.dataDir, relative); }

std::string settingsFile(const std::string& name) {
    if (gCurrent.layout == Layout::Installed && !gSettingsDirMade) {
        // A failure shows later as the save's own error, which names the file.
        std::error_code ec;
        fs::create_directories(gCurrent.settingsDir, ec);
        gSettingsDirMade = !ec;
    }
    return join(gCurrent.settingsDir, name);
}

std::string userDataFile(const std::string& relative) {
    const std::string path = join(gCurrent.userDataDir, relative);
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) {
        std::error_code ec;
        fs::create_directories(parent, ec);  // as above: the writer reports what it cannot open
    }
    return path;
}

Search locate(const Environment& env) {
    const fs::path cwd = env.workingDir.empty() ? fs::path(".") : fs::path(env.workingDir);
    if (holdsData(cwd)) return {Locations{Layout::Portable, "", "config", ""}, ""};

    const std::string looked = "Cannot find the game's data (a folder holding gfx/). Looked in the working directory " +
                               cwd.string();
    fs::path data;
    if (env.flikkaData && !env.flikkaData->empty()) {
        // Asked for by name: never fall back to another copy behind the player's back.
        data = (cwd / *env.flikkaData).lexically_normal();
        if (!holdsData(data)) return {std::nullopt, looked + " and in " + data.string() + " (FLIKKA_DATA)."};
    } else if (env.executable.empty()) {
        return {std::nullopt, looked + "; where the program itself lies is unknown." + kHint};
    } else {
        data = (fs::path(env.executable).parent_path() / ".." / "share" / kGame).lexically_normal();
        if (!holdsData(data)) {
            return {std::nullopt, looked + " and in " + data.string() + " (beside the program " + env.executable +
                                      ")." + kHint};
        }
    }

    const auto config = baseFolder(env.xdgConfigHome, env.home, ".config");
    const auto share = baseFolder(env.xdgDataHome, env.home, ".local/share");
    if (!config || !share) {
        return {std::nullopt, "Cannot find a folder for the settings: neither XDG_CONFIG_HOME nor HOME is set."};
    }
    return {Locations{Layout::Installed, data.string(), (*config / kGame).string(), (*share / kGame).string()}, ""};
}

Environment processEnvironment(const char* argv0) {
    Environment env;
    std::error_code ec;
    env.workingDir = fs::current_path(ec).string();
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        env.executable = self.string();
    } else if (argv0 != nullptr && std::string(argv0).find('/') != std::string::npos) {
        env.executable = fs::weakly_canonical(fs::absolute(argv0, ec), ec).string();
    }
    env.flikkaData = variable("FLIKKA_DATA");
    env.xdgConfigHome = variable("XDG_CONFIG_HOME");
    env.xdgDataHome = variable("XDG_DATA_HOME");
    env.home = variable("HOME");
    if (!env.home || env.home->empty()) {
        // A service or a bare `env -i` start has no HOME; the password database still knows it.
        if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) env.home = pw->pw_dir;
    }
    return env;
}

void use(const Locations& where) {
    gCurrent = where;
    gSettingsDirMade = false;
}

const Locations& current() { return gCurrent; }

}  // namespace flikka::paths
