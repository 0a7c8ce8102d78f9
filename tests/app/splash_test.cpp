#include <gtest/gtest.h>

#include <set>

#include "app/LoopTimer.h"
#include "app/Splash.h"

namespace {

using flikka::LoopTimer;
using flikka::Splash;

class HeldKeys : public flikka::IKeyboardDevice {
public:
    std::set<int> down;
    bool isKeyDown(int vk) const override { return down.count(vk) != 0; }
};

struct SplashRun {
    Splash splash;
    LoopTimer frame{25};
    HeldKeys keys;
    std::uint32_t now = 50000;
    int frames = 0;

    SplashRun() {
        frame.start(now);
        splash.start(now);
    }
    // Passes every millisecond for `ms` milliseconds or until the splash ends.
    Splash::Outcome run(int ms) {
        for (int i = 0; i < ms; ++i) {
            ++now;
            const Splash::Pass p = splash.pass(now, keys, frame);
            if (p.drawFrame) ++frames;
            if (p.outcome != Splash::RUNNING) return p.outcome;
        }
        return Splash::RUNNING;
    }
};

}  // namespace

TEST(Splash, FadesInAndStaysUntilAKey) {
    SplashRun r;
    EXPECT_EQ(r.run(500), Splash::RUNNING);
    EXPECT_NEAR(r.splash.fade(), 0.5f, 1e-4f);
    EXPECT_EQ(r.frames, 20);  // one frame every 25 ms
    EXPECT_EQ(r.run(10000), Splash::RUNNING);
    EXPECT_EQ(r.splash.fade(), 1.0f);
    EXPECT_FALSE(r.splash.fadingOut());
}

TEST(Splash, EnterReversesTheFadeAtOnceAndTheSplashEndsBelowZero) {
    SplashRun r;
    r.run(300);
    const float reached = r.splash.fade();
    EXPECT_NEAR(reached, 0.3f, 1e-4f);
    r.keys.down = {flikka::kVkEnter};
    r.run(5);
    EXPECT_TRUE(r.splash.fadingOut());
    EXPECT_LT(r.splash.fade(), reached);
    r.keys.down.clear();  // released: the fade keeps going out
    const int before = r.frames;
    int elapsed = 5;
    Splash::Outcome o = Splash::RUNNING;
    while (o == Splash::RUNNING && elapsed < 2000) {
        o = r.run(1);
        ++elapsed;
    }
    EXPECT_EQ(o, Splash::FINISHED);
    // 0.3 takes 60 steps of 5 ms back down, one more to drop below zero.
    EXPECT_NEAR(elapsed, 305, 6);
    EXPECT_GT(r.frames, before);

    for (int key : {flikka::kVkSpace, flikka::kVkEscape}) {
        SplashRun s;
        s.run(2000);
        s.keys.down = {key};
        EXPECT_EQ(s.run(2000), Splash::FINISHED) << key;
        EXPECT_LT(s.splash.fade(), 0.0f);
    }
}

TEST(Splash, AltF4EndsItWithQuitAndWithoutAFrame) {
    SplashRun r;
    r.run(100);
    r.keys.down = {flikka::kVkF4};
    EXPECT_EQ(r.run(50), Splash::RUNNING);  // F4 alone is nothing
    r.keys.down = {flikka::kVkAlt, flikka::kVkF4};
    const int frames = r.frames;
    ++r.now;
    r.now += 25;  // the frame timer is due, but the splash ends first
    const Splash::Pass p = r.splash.pass(r.now, r.keys, r.frame);
    EXPECT_EQ(p.outcome, Splash::QUIT);
    EXPECT_FALSE(p.drawFrame);
    EXPECT_EQ(r.frames, frames);
}

TEST(Splash, WaitsForTheFadeStepOrTheFrameWhicheverComesFirst) {
    Splash s;
    LoopTimer frame(25);
    frame.start(1000);
    s.start(1003);
    EXPECT_EQ(s.untilDue(1003, frame), 5u);
    EXPECT_EQ(s.untilDue(1007, frame), 1u);
    EXPECT_EQ(s.untilDue(1008, frame), 0u);
}

// The main loop drives the splash by step() on its own logic timer: every step moves the fade.
TEST(Splash, StepsOnATimerOutsideAndAKeyTurnsTheFollowingSteps) {
    Splash s;
    HeldKeys keys;
    for (int i = 0; i < 100; ++i) ASSERT_EQ(s.step(keys), Splash::RUNNING);
    EXPECT_NEAR(s.fade(), 0.5f, 1e-4f);
    keys.down = {flikka::kVkSpace};
    EXPECT_EQ(s.step(keys), Splash::RUNNING);
    EXPECT_NEAR(s.fade(), 0.505f, 1e-4f);  // the step fades in still; the key turns the next
    EXPECT_TRUE(s.fadingOut());
    keys.down.clear();
    int steps = 1;
    while (s.step(keys) == Splash::RUNNING && steps < 1000) ++steps;
    EXPECT_NEAR(steps, 102, 1);
    EXPECT_LT(s.fade(), 0.0f);

    Splash q;
    keys.down = {flikka::kVkAlt, flikka::kVkF4};
    EXPECT_EQ(q.step(keys), Splash::QUIT);
}
