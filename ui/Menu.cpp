#include "ui/Menu.h"

#include <algorithm>

#include "platform/Gamepad.h"
#include "platform/Platform.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "match/Match.h"
#include "ui/MenuOptions.h"

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
// The match length item's choices in seconds (see MenuOptions.cpp).
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

// Writes a key item's binding into the table of its page.
void storeBinding(const CMenuNode& item) {
    for (const KeyItem& k : kKeyItems) {
        if (k.id == item.id) settings().keys[k.slot] = item.keyCode;
    }
    for (const KeyItem& k : kPlayer2KeyItems) {
        if (k.id == item.id) extraSettings().player2Keys[k.slot] = item.keyCode;
    }
    for (const PadItem& p : kPadItems) {
        if (p.id == item.id) extraSettings().*p.button = item.keyCode;
    }
}

// Picture sizes from the smallest window to full HD; the configured one joins them if missing.
constexpr std::pair<int, int> kResolutions[] = {{640, 480},   {800, 600},   {1024, 768},  {1280, 720},  {1280, 800},
                                                {1280, 1024}, {1366, 768},  {1600, 900},  {1680, 1050}, {1920, 1080}};

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

// The choice an option's item shows: what the settings hold, or for one the menu alone keeps,
// its default. A value no label stands for shows the first, as it plays (MatchRules::fromChoice).
int shownChoice(const CMenu& menu, const MenuOption& o, const CMenuNode& item) {
    if (!o.read) return o.defaultChoice;
    const int choice = o.read(menu);
    return choice >= 0 && static_cast<std::size_t>(choice) < item.choices.size() ? choice : 0;
}

// Inserts a page link after the item `afterId` of `page`, or at the end without one.
CMenuNode* addAfter(CMenuNode* page, int afterId, int nodeId, const std::string& label, const std::string& pageTitle) {
    auto& items = page->children;
    auto at = std::find_if(items.begin(), items.end(), [afterId](const auto& c) { return c->id == afterId; });
    if (at != page->children.end()) ++at;
    return items.insert(at, std::make_unique<CMenuNode>(nodeId, page, label, pageTitle))->get();
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
    // The picture sizes first: the resolution item offers them.
    resolutions_.assign(std::begin(kResolutions), std::end(kResolutions));
    const std::pair<int, int> configured{settings().hRes, settings().vRes};
    if (configured.first > 0 && configured.second > 0 &&
        std::find(resolutions_.begin(), resolutions_.end(), configured) == resolutions_.end()) {
        resolutions_.push_back(configured);
        std::sort(resolutions_.begin(), resolutions_.end(), [](const auto& a, const auto& b) {
            return a.first * a.second != b.first * b.second ? a.first * a.second < b.first * b.second : a.first < b.first;
        });
    }

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
    addOptions(newGame);
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
    addOptions(options);
    // The gamepad page follows the match rules; player 2's keys and the sound page close the page.
    CMenuNode* gamepad = addAfter(options, MENU_AUTO_SWITCH, MENU_GAMEPAD, "gamepad settings", "gamepad settings");
    gamepad->add(MENU_BACK, "back");
    for (const PadItem& p : kPadItems) gamepad->add(p.id, p.label);
    addOptions(gamepad);  // the pages' own items first, the options after them
    CMenuNode* player2 = options->add(MENU_P2_KEYS, "player 2 keys", "player 2 keys");
    player2->add(MENU_BACK, "back");
    for (const KeyItem& k : kPlayer2KeyItems) player2->add(k.id, k.label);
    CMenuNode* sound = options->add(MENU_SOUND, "sound", "sound");
    sound->add(MENU_BACK, "back");
    addOptions(sound);

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

    makeRootCurrent();
    flushKeyEvents();
    findNode(MENU_CONTINUE)->isHidden = true;
    findNode(MENU_STATISTICS)->isHidden = true;
    selectFirstVisible();
}

void CMenu::addOptions(CMenuNode* page) {
    for (const MenuOption& o : menuOptions()) {
        if (o.page != page->id) continue;
        const std::vector<std::string> labels = o.labelsOf ? o.labelsOf(*this) : o.labels;
        CMenuNode* item = page->add(o.id, labels.front());
        item->choices = labels;
        item->choice = shownChoice(*this, o, *item);
    }
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
    for (const MenuOption& o : menuOptions()) {
        if (!o.display) continue;
        if (CMenuNode* item = findNode(o.id)) item->choice = shownChoice(*this, o, *item);
    }
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
    if (const MenuOption* option = menuOption(item->id)) {
        if (option->write) option->write(*this, item->choice);
        if (option->display) applyDisplay();
        return MENU_RESULT_NONE;
    }
    if (item->isKeyItem) {
        storeBinding(*item);
        return MENU_RESULT_NONE;
    }
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
        case MENU_WATCH_REPLAY:
            return MENU_RESULT_WATCH_REPLAY;
        case MENU_QUIT:
            return MENU_RESULT_QUIT;
        default:
            return MENU_RESULT_NONE;
    }
}

}  // namespace flikka
