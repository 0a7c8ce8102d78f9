#include "ui/Menu.h"

#include <algorithm>

#include "platform/Gamepad.h"
#include "platform/Platform.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "sim/Match.h"

namespace flikka {

namespace {

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;

constexpr int kFormationLines = 5;
constexpr unsigned kOutfieldPlayers = 10;
constexpr float kLengthSeconds[] = {300.0f, 600.0f, 900.0f, 1200.0f};

struct KeyItem {
    int id;
    const char* label;
    int slot;
};

// Page order of the keyboard settings page.
constexpr KeyItem kKeyItems[] = {
    {MENU_KEY_SWITCH, "switch key", 9}, {MENU_KEY_SHOOT, "shoot key", 4}, {MENU_KEY_PASS, "pass key", 5},
    {MENU_KEY_CROSS, "cross key", 6},   {MENU_KEY_THRU, "thru key", 7},   {MENU_KEY_LEFT, "run left", 0},
    {MENU_KEY_RIGHT, "run right", 1},   {MENU_KEY_UP, "run up", 2},       {MENU_KEY_DOWN, "run down", 3},
};
// Player 2's page, in the same order; its keys live in flikka.xml.
constexpr KeyItem kPlayer2KeyItems[] = {
    {MENU_P2_KEY_SWITCH, "switch key", 9}, {MENU_P2_KEY_SHOOT, "shoot key", 4}, {MENU_P2_KEY_PASS, "pass key", 5},
    {MENU_P2_KEY_CROSS, "cross key", 6},   {MENU_P2_KEY_THRU, "thru key", 7},   {MENU_P2_KEY_LEFT, "run left", 0},
    {MENU_P2_KEY_RIGHT, "run right", 1},   {MENU_P2_KEY_UP, "run up", 2},       {MENU_P2_KEY_DOWN, "run down", 3},
};

struct PadItem {
    int id;
    const char* label;
    int ExtraSettings::*button;
};

// Page order of the gamepad settings page, as on the keyboard page.
constexpr PadItem kPadItems[] = {
    {MENU_PAD_SWITCH, "switch button", &ExtraSettings::padSwitch}, {MENU_PAD_SHOOT, "shoot button", &ExtraSettings::padShoot},
    {MENU_PAD_PASS, "pass button", &ExtraSettings::padPass},       {MENU_PAD_CROSS, "cross button", &ExtraSettings::padCross},
    {MENU_PAD_THRU, "thru button", &ExtraSettings::padThru},
};

int ExtraSettings::*padSettingOf(int id) {
    for (const PadItem& p : kPadItems) {
        if (p.id == id) return p.button;
    }
    return nullptr;
}

// Picture sizes from the smallest window to full HD; the configured one joins them if missing.
constexpr std::pair<int, int> kResolutions[] = {{640, 480},   {800, 600},   {1024, 768},  {1280, 720},  {1280, 800},
                                                {1280, 1024}, {1366, 768},  {1600, 900},  {1680, 1050}, {1920, 1080}};

std::string resolutionLabel(const std::pair<int, int>& r) {
    return "resolution: " + std::to_string(r.first) + "x" + std::to_string(r.second);
}

void addFormationLines(CMenuNode* page, int firstId) {
    static constexpr const char* kLabels[kFormationLines] = {"invisible st", "invisible am", "invisible m",
                                                             "invisible dm", "invisible d"};
    static constexpr int kInitial[kFormationLines] = {2, 0, 4, 0, 4};  // 4-4-2
    for (int i = 0; i < kFormationLines; ++i) {
        CMenuNode* line = page->add(firstId + i, kLabels[i]);
        for (const char* n : {"1", "2", "3", "4", "5"}) line->choices.emplace_back(n);
        line->choice = kInitial[i];
    }
}

// A volume item: choices 0, 10 .. 100 after the label's prefix.
constexpr int kVolumeStep = 10;
void addVolumeItem(CMenuNode* page, int id, const std::string& prefix, int volume) {
    CMenuNode* item = page->add(id, prefix + "0");
    for (int v = kVolumeStep; v <= 100; v += kVolumeStep) item->choices.push_back(prefix + std::to_string(v));
    item->choice = (std::clamp(volume, 0, 100) + kVolumeStep / 2) / kVolumeStep;
}

// The line counts of a formation page (its first five items); true when they make ten.
bool lineCounts(const CMenuNode& page, unsigned counts[kFormationLines]) {
    unsigned total = 0;
    for (int i = 0; i < kFormationLines; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const CMenuNode* line = at < page.children.size() ? page.children[at].get() : nullptr;
        counts[i] = line != nullptr && line->choice > 0 ? static_cast<unsigned>(line->choice) : 0u;
        total += counts[i];
    }
    return total == kOutfieldPlayers;
}

}  // namespace

// ---- CMenuNode ----

CMenuNode::CMenuNode(int nodeId, CMenuNode* parentNode, const std::string& label, const std::string& pageTitle)
    : id(nodeId), title(pageTitle), parent(parentNode) {
    choices.push_back(label);
}

CMenuNode::~CMenuNode() {
    children.clear();
    choices.clear();
}

int CMenuNode::previousChoice() {
    if (choices.empty()) return choice = -1;
    choice = choice == 0 ? static_cast<int>(choices.size()) - 1 : choice - 1;
    return choice;
}

int CMenuNode::nextChoice() {
    const int count = static_cast<int>(choices.size());
    choice = choice + 1 >= count ? 0 : choice + 1;
    return count - 1;
}

CMenuNode* CMenuNode::add(int nodeId, const std::string& label, const std::string& pageTitle) {
    children.push_back(std::make_unique<CMenuNode>(nodeId, this, label, pageTitle));
    return children.back().get();
}

CMenuNode* CMenuNode::selected() const {
    return selectedChild < children.size() ? children[selectedChild].get() : nullptr;
}

// ---- CMenu ----

CMenu::CMenu(CMatch* match, platform::Keyboard* events) : events_(events), match_(match) {
    startMatch_ = [this](const unsigned home[5], const unsigned away[5], float length, int humanSide) {
        const ExtraSettings& x = extraSettings();
        if (match_ != nullptr) match_->newMatch(home, away, length, humanSide, MatchRules::fromChoice(x.rules, x.autoSwitch));
    };
    build();
}

CMenu::~CMenu() {
    capture_ = nullptr;
    current_ = nullptr;
    root_.reset();
}

int CMenu::keySlotOf(int id) {
    for (const KeyItem& k : kKeyItems) {
        if (k.id == id) return k.slot;
    }
    for (const KeyItem& k : kPlayer2KeyItems) {
        if (k.id == id) return k.slot;
    }
    return -1;
}

void CMenu::build() {
    root_ = std::make_unique<CMenuNode>(MENU_ROOT, nullptr, "dummy", "main menu");
    CMenuNode* root = root_.get();

    root->add(MENU_CONTINUE, "continue");
    CMenuNode* newGame = root->add(MENU_NEW_GAME, "new game");
    CMenuNode* options = root->add(MENU_OPTIONS, "options", "options");
    CMenuNode* statistics = root->add(MENU_STATISTICS, "statistics", "statistics");
    CMenuNode* about = root->add(MENU_ABOUT, "about", "about");
    root->add(MENU_WATCH_REPLAY, "watch replay");
    root->add(MENU_QUIT, "quit");

    newGame->add(MENU_BACK, "back");
    CMenuNode* control = newGame->add(MENU_CONTROL, "home team vs CPU");
    control->choices.emplace_back("away team vs CPU");
    control->choices.emplace_back("CPU vs CPU");
    // Choices 3 and 4 are the two-player sides of HumanSide.
    control->choices.emplace_back("home: player 1, away: player 2");
    control->choices.emplace_back("home: players 1 and 2");
    CMenuNode* length = newGame->add(MENU_MATCH_LENGTH, "match length: 5");
    for (const char* c : {"match length: 10", "match length: 15", "match length: 20"}) length->choices.emplace_back(c);
    CMenuNode* homePage = newGame->add(MENU_HOME_FORMATION, "continue");
    addFormationLines(homePage, MENU_HOME_ST);
    CMenuNode* awayPage = homePage->add(MENU_AWAY_FORMATION, "confirm formation");
    addFormationLines(awayPage, MENU_AWAY_ST);
    awayPage->add(MENU_CONFIRM_FORMATION, "confirm formation");
    // A page's item after its lines shows only while they make ten outfield footballers.
    for (CMenuNode* page : {homePage, awayPage}) {
        page->children[kFormationLines]->isHidden.follow([page] {
            unsigned counts[kFormationLines];
            return !lineCounts(*page, counts);
        });
    }

    options->add(MENU_BACK, "back");
    CMenuNode* keyboard = options->add(MENU_KEYBOARD, "keyboard settings", "keyboard settings");
    keyboard->add(MENU_BACK, "back");
    for (const KeyItem& k : kKeyItems) keyboard->add(k.id, k.label);
    options->add(MENU_RADAR, "radar on")->choices.emplace_back("radar off");
    options->add(MENU_FULLSCREEN, "fullscreen on")->choices.emplace_back("fullscreen off");
    options->add(MENU_DEBUG_INFO, "debug info on")->choices.emplace_back("debug info off");
    options->add(MENU_RULES, "rules: classic")->choices.emplace_back("rules: full");
    options->add(MENU_AUTO_SWITCH, "auto switch on")->choices.emplace_back("auto switch off");
    // The pages' own items first, the new ones after them.
    CMenuNode* gamepad = options->add(MENU_GAMEPAD, "gamepad settings", "gamepad settings");
    gamepad->add(MENU_BACK, "back");
    for (const PadItem& p : kPadItems) gamepad->add(p.id, p.label);
    gamepad->add(MENU_RUMBLE, "rumble on")->choices.emplace_back("rumble off");
    resolutions_.assign(std::begin(kResolutions), std::end(kResolutions));
    const std::pair<int, int> configured{settings().hRes, settings().vRes};
    if (configured.first > 0 && configured.second > 0 &&
        std::find(resolutions_.begin(), resolutions_.end(), configured) == resolutions_.end()) {
        resolutions_.push_back(configured);
        std::sort(resolutions_.begin(), resolutions_.end(), [](const auto& a, const auto& b) {
            return a.first * a.second != b.first * b.second ? a.first * a.second < b.first * b.second : a.first < b.first;
        });
    }
    CMenuNode* resolution = options->add(MENU_RESOLUTION, resolutionLabel(resolutions_.front()));
    for (std::size_t i = 1; i < resolutions_.size(); ++i) resolution->choices.push_back(resolutionLabel(resolutions_[i]));
    options->add(MENU_SCALING, "scaling: smooth")->choices.emplace_back("scaling: sharp");
    options->add(MENU_GOAL_REPLAYS, "goal replays on")->choices.emplace_back("goal replays off");
    CMenuNode* player2 = options->add(MENU_P2_KEYS, "player 2 keys", "player 2 keys");
    player2->add(MENU_BACK, "back");
    for (const KeyItem& k : kPlayer2KeyItems) player2->add(k.id, k.label);
    CMenuNode* sound = options->add(MENU_SOUND, "sound", "sound");
    sound->add(MENU_BACK, "back");
    const ExtraSettings& extra = extraSettings();
    addVolumeItem(sound, MENU_EFFECTS_VOLUME, "effects volume: ", extra.effectsVolume);
    addVolumeItem(sound, MENU_CROWD_VOLUME, "crowd volume: ", extra.crowdVolume);
    sound->add(MENU_MUTE, "sound on")->choices.emplace_back("sound off");
    findNode(MENU_MUTE)->choice = extra.mute ? 1 : 0;

    statistics->add(MENU_BACK, "invisible back");
    about->add(MENU_BACK, "invisible back");

    for (CMenuNode* page : {homePage, awayPage, statistics, about}) page->isSpecialPage = true;

    const Settings& s = settings();
    for (const KeyItem& k : kKeyItems) {
        CMenuNode* item = findNode(k.id);
        item->isKeyItem = true;
        item->keyCode = s.keys[k.slot];
    }
    findNode(MENU_KEY_THRU)->isHidden = true;
    const ExtraSettings& x = extraSettings();
    for (const KeyItem& k : kPlayer2KeyItems) {
        CMenuNode* item = findNode(k.id);
        item->isKeyItem = true;
        item->keyCode = x.player2Keys[k.slot];
    }
    findNode(MENU_P2_KEY_THRU)->isHidden = true;
    for (const PadItem& p : kPadItems) {
        CMenuNode* item = findNode(p.id);
        item->isKeyItem = true;
        item->isPadButton = true;
        item->keyCode = x.*p.button;
    }
    findNode(MENU_PAD_THRU)->isHidden = true;
    findNode(MENU_RUMBLE)->choice = x.rumble ? 0 : 1;

    findNode(MENU_RADAR)->choice = s.radar ? 0 : 1;
    findNode(MENU_DEBUG_INFO)->choice = s.debugInfo ? 0 : 1;
    findNode(MENU_RULES)->choice = x.rules == 1 ? 1 : 0;
    findNode(MENU_AUTO_SWITCH)->choice = x.autoSwitch ? 0 : 1;
    findNode(MENU_GOAL_REPLAYS)->choice = x.goalReplays ? 0 : 1;
    refreshDisplayItems();

    makeRootCurrent();
    flushKeyEvents();
    findNode(MENU_CONTINUE)->isHidden = true;
    findNode(MENU_STATISTICS)->isHidden = true;
    selectFirstVisible();
}

namespace {
CMenuNode* findIn(CMenuNode* node, int id) {
    if (node->id == id) return node;
    for (auto& child : node->children) {
        if (CMenuNode* found = findIn(child.get(), id)) return found;
    }
    return nullptr;
}
}  // namespace

CMenuNode* CMenu::findNode(int id) const { return root_ ? findIn(root_.get(), id) : nullptr; }

void CMenu::selectFirstVisible() {
    CMenuNode* page = current_;
    const std::size_t n = page->children.size();
    page->selectedChild = 0;
    // Bounded so that a page with every item hidden cannot hang the loop.
    for (std::size_t tries = 0; tries < n && page->children[page->selectedChild]->isHidden; ++tries) {
        page->selectedChild = static_cast<unsigned>((page->selectedChild + 1) % n);
    }
}

void CMenu::flushKeyEvents() {
    if (events_ != nullptr) events_->flushEvents();
}

void CMenu::makeRootCurrent() { current_ = root_.get(); }

void CMenu::refreshDisplayItems() {
    const Settings& s = settings();
    findNode(MENU_FULLSCREEN)->choice = s.fullscreen ? 0 : 1;
    findNode(MENU_SCALING)->choice = extraSettings().scaling == 1 ? 1 : 0;
    const auto at = std::find(resolutions_.begin(), resolutions_.end(), std::pair<int, int>{s.hRes, s.vRes});
    // A size that is no choice (one the display refused) shows the nearest offer, 800 x 600.
    const auto fallback = std::find(resolutions_.begin(), resolutions_.end(), std::pair<int, int>{800, 600});
    findNode(MENU_RESOLUTION)->choice = static_cast<int>((at != resolutions_.end() ? at : fallback) - resolutions_.begin());
}

void CMenu::applyDisplay() {
    if (applyDisplay_) applyDisplay_();
    refreshDisplayItems();
}

void CMenu::showOverMatch(bool continueVisible) {
    flushKeyEvents();
    findNode(MENU_CONTINUE)->isHidden = !continueVisible;
    findNode(MENU_STATISTICS)->isHidden = false;
    makeRootCurrent();
    selectFirstVisible();
}

void CMenu::moveSelection(int step) {
    CMenuNode* page = current_;
    const int n = static_cast<int>(page->children.size());
    if (n == 0) return;
    int sel = static_cast<int>(page->selectedChild);
    for (int tries = 0; tries < n; ++tries) {
        sel = ((sel + step) % n + n) % n;
        if (!page->children[static_cast<std::size_t>(sel)]->isHidden) break;
    }
    page->selectedChild = static_cast<unsigned>(sel);
}

int CMenu::handleInput() {
    platform::KeyEvent event;
    if (events_ == nullptr || !events_->pollEvent(event)) return MENU_RESULT_NONE;
    ++eventsTaken_;
    const bool press = event.pressed && !event.repeat;

    if (capture_ != nullptr) {
        if (press) {
            endCapture(event.virtualKey, event.fromPad, event.padButton);
            cue(MenuCue::Select);
        }
        return apply(current_->selected());
    }
    if (!press) return MENU_RESULT_NONE;

    CMenuNode* item = current_->selected();
    switch (event.virtualKey) {
        case kEnter:
            if (item != nullptr) cue(MenuCue::Select);
            return activate();
        case kLeft:
            if (item != nullptr) {
                item->previousChoice();
                if (item->choices.size() >= 2) cue(MenuCue::Move);
                apply(item);
            }
            return MENU_RESULT_NONE;
        case kRight:
            if (item != nullptr) {
                item->nextChoice();
                if (item->choices.size() >= 2) cue(MenuCue::Move);
                apply(item);
            }
            return MENU_RESULT_NONE;
        case kUp:
            moveSelection(-1);
            cue(MenuCue::Move);
            return MENU_RESULT_NONE;
        case kDown:
            moveSelection(+1);
            cue(MenuCue::Move);
            return MENU_RESULT_NONE;
        default:
            return MENU_RESULT_NONE;
    }
}

void CMenu::endCapture(int virtualKey, bool fromPad, int padButton) {
    CMenuNode* item = capture_;
    // Escape (or Start) is the back key: it cancels, and the old binding stays.
    if (virtualKey == kEscape) {
        capture_ = nullptr;
        return;
    }
    // Each page binds its own device; anything else leaves the capture waiting.
    if (item->isPadButton != fromPad) return;
    if (item->isPadButton && !platform::padButtonBindable(padButton)) return;
    const int code = item->isPadButton ? padButton : virtualKey;
    // A key another item of the page holds changes places with the old one, so no two
    // actions share a key; hidden items and the fixed keys are left alone. The two players'
    // keyboard pages count as one: they share the keyboard.
    CMenuNode* pages[2] = {current_, nullptr};
    if (current_->id == MENU_KEYBOARD) pages[1] = findNode(MENU_P2_KEYS);
    if (current_->id == MENU_P2_KEYS) pages[1] = findNode(MENU_KEYBOARD);
    for (CMenuNode* page : pages) {
        if (page == nullptr) continue;
        for (auto& other : page->children) {
            if (other.get() == item || !other->isKeyItem || other->isHidden || other->isPadButton != item->isPadButton) continue;
            if (other->keyCode != code) continue;
            other->keyCode = item->keyCode;
            apply(other.get());
        }
    }
    item->keyCode = code;
    capture_ = nullptr;
}

int CMenu::activate() {
    CMenuNode* item = current_->selected();
    if (item == nullptr) return MENU_RESULT_NONE;
    if (item->isKeyItem) {
        capture_ = item;
        return MENU_RESULT_NONE;
    }
    if (item->id == MENU_BACK) {
        if (current_->parent != nullptr) current_ = current_->parent;
        return MENU_RESULT_NONE;
    }
    if (item->children.empty()) return apply(item);
    current_ = item;
    return MENU_RESULT_NONE;
}

int CMenu::apply(CMenuNode* item) {
    if (item == nullptr) return MENU_RESULT_NONE;
    Settings& s = settings();
    switch (item->id) {
        case MENU_CONTINUE:
            return MENU_RESULT_RESUME;
        case MENU_CONFIRM_FORMATION: {
            unsigned home[kFormationLines];
            unsigned away[kFormationLines];
            // Hidden while the lines are wrong, but lines set behind the menu's back can leave the
            // selection on it: the match must never get a formation it would refuse.
            const bool homeValid = lineCounts(*findNode(MENU_HOME_FORMATION), home);
            const bool awayValid = lineCounts(*findNode(MENU_AWAY_FORMATION), away);
            if (!homeValid || !awayValid) return MENU_RESULT_NONE;
            const int lengthChoice = findNode(MENU_MATCH_LENGTH)->choice;
            const float length = lengthChoice >= 0 && lengthChoice < 4 ? kLengthSeconds[lengthChoice] : kLengthSeconds[0];
            startMatch_(home, away, length, findNode(MENU_CONTROL)->choice);
            return MENU_RESULT_NEW_MATCH;
        }
        case MENU_KEY_UP:
        case MENU_KEY_DOWN:
        case MENU_KEY_LEFT:
        case MENU_KEY_RIGHT:
        case MENU_KEY_SWITCH:
        case MENU_KEY_SHOOT:
        case MENU_KEY_PASS:
        case MENU_KEY_CROSS:
        case MENU_KEY_THRU:
            s.keys[keySlotOf(item->id)] = item->keyCode;
            return MENU_RESULT_NONE;
        case MENU_P2_KEY_UP:
        case MENU_P2_KEY_DOWN:
        case MENU_P2_KEY_LEFT:
        case MENU_P2_KEY_RIGHT:
        case MENU_P2_KEY_SWITCH:
        case MENU_P2_KEY_SHOOT:
        case MENU_P2_KEY_PASS:
        case MENU_P2_KEY_CROSS:
        case MENU_P2_KEY_THRU:
            extraSettings().player2Keys[keySlotOf(item->id)] = item->keyCode;
            return MENU_RESULT_NONE;
        case MENU_PAD_SWITCH:
        case MENU_PAD_SHOOT:
        case MENU_PAD_PASS:
        case MENU_PAD_CROSS:
        case MENU_PAD_THRU:
            extraSettings().*padSettingOf(item->id) = item->keyCode;
            return MENU_RESULT_NONE;
        case MENU_RUMBLE:
            extraSettings().rumble = item->choice == 0;
            return MENU_RESULT_NONE;
        case MENU_RADAR:
            s.radar = item->choice == 0;
            return MENU_RESULT_NONE;
        case MENU_FULLSCREEN:
            s.fullscreen = item->choice == 0;
            applyDisplay();
            return MENU_RESULT_NONE;
        case MENU_RESOLUTION: {
            const auto index = static_cast<std::size_t>(std::max(item->choice, 0));
            if (index >= resolutions_.size()) return MENU_RESULT_NONE;
            s.hRes = resolutions_[index].first;
            s.vRes = resolutions_[index].second;
            applyDisplay();
            return MENU_RESULT_NONE;
        }
        case MENU_SCALING:
            extraSettings().scaling = item->choice == 1 ? 1 : 0;
            applyDisplay();
            return MENU_RESULT_NONE;
        case MENU_DEBUG_INFO:
            s.debugInfo = item->choice == 0;
            return MENU_RESULT_NONE;
        case MENU_EFFECTS_VOLUME:
            extraSettings().effectsVolume = item->choice * kVolumeStep;
            return MENU_RESULT_NONE;
        case MENU_CROWD_VOLUME:
            extraSettings().crowdVolume = item->choice * kVolumeStep;
            return MENU_RESULT_NONE;
        case MENU_MUTE:
            extraSettings().mute = item->choice == 1;
            return MENU_RESULT_NONE;
        case MENU_RULES:
            extraSettings().rules = item->choice == 1 ? 1 : 0;
            return MENU_RESULT_NONE;
        case MENU_GOAL_REPLAYS:
            extraSettings().goalReplays = item->choice == 0;
            return MENU_RESULT_NONE;
        case MENU_AUTO_SWITCH:
            extraSettings().autoSwitch = item->choice == 0;
            return MENU_RESULT_NONE;
        case MENU_WATCH_REPLAY:
            return MENU_RESULT_WATCH_REPLAY;
        case MENU_QUIT:
            return MENU_RESULT_QUIT;
        default:
            return MENU_RESULT_NONE;
    }
}

}  // namespace flikka
