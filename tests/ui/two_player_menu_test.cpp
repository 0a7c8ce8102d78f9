// The two-player menu items: the new-game sides, and the "player 2 keys" page with the keyboard
// page's rebinding rules, both pages counting as one keyboard; the bindings outlive the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "menu_fixture.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "match/Match.h"
#include "ui/Menu.h"
#include "ui/MenuScreen.h"

namespace flikka {
namespace {

constexpr int kEnter = 13, kEscape = 27, kUp = 38, kRight = 39, kDown = 40;
constexpr int kKeyD = 68, kKeyH = 72, kKeyJ = 74, kKeyT = 84, kKeyY = 89;

class TwoPlayerMenu : public ::testing::Test {
protected:
    void SetUp() override {
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
    }
    void TearDown() override {
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
        std::remove(path_.c_str());
    }
    CMenu& menu() {
        if (!menu_) menu_ = std::make_unique<CMenu>(nullptr, &keys);
        return *menu_;
    }
    void tap(std::initializer_list<int> vks) {
        menu();
        for (int vk : vks) {
            keys.tap(vk);
            while (!keys.queue.empty()) menu().handleInput();
        }
    }
    std::string text(int id) {
        const CMenuNode* n = menu().findNode(id);
        return menuItemText(menu(), *n, n == menu().current()->selected());
    }
    int selectedId() { return menu().current()->selected()->id; }

    testing::ScriptedKeyboard keys;
    std::unique_ptr<CMenu> menu_;
    std::string path_ = "two_player_menu_test_flikka.xml";
};

TEST_F(TwoPlayerMenu, NewGameOffersBothTwoPlayerSidesAndStartsThem) {
    int started = -1;
    menu().setMatchStarter([&](const unsigned*, const unsigned*, float, int side) { started = side; });
    tap({kEnter, kDown});  // new game, the control item
    ASSERT_EQ(selectedId(), MENU_CONTROL);
    tap({kRight, kRight, kRight});
    EXPECT_EQ(menu().current()->selected()->label(), "home: player 1, away: player 2");
    tap({kRight});
    EXPECT_EQ(menu().current()->selected()->label(), "home: players 1 and 2");
    tap({kRight});
    EXPECT_EQ(menu().current()->selected()->label(), "home team vs CPU");  // round again
    tap({kRight, kRight, kRight, kRight});
    // Length, then on through both formation pages to "confirm formation".
    tap({kDown, kDown, kEnter, kUp, kEnter, kUp, kEnter});
    EXPECT_EQ(started, HUMAN_HOME_TWO);
}

TEST_F(TwoPlayerMenu, Player2PageRebindsWithEscapeAndSwapsAcrossBothPlayers) {
    tap({kDown, kEnter, kUp, kUp});  // options, up from "back" past the last item, "sound"
    ASSERT_EQ(selectedId(), MENU_P2_KEYS);
    EXPECT_EQ(menu().current()->selected()->label(), "player 2 keys");
    tap({kEnter});
    EXPECT_EQ(menu().current()->title, "player 2 keys");
    tap({kDown, kDown});
    ASSERT_EQ(selectedId(), MENU_P2_KEY_SHOOT);
    EXPECT_EQ(text(MENU_P2_KEY_SHOOT), "shoot key(Y)");
    EXPECT_TRUE(menu().findNode(MENU_P2_KEY_THRU)->isHidden);

    tap({kEnter, kEscape});
    EXPECT_EQ(menu().captureNode(), nullptr);
    EXPECT_EQ(extraSettings().player2Keys[SLOT_SHOOT], kKeyY);

    tap({kEnter, kKeyT});
    EXPECT_EQ(extraSettings().player2Keys[SLOT_SHOOT], kKeyT);
    // H is player 2's pass key: they change places.
    tap({kEnter, kKeyH});
    EXPECT_EQ(extraSettings().player2Keys[SLOT_SHOOT], kKeyH);
    EXPECT_EQ(extraSettings().player2Keys[SLOT_PASS], kKeyT);
    EXPECT_EQ(text(MENU_P2_KEY_PASS), "pass key(T)");
    // D is player 1's shoot key: one keyboard, so player 1 gets H and nobody shares D.
    tap({kEnter, kKeyD});
    EXPECT_EQ(extraSettings().player2Keys[SLOT_SHOOT], kKeyD);
    EXPECT_EQ(settings().keys[SLOT_SHOOT], kKeyH);
    EXPECT_EQ(menu().findNode(MENU_KEY_SHOOT)->keyCode, kKeyH);
    // Player 1's page swaps back the same way; player 1's table is untouched otherwise.
    tap({kUp, kUp, kEnter});  // back to options
    tap({kUp, kUp, kUp, kUp, kUp, kUp, kUp, kUp, kUp, kUp});  // from "player 2 keys" up to "keyboard settings"
    ASSERT_EQ(selectedId(), MENU_KEYBOARD);
    tap({kEnter, kDown, kDown, kEnter, kKeyD});
    EXPECT_EQ(settings().keys[SLOT_SHOOT], kKeyD);
    EXPECT_EQ(extraSettings().player2Keys[SLOT_SHOOT], kKeyH);
    EXPECT_EQ(settings().keys[SLOT_PASS], 83);
}

TEST_F(TwoPlayerMenu, Player2BindingsSurviveARestart) {
    tap({kDown, kEnter, kUp, kUp, kEnter, kDown, kDown, kDown, kDown, kDown});  // player 2's run left
    ASSERT_EQ(selectedId(), MENU_P2_KEY_LEFT);
    tap({kEnter, kKeyT});
    ASSERT_EQ(extraSettings().player2Keys[SLOT_LEFT], kKeyT);
    saveExtraSettings(path_);

    // The next run: defaults first, then the file, then a new menu.
    extraSettings().resetToDefaults();
    EXPECT_EQ(extraSettings().player2Keys[SLOT_LEFT], kKeyJ);
    ASSERT_TRUE(loadExtraSettings(path_));
    EXPECT_EQ(extraSettings().player2Keys[SLOT_LEFT], kKeyT);
    menu_.reset();
    EXPECT_EQ(menu().findNode(MENU_P2_KEY_LEFT)->keyCode, kKeyT);
    EXPECT_EQ(text(MENU_P2_KEY_LEFT), "run left(T)");
}

}  // namespace
}  // namespace flikka
