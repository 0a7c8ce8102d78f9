#pragma once
// The menu tree and its controller: pages, items with choices, key bindings, the new-game
// parameters, and the result codes that switch the main loop between menu and match.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace flikka {

class CMatch;

namespace platform {
class Keyboard;
}

// Node ids of the tree (0 is a back item).
enum MenuId {
    MENU_BACK = 0,
    MENU_ROOT = 1,
    MENU_NEW_GAME = 2,
    MENU_MATCH_LENGTH = 3,
    MENU_CONTROL = 4,
    MENU_HOME_FORMATION = 5,
    MENU_CONTINUE = 6,
    MENU_HOME_ST = 7,  // 7..11 home lines: ST, AM, M, DM, D
    MENU_AWAY_FORMATION = 12,
    MENU_AWAY_ST = 13,  // 13..17 away lines
    MENU_CONFIRM_FORMATION = 18,
    MENU_OPTIONS = 19,
    MENU_KEYBOARD = 20,
    MENU_KEY_UP = 21,
    MENU_KEY_DOWN = 22,
    MENU_KEY_LEFT = 23,
    MENU_KEY_RIGHT = 24,
    MENU_KEY_SWITCH = 25,
    MENU_KEY_SHOOT = 26,
    MENU_KEY_PASS = 27,
    MENU_KEY_CROSS = 28,
    MENU_KEY_THRU = 29,
    MENU_RADAR = 30,
    MENU_FULLSCREEN = 31,
    MENU_DEBUG_INFO = 32,
    MENU_STATISTICS = 33,
    MENU_ABOUT = 34,
    MENU_QUIT = 35,
    MENU_SOUND = 40,  // the sound page: 41..43
    MENU_EFFECTS_VOLUME = 41,
    MENU_CROWD_VOLUME = 42,
    MENU_MUTE = 43,
    // Match rules (options page).
    MENU_RULES = 50,
    MENU_AUTO_SWITCH = 51,
    // Gamepad and display (60..79).
    MENU_GAMEPAD = 60,  // the "gamepad settings" page
    MENU_PAD_SWITCH = 61,
    MENU_PAD_SHOOT = 62,
    MENU_PAD_PASS = 63,
    MENU_PAD_CROSS = 64,
    MENU_PAD_THRU = 65,
    MENU_RUMBLE = 66,
    MENU_RESOLUTION = 67,
    MENU_SCALING = 68,
    // Replays (80..89).
    MENU_WATCH_REPLAY = 80,
    MENU_GOAL_REPLAYS = 81,  // options page
    // Player 2's keys (90..99): the page, then one item per slot as on the keyboard page.
    MENU_P2_KEYS = 90,
    MENU_P2_KEY_LEFT = 91,
    MENU_P2_KEY_RIGHT = 92,
    MENU_P2_KEY_UP = 93,
    MENU_P2_KEY_DOWN = 94,
    MENU_P2_KEY_SHOOT = 95,
    MENU_P2_KEY_PASS = 96,
    MENU_P2_KEY_CROSS = 97,
    MENU_P2_KEY_THRU = 98,
    MENU_P2_KEY_SWITCH = 99,
};

// What the player should hear of a menu step: a click for a move, another for a choice made.
enum class MenuCue { Move, Select };

// What a menu step asks of the main loop.
enum MenuResult {
    MENU_RESULT_NONE = 0,
    MENU_RESULT_QUIT = 1,
    MENU_RESULT_NEW_MATCH = 2,
    MENU_RESULT_RESUME = 3,
    MENU_RESULT_WATCH_REPLAY = 80,
};

// Whether an item is left off its page: either set, or worked out from the menu each time it is
// asked (a formation page's "next" follows the page's lines), so that nothing has to keep it up
// to date, and drawing can leave the menu alone.
class CHiddenFlag {
public:
    // Setting it drops any rule.
    CHiddenFlag& operator=(bool hidden) {
        hidden_ = hidden;
        rule_ = nullptr;
        return *this;
    }
    void follow(std::function<bool()> rule) { rule_ = std::move(rule); }
    explicit operator bool() const { return rule_ ? rule_() : hidden_; }

private:
    bool hidden_ = false;
    std::function<bool()> rule_;
};

class CMenuNode {
public:
    int id = 0;
    std::string title;
    unsigned selectedChild = 0;
    int choice = 0;
    int keyCode = 0;
    bool isKeyItem = false;
    bool isPadButton = false;  // a key item whose keyCode is a gamepad button
    bool isSpecialPage = false;
    CHiddenFlag isHidden;
    std::vector<std::unique_ptr<CMenuNode>> children;
    std::vector<std::string> choices;  // choices[0] is the label given at creation
    CMenuNode* parent = nullptr;

    CMenuNode(int nodeId, CMenuNode* parentNode, const std::string& label, const std::string& pageTitle = "");
    virtual ~CMenuNode();
    CMenuNode(const CMenuNode&) = delete;
    CMenuNode& operator=(const CMenuNode&) = delete;

    virtual void hook() {}
    // Choice - 1, wrapping from 0 to the last; -1 without choices. Returns the new index.
    virtual int previousChoice();
    // Choice + 1, wrapping after the last to 0. Returns the number of choices - 1.
    virtual int nextChoice();

    // Appends a child page or item and returns it.
    CMenuNode* add(int nodeId, const std::string& label, const std::string& pageTitle = "");
    const std::string& label() const { return choices[static_cast<std::size_t>(choice)]; }
    CMenuNode* selected() const;  // the selected child; null on an empty page
};

class CMenu {
public:
    // Starts a match with the five line counts of each side, the length in seconds and the
    // human side; by default the match's own new-match set-up.
    using MatchStarter = std::function<void(const unsigned home[5], const unsigned away[5], float length, int humanSide)>;
    // Puts the display settings (resolution, full screen, scaling) into effect.
    using DisplayApplier = std::function<void()>;

    // `events` is the window's buffered key-event source; `match` receives new matches.
    CMenu(CMatch* match, platform::Keyboard* events);
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    CMenuNode* findNode(int id) const;
    void selectFirstVisible();
    void flushKeyEvents();
    void makeRootCurrent();
    // Takes at most one key event and returns a MenuResult.
    int handleInput();

    // Back to the main menu over a stopped match: "statistics" shows, "continue" as asked.
    void showOverMatch(bool continueVisible);

    // Key events taken so far: the picture of the menu can only change when this grows.
    unsigned eventsTaken() const { return eventsTaken_; }

    CMenuNode* root() const { return root_.get(); }
    CMenuNode* current() const { return current_; }
    CMenuNode* captureNode() const { return capture_; }

    void setMatchStarter(MatchStarter starter) { startMatch_ = std::move(starter); }
    // Told of every move and choice; the menu itself knows nothing of sound.
    void setCueListener(std::function<void(MenuCue)> listener) { cue_ = std::move(listener); }
    void setDisplayApplier(DisplayApplier applier) { applyDisplay_ = std::move(applier); }
    // The display items show the settings again (after Alt+Enter, or a mode that could not be had).
    void refreshDisplayItems();
    // The starter in use, so that a caller can wrap it (the recorder of replays does).
    const MatchStarter& matchStarter() const { return startMatch_; }

    // The settings key slot a key item writes (player 1's or player 2's table); -1 for other ids.
    static int keySlotOf(int id);
    // The picture sizes the resolution item offers, smallest first.
    const std::vector<std::pair<int, int>>& resolutions() const { return resolutions_; }

private:
    void build();
    // Appends the choice options of `page` from the options table, showing the settings.
    void addOptions(CMenuNode* page);
    int activate();
    int apply(CMenuNode* item);
    void moveSelection(int step);
    void cue(MenuCue c) const {
        if (cue_) cue_(c);
    }
    void endCapture(int virtualKey, bool fromPad, int padButton);
    void applyDisplay();

    platform::Keyboard* events_ = nullptr;
    std::unique_ptr<CMenuNode> root_;
    CMenuNode* current_ = nullptr;
    CMenuNode* capture_ = nullptr;
    CMatch* match_ = nullptr;
    MatchStarter startMatch_;
    std::function<void(MenuCue)> cue_;
    DisplayApplier applyDisplay_;
    std::vector<std::pair<int, int>> resolutions_;
    unsigned eventsTaken_ = 0;
};

}  // namespace flikka
