#include "settings/ExtraSettings.h"

#include <cstring>

#include "settings/ParameterFile.h"
#include "settings/SafeFile.h"
#include "sim/FlikkaException.h"

namespace flikka {

namespace {

using parameter_file::appendParameter;
using parameter_file::parseInt;

constexpr const char* kWriteError = "Cannot open configuration file for writing";

safe_file::UnusableFileKeeper g_keeper;

// One row per parameter: its name and where it lives. Ints carry their range; choices their names.
struct Field {
    enum Type { Bool, Int, Choice } type;
    const char* name;
    bool ExtraSettings::*flag = nullptr;
    int ExtraSettings::*number = nullptr;
    int lo = 0;
    int hi = 0;
    const char* const* choices = nullptr;  // Choice: hi + 1 names
};

constexpr const char* kRulesNames[] = {"classic", "full"};
constexpr const char* kScalingNames[] = {"smooth", "sharp"};
constexpr int kMaxButton = 20;
constexpr int kMaxWindowSide = 16384;

const Field kFields[] = {
    {Field::Choice, "rules", nullptr, &ExtraSettings::rules, 0, 1, kRulesNames},
    {Field::Bool, "auto_switch", &ExtraSettings::autoSwitch},
    {Field::Int, "effects_volume", nullptr, &ExtraSettings::effectsVolume, 0, 100},
    {Field::Int, "crowd_volume", nullptr, &ExtraSettings::crowdVolume, 0, 100},
    {Field::Bool, "mute", &ExtraSettings::mute},
    {Field::Int, "pad_pass", nullptr, &ExtraSettings::padPass, 0, kMaxButton},
    {Field::Int, "pad_shoot", nullptr, &ExtraSettings::padShoot, 0, kMaxButton},
    {Field::Int, "pad_cross", nullptr, &ExtraSettings::padCross, 0, kMaxButton},
    {Field::Int, "pad_switch", nullptr, &ExtraSettings::padSwitch, 0, kMaxButton},
    {Field::Int, "pad_thru", nullptr, &ExtraSettings::padThru, 0, kMaxButton},
    {Field::Bool, "rumble", &ExtraSettings::rumble},
    {Field::Choice, "scaling", nullptr, &ExtraSettings::scaling, 0, 1, kScalingNames},
    {Field::Int, "window_width", nullptr, &ExtraSettings::windowWidth, 0, kMaxWindowSide},
    {Field::Int, "window_height", nullptr, &ExtraSettings::windowHeight, 0, kMaxWindowSide},
    {Field::Bool, "goal_replays", &ExtraSettings::goalReplays},
};

// Player 2's bindable slots and their parameter names, in the order they are written.
struct KeyField {
    const char* name;
    int slot;
};
constexpr KeyField kPlayer2Keys[] = {
    {"p2_key_shoot", 4}, {"p2_key_pass", 5}, {"p2_key_thru", 7}, {"p2_key_switch", 9}, {"p2_key_cross", 6},
    {"p2_key_left", 0},  {"p2_key_right", 1}, {"p2_key_up", 2},   {"p2_key_down", 3},
};
// Windows virtual-key codes are one byte.
constexpr int kMaxKeyCode = 255;

void readField(const Field& f, const char* value, ExtraSettings& s) {
    switch (f.type) {
        case Field::Bool:
            if (std::strcmp(value, "true") == 0) s.*f.flag = true;
            else if (std::strcmp(value, "false") == 0) s.*f.flag = false;
            break;
        case Field::Int: {
            int v = 0;
            if (parseInt(value, v) && v >= f.lo && v <= f.hi) s.*f.number = v;
            break;
        }
        case Field::Choice:
            for (int i = f.lo; i <= f.hi; ++i) {
                if (std::strcmp(value, f.choices[i]) == 0) s.*f.number = i;
            }
            break;
    }
}

}  // namespace

ExtraSettings& extraSettings() {
    static ExtraSettings record;
    return record;
}

bool parseExtraSettings(const std::string& bytes, ExtraSettings& s) {
    ExtraSettings read;
    const bool ok = parameter_file::forEachParameter(bytes, [&read](const char* name, const char* value) {
        for (const Field& f : kFields) {
            if (std::strcmp(name, f.name) == 0) readField(f, value, read);
        }
        for (const KeyField& k : kPlayer2Keys) {
            int code = 0;
            if (std::strcmp(name, k.name) == 0 && parseInt(value, code) && code > 0 && code <= kMaxKeyCode) {
                read.player2Keys[k.slot] = code;
            }
        }
        return true;  // an unknown or bad parameter never costs the others
    });
    if (ok) s = read;
    return ok;
}

bool loadExtraSettings(const std::string& path) {
    ExtraSettings& s = extraSettings();
    std::string bytes;
    const safe_file::ReadResult read = safe_file::readSmallFile(path, bytes, parameter_file::kMaxFileBytes);
    const bool ok = read == safe_file::ReadResult::Ok && parseExtraSettings(bytes, s);
    if (!ok) s.resetToDefaults();
    g_keeper.loaded(path, !ok && read != safe_file::ReadResult::Missing);
    return ok;
}

void saveExtraSettings(const std::string& path) {
    const std::string text = extraSettingsFileText(extraSettings());
    if (!g_keeper.beforeSave(path)) throw CFlikkaException(kWriteError);
    if (!safe_file::replaceFile(path, text)) throw CFlikkaException(kWriteError);
}

std::string extraSettingsFileText(const ExtraSettings& s) {
    std::string out = parameter_file::kHeader;
    for (const Field& f : kFields) {
        switch (f.type) {
            case Field::Bool: appendParameter(out, f.name, parameter_file::boolText(s.*f.flag)); break;
            case Field::Int: appendParameter(out, f.name, std::to_string(s.*f.number)); break;
            case Field::Choice: appendParameter(out, f.name, f.choices[s.*f.number]); break;
        }
    }
    out += "\n";
    for (const KeyField& k : kPlayer2Keys) appendParameter(out, k.name, std::to_string(s.player2Keys[k.slot]));
    out += parameter_file::kFooter;
    return out;
}

}  // namespace flikka
