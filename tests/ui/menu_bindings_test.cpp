// Rebinding on the keyboard and gamepad pages (Escape cancels, a taken key changes places) and
// the display items that take effect at once.
#include <gtest/gtest.h>

#include <memory>

#include "menu_fixture.h"
#include "platform/Gamepad.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "ui/Menu.h"
#include "ui/MenuScreen.h"

namespace flikka {
namespace {

constexpr int kEnter = 13, kEscape = 27, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kKeyD = 68, kKeyF = 70, kKeyQ = 81, kKeyS = 83;

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
    }
    void TearDown() override {
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
    }
    CMenu& menu() {
        if (!menu_) menu_ = std::make_unique<CMenu>(nullptr, &keys);
        return *menu_;
    }
    void run() {
        while (!keys.queue.empty()) menu().handleInput();
    }
    void tap(std::initializer_list<int> vks) {
        menu();
        for (int vk : vks) {
            keys.tap(vk);
            run();
        }
    }
    // A pad button as the display delivers it: its menu key (or none) and the button itself.
    void padTap(int button) {
        menu();
        const int vk = platform::pad::menuKeyOf(button);
        keys.queue.push_back({vk, true, false, true, button});
        keys.queue.push_back({vk, false, false, true, button});
        run();
    }
    std::string text(int id) {
        const CMenuNode* n = menu().findNode(id);
        return menuItemText(menu(), *n, n == menu().current()->selected());
    }
    bool capturing() { return menu().captureNode() != nullptr; }

    testing::ScriptedKeyboard keys;
    std::unique_ptr<CMenu> menu_;
};

TEST_F(BindingTest, KeyboardPageEscapeCancelsATakenKeyChangesPlacesAndPadsAreNotKeys) {
    tap({kDown, kEnter, kDown, kEnter, kDown, kDown});  // options, keyboard settings, shoot key
    ASSERT_EQ(menu().current()->selected()->id, MENU_KEY_SHOOT);

    tap({kEnter});
    ASSERT_TRUE(capturing());
    tap({kEscape});
    EXPECT_FALSE(capturing());
    EXPECT_EQ(settings().keys[SLOT_SHOOT], kKeyD);
    EXPECT_EQ(text(MENU_KEY_SHOOT), "shoot key(D)");

    // S belongs to the pass key: the two change places, and the page shows both.
    tap({kEnter, kKeyS});
    EXPECT_EQ(settings().keys[SLOT_SHOOT], kKeyS);
    EXPECT_EQ(settings().keys[SLOT_PASS], kKeyD);
    EXPECT_EQ(text(MENU_KEY_SHOOT), "shoot key(S)");
    EXPECT_EQ(text(MENU_KEY_PASS), "pass key(D)");

    // An arrow held by a run key swaps with it; the fixed arrow keeps its key.
    tap({kEnter, kLeft});
    EXPECT_EQ(settings().keys[SLOT_SHOOT], kLeft);
    EXPECT_EQ(settings().keys[SLOT_LEFT], kKeyS);
    EXPECT_EQ(settings().keys[SLOT_FIXED_LEFT], kLeft);
    // The hidden thru key is not on the page: it is never moved.
    tap({kEnter, kKeyQ});
    EXPECT_EQ(settings().keys[SLOT_SHOOT], kKeyQ);
    EXPECT_EQ(settings().keys[SLOT_THRU], kKeyQ);
    EXPECT_EQ(settings().keys[SLOT_LEFT], kKeyS);

    // A pad's A (Enter) does not bind on the keyboard page; its Start cancels like Escape.
    tap({kEnter});
    padTap(platform::PAD_A);
    EXPECT_TRUE(capturing());
    padTap(platform::PAD_START);
    EXPECT_FALSE(capturing());
    EXPECT_EQ(settings().keys[SLOT_SHOOT], kKeyQ);
    EXPECT_EQ(settings().keys[SLOT_ESCAPE], kEscape);
}

TEST_F(BindingTest, GamepadPageBindsFreeButtonsOnlyAndSwapsTakenOnes) {
    tap({kDown, kEnter, kDown, kDown, kDown, kDown, kDown, kDown, kDown});  // options ... gamepad settings
    ASSERT_EQ(menu().current()->selected()->id, MENU_GAMEPAD);
    tap({kEnter});
    ASSERT_EQ(menu().current()->id, MENU_GAMEPAD);
    EXPECT_EQ(menu().current()->title, "gamepad settings");
    EXPECT_EQ(text(MENU_PAD_SWITCH), "switch button(Y)");
    EXPECT_EQ(text(MENU_PAD_PASS), "pass button(A)");
    EXPECT_TRUE(menu().findNode(MENU_PAD_THRU)->isHidden);
    tap({kDown, kDown});
    ASSERT_EQ(menu().current()->selected()->id, MENU_PAD_SHOOT);

    // Keys and fixed buttons leave the capture waiting; a free button binds.
    tap({kEnter, kKeyF});
    EXPECT_TRUE(capturing());
    padTap(platform::PAD_UP);
    padTap(platform::PAD_GUIDE);
    EXPECT_TRUE(capturing());
    EXPECT_EQ(text(MENU_PAD_SHOOT), "???");
    padTap(platform::PAD_RB);
    EXPECT_FALSE(capturing());
    EXPECT_EQ(extraSettings().padShoot, platform::PAD_RB);
    EXPECT_EQ(text(MENU_PAD_SHOOT), "shoot button(RB)");

    // The pad's A starts a capture too (it is Enter); Y is the switch button's: they swap.
    tap({kDown});
    padTap(platform::PAD_A);
    ASSERT_TRUE(capturing());
    padTap(platform::PAD_Y);
    EXPECT_EQ(extraSettings().padPass, platform::PAD_Y);
    EXPECT_EQ(extraSettings().padSwitch, platform::PAD_A);
    EXPECT_EQ(text(MENU_PAD_PASS), "pass button(Y)");
    EXPECT_EQ(text(MENU_PAD_SWITCH), "switch button(A)");

    // Escape and Start cancel.
    tap({kEnter, kEscape});
    EXPECT_FALSE(capturing());
    padTap(platform::PAD_A);
    padTap(platform::PAD_START);
    EXPECT_FALSE(capturing());
    EXPECT_EQ(extraSettings().padPass, platform::PAD_Y);

    tap({kDown, kDown, kRight});
    EXPECT_EQ(menu().current()->selected()->id, MENU_RUMBLE);
    EXPECT_FALSE(extraSettings().rumble);
}

TEST_F(BindingTest, DisplayItemsApplyAtOnceAndShowWhatTheDisplayCouldDo) {
    settings().hRes = 1000;  // a size only the file can give still shows, preselected
    settings().vRes = 700;
    int applied = 0;
    bool refuseFullscreen = false;
    menu().setDisplayApplier([&] {
        ++applied;
        if (refuseFullscreen) settings().fullscreen = false;
    });
    EXPECT_EQ(menu().findNode(MENU_RESOLUTION)->label(), "resolution: 1000x700");
    ASSERT_EQ(menu().resolutions().front(), (std::pair<int, int>{640, 480}));
    EXPECT_EQ(menu().resolutions().back(), (std::pair<int, int>{1920, 1080}));

    tap({kDown, kEnter, kDown, kDown, kDown, kDown, kDown, kDown, kDown, kDown});  // options ... resolution
    ASSERT_EQ(menu().current()->selected()->id, MENU_RESOLUTION);
    EXPECT_EQ(text(MENU_RESOLUTION), "< resolution: 1000x700 >");
    tap({kRight});  // sizes go by area: 1000 x 700 lies between 800 x 600 and 1024 x 768
    EXPECT_EQ(settings().hRes, 1024);
    EXPECT_EQ(settings().vRes, 768);
    EXPECT_EQ(applied, 1);
    tap({kLeft, kLeft});
    EXPECT_EQ(settings().hRes, 800);
    EXPECT_EQ(settings().vRes, 600);
    EXPECT_EQ(applied, 3);

    tap({kDown, kRight});
    EXPECT_EQ(menu().current()->selected()->label(), "scaling: sharp");
    EXPECT_EQ(extraSettings().scaling, 1);
    EXPECT_EQ(applied, 4);

    // Full screen the display refuses: the item shows what is.
    refuseFullscreen = true;
    tap({kUp, kUp, kUp, kUp, kUp, kUp});
    ASSERT_EQ(menu().current()->selected()->id, MENU_FULLSCREEN);
    tap({kLeft});
    EXPECT_FALSE(settings().fullscreen);
    EXPECT_EQ(menu().findNode(MENU_FULLSCREEN)->label(), "fullscreen off");
    // Alt+Enter changed it behind the menu's back: the item follows the settings.
    settings().fullscreen = true;
    menu().refreshDisplayItems();
    EXPECT_EQ(menu().findNode(MENU_FULLSCREEN)->label(), "fullscreen on");
}

}  // namespace
}  // namespace flikka
