// The instant replay of a goal: armed by the goal, due once the ball has lain in the net a
// moment, eight seconds of frames at half speed ending after the goal, and the match after a
// watched replay exactly the match after a skipped one (and after none at all). "watch replay"
// jumps to a goal's replay and still plays the recorded match to the last bit.
#include <gtest/gtest.h>

#include <cmath>

#include "live_fixture.h"
#include "replay/GoalReplay.h"
#include "replay/Viewer.h"
#include "sim/Random.h"

namespace flikka {
namespace {

using namespace live_fixture;
using replay::GoalReplay;
using replay::Viewer;

enum class Watch { NoReplays, Skip, Whole };

struct After {
    std::uint64_t hash = 0;
    std::uint32_t random = 0;
    std::uint32_t ms = 0;
    int replays = 0;
    std::size_t lastFrameShown = 0;
    float ballYAtGoalFrame = 0.0f;
};

After playWith(Watch watch) {
    LiveRun run;
    GoalReplay goal;
    After a;
    run.start(k442, k442, 60.0f, HUMAN_NONE);  // 1 - 0
    for (int r = 0; r != 2;) {
        r = run.step();
        if (watch == Watch::NoReplays) continue;
        goal.observe(run.match, r);
        if (!goal.due()) continue;
        goal.start(run.match);
        ++a.replays;
        if (watch == Watch::Skip) {
            goal.stop();
            continue;
        }
        // The frame kDelaySteps before the end is the step of the goal: the ball behind a line.
        const std::size_t goalFrame = goal.length() - 1 - GoalReplay::kDelaySteps;
        while (goal.tick()) {
            if (goal.position() == goalFrame) a.ballYAtGoalFrame = goal.display().ball.position.y;
            a.lastFrameShown = goal.position();
        }
    }
    a.hash = run.hash.value();
    a.random = run.match.random.state();
    a.ms = run.match.clockMs;
    return a;
}

TEST(GoalReplay, WatchedOrSkippedTheMatchGoesOnAsWithout) {
    const After none = playWith(Watch::NoReplays);
    const After skipped = playWith(Watch::Skip);
    const After watched = playWith(Watch::Whole);
    EXPECT_EQ(watched.replays, 1);
    EXPECT_EQ(skipped.replays, 1);
    EXPECT_EQ(watched.lastFrameShown, GoalReplay::kFrames - 1);
    EXPECT_GT(std::fabs(watched.ballYAtGoalFrame), 52.5f);
    for (const After* a : {&skipped, &watched}) {
        EXPECT_EQ(a->hash, none.hash);
        EXPECT_EQ(a->random, none.random);
        EXPECT_EQ(a->ms, none.ms);
    }
}

TEST(GoalReplay, ShowsEightSecondsAtHalfSpeedPosedFromTheFrames) {
    LiveRun run;
    GoalReplay goal;
    run.start(k442, k442, 60.0f, HUMAN_NONE);
    std::vector<replay::MatchFrame> frames;
    while (!goal.due()) {
        const int r = run.step();
        ASSERT_NE(r, 2) << "no goal";
        goal.observe(run.match, r);
        frames.push_back(replay::MatchFrame::of(run.match));
    }
    goal.start(run.match);
    ASSERT_EQ(goal.length(), GoalReplay::kFrames);
    const std::size_t first = frames.size() - GoalReplay::kFrames;
    int ticks = 0;
    for (std::size_t shown = 0;; ++ticks) {
        const CMatch& d = goal.display();
        const replay::MatchFrame& f = frames[first + goal.position()];
        if (goal.position() != shown || ticks == 0) {
            shown = goal.position();
            EXPECT_EQ(d.ball.position.y, f.ballY);
            EXPECT_EQ(d.away.player(7)->position.x, f.footballers[1][7].x);
            EXPECT_EQ(d.home.player(0)->direction, f.footballers[0][0].direction);
            EXPECT_EQ(d.homeScore, f.homeScore);
            EXPECT_EQ(d.stateTimer, 0.0f);  // no fade over the replay
        }
        if (!goal.tick()) break;
    }
    EXPECT_EQ(ticks + 1, static_cast<int>(2 * GoalReplay::kFrames));  // 8 s at half speed: 16 s of 5-ms ticks
    EXPECT_FALSE(goal.showing());
    EXPECT_EQ(goal.display().home.name, run.match.home.name);
}

TEST(GoalReplay, ViewerJumpsToTheNextGoalAndStillPlaysTheRecordedMatch) {
    const Played& recorded = oneMinuteHumanMatch();
    ASSERT_GT(recorded.homeScore + recorded.awayScore, 0) << "the recorded match needs a goal";
    Viewer v;
    v.setGoalReplays(true);
    v.open(recorded.replay);
    v.press(Viewer::Key::NextGoal);
    EXPECT_TRUE(v.skipping());
    int ticks = 0;
    while (!v.showingGoalReplay() && ticks < 100000) {
        v.tick();
        ++ticks;
    }
    ASSERT_TRUE(v.showingGoalReplay());
    EXPECT_FALSE(v.skipping());
    // The jump is a fast forward: a goal in a one-minute match is reached within a fifth of a second.
    EXPECT_LT(ticks, 40);
    const CMatch& live = v.playback().match();
    EXPECT_EQ(live.homeScore + live.awayScore, 1);
    // The goal replay shows the frames before the goal: the score before it on the first.
    EXPECT_EQ(v.shown().homeScore + v.shown().awayScore, 0);
    const std::uint64_t stepsAtGoal = live.steps;
    for (int i = 0; i < 500; ++i) v.tick();
    EXPECT_EQ(live.steps, stepsAtGoal);  // the playback waits for the goal's replay
    v.press(Viewer::Key::SkipGoalReplay);
    EXPECT_FALSE(v.showingGoalReplay());
    while (!v.ended()) {
        v.tick();
        if (v.showingGoalReplay()) v.press(Viewer::Key::SkipGoalReplay);
    }
    EXPECT_EQ(v.playback().trajectoryHash(), recorded.hash);
    EXPECT_EQ(live.homeScore, recorded.homeScore);
}

}  // namespace
}  // namespace flikka
