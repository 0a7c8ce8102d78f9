#include "ui/MenuOptions.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "ui/Menu.h"

namespace flikka {

namespace {

template <class Record>
Record& record() {
    if constexpr (std::is_same_v<Record, Settings>) return settings();
    else return extraSettings();
}

// An option the menu alone keeps.
MenuOption kept(int id, int page, std::vector<std::string> labels, int defaultChoice) {
    MenuOption o;
    o.id = id;
    o.page = page;
    o.labels = std::move(labels);
    o.defaultChoice = defaultChoice;
    return o;
}

// An option of the settings record `Record`, kept in its file under `key`.
template <class Record>
MenuOption stored(int id, int page, std::vector<std::string> labels, int defaultChoice, const char* key) {
    MenuOption o = kept(id, page, std::move(labels), defaultChoice);
    o.file = std::is_same_v<Record, Settings> ? SettingsFile::Win32 : SettingsFile::Flikka;
    o.keys = {key};
    return o;
}

// An on/off option kept as a bool; `trueChoice` is the choice that stands for true.
template <class Record>
MenuOption flag(int id, int page, std::vector<std::string> labels, int defaultChoice, const char* key,
                bool Record::*member, int trueChoice = 0) {
    MenuOption o = stored<Record>(id, page, std::move(labels), defaultChoice, key);
    o.read = [member, trueChoice](const CMenu&) { return record<Record>().*member ? trueChoice : 1 - trueChoice; };
    o.write = [member, trueChoice](const CMenu&, int choice) { record<Record>().*member = choice == trueChoice; };
    return o;
}

// An option kept as the number of its choice.
template <class Record>
MenuOption number(int id, int page, std::vector<std::string> labels, int defaultChoice, const char* key,
                  int Record::*member) {
    MenuOption o = stored<Record>(id, page, std::move(labels), defaultChoice, key);
    o.read = [member](const CMenu&) { return record<Record>().*member; };
    o.write = [member](const CMenu&, int choice) { record<Record>().*member = choice; };
    return o;
}

// A volume, 0..100, offered in steps of ten after the label's prefix; a hand-edited value in
// between shows at the nearest step.
constexpr int kVolumeStep = 10;
MenuOption volume(int id, int page, const std::string& prefix, int defaultChoice, const char* key,
                  int ExtraSettings::*member) {
    std::vector<std::string> labels;
    for (int v = 0; v <= 100; v += kVolumeStep) labels.push_back(prefix + std::to_string(v));
    MenuOption o = stored<ExtraSettings>(id, page, std::move(labels), defaultChoice, key);
    o.read = [member](const CMenu&) {
        return (std::clamp(extraSettings().*member, 0, 100) + kVolumeStep / 2) / kVolumeStep;
    };
    o.write = [member](const CMenu&, int choice) { extraSettings().*member = choice * kVolumeStep; };
    return o;
}

std::string resolutionLabel(const std::pair<int, int>& r) {
    return "resolution: " + std::to_string(r.first) + "x" + std::to_string(r.second);
}

// The picture size, one of the sizes the menu offers.
MenuOption resolution(int id, int page, int defaultChoice) {
    MenuOption o = stored<Settings>(id, page, {}, defaultChoice, "h_res");
    o.keys.emplace_back("v_res");
    o.labelsOf = [](const CMenu& menu) {
        std::vector<std::string> labels;
        for (const auto& r : menu.resolutions()) labels.push_back(resolutionLabel(r));
        return labels;
    };
    o.read = [](const CMenu& menu) {
        const auto& sizes = menu.resolutions();
        const Settings& s = settings();
        const auto at = std::find(sizes.begin(), sizes.end(), std::pair<int, int>{s.hRes, s.vRes});
        // A size that is no choice (one the display refused) shows the nearest offer, 800 x 600.
        const auto fallback = std::find(sizes.begin(), sizes.end(), std::pair<int, int>{800, 600});
        return static_cast<int>((at != sizes.end() ? at : fallback) - sizes.begin());
    };
    o.write = [](const CMenu& menu, int choice) {
        const auto& sizes = menu.resolutions();
        if (choice < 0 || static_cast<std::size_t>(choice) >= sizes.size()) return;
        settings().hRes = sizes[static_cast<std::size_t>(choice)].first;
        settings().vRes = sizes[static_cast<std::size_t>(choice)].second;
    };
    return o;
}

// Changing it puts the display settings into effect.
MenuOption display(MenuOption o) {
    o.display = true;
    return o;
}

using S = Settings;
using X = ExtraSettings;

// Each entry: the item, its page, its labels, the default choice, then for a stored option its
// parameter and the setting it reads and writes.
std::vector<MenuOption> buildTable() {
    return {
        // The new game's page: read when the match starts. Choices 3 and 4 of the control are
        // the two-player sides of HumanSide.
        kept(MENU_CONTROL, MENU_NEW_GAME,
             {"home team vs CPU", "away team vs CPU", "CPU vs CPU", "home: player 1, away: player 2",
              "home: players 1 and 2"},
             0),
        kept(MENU_MATCH_LENGTH, MENU_NEW_GAME,
             {"match length: 5", "match length: 10", "match length: 15", "match length: 20"}, 0),

        // The options page; its sub-pages sit among these (see CMenu::build).
        flag(MENU_RADAR, MENU_OPTIONS, {"radar on", "radar off"}, 0, "radar", &S::radar),
        display(flag(MENU_FULLSCREEN, MENU_OPTIONS, {"fullscreen on", "fullscreen off"}, 1, "fullscreen", &S::fullscreen)),
        flag(MENU_DEBUG_INFO, MENU_OPTIONS, {"debug info on", "debug info off"}, 0, "debug_info", &S::debugInfo),
        number(MENU_RULES, MENU_OPTIONS, {"rules: classic", "rules: full"}, 1, "rules", &X::rules),
        flag(MENU_AUTO_SWITCH, MENU_OPTIONS, {"auto switch on", "auto switch off"}, 0, "auto_switch", &X::autoSwitch),
        display(resolution(MENU_RESOLUTION, MENU_OPTIONS, 1)),  // 800 x 600
        display(number(MENU_SCALING, MENU_OPTIONS, {"scaling: smooth", "scaling: sharp"}, 0, "scaling", &X::scaling)),
        flag(MENU_GOAL_REPLAYS, MENU_OPTIONS, {"goal replays on", "goal replays off"}, 0, "goal_replays", &X::goalReplays),

        // The gamepad page, after its buttons.
        flag(MENU_RUMBLE, MENU_GAMEPAD, {"rumble on", "rumble off"}, 0, "rumble", &X::rumble),

        // The sound page.
        volume(MENU_EFFECTS_VOLUME, MENU_SOUND, "effects volume: ", 8, "effects_volume", &X::effectsVolume),
        volume(MENU_CROWD_VOLUME, MENU_SOUND, "crowd volume: ", 6, "crowd_volume", &X::crowdVolume),
        flag(MENU_MUTE, MENU_SOUND, {"sound on", "sound off"}, 0, "mute", &X::mute, 1),
    };
}

}  // namespace

const std::vector<MenuOption>& menuOptions() {
    static const std::vector<MenuOption> table = buildTable();
    return table;
}

const MenuOption* menuOption(int id) {
    for (const MenuOption& o : menuOptions()) {
        if (o.id == id) return &o;
    }
    return nullptr;
}

}  // namespace flikka
