#pragma once
// Where the game finds its data and keeps what it writes. Every file name the game opens goes
// through here, so that the portable and the installed layout differ in this one place.
//
// Portable (the working directory holds gfx/: the build folder, an unpacked copy): names stay
// relative to the working directory, settings in config/, as the game has always run.
// Installed (anywhere else): data from $FLIKKA_DATA when set, else from ../share/flikka beside the
// executable; settings in $XDG_CONFIG_HOME/flikka (~/.config/flikka), the files the game writes
// under $XDG_DATA_HOME/flikka (~/.local/share/flikka). Nothing goes into the working directory.
#include <optional>
#include <string>

namespace flikka::paths {

// A file of the game's data by relative name ("gfx/pitch.png", "sfx/kick.wav").
std::string dataFile(const std::string& relative);
// A settings file by name ("win32.xml", "flikka.xml"). In the installed layout the settings
// folder is created on the way, so that the save at exit finds it.
std::string settingsFile(const std::string& name);
// A file the game writes beside its settings, by relative name ("replays/last.flr"). The folders
// up to the file are created, so the caller can open it for writing at once.
std::string userDataFile(const std::string& relative);

enum class Layout { Portable, Installed };

struct Locations {
    Layout layout = Layout::Portable;
    std::string dataDir;      // "" keeps data names relative to the working directory
    std::string settingsDir;  // "config" in the portable layout
    std::string userDataDir;  // "" in the portable layout
};

// What the choice of layout depends on: read from the process, or made up by a test.
struct Environment {
    std::string workingDir;
    std::string executable;  // absolute path of the running program, "" when unknown
    std::optional<std::string> flikkaData, xdgConfigHome, xdgDataHome, home;
};

struct Search {
    std::optional<Locations> found;
    std::string message;  // when nothing was found: which places were looked in, and what to do
};

// Portable when workingDir holds gfx/; otherwise the data folder named by FLIKKA_DATA (and no
// other, since it was asked for), else ../share/flikka beside the executable.
Search locate(const Environment& env);

// The running process's environment. argv0 stands in for the executable when /proc is missing.
Environment processEnvironment(const char* argv0);

// The locations the file functions use from now on (the portable layout until then).
void use(const Locations& where);
const Locations& current();

}  // namespace flikka::paths
