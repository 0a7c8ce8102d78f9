#include <gtest/gtest.h>

#include <sstream>

#include "players/Player.h"
#include "match/Match.h"
#include "sim/Random.h"
#include "team/GlobalAI.h"
#include "tests/core/match_fixtures.h"

using namespace flikka;
using flikka::match_fixtures::k442;
using flikka::match_fixtures::SmallMatch;

namespace {

// Captures a match's referee lines for one test.
struct ConsoleCapture {
    std::ostringstream text;
    explicit ConsoleCapture(CMatch& m) { m.console = &text; }
    std::string take() {
        std::string s = text.str();
        text.str("");
        return s;
    }
};

// Judges one ball position afresh, last touched by the given footballer.
struct Call {
    std::string lines;
    int kind;
    Vector3 point;
    bool homeTakes;
    int state;
    int homeScore;
    int awayScore;
};

Call judge(const Vector3& ball, bool homeLast, bool homeAttacksUp = true) {
    SmallMatch s;
    ConsoleCapture console(s.m);
    s.m.home.plan->attacksUpwards = homeAttacksUp;
    s.m.away.plan->attacksUpwards = !homeAttacksUp;
    s.m.lastToucher = homeLast ? &s.home(1) : &s.away(1);
    s.m.restartKind = RESTART_NONE;
    s.m.ball.position = ball;
    s.m.refereeCheck();
    if (s.m.state != GAME_PLAY) {
        EXPECT_EQ(s.m.stateTimer, 2.0f);
    }
    return {console.take(), s.m.restartKind,  s.m.restartPoint, s.m.homeTakesRestart,
            s.m.state,      s.m.homeScore,    s.m.awayScore};
}

}  // namespace

TEST(Referee, GoalMouthIsWidenedByTheBallRadius) {
    Call c = judge({3.7f, 52.6f, 0.5f}, false);
    EXPECT_EQ(c.lines, "upper goal\n");
    EXPECT_EQ(c.kind, KICK_OFF);
    EXPECT_EQ(c.point, Vector3(0.0f, 0.0f, 0.1132f));
    EXPECT_EQ(c.state, GAME_OUT_OF_PLAY);
    EXPECT_EQ(c.homeScore, 1);
    EXPECT_EQ(c.awayScore, 0);
    EXPECT_TRUE(c.homeTakes);  // the away side touched last

    // Just beyond the widened post, behind the net's back or before the line: no goal.
    EXPECT_EQ(judge({3.78f, 52.6f, 0.5f}, false).lines, "upper corner\n");
    EXPECT_EQ(judge({0.0f, 53.7f, 0.5f}, false).lines, "upper corner\n");
    EXPECT_EQ(judge({0.0f, 52.49f, 0.5f}, false).lines, "");

    Call lower = judge({-3.7f, -52.6f, 2.5f}, true);
    EXPECT_EQ(lower.lines, "lower goal\n");
    EXPECT_EQ(lower.awayScore, 1);
    EXPECT_EQ(lower.homeScore, 0);
}

TEST(Referee, BallOverTheBarIsACornerOrAGoalKick) {
    // The home side attacks the upper goal: its shot over the bar gives the away side a goal kick.
    Call kick = judge({0.0f, 52.7f, 2.6f}, true);
    EXPECT_EQ(kick.lines, "upper corner\n");
    EXPECT_EQ(kick.kind, GOAL_KICK);
    EXPECT_EQ(kick.point, Vector3(-8.875f, 47.0f, 0.1132f));
    EXPECT_FALSE(kick.homeTakes);
    EXPECT_EQ(kick.homeScore + kick.awayScore, 0);
    EXPECT_EQ(judge({1.0f, 52.7f, 2.6f}, true).point, Vector3(8.875f, 47.0f, 0.1132f));

    // Put out by the defending away side: a corner for the home side on the ball's side.
    Call corner = judge({1.0f, 52.7f, 2.6f}, false);
    EXPECT_EQ(corner.kind, CORNER);
    EXPECT_EQ(corner.point, Vector3(35.0f, 52.5f, 0.1132f));
    EXPECT_TRUE(corner.homeTakes);
    EXPECT_EQ(judge({-1.0f, 52.7f, 2.6f}, false).point, Vector3(-35.0f, 52.5f, 0.1132f));

    // The lower end, defended by the home side.
    Call lowerKick = judge({-1.0f, -53.0f, 3.0f}, false);
    EXPECT_EQ(lowerKick.lines, "lower corner\n");
    EXPECT_EQ(lowerKick.kind, GOAL_KICK);
    EXPECT_EQ(lowerKick.point, Vector3(-8.875f, -47.0f, 0.1132f));
    EXPECT_TRUE(lowerKick.homeTakes);
    EXPECT_EQ(judge({0.0f, -53.0f, 3.0f}, false).point, Vector3(8.875f, -47.0f, 0.1132f));
    Call lowerCorner = judge({0.0f, -53.0f, 3.0f}, true);
    EXPECT_EQ(lowerCorner.kind, CORNER);
    EXPECT_EQ(lowerCorner.point, Vector3(35.0f, -52.5f, 0.1132f));
    EXPECT_FALSE(lowerCorner.homeTakes);

    // After half time the ends are swapped.
    Call swapped = judge({0.0f, 52.7f, 2.6f}, false, false);
    EXPECT_EQ(swapped.kind, GOAL_KICK);
    EXPECT_TRUE(swapped.homeTakes);
}

TEST(Referee, TouchlinesGiveThrowInsAndTheCornerSquareACorner) {
    Call right = judge({35.01f, 10.0f, 0.1132f}, true);
    EXPECT_EQ(right.lines, "right out\n");
    EXPECT_EQ(right.kind, THROW_IN);
    EXPECT_EQ(right.point, Vector3(35.0f, 10.0f, 2.0f));
    EXPECT_FALSE(right.homeTakes);
    Call left = judge({-36.0f, -3.0f, 5.0f}, false);
    EXPECT_EQ(left.lines, "left out\n");
    EXPECT_EQ(left.point, Vector3(-35.0f, -3.0f, 2.0f));
    EXPECT_TRUE(left.homeTakes);
    Call inside = judge({34.99f, 10.0f, 0.1132f}, true);
    EXPECT_EQ(inside.lines, "");
    EXPECT_EQ(inside.state, GAME_PLAY);
    EXPECT_EQ(inside.kind, RESTART_NONE);

    // Beyond both lines: the throw-in is awarded first and overwritten in the same check.
    Call square = judge({35.2f, 52.7f, 0.1132f}, false);
    EXPECT_EQ(square.lines, "right out\nupper corner\n");
    EXPECT_EQ(square.kind, CORNER);
    EXPECT_EQ(square.point, Vector3(35.0f, 52.5f, 0.1132f));
    EXPECT_TRUE(square.homeTakes);
}

TEST(Referee, OwnGoalCountsForTheSideAttackingThatGoal) {
    // The home side defends the lower goal in the first half and puts the ball in it.
    Call own = judge({0.0f, -52.8f, 0.5f}, true);
    EXPECT_EQ(own.lines, "lower goal\n");
    EXPECT_EQ(own.awayScore, 1);
    EXPECT_EQ(own.homeScore, 0);
    EXPECT_FALSE(own.homeTakes);  // the kick-off goes to the side that did not touch last

    // Second half: the away side defends the lower goal.
    Call second = judge({0.0f, -52.8f, 0.5f}, false, false);
    EXPECT_EQ(second.homeScore, 1);
    EXPECT_EQ(second.awayScore, 0);
    EXPECT_TRUE(second.homeTakes);
}

TEST(Referee, HalfTimeWaitsForTheBallNearTheCentreLine) {
    for (const float elapsed : {303.0f, 335.0f}) {
        CMatch m;
        m.newMatch(k442, k442, 600.0f, HUMAN_NONE);
        for (int i = 0; i < 2; ++i) m.matchStep(0.005f);
        ASSERT_EQ(m.state, GAME_READY);
        m.state = GAME_PLAY;
        m.restartKind = RESTART_NONE;
        m.elapsed = elapsed;
        m.ball.position = {0.0f, 25.0f, kBallRadius};
        m.ball.velocity = kZeroVector;

        if (m.matchMinute() <= 50) {
            EXPECT_EQ(m.matchMinute(), 46u);
            for (int i = 0; i < 20; ++i) ASSERT_EQ(m.matchStep(0.005f), 0);
            EXPECT_FALSE(m.secondHalf);
            m.ball.position = {0.0f, 19.9f, kBallRadius};
            m.ball.velocity = kZeroVector;
        } else {
            EXPECT_EQ(m.matchMinute(), 51u);
        }
        ASSERT_EQ(m.matchStep(0.005f), 1);
        EXPECT_TRUE(m.secondHalf);
        EXPECT_EQ(m.state, GAME_OUT_OF_PLAY);
        EXPECT_EQ(m.restartKind, KICK_OFF);
        EXPECT_FALSE(m.homeTakesRestart);
        EXPECT_EQ(m.stateTimer, 2.0f);
        EXPECT_EQ(m.restartPoint, Vector3(0.0f, 0.0f, 0.1132f));
        EXPECT_FLOAT_EQ(m.elapsed, 600.0f * 0.5111111111111111f);
        EXPECT_EQ(m.matchMinute(), 46u);
        EXPECT_FALSE(m.home.plan->attacksUpwards);
        EXPECT_EQ(m.homeAi.formation.direction, 1.0f);
        EXPECT_TRUE(m.away.plan->attacksUpwards);
        EXPECT_EQ(m.awayAi.formation.direction, -1.0f);

        // The second-half kick-off is set up in the very next step, by the away side.
        EXPECT_EQ(m.matchStep(0.005f), 0);
        EXPECT_EQ(m.state, GAME_SETUP);
        EXPECT_EQ(m.matchStep(0.005f), 0);
        EXPECT_EQ(m.state, GAME_READY);
        EXPECT_FALSE(m.away.plan->attacksUpwards == m.home.plan->attacksUpwards);
    }

    // Every menu length resumes at minute 46, not 47.
    for (const float length : {300.0f, 600.0f, 900.0f, 1200.0f, 599.0f}) {
        CMatch m;
        m.matchLength = length;
        m.state = GAME_PLAY;
        m.elapsed = length * 0.52f;
        EXPECT_EQ(m.matchStep(0.005f), 1);
        EXPECT_EQ(m.matchMinute(), 46u) << length;
    }
}

TEST(Referee, FullTimeFreezesTheMatch) {
    CMatch m;
    m.newMatch(k442, k442, 600.0f, HUMAN_NONE);
    for (int i = 0; i < 2; ++i) m.matchStep(0.005f);
    m.state = GAME_PLAY;
    m.secondHalf = true;
    m.elapsed = 600.0f;
    m.ball.position = {0.0f, 30.0f, kBallRadius};
    m.setBallHolder(m.home.player(5));

    // Minute 90 plays on; minute 91 waits for the ball near the centre line.
    EXPECT_EQ(m.matchStep(0.005f), 0);
    EXPECT_EQ(m.matchMinute(), 91u);
    m.ball.position = {0.0f, 30.0f, kBallRadius};
    EXPECT_EQ(m.matchStep(0.005f), 0);
    m.ball.position = {0.0f, 10.0f, kBallRadius};
    ASSERT_EQ(m.matchStep(0.005f), 2);

    const float elapsed = m.elapsed;
    const float possession = m.home.possessionTime;
    const std::uint32_t ms = m.clockMs;
    const Vector3 ball = m.ball.position;
    const Vector3 striker = m.home.player(10)->position;
    const int state = m.state;
    for (int i = 0; i < 50; ++i) ASSERT_EQ(m.matchStep(0.005f), 2);
    EXPECT_EQ(m.elapsed, elapsed);
    EXPECT_EQ(m.home.possessionTime, possession);
    EXPECT_EQ(m.clockMs, ms);
    EXPECT_EQ(m.ball.position, ball);
    EXPECT_EQ(m.home.player(10)->position, striker);
    EXPECT_EQ(m.state, state);

    // Past minute 95 the ball's place no longer matters.
    m.elapsed = 634.0f;
    m.ball.position = {0.0f, 40.0f, kBallRadius};
    EXPECT_EQ(m.matchStep(0.005f), 2);
}

TEST(Referee, FirstRestartOfAMatchGoesToTheAwaySide) {
    CMatch m;
    ConsoleCapture console(m);
    m.newMatch(k442, k442, 600.0f, HUMAN_NONE);
    EXPECT_EQ(m.lastToucher, m.home.goalkeeper());
    EXPECT_FALSE(m.awayTouchedLast());
    for (int i = 0; i < 2; ++i) m.matchStep(0.005f);
    ASSERT_EQ(m.ballHolder, nullptr);
    m.ball.position = {36.0f, 10.0f, kBallRadius};
    console.take();
    m.refereeCheck();
    EXPECT_EQ(console.take(), "right out\n");
    EXPECT_EQ(m.restartKind, THROW_IN);
    EXPECT_FALSE(m.homeTakesRestart);
}
