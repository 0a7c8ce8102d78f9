// The sound page and the menu's clicks.
#include <gtest/gtest.h>

#include <vector>

#include "menu_fixture.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "ui/Menu.h"

namespace flikka {
namespace {

constexpr int kEnter = 13, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

class MenuSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
    }
    void TearDown() override { SetUp(); }

    CMenu& menu() {
        if (!menu_) {
            menu_ = std::make_unique<CMenu>(nullptr, &keys);
            menu_->setCueListener([this](MenuCue c) { cues.push_back(c); });
        }
        return *menu_;
    }
    void tap(std::initializer_list<int> vks) {
        menu();
        for (int vk : vks) {
            keys.tap(vk);
            while (!keys.queue.empty()) menu().handleInput();
        }
    }
    std::string selectedLabel() { return menu().current()->selected()->label(); }

    testing::ScriptedKeyboard keys;
    std::unique_ptr<CMenu> menu_;
    std::vector<MenuCue> cues;
};

TEST_F(MenuSoundTest, SoundPageShowsTheSettingsAndWritesThemAtOnce) {
    extraSettings().effectsVolume = 74;  // from a hand-edited file: shown at the nearest step
    extraSettings().mute = true;
    tap({kDown, kEnter, kUp});  // options, up from "back" wraps to the last item
    ASSERT_EQ(menu().current()->id, MENU_OPTIONS);
    ASSERT_EQ(selectedLabel(), "sound");
    tap({kEnter});
    ASSERT_EQ(menu().current()->id, MENU_SOUND);
    EXPECT_EQ(menu().current()->title, "sound");
    std::vector<int> ids;
    for (auto& c : menu().current()->children) ids.push_back(c->id);
    EXPECT_EQ(ids, (std::vector<int>{MENU_BACK, MENU_EFFECTS_VOLUME, MENU_CROWD_VOLUME, MENU_MUTE}));

    tap({kDown});
    EXPECT_EQ(selectedLabel(), "effects volume: 70");
    EXPECT_EQ(extraSettings().effectsVolume, 74);  // only a change writes
    tap({kRight});
    EXPECT_EQ(selectedLabel(), "effects volume: 80");
    EXPECT_EQ(extraSettings().effectsVolume, 80);
    tap({kRight, kRight, kRight});  // 100, then round to 0
    EXPECT_EQ(extraSettings().effectsVolume, 0);
    tap({kDown, kLeft});
    EXPECT_EQ(selectedLabel(), "crowd volume: 50");
    EXPECT_EQ(extraSettings().crowdVolume, 50);
    tap({kDown});
    EXPECT_EQ(selectedLabel(), "sound off");
    tap({kRight});
    EXPECT_EQ(selectedLabel(), "sound on");
    EXPECT_FALSE(extraSettings().mute);
    tap({kDown, kEnter});  // back
    EXPECT_EQ(menu().current()->id, MENU_OPTIONS);
}

TEST_F(MenuSoundTest, MovesAndChoicesClickButReleasesAndDeadKeysDoNot) {
    tap({kDown, kUp});
    EXPECT_EQ(cues, (std::vector<MenuCue>{MenuCue::Move, MenuCue::Move}));
    cues.clear();
    tap({kLeft, kRight});  // "new game" has no choices
    keys.queue.push_back({kDown, true, true});  // an auto-repeat
    menu().handleInput();
    EXPECT_TRUE(cues.empty());
    tap({kEnter, kDown, kRight});  // into "new game", to the control item, change it
    EXPECT_EQ(cues, (std::vector<MenuCue>{MenuCue::Select, MenuCue::Move, MenuCue::Move}));
    cues.clear();
    // A key binding: Enter starts the capture, the key that ends it clicks as a choice made.
    tap({kUp, kEnter, kDown, kEnter, kDown, kEnter});  // back to the root, options, keyboard settings
    ASSERT_EQ(menu().current()->id, MENU_KEYBOARD);
    cues.clear();
    tap({kDown, kEnter, kRight});
    EXPECT_EQ(cues, (std::vector<MenuCue>{MenuCue::Move, MenuCue::Select, MenuCue::Select}));
}

}  // namespace
}  // namespace flikka
