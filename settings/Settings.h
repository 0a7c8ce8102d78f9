#pragma once
#include <string>

namespace flikka {

// The one settings record of the run, read from config/win32.xml at start and written back at exit.
struct Settings {
    static constexpr int kKeySlots = 16;

    int vRes = 600;
    int hRes = 800;
    int colorDepth = 32;
    bool fullscreen = false;
    bool radar = true;
    bool debugInfo = true;
    int keys[kKeySlots] = {37, 39, 38, 40, 68, 83, 65, 81, 0, 69, 38, 40, 37, 39, 13, 27};

    void resetToDefaults();
};

// The global record (defaults until loadSettings runs).
Settings& settings();

inline constexpr const char* kSettingsPath = "config/win32.xml";

// Fills the global record; false when the defaults were installed instead.
bool loadSettings(const std::string& path = kSettingsPath);
// Writes the global record; throws CFlikkaException("Cannot open configuration file for writing").
// The file is replaced whole (written beside it, then renamed), so a failed save leaves the old one.
// If the last load found the file present but unreadable, it is first kept as <path>.bak.
void saveSettings(const std::string& path = kSettingsPath);
// True when the last loadSettings found a file it could not use (as opposed to no file at all).
bool settingsFileWasUnreadable();

// The file text for a record, exactly as saveSettings writes it.
std::string settingsFileText(const Settings& s);
// Reads a file's bytes into s as loadSettings does: settings the bytes do not name keep their
// values. False, with s back at the defaults, when the bytes must be discarded.
bool parseSettings(const std::string& bytes, Settings& s);

}  // namespace flikka
