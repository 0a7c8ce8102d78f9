// The main loop's modes wired as CFlikka::run wires them, on the off-screen target with a
// scripted keyboard: their hand-overs, the key flushes and redraws at each, and frames that
// leave the game as they found it. Needs the generated gfx/ of the build folder.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <set>

#include "app/Controls.h"
#include "app/MenuRedraw.h"
#include "app/Modes.h"
#include "app/ReplayControl.h"
#include "app/SoundDirector.h"
#include "platform/Audio.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "ui/Graphics.h"
#include "ui/MatchMoments.h"
#include "ui/Menu.h"

namespace flikka {
namespace {

class ScriptedKeys : public platform::Keyboard {
public:
    std::set<int> down;
    std::deque<platform::KeyEvent> queue;
    int flushes = 0;

    bool isKeyDown(int vk) const override { return down.count(vk) != 0; }
    bool pollEvent(platform::KeyEvent& e) override {
        if (queue.empty()) return false;
        e = queue.front();
        queue.pop_front();
        return true;
    }
    void flushEvents() override {
        queue.clear();
        ++flushes;
    }
    void tap(int vk) {
        queue.push_back({vk, true, false});
        queue.push_back({vk, false, false});
    }
};

constexpr int kVkDown = 40;
constexpr int kVkUp = 38;

class ModesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists("gfx/pitch.png")) << "run in the build folder with the generated gfx/";
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
        graphics.openDisplayAndLoadAssets(true);
        controls = std::make_unique<Controls>(keyboard, graphics.display().gamepads());
        keys = KeySampler{&keyboard, settings().keys};
        keys2 = KeySampler{&keyboard, extraSettings().player2Keys};
        match = std::make_unique<CMatch>();
        menu = std::make_unique<CMenu>(match.get(), &keyboard);
        replays = std::make_unique<ReplayControl>(*match, keyboard);
        graphics.setMatch(match.get());
        graphics.setMenu(menu.get());
        ctx = std::make_unique<ModeContext>(ModeContext{graphics, graphics.display(), keyboard, *controls, keys, keys2,
                                                        *match, *menu, *replays, &sound, moments, redraw});
    }
    void TearDown() override {
        graphics.setMenu(nullptr);
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
    }

    // Steps `mode` until it hands over (at most `limit` steps); returns the next mode.
    ModeId stepUntilLeft(Mode& mode, int limit = 16) {
        for (int i = 0; i < limit; ++i) {
            const ModeId next = mode.tick(*ctx);
            if (next != mode.id()) return next;
        }
        return mode.id();
    }
    FrameContext frame() { return {graphics, graphics.display(), moments, *replays}; }
    void drawn() { redraw.drawn(1000); }
    bool redrawDue() const { return redraw.needed(1001); }

    CGraphics graphics;
    ScriptedKeys keyboard;
    std::unique_ptr<Controls> controls;
    KeySampler keys, keys2;
    std::unique_ptr<CMatch> match;
    std::unique_ptr<CMenu> menu;
    std::unique_ptr<ReplayControl> replays;
    MatchMoments moments;
    MenuRedraw redraw;
    std::unique_ptr<platform::Audio> audio = platform::Audio::silent();
    SoundDirector sound{*audio};
    std::unique_ptr<ModeContext> ctx;

    CardMode card;
    ReplayViewerMode viewer;
    MatchMode matchMode{card};
    MenuMode mainMenu{false, viewer};
    MenuMode overMatch{true, viewer};
};

TEST_F(ModesTest, NewMatchToHalfTimeCardToTheMenuOverItAndEscapeAndContinue) {
    // The main menu through the new-game and formation pages into a match.
    keyboard.tap(kVkEnter);
    for (int i = 0; i < 3; ++i) keyboard.tap(kVkDown);
    keyboard.tap(kVkEnter);
    for (int i = 0; i < 5; ++i) keyboard.tap(kVkDown);
    keyboard.tap(kVkEnter);
    for (int i = 0; i < 5; ++i) keyboard.tap(kVkDown);
    keyboard.tap(kVkEnter);
    drawn();
    ASSERT_EQ(stepUntilLeft(mainMenu, 64), ModeId::Match);
    EXPECT_TRUE(redrawDue());  // the keys moved the menu
    EXPECT_EQ(match->humanCount(), 1);

    // No Escape: the match stays; Escape: the menu over it with "continue", keys flushed.
    EXPECT_EQ(matchMode.pass(*ctx), ModeId::Match);
    keyboard.down = {kVkEscape};
    drawn();
    int flushes = keyboard.flushes;
    ASSERT_EQ(matchMode.pass(*ctx), ModeId::MenuOverMatch);
    EXPECT_TRUE(redrawDue());
    EXPECT_GT(keyboard.flushes, flushes);
    keyboard.down.clear();
    EXPECT_EQ(menu->current()->selected()->id, MENU_CONTINUE);
    keyboard.tap(kVkEnter);
    ASSERT_EQ(stepUntilLeft(overMatch), ModeId::Match);

    // Half time: the card, with the keys pressed before it flushed. No goal's replay (which
    // takes the keys too) stands in between.
    extraSettings().goalReplays = false;
    int steps = 0;
    ModeId next = ModeId::Match;
    while (next == ModeId::Match && steps < 100000) {
        next = matchMode.tick(*ctx);
        ++steps;
        if (steps == 10) keyboard.tap(kVkEnter);  // comes before the card: must not wave it away
    }
    ASSERT_EQ(next, ModeId::Card) << "no half time in " << steps << " steps";
    EXPECT_TRUE(keyboard.queue.empty());
    EXPECT_EQ(card.tick(*ctx), ModeId::Card);

    // The card's frame and the match's leave the match and the menu as they were.
    const auto ball = match->ball.position;
    const auto at = match->steps;
    const CMenuNode* page = menu->current();
    card.draw(frame());
    matchMode.draw(frame());
    overMatch.draw(frame());
    EXPECT_EQ(match->steps, at);
    EXPECT_EQ(match->ball.position.x, ball.x);
    EXPECT_EQ(match->ball.position.y, ball.y);
    EXPECT_EQ(menu->current(), page);
    EXPECT_EQ(card.tick(*ctx), ModeId::Card);

    // A key waves the card away: the menu over the match, "continue" offered after half time.
    keyboard.tap(kVkEnter);
    drawn();
    ASSERT_EQ(card.tick(*ctx), ModeId::MenuOverMatch);
    EXPECT_TRUE(redrawDue());
    EXPECT_EQ(menu->current()->selected()->id, MENU_CONTINUE);
}

TEST_F(ModesTest, TheViewerReturnsToTheMenuItCameFromAndQuitIsNoMode) {
    for (MenuMode* from : {&mainMenu, &overMatch}) {
        viewer.open(*ctx, from->id());
        EXPECT_EQ(viewer.tick(*ctx), ModeId::ReplayViewer);
        keyboard.tap(kVkEscape);  // leaves a replay, or the notice that there is none
        drawn();
        const int flushes = keyboard.flushes;
        ASSERT_EQ(stepUntilLeft(viewer, 4), from->id());
        EXPECT_GT(keyboard.flushes, flushes);
        EXPECT_TRUE(redrawDue());
    }
    keyboard.tap(kVkUp);  // from "new game" round to "quit"
    keyboard.tap(kVkEnter);
    EXPECT_EQ(stepUntilLeft(mainMenu), ModeId::Quit);
}

}  // namespace
}  // namespace flikka
