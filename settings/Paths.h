#pragma once
// Where the game finds its data and keeps what it writes. Every file name the game opens goes
// through here, so that the portable and the installed layout differ in this one place.
#include <string>

namespace flikka::paths {

// A file of the game's data by relative name ("gfx/pitch.png", "sfx/kick.wav").
std::string dataFile(const std::string& relative);
// A settings file by name ("win32.xml", "flikka.xml").
std::string settingsFile(const std::string& name);
// A file the game writes beside its settings, by relative name ("replays/last.flr").
std::string userDataFile(const std::string& relative);

}  // namespace flikka::paths
