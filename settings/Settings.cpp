#include "settings/Settings.h"

#include <cstring>
#include <string>
#include <utility>

#include "settings/ParameterFile.h"
#include "settings/SafeFile.h"
#include "sim/FlikkaException.h"

namespace flikka {

using parameter_file::appendParameter;
using parameter_file::boolText;
using parameter_file::parseInt;

namespace {

constexpr const char* kWriteError = "Cannot open configuration file for writing";
// No window or screen is larger than this in either direction.
constexpr int kMaxResolution = 16384;

safe_file::UnusableFileKeeper g_keeper;

bool validResolution(int v) { return v > 0 && v <= kMaxResolution; }

// Reads one parameter into s; false when the file must be discarded as a whole.
bool readParameter(const char* name, const char* value, Settings& s) {
    struct KeyName {
        const char* name;
        int slot;
    };
    static constexpr KeyName kKeys[] = {
        {"key_shoot", 4}, {"key_pass", 5}, {"key_thru", 7},  {"key_switch", 9}, {"key_cross", 6},
        {"key_left", 0},  {"key_right", 1}, {"key_up", 2},   {"key_down", 3},
    };

    const std::string n = name;
    const std::string v = value;
    if (n == "v_res" && !(parseInt(value, s.vRes) && validResolution(s.vRes))) return false;
    if (n == "h_res" && !(parseInt(value, s.hRes) && validResolution(s.hRes))) return false;
    if (n == "color_depth" && !parseInt(value, s.colorDepth)) return false;
    if (n == "fullscreen") {
        if (v == "true") s.fullscreen = true;
        else if (v == "false") s.fullscreen = false;
        else return false;
    }
    if (n == "radar") s.radar = v == "true";
    if (n == "debug_info") s.debugInfo = v == "true";
    for (const KeyName& k : kKeys) {
        int code = 0;
        if (n == k.name && parseInt(value, code)) s.keys[k.slot] = code;
    }
    return true;
}

}  // namespace

void Settings::resetToDefaults() { *this = Settings{}; }

Settings& settings() {
    static Settings record;
    return record;
}

bool settingsFileWasUnreadable() { return g_keeper.unusable(); }

bool loadSettings(const std::string& path) {
    Settings& s = settings();

    std::string bytes;
    const safe_file::ReadResult read = safe_file::readSmallFile(path, bytes, parameter_file::kMaxFileBytes);
    const bool ok = read == safe_file::ReadResult::Ok && parseSettings(bytes, s);
    if (!ok) s.resetToDefaults();
    g_keeper.loaded(path, !ok && read != safe_file::ReadResult::Missing);
    return ok;
}

bool parseSettings(const std::string& bytes, Settings& s) {
    const bool ok =
        parameter_file::forEachParameter(bytes, [&s](const char* n, const char* v) { return readParameter(n, v, s); });
    if (!ok) {
        s.resetToDefaults();
        return false;
    }
    if (s.colorDepth != 16 && s.colorDepth != 24 && s.colorDepth != 32) s.colorDepth = 16;
    return true;
}

void saveSettings(const std::string& path) {
    const std::string text = settingsFileText(settings());

    // The file we could not read is about to be replaced by the defaults: keep the user's copy.
    if (!g_keeper.beforeSave(path)) throw CFlikkaException(kWriteError);
    if (!safe_file::replaceFile(path, text)) throw CFlikkaException(kWriteError);
}

std::string settingsFileText(const Settings& s) {
    std::string out = parameter_file::kHeader;
    appendParameter(out, "h_res", std::to_string(s.hRes));
    appendParameter(out, "v_res", std::to_string(s.vRes));
    appendParameter(out, "fullscreen", boolText(s.fullscreen));
    appendParameter(out, "radar", boolText(s.radar));
    appendParameter(out, "debug_info", boolText(s.debugInfo));
    appendParameter(out, "color_depth", std::to_string(s.colorDepth));
    out += "\n";
    static constexpr std::pair<const char*, int> kWritten[] = {
        {"key_shoot", 4}, {"key_pass", 5}, {"key_thru", 7},  {"key_switch", 9}, {"key_cross", 6},
        {"key_left", 0},  {"key_right", 1}, {"key_up", 2},   {"key_down", 3},
    };
    for (const auto& [name, slot] : kWritten) appendParameter(out, name, std::to_string(s.keys[slot]));
    out += parameter_file::kFooter;
    return out;
}

}  // namespace flikka
