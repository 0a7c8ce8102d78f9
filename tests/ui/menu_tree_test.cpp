#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu_fixture.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "match/Match.h"
#include "ui/Menu.h"

namespace flikka {
namespace {

constexpr int kEnter = 13, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kKeyF = 70;

struct StartedMatch {
    std::vector<unsigned> home, away;
    float length = 0.0f;
    int side = -1;
};

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override { settings().resetToDefaults(); }
    void TearDown() override { settings().resetToDefaults(); }

    CMenu& menu() {
        if (!menu_) {
            menu_ = std::make_unique<CMenu>(nullptr, &keys);
            menu_->setMatchStarter([this](const unsigned h[5], const unsigned a[5], float len, int side) {
                started.push_back({{h, h + 5}, {a, a + 5}, len, side});
            });
        }
        return *menu_;
    }
    // Taps each key and runs menu steps until the events are used up; returns the last result.
    int tap(std::initializer_list<int> vks) {
        int last = 0;
        menu();  // built first: construction flushes the buffer
        for (int vk : vks) {
            keys.tap(vk);
            while (!keys.queue.empty()) {
                const int r = menu().handleInput();
                if (r != 0) last = r;
            }
        }
        return last;
    }
    std::string selectedLabel() { return menu().current()->selected()->label(); }
    int selectedId() { return menu().current()->selected()->id; }

    testing::ScriptedKeyboard keys;
    std::unique_ptr<CMenu> menu_;
    std::vector<StartedMatch> started;
};

TEST_F(MenuTest, TreeIsBuiltWithIdsChoicesAndHiddenItems) {
    keys.tap(kDown);  // waiting before construction: the menu starts with an empty buffer
    CMenu& m = menu();
    EXPECT_TRUE(keys.queue.empty());
    const CMenuNode* root = m.root();
    ASSERT_EQ(root->children.size(), 7u);
    std::vector<int> ids;
    for (auto& c : root->children) ids.push_back(c->id);
    EXPECT_EQ(ids, (std::vector<int>{6, 2, 19, 33, 34, 80, 35}));
    EXPECT_EQ(root->title, "main menu");
    EXPECT_TRUE(m.findNode(MENU_CONTINUE)->isHidden);
    EXPECT_TRUE(m.findNode(MENU_STATISTICS)->isHidden);
    EXPECT_TRUE(m.findNode(MENU_KEY_THRU)->isHidden);
    for (int id : {5, 12, 33, 34}) EXPECT_TRUE(m.findNode(id)->isSpecialPage) << id;
    EXPECT_FALSE(m.findNode(MENU_OPTIONS)->isSpecialPage);
    // Id 0 finds the first back item in depth-first order: the one on the new-game page.
    ASSERT_NE(m.findNode(MENU_BACK), nullptr);
    EXPECT_EQ(m.findNode(MENU_BACK)->parent->id, MENU_NEW_GAME);
    EXPECT_EQ(m.findNode(998), nullptr);
    // Formation lines start at 4-4-2 for both sides and offer 0..5.
    const int expected[5] = {2, 0, 4, 0, 4};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(m.findNode(MENU_HOME_ST + i)->choice, expected[i]);
        EXPECT_EQ(m.findNode(MENU_AWAY_ST + i)->choice, expected[i]);
        EXPECT_EQ(m.findNode(MENU_HOME_ST + i)->choices.size(), 6u);
    }
    EXPECT_EQ(m.findNode(MENU_MATCH_LENGTH)->choices.back(), "match length: 20");
    EXPECT_EQ(m.findNode(MENU_CONTROL)->choices.at(2), "CPU vs CPU");
    EXPECT_EQ(m.findNode(MENU_AWAY_FORMATION)->parent->id, MENU_HOME_FORMATION);
    EXPECT_EQ(m.findNode(MENU_CONFIRM_FORMATION)->parent->id, MENU_AWAY_FORMATION);
}

TEST_F(MenuTest, ItemsReflectTheSettingsAtConstruction) {
    settings().radar = false;
    settings().debugInfo = false;
    settings().fullscreen = true;
    settings().keys[4] = kKeyF;
    settings().keys[9] = 81;
    CMenu& m = menu();
    EXPECT_EQ(m.findNode(MENU_RADAR)->label(), "radar off");
    EXPECT_EQ(m.findNode(MENU_DEBUG_INFO)->label(), "debug info off");
    EXPECT_EQ(m.findNode(MENU_FULLSCREEN)->label(), "fullscreen on");
    EXPECT_EQ(m.findNode(MENU_KEY_SHOOT)->keyCode, kKeyF);
    EXPECT_EQ(m.findNode(MENU_KEY_SWITCH)->keyCode, 81);
    EXPECT_EQ(m.findNode(MENU_KEY_LEFT)->keyCode, 37);
    EXPECT_TRUE(m.findNode(MENU_KEY_DOWN)->isKeyItem);
    EXPECT_FALSE(m.findNode(MENU_RADAR)->isKeyItem);
}

TEST_F(MenuTest, MainMenuNavigationSkipsHiddenItemsAndWraps) {
    EXPECT_EQ(menu().current(), menu().root());
    EXPECT_EQ(selectedLabel(), "new game");
    tap({kUp});
    EXPECT_EQ(selectedLabel(), "quit");  // wrapped, "continue" skipped
    tap({kDown});
    EXPECT_EQ(selectedLabel(), "new game");
    tap({kDown, kDown});
    EXPECT_EQ(selectedLabel(), "about");  // hidden "statistics" skipped
    // Auto-repeats and releases do not move the selection.
    keys.queue.push_back({kDown, true, true});
    keys.queue.push_back({kDown, false, false});
    EXPECT_EQ(menu().handleInput(), 0);
    EXPECT_EQ(menu().handleInput(), 0);
    EXPECT_EQ(selectedLabel(), "about");
    const unsigned taken = menu().eventsTaken();
    EXPECT_EQ(menu().handleInput(), 0);  // no event at all: nothing taken, nothing to redraw
    EXPECT_EQ(menu().eventsTaken(), taken);
    tap({kLeft});
    EXPECT_EQ(menu().eventsTaken(), taken + 2);  // press and release
    // "about" is a page; its invisible back item returns to the root with "about" still selected.
    tap({kEnter});
    EXPECT_EQ(menu().current()->id, MENU_ABOUT);
    tap({kEnter});
    EXPECT_EQ(menu().current(), menu().root());
    EXPECT_EQ(selectedLabel(), "about");
    EXPECT_EQ(tap({kDown, kEnter}), MENU_RESULT_WATCH_REPLAY);
    EXPECT_EQ(tap({kDown, kEnter}), MENU_RESULT_QUIT);
}

TEST_F(MenuTest, KeyboardPageSkipsTheHiddenThruKeyAndRebindsCapturedKeys) {
    tap({kDown, kEnter, kDown, kEnter});  // options, keyboard settings
    ASSERT_EQ(menu().current()->id, MENU_KEYBOARD);
    EXPECT_EQ(selectedLabel(), "back");
    tap({kDown, kDown, kDown, kDown});
    EXPECT_EQ(selectedLabel(), "cross key");
    tap({kDown});
    EXPECT_EQ(selectedLabel(), "run left");
    tap({kUp});
    EXPECT_EQ(selectedLabel(), "cross key");
    tap({kUp, kUp});
    ASSERT_EQ(selectedLabel(), "shoot key");

    // Enter starts the capture; its own release does not end it.
    keys.queue.push_back({kEnter, true, false});
    EXPECT_EQ(menu().handleInput(), 0);
    EXPECT_EQ(menu().captureNode(), menu().findNode(MENU_KEY_SHOOT));
    keys.queue.push_back({kEnter, false, false});
    menu().handleInput();
    EXPECT_EQ(menu().captureNode(), menu().findNode(MENU_KEY_SHOOT));
    tap({kKeyF});
    EXPECT_EQ(menu().captureNode(), nullptr);
    EXPECT_EQ(menu().findNode(MENU_KEY_SHOOT)->keyCode, kKeyF);
    EXPECT_EQ(settings().keys[4], kKeyF);
    EXPECT_EQ(selectedLabel(), "shoot key");

    // Enter and the arrows are bound too while capturing, instead of acting on the menu.
    tap({kDown, kEnter, kEnter});
    EXPECT_EQ(selectedLabel(), "pass key");
    EXPECT_EQ(settings().keys[5], kEnter);
    EXPECT_EQ(menu().captureNode(), nullptr);
    tap({kDown, kEnter, kDown});
    EXPECT_EQ(selectedLabel(), "cross key");  // the Down arrow was bound, not followed
    EXPECT_EQ(settings().keys[6], kDown);
    tap({kUp, kUp, kUp, kEnter, kLeft});
    EXPECT_EQ(selectedLabel(), "switch key");
    EXPECT_EQ(settings().keys[9], kLeft);
    // The slots the other items write.
    EXPECT_EQ(CMenu::keySlotOf(MENU_KEY_LEFT), 0);
    EXPECT_EQ(CMenu::keySlotOf(MENU_KEY_RIGHT), 1);
    EXPECT_EQ(CMenu::keySlotOf(MENU_KEY_UP), 2);
    EXPECT_EQ(CMenu::keySlotOf(MENU_KEY_DOWN), 3);
    EXPECT_EQ(CMenu::keySlotOf(MENU_KEY_THRU), 7);
    EXPECT_EQ(CMenu::keySlotOf(MENU_RADAR), -1);
    // Back item returns to the options page with "keyboard settings" still selected.
    tap({kUp, kEnter});
    EXPECT_EQ(menu().current()->id, MENU_OPTIONS);
    EXPECT_EQ(selectedLabel(), "keyboard settings");
}

TEST_F(MenuTest, OptionTogglesWrapAndWriteTheSettingsAtOnce) {
    settings().radar = false;
    tap({kDown, kEnter, kDown, kDown});
    ASSERT_EQ(selectedLabel(), "radar off");
    tap({kRight});
    EXPECT_EQ(selectedLabel(), "radar on");
    EXPECT_TRUE(settings().radar);
    tap({kRight});
    EXPECT_EQ(selectedLabel(), "radar off");
    EXPECT_FALSE(settings().radar);
    tap({kDown, kLeft});
    EXPECT_EQ(selectedLabel(), "fullscreen on");
    EXPECT_TRUE(settings().fullscreen);
    tap({kDown, kRight});
    EXPECT_EQ(selectedLabel(), "debug info off");
    EXPECT_FALSE(settings().debugInfo);
    // Enter on a toggle (an item without children) applies it without changing it.
    EXPECT_EQ(tap({kEnter}), 0);
    EXPECT_FALSE(settings().debugInfo);
    EXPECT_EQ(menu().current()->id, MENU_OPTIONS);
    // Before the player 2 and sound pages, reached by wrapping up past "back".
    tap({kUp, kUp, kUp, kUp, kUp, kUp, kUp});
    ASSERT_EQ(selectedLabel(), "goal replays on");
    tap({kRight});
    EXPECT_FALSE(extraSettings().goalReplays);
    extraSettings().resetToDefaults();
}

TEST_F(MenuTest, NewGameChoicesAndFormationLinesCycle) {
    tap({kEnter});
    ASSERT_EQ(menu().current()->id, MENU_NEW_GAME);
    tap({kDown, kDown});
    ASSERT_EQ(selectedLabel(), "match length: 5");
    tap({kLeft});
    EXPECT_EQ(selectedLabel(), "match length: 20");
    tap({kRight});
    EXPECT_EQ(selectedLabel(), "match length: 5");
    tap({kUp, kLeft, kLeft, kLeft});  // back past the two-player sides
    EXPECT_EQ(selectedLabel(), "CPU vs CPU");

    tap({kDown, kDown, kEnter});
    ASSERT_EQ(menu().current()->id, MENU_HOME_FORMATION);
    EXPECT_EQ(selectedId(), MENU_HOME_ST);
    CMenuNode* st = menu().findNode(MENU_HOME_ST);
    std::vector<int> seen;
    for (int i = 0; i < 6; ++i) {
        tap({kRight});
        seen.push_back(st->choice);
    }
    EXPECT_EQ(seen, (std::vector<int>{3, 4, 5, 0, 1, 2}));
    tap({kLeft, kLeft, kLeft});
    EXPECT_EQ(st->choice, 5);
    EXPECT_EQ(st->label(), "5");
    tap({kLeft, kLeft, kLeft, kLeft, kLeft});
    EXPECT_EQ(st->choice, 0);
    EXPECT_EQ(st->label(), "invisible st");
    EXPECT_TRUE(started.empty());
}

TEST_F(MenuTest, ConfirmFormationStartsAMatchOnlyWithTenOutfieldPlayersPerSide) {
    tap({kEnter, kDown, kRight, kDown, kRight, kDown, kEnter});  // away vs CPU, 10 minutes
    ASSERT_EQ(menu().current()->id, MENU_HOME_FORMATION);
    tap({kDown, kDown, kDown, kDown, kDown});
    ASSERT_EQ(selectedId(), MENU_AWAY_FORMATION);
    tap({kEnter});
    ASSERT_EQ(menu().current()->id, MENU_AWAY_FORMATION);
    tap({kDown, kDown, kDown, kDown, kDown});
    ASSERT_EQ(selectedId(), MENU_CONFIRM_FORMATION);
    EXPECT_EQ(tap({kEnter}), MENU_RESULT_NEW_MATCH);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].home, (std::vector<unsigned>{2, 0, 4, 0, 4}));
    EXPECT_EQ(started[0].away, (std::vector<unsigned>{2, 0, 4, 0, 4}));
    EXPECT_EQ(started[0].length, 600.0f);
    EXPECT_EQ(started[0].side, HUMAN_AWAY);

    // Eleven outfield players on the away side (a press that reached the item before a frame
    // could hide it): refused, no match, nothing thrown.
    menu().findNode(MENU_AWAY_ST)->choice = 3;
    EXPECT_EQ(tap({kEnter}), MENU_RESULT_NONE);
    EXPECT_EQ(tap({kRight}), MENU_RESULT_NONE);
    EXPECT_EQ(started.size(), 1u);
    menu().findNode(MENU_AWAY_ST)->choice = 2;
    menu().findNode(MENU_HOME_ST + 4)->choice = 3;  // nine at home
    EXPECT_EQ(tap({kEnter}), MENU_RESULT_NONE);
    EXPECT_EQ(started.size(), 1u);
    // 4-1-3-2 at home is fine: every line counts, the attacking and defensive ones included.
    menu().findNode(MENU_HOME_ST + 4)->choice = 4;
    menu().findNode(MENU_HOME_ST + 2)->choice = 3;
    menu().findNode(MENU_HOME_ST + 3)->choice = 1;
    EXPECT_EQ(tap({kEnter}), MENU_RESULT_NEW_MATCH);
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[1].home, (std::vector<unsigned>{2, 0, 3, 1, 4}));
    // Left and Right on the confirm item set up a match but do not start one.
    EXPECT_EQ(tap({kLeft}), MENU_RESULT_NONE);
    EXPECT_EQ(started.size(), 3u);
}

TEST_F(MenuTest, BadFormationNeverReachesTheRealMatch) {
    CMatch match;
    CMenu m(&match, &keys);
    m.findNode(MENU_HOME_ST)->choice = 5;  // 13 players
    CMenuNode* awayPage = m.findNode(MENU_AWAY_FORMATION);
    awayPage->selectedChild = 5;
    // Walk there the way a player does, then confirm.
    keys.tap(kEnter);
    while (!keys.queue.empty()) m.handleInput();  // "new game" page
    m.findNode(MENU_NEW_GAME)->selectedChild = 3;
    m.findNode(MENU_HOME_FORMATION)->selectedChild = 5;
    for (int i = 0; i < 2; ++i) {
        keys.tap(kEnter);
        while (!keys.queue.empty()) m.handleInput();
    }
    ASSERT_EQ(m.current()->id, MENU_AWAY_FORMATION);
    keys.tap(kEnter);
    int result = 0;
    EXPECT_NO_THROW(while (!keys.queue.empty()) result |= m.handleInput());
    EXPECT_EQ(result, MENU_RESULT_NONE);
    EXPECT_TRUE(match.home.players.empty());
}

TEST_F(MenuTest, ShowOverMatchFlushesAndReturnsToTheRoot) {
    tap({kDown, kEnter, kDown, kEnter});  // deep in the keyboard page
    const int flushesBefore = keys.flushes;
    keys.tap(kDown);  // pressed during play
    menu().showOverMatch(true);
    EXPECT_EQ(keys.flushes, flushesBefore + 1);
    EXPECT_TRUE(keys.queue.empty());
    EXPECT_EQ(menu().current(), menu().root());
    EXPECT_FALSE(menu().findNode(MENU_CONTINUE)->isHidden);
    EXPECT_FALSE(menu().findNode(MENU_STATISTICS)->isHidden);
    EXPECT_EQ(selectedLabel(), "continue");
    EXPECT_EQ(tap({kEnter}), MENU_RESULT_RESUME);
    tap({kDown, kDown, kDown});
    EXPECT_EQ(selectedLabel(), "statistics");

    menu().showOverMatch(false);  // full time
    EXPECT_TRUE(menu().findNode(MENU_CONTINUE)->isHidden);
    EXPECT_FALSE(menu().findNode(MENU_STATISTICS)->isHidden);
    EXPECT_EQ(selectedLabel(), "new game");
    tap({kUp});
    EXPECT_EQ(selectedLabel(), "quit");
    // Left and Right on "continue" and "quit" do nothing.
    EXPECT_EQ(tap({kRight, kLeft}), MENU_RESULT_NONE);
}

TEST_F(MenuTest, RulesAndAutoSwitchReachTheSettingsAndTheNextMatch) {
    extraSettings().resetToDefaults();
    CMatch match;
    CMenu m(&match, &keys);
    auto run = [&](std::initializer_list<int> vks) {
        int last = 0;
        for (int vk : vks) {
            keys.tap(vk);
            while (!keys.queue.empty()) last |= m.handleInput();
        }
        return last;
    };
    run({kDown, kEnter, kDown, kDown, kDown, kDown, kDown});  // options, past debug info
    EXPECT_EQ(m.current()->selected()->label(), "rules: full");  // the default
    run({kLeft});
    EXPECT_EQ(m.current()->selected()->label(), "rules: classic");
    EXPECT_EQ(extraSettings().rules, 0);
    run({kRight});
    EXPECT_EQ(m.current()->selected()->label(), "rules: full");
    EXPECT_EQ(extraSettings().rules, 1);
    run({kDown, kRight});
    EXPECT_EQ(m.current()->selected()->label(), "auto switch off");
    EXPECT_FALSE(extraSettings().autoSwitch);

    // The default starter gives the next match the rules chosen.
    m.findNode(MENU_NEW_GAME)->selectedChild = 3;
    m.findNode(MENU_HOME_FORMATION)->selectedChild = 5;
    m.findNode(MENU_AWAY_FORMATION)->selectedChild = 5;
    m.makeRootCurrent();
    m.root()->selectedChild = 1;
    EXPECT_EQ(run({kEnter, kEnter, kEnter, kEnter}), MENU_RESULT_NEW_MATCH);
    EXPECT_TRUE(match.rules.full());
    EXPECT_FALSE(match.rules.autoSwitch);

    // A menu built from settings that say full shows it.
    extraSettings().rules = 1;
    extraSettings().autoSwitch = true;
    CMenu again(&match, &keys);
    EXPECT_EQ(again.findNode(MENU_RULES)->label(), "rules: full");
    EXPECT_EQ(again.findNode(MENU_AUTO_SWITCH)->label(), "auto switch on");
    extraSettings().resetToDefaults();
}

TEST(MenuNode, ChoicesWrapBothWays) {
    CMenuNode n(30, nullptr, "radar on");
    EXPECT_EQ(n.previousChoice(), 0);  // one choice: stays
    n.choices.emplace_back("radar off");
    n.choices.emplace_back("radar maybe");
    EXPECT_EQ(n.previousChoice(), 2);
    EXPECT_EQ(n.label(), "radar maybe");
    EXPECT_EQ(n.nextChoice(), 2);  // returns the number of choices - 1
    EXPECT_EQ(n.choice, 0);
    EXPECT_EQ(n.nextChoice(), 2);
    EXPECT_EQ(n.choice, 1);
    CMenuNode* child = n.add(7, "st");
    EXPECT_EQ(child->parent, &n);
    EXPECT_EQ(n.selected(), child);
    CMenuNode empty(1, nullptr, "x");
    empty.choices.clear();
    EXPECT_EQ(empty.previousChoice(), -1);
    EXPECT_EQ(empty.selected(), nullptr);
}

}  // namespace
}  // namespace flikka
