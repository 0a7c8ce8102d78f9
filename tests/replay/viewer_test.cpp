// "watch replay": the three speeds and pause step the playback as the keys say, and closing the
// viewer gives the run its generator, clock and console back.
#include <gtest/gtest.h>

#include <sstream>

#include "live_fixture.h"
#include "replay/Viewer.h"

namespace flikka {
namespace {

using namespace live_fixture;
using replay::Viewer;

TEST(Viewer, SpeedsAndPauseStepThePlayback) {
    Viewer v;
    v.setGoalReplays(false);
    v.open(oneMinuteHumanMatch().replay);
    auto stepsAfter = [&](int ticks) {
        const std::uint64_t before = v.playback().match().steps;
        for (int i = 0; i < ticks; ++i) v.tick();
        return v.playback().match().steps - before;
    };
    EXPECT_EQ(stepsAfter(100), 100u);
    v.press(Viewer::Key::Half);
    EXPECT_EQ(v.speed(), replay::ViewSpeed::Half);
    EXPECT_EQ(stepsAfter(100), 50u);
    v.press(Viewer::Key::Double);
    EXPECT_EQ(stepsAfter(100), 200u);
    v.press(Viewer::Key::Pause);
    EXPECT_TRUE(v.paused());
    EXPECT_EQ(stepsAfter(100), 0u);
    v.press(Viewer::Key::Pause);
    v.press(Viewer::Key::Normal);
    EXPECT_EQ(stepsAfter(10), 10u);
    EXPECT_FALSE(v.ended());
}

TEST(Viewer, WatchingLeavesTheRunsMatchAloneAndPrintsNothing) {
    const replay::Replay& recorded = oneMinuteHumanMatch().replay;  // played before the run below
    LiveRun run;
    run.start(k442, k442, 60.0f, HUMAN_NONE);
    for (int i = 0; i < 3000; ++i) run.step();
    const std::uint32_t random = run.match.random.state();
    const std::uint32_t ms = run.match.clockMs;
    std::ostringstream printed;
    std::streambuf* const out = std::cout.rdbuf(printed.rdbuf());
    {
        Viewer v;
        v.open(recorded);
        v.press(Viewer::Key::Double);
        for (int i = 0; i < 5000; ++i) v.tick();
        EXPECT_GT(v.playback().match().clockMs, 0u);
        v.press(Viewer::Key::Leave);
        EXPECT_FALSE(v.isOpen());
    }
    std::cout.rdbuf(out);
    EXPECT_EQ(run.match.random.state(), random);
    EXPECT_EQ(run.match.clockMs, ms);
    EXPECT_EQ(printed.str(), "");  // the referee's lines of the played-back match stay silent
    run.step();  // and the run plays on as before
}

}  // namespace
}  // namespace flikka
