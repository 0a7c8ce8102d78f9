// A virtual pad plays the game as the loop wires it: through the menus to a match, the whole
// match with a pad plugged in and pulled out half-way, pause and resume, and rumble.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/Controls.h"
#include "platform/Gamepad.h"
#include "platform/Platform.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "team/GlobalAI.h"
#include "ui/Menu.h"

namespace flikka {
namespace {

using platform::VirtualPad;

constexpr float kStep = 0.005f;
constexpr int kFull = 32767;

class PadGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
        platform::WindowDescription d;
        d.width = 64;
        d.height = 48;
        d.offscreen = true;
        d.gamepads = true;
        display = platform::Display::open(d);
        controls = std::make_unique<Controls>(display->keyboard(), display->gamepads());
        keys.keyboard = &display->keyboard();
        keys.keyTable = settings().keys;
        controls->attach(keys);
        match = std::make_unique<CMatch>();
        menu = std::make_unique<CMenu>(match.get(), &display->keyboard());
    }
    void TearDown() override {
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
    }

    // The loop's menu steps after the window events: every key event is handled.
    int menuSteps() {
        display->keepAlive();
        int last = MENU_RESULT_NONE;
        for (int i = 0; i < 8; ++i) {
            const int r = menu->handleInput();
            if (r != MENU_RESULT_NONE) last = r;
        }
        return last;
    }
    int press(VirtualPad& pad, int button) {
        pad.setButton(button, true);
        const int r = menuSteps();
        pad.setButton(button, false);
        return r != MENU_RESULT_NONE ? r : menuSteps();
    }
    void pushStick(VirtualPad& pad, int x, int y) {
        pad.setAxis(platform::PAD_LEFT_X, x);
        pad.setAxis(platform::PAD_LEFT_Y, y);
        menuSteps();
        pad.setAxis(platform::PAD_LEFT_X, 0);
        pad.setAxis(platform::PAD_LEFT_Y, 0);
        menuSteps();
    }
    int selectedId() { return menu->current()->selected()->id; }

    // One logic step of the match as the loop runs it.
    int matchStep() {
        display->keepAlive();
        StepInput in;
        in.slots[0] = keys.sample();
        const int result = match->step(in, kStep);
        controls->afterStep(match->events);
        return result;
    }

    std::unique_ptr<platform::Display> display;
    std::unique_ptr<Controls> controls;
    KeySampler keys;
    std::unique_ptr<CMatch> match;
    std::unique_ptr<CMenu> menu;
};

// Plays the human's footballer from a pad: to the ball, then at the goal, shooting from close.
struct PadBot {
    VirtualPad* pad = nullptr;
    bool shooting = false;
    int held = 0;
    int passing = 0;

    // Returns true when it let go of the shoot button this step while holding the ball.
    bool drive(const CMatch& m) {
        const CPlayer* me = m.humans[0].selected;
        if (me == nullptr || pad == nullptr) return false;
        const bool up = m.home.plan->attacksUpwards;
        float tx = m.ball.position.x, ty = m.ball.position.y;
        if (me->hasBall) {
            tx = 0.0f;
            ty = up ? 52.5f : -52.5f;
        }
        const float dx = tx - me->position.x, dy = ty - me->position.y;
        const float len = std::hypot(dx, dy);
        pad->setAxis(platform::PAD_LEFT_X, len > 0.3f ? static_cast<int>(kFull * dx / len) : 0);
        pad->setAxis(platform::PAD_LEFT_Y, len > 0.3f ? static_cast<int>(-kFull * dy / len) : 0);
        bool released = false;
        // A restart waits for the human's taker: a pass (press, then the release kicks).
        if (me->hasBall && m.state == GAME_READY && passing == 0) passing = 1;
        if (passing > 0 && ++passing > 20) passing = 0;
        pad->setButton(platform::PAD_A, passing > 0 && passing < 12);
        if (passing > 0) return false;
        if (me->hasBall && m.state == GAME_PLAY && std::fabs(ty - me->position.y) < 24.0f) {
            if (!shooting) shooting = true, held = 0;
        }
        if (shooting && ++held > 40) {  // 0.2 s of wind-up, then the release kicks
            released = me->hasBall;
            shooting = false;
        }
        pad->setButton(platform::PAD_B, shooting);
        return released;
    }
};

TEST_F(PadGameTest, MenusAndAWholeMatchFromAPadWithPlugUnplugPauseAndRumble) {
    auto first = std::make_unique<VirtualPad>();
    menuSteps();
    ASSERT_EQ(display->gamepads().count(), 1);

    // Main menu to the new-game page with the d-pad and A.
    ASSERT_EQ(selectedId(), MENU_NEW_GAME);
    press(*first, platform::PAD_A);
    ASSERT_EQ(menu->current()->id, MENU_NEW_GAME);
    press(*first, platform::PAD_DOWN);          // the control item
    EXPECT_EQ(selectedId(), MENU_CONTROL);
    pushStick(*first, 0, kFull);                // the stick moves once per push
    EXPECT_EQ(selectedId(), MENU_MATCH_LENGTH);
    pushStick(*first, 0, 12000);                // a lean is not a push
    EXPECT_EQ(selectedId(), MENU_MATCH_LENGTH);
    press(*first, platform::PAD_RIGHT);         // 10 minutes, and back to 5
    EXPECT_EQ(menu->findNode(MENU_MATCH_LENGTH)->label(), "match length: 10");
    pushStick(*first, -kFull, 0);
    EXPECT_EQ(menu->findNode(MENU_MATCH_LENGTH)->label(), "match length: 5");
    press(*first, platform::PAD_DOWN);
    press(*first, platform::PAD_A);             // home formation
    ASSERT_EQ(menu->current()->id, MENU_HOME_FORMATION);
    for (int i = 0; i < 5; ++i) press(*first, platform::PAD_DOWN);
    press(*first, platform::PAD_A);             // away formation
    ASSERT_EQ(menu->current()->id, MENU_AWAY_FORMATION);
    for (int i = 0; i < 5; ++i) pushStick(*first, 0, kFull);
    first->setButton(platform::PAD_A, true);    // held into the match
    ASSERT_EQ(menuSteps(), MENU_RESULT_NEW_MATCH);
    controls->enterMatch();
    ASSERT_EQ(match->humans[0].team, &match->home);

    PadBot bot{first.get()};
    std::unique_ptr<VirtualPad> second, third;
    int steps = 0, humanShots = 0, shotEvents = 0 /* steps with a pad to shake */, halves = 0, pauses = 0;
    int result = 0, rumbles = 0;
    bool secondSteered = false, firstIgnored = false, keyboardAlone = false;
    const int passesAtStart = match->home.passes;
    bool aStillHeld = true;
    const KeyState& keys = match->humans[0].keys;
    while (result != 2) {
        ASSERT_LT(steps, 200000) << "the match never ended";
        // The A that confirmed the formation does nothing in the match until it is let go.
        if (aStillHeld && steps == 100) {
            EXPECT_FALSE(keys.current[SLOT_PASS]);
            EXPECT_EQ(match->home.passes, passesAtStart);
            first->setButton(platform::PAD_A, false);
            aStillHeld = false;
        }
        // A second pad plugged in takes over at once; the first one's stick no longer counts.
        if (steps == 12000) {
            second = std::make_unique<VirtualPad>();
            bot.pad = second.get();
            first->setAxis(platform::PAD_LEFT_X, -kFull);
            first->setAxis(platform::PAD_LEFT_Y, 0);
        }
        if (steps > 12010 && steps < 24000 && match->humans[0].selected != nullptr && second) {
            secondSteered |= keys.current[SLOT_RIGHT] || keys.current[SLOT_UP] || keys.current[SLOT_DOWN];
            firstIgnored |= !keys.current[SLOT_LEFT] && keys.current[SLOT_RIGHT];
        }
        // Pulled out: the first pad is player one's again, then the keyboard alone; play goes on.
        if (steps == 24000) {
            rumbles += second->rumbles();
            second.reset();
            bot.pad = first.get();
        }
        if (steps == 36000) {
            rumbles += first->rumbles();
            first.reset();
            bot.pad = nullptr;
        }
        if (steps > 36010 && steps < 42000) keyboardAlone |= std::none_of(keys.current, keys.current + 16, [](bool b) { return b; });
        if (steps == 42000) {
            third = std::make_unique<VirtualPad>();
            bot.pad = third.get();
        }
        // Start pauses; A on "continue" resumes, and that A passes nobody.
        if (steps == 45000) {
            ASSERT_TRUE(third);
            third->setButton(platform::PAD_START, true);
            display->keepAlive();
            ASSERT_TRUE(controls->pauseRequested());
            menu->showOverMatch(true);
            third->setButton(platform::PAD_START, false);
            menuSteps();
            ASSERT_EQ(selectedId(), MENU_CONTINUE);
            third->setButton(platform::PAD_A, true);
            ASSERT_EQ(menuSteps(), MENU_RESULT_RESUME);
            controls->enterMatch();
            ++pauses;
            const int passes = match->home.passes;
            for (int i = 0; i < 20; ++i) matchStep();
            EXPECT_EQ(match->home.passes, passes);
            third->setButton(platform::PAD_A, false);
        }

        const int shotsBefore = match->home.shots;
        const bool released = !aStillHeld && bot.drive(*match);
        result = matchStep();
        ++steps;
        if (released && match->home.shots > shotsBefore) ++humanShots;
        bool shake = false;
        for (const MatchEvent& e : match->events) {
            shake |= (e.kind == MatchEventKind::Kick && e.kickKind == KickEventKind::Shot) || e.kind == MatchEventKind::Goal;
        }
        if (shake && display->gamepads().count() > 0) ++shotEvents;
        if (result == 1) {  // half time: "continue" from the pad
            ++halves;
            menu->showOverMatch(true);
            ASSERT_TRUE(bot.pad != nullptr);
            ASSERT_EQ(press(*bot.pad, platform::PAD_A), MENU_RESULT_RESUME);
            controls->enterMatch();
        }
    }
    EXPECT_EQ(halves, 1);
    EXPECT_EQ(pauses, 1);
    EXPECT_GE(steps, 60000);  // five minutes of 5 ms steps, plus the wait for the ball at the end
    EXPECT_TRUE(secondSteered);
    EXPECT_TRUE(firstIgnored);
    EXPECT_TRUE(keyboardAlone);
    EXPECT_GE(humanShots, 1);
    // Steps with a shot or a goal rumbled the pad in seat 0. SDL skips a repeat of the very same
    // rumble while the last one still runs in real time, and this match runs far faster than
    // that, so only the bounds are sure.
    rumbles += third->rumbles();
    EXPECT_GT(shotEvents, 0);
    EXPECT_GT(rumbles, 0);
    EXPECT_LE(rumbles, shotEvents);
}

TEST_F(PadGameTest, RumbleOnShotsAndGoalsUnlessSwitchedOff) {
    VirtualPad pad;
    display->keepAlive();
    MatchEvent pass;
    pass.kind = MatchEventKind::Kick;
    pass.kickKind = KickEventKind::Pass;
    MatchEvent shot = pass;
    shot.kickKind = KickEventKind::Shot;
    MatchEvent goal;
    goal.kind = MatchEventKind::Goal;

    controls->afterStep({pass});
    EXPECT_EQ(pad.rumbles(), 0);
    controls->afterStep({shot});
    EXPECT_EQ(pad.rumbles(), 1);
    const unsigned shotStrength = pad.lowRumble();
    controls->afterStep({shot, goal});  // one rumble per step, the goal's
    EXPECT_EQ(pad.rumbles(), 2);
    EXPECT_GT(pad.lowRumble(), shotStrength);
    extraSettings().rumble = false;
    controls->afterStep({goal});
    EXPECT_EQ(pad.rumbles(), 2);
}

}  // namespace
}  // namespace flikka
