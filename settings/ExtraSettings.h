#pragma once
// The settings beyond the original file, kept in config/flikka.xml so that config/win32.xml
// keeps its format. Read with the same care: a bad or unknown value falls back to its default
// alone, a file that cannot be used is kept as <path>.bak at the first save.
#include <string>

namespace flikka {

struct ExtraSettings {
    static constexpr int kPlayer2KeySlots = 16;

    // Match rules: 0 classic, 1 full (the default: it plays more like football).
    int rules = 1;
    bool autoSwitch = true;  // only ever acts under full rules

    // Sound, 0..100.
    int effectsVolume = 80;
    int crowdVolume = 60;
    bool mute = false;

    // Gamepad: SDL game controller button numbers (A 0, B 1, X 2, Y 3, Start 6, LB 9).
    int padPass = 0;
    int padShoot = 1;
    int padCross = 2;
    int padSwitch = 3;
    int padThru = 9;
    bool rumble = true;

    // Display: 0 smooth, 1 sharp (whole multiples).
    int scaling = 0;
    // The window's size when not in full screen; 0 opens it at the picture's size.
    int windowWidth = 0;
    int windowHeight = 0;

    bool goalReplays = true;

    // Player 2's keyboard, by key slot like the first player's table (Windows virtual-key codes);
    // slot 8 has no key, slots 10..15 are the fixed keys and are not rebound. I J K L run; Y shoot,
    // H pass, N cross, B through pass, P switch: none of player 1's keys, and no two arrows and
    // an action of one player with those of the other form three corners of a keyboard matrix
    // rectangle (see README, two players).
    int player2Keys[kPlayer2KeySlots] = {74, 76, 73, 75, 89, 72, 78, 66, 0, 80, 38, 40, 37, 39, 13, 27};

    void resetToDefaults() { *this = ExtraSettings{}; }
};

ExtraSettings& extraSettings();

inline constexpr const char* kExtraSettingsPath = "config/flikka.xml";

// Fills the global record; values missing or bad keep their defaults. False when the file was
// absent or could not be used at all.
bool loadExtraSettings(const std::string& path = kExtraSettingsPath);
// Writes the global record; throws CFlikkaException("Cannot open configuration file for writing").
void saveExtraSettings(const std::string& path = kExtraSettingsPath);

// The file text for a record, exactly as saveExtraSettings writes it.
std::string extraSettingsFileText(const ExtraSettings& s);
// Reads a file's bytes into s; false when they are not a settings document.
bool parseExtraSettings(const std::string& bytes, ExtraSettings& s);

}  // namespace flikka
