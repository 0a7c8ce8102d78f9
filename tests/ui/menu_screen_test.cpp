#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "menu_fixture.h"
#include "offscreen_fixture.h"
#include "settings/Settings.h"
#include "ui/Graphics.h"
#include "ui/Menu.h"
#include "ui/MenuScreen.h"

// Draws menu pages into the off-screen software target and reads the pixels back. Needs the
// generated gfx/ of the build folder (the tests' working directory).
namespace flikka {
namespace {

using platform::Color;
using platform::PixelBuffer;

constexpr int kEnter = 13, kUp = 38, kDown = 40;

using offscreen::blue;
using offscreen::countIn;
using offscreen::green;
using offscreen::red;
bool isRed(Color c) { return red(c) > 180 && green(c) < 90 && blue(c) < 90; }
bool isWhite(Color c) { return red(c) > 200 && green(c) > 200 && blue(c) > 200; }
bool isLightGrey(Color c) {
    return red(c) > 150 && red(c) < 235 && std::abs(red(c) - green(c)) < 12 && std::abs(red(c) - blue(c)) < 12;
}

class MenuScreenTest : public offscreen::OffscreenGraphicsTest {
protected:
    void SetUp() override {
        settings().resetToDefaults();
        ASSERT_NE(graphics_, nullptr);
        menu = std::make_unique<CMenu>(nullptr, &keys);
        g().setMenu(menu.get());
    }
    void TearDown() override { g().setMenu(nullptr); }

    void tap(std::initializer_list<int> vks) {
        for (int vk : vks) {
            keys.tap(vk);
            while (!keys.queue.empty()) menu->handleInput();
        }
    }
    PixelBuffer draw(bool noMatchBehind = true) {
        g().display().clear(0xFF000000);
        drawMenuScreen(g(), noMatchBehind);
        return g().display().readPixels();
    }
    int listTop() { return (g().windowHeight() - g().menuBackground().height()) / 2; }
    // The text box of item line `line` for the given text, centred as the screen draws it.
    struct Box {
        int x, y, w, h;
    };
    Box lineBox(int line, const std::string& text) {
        const int w = g().menuFont().textWidth(text);
        return {g().windowWidth() / 2 - w / 2, menuItemTop(g(), listTop(), line), w, g().menuFont().height()};
    }
    // The menu font is taller than the line spacing: leave out the rows the line above may reach.
    Box own(Box b) {
        const int overlap = std::max(0, g().menuFont().height() - (g().mainFont().height() + 4));
        return {b.x, b.y + overlap, b.w, b.h - overlap};
    }

    testing::ScriptedKeyboard keys;
    std::unique_ptr<CMenu> menu;
};

TEST_F(MenuScreenTest, MainMenuListsVisibleItemsOnConsecutiveLinesWithNewGameInRed) {
    const PixelBuffer px = draw();
    const Box newGame = lineBox(2, "new game");
    EXPECT_GT(countIn(px, newGame.x, newGame.y, newGame.w, newGame.h, isRed), 20);
    EXPECT_EQ(countIn(px, newGame.x, newGame.y, newGame.w, newGame.h, isWhite), 0);
    int line = 3;
    for (const char* label : {"options", "about", "watch replay", "quit"}) {
        const Box b = own(lineBox(line++, label));
        EXPECT_GT(countIn(px, b.x, b.y, b.w, b.h, isWhite), 20) << label;
        EXPECT_EQ(countIn(px, b.x, b.y, b.w, b.h, isRed), 0) << label;
    }
    // Hidden "continue" and "statistics" take no line: nothing below "quit".
    const Box after = own(lineBox(7, "statistics"));
    const int bgLeft = (g().windowWidth() - g().menuBackground().width()) / 2;
    EXPECT_EQ(countIn(px, bgLeft + 10, after.y, g().menuBackground().width() - 20, after.h,
                      [](Color c) { return isWhite(c) || isRed(c); }),
              0);

    // The pitch image is the background, centred although it is larger than the window.
    const PixelBuffer pitch = platform::loadPng("gfx/pitch.png");
    const int left = (g().windowWidth() - pitch.width) / 2;
    const int top = (g().windowHeight() - pitch.height) / 2;
    ASSERT_LT(left, 0);
    for (auto [x, y] : {std::pair{3, 3}, std::pair{px.width - 4, 7}, std::pair{5, px.height - 2}}) {
        EXPECT_EQ(px.at(x, y) | 0xFF000000u, pitch.at(x - left, y - top) | 0xFF000000u) << x << "," << y;
    }
    // Without noMatchBehind the pitch is left to the match view: black around the list.
    const PixelBuffer bare = draw(false);
    EXPECT_EQ(bare.at(3, 3) & 0xFFFFFFu, 0u);
}

TEST_F(MenuScreenTest, SelectedItemWithChoicesIsFramedInAngleBrackets) {
    tap({kDown, kEnter, kDown});
    const CMenuNode* keyboard = menu->current()->selected();
    EXPECT_EQ(menuItemText(*menu, *keyboard, true), "keyboard settings");  // one choice: never framed
    tap({kDown});
    const CMenuNode* radar = menu->current()->selected();
    ASSERT_EQ(radar->id, MENU_RADAR);
    EXPECT_EQ(menuItemText(*menu, *radar, true), "< radar on >");
    EXPECT_EQ(menuItemText(*menu, *radar, false), "radar on");

    const PixelBuffer px = draw();
    // Options page: back, keyboard settings, radar on lines 2, 3, 4.
    const Box framed = lineBox(4, "< radar on >");
    const Box plain = lineBox(4, "radar on");
    ASSERT_LT(framed.x, plain.x);
    // The "<" stands left of where the bare label would begin, in red.
    EXPECT_GT(countIn(px, framed.x, framed.y, plain.x - framed.x - 2, framed.h, isRed), 5);
    EXPECT_GT(countIn(px, plain.x + plain.w + 2, framed.y, framed.x + framed.w - plain.x - plain.w - 2, framed.h, isRed), 5);
    const Box back = lineBox(2, "back");
    EXPECT_GT(countIn(px, back.x, back.y, back.w, back.h, isWhite), 10);
    const Box debug = lineBox(6, "debug info on");
    EXPECT_GT(countIn(px, debug.x, debug.y, debug.w, debug.h, isWhite), 10);
}

TEST_F(MenuScreenTest, KeyItemsShowTheirKeyAndQuestionMarksWhileCapturing) {
    tap({kDown, kEnter, kDown, kEnter, kDown, kDown});
    const CMenuNode* shoot = menu->current()->selected();
    ASSERT_EQ(shoot->id, MENU_KEY_SHOOT);
    EXPECT_EQ(menuItemText(*menu, *shoot, true), "shoot key(D)");
    EXPECT_EQ(menuItemText(*menu, *menu->findNode(MENU_KEY_PASS), false), "pass key(S)");
    EXPECT_EQ(menuItemText(*menu, *menu->findNode(MENU_KEY_LEFT), false), "run left(Left)");

    tap({kEnter});
    ASSERT_EQ(menu->captureNode(), shoot);
    EXPECT_EQ(menuItemText(*menu, *shoot, true), "???");
    const PixelBuffer px = draw();
    // Keyboard page: back, switch key, shoot key on lines 2, 3, 4.
    const Box marks = lineBox(4, "???");
    const Box full = own(lineBox(4, "shoot key(D)"));
    EXPECT_GT(countIn(px, marks.x, marks.y, marks.w, marks.h, isRed), 10);
    EXPECT_EQ(countIn(px, full.x, full.y, marks.x - full.x - 2, full.h, isRed), 0);
    const Box sw = lineBox(3, "switch key(E)");
    EXPECT_GT(countIn(px, sw.x, sw.y, sw.w, sw.h, isWhite), 20);
    // "thru key" is hidden: line 8 is "run left".
    const Box left = lineBox(8, "run left(Left)");
    EXPECT_GT(countIn(px, left.x, left.y, left.w, left.h, isWhite), 20);
    tap({kUp});  // bound: capture over, Up not followed
    EXPECT_EQ(menu->captureNode(), nullptr);
    EXPECT_EQ(menuItemText(*menu, *shoot, true), "shoot key(Up)");
}

TEST_F(MenuScreenTest, AboutPageDrawsCreditsOnTheLargeBackgroundInsteadOfTheList) {
    tap({kDown, kDown, kEnter});
    ASSERT_EQ(menu->current()->id, MENU_ABOUT);
    const PixelBuffer px = draw();
    const int top = (g().windowHeight() - g().menuBackgroundLarge().height()) / 2;
    const int centre = g().windowWidth() / 2;
    platform::Font& font = g().menuFont();
    const int fh = font.height();
    const int roleWidth = font.textWidth("programming & art");
    // Role labels end 5 pixels left of the centre, names start 5 pixels right of it.
    EXPECT_GT(countIn(px, centre - 5 - roleWidth, top + 120, roleWidth, fh, isWhite), 20);
    EXPECT_GT(countIn(px, centre + 5, top + 100, 60, fh, isWhite), 20);
    EXPECT_EQ(countIn(px, centre - 4, top + 100, 8, 40, isWhite), 0);
    EXPECT_GT(countIn(px, 0, top + 200, px.width, 80, isWhite), 100);
    EXPECT_GT(countIn(px, 0, top + 350, px.width, fh, isLightGrey), 20);
    EXPECT_EQ(countIn(px, 0, 0, px.width, px.height, isRed), 0);  // no selection drawn
    tap({kEnter});
    EXPECT_EQ(menu->current(), menu->root());
}

}  // namespace
}  // namespace flikka
