// A formation page's "next" follows its lines as they change: no frame has to be drawn for the
// menu to skip it (drawing leaves the menu alone).
#include <gtest/gtest.h>

#include <memory>

#include "menu_fixture.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "ui/Menu.h"

namespace flikka {
namespace {

constexpr int kEnter = 13, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

TEST(FormationConfirm, NextHidesAndShowsWithTheLinesWithoutAFrame) {
    settings().resetToDefaults();
    extraSettings().resetToDefaults();
    testing::ScriptedKeyboard keys;
    CMenu menu(nullptr, &keys);
    auto tap = [&](std::initializer_list<int> vks) {
        for (int vk : vks) {
            keys.tap(vk);
            while (!keys.queue.empty()) menu.handleInput();
        }
    };
    tap({kEnter, kDown, kDown, kDown, kEnter});  // new game, "continue": the home page
    ASSERT_EQ(menu.current()->id, MENU_HOME_FORMATION);
    const CMenuNode& next = *menu.current()->children[5];
    tap({kLeft});  // one striker: nine players
    EXPECT_TRUE(next.isHidden);
    tap({kUp});  // from ST past the hidden item to the D row
    EXPECT_EQ(menu.current()->selectedChild, 4u);
    tap({kUp, kUp, kUp, kUp, kRight});  // two strikers again
    EXPECT_FALSE(next.isHidden);
    tap({kUp});
    EXPECT_EQ(menu.current()->selectedChild, 5u);
    // Setting the flag drops the rule: the item stays as set.
    menu.findNode(MENU_AWAY_FORMATION)->isHidden = true;
    EXPECT_TRUE(next.isHidden);
}

}  // namespace
}  // namespace flikka
