#include <gtest/gtest.h>

#include <memory>

#include "players/Player.h"
#include "match/Match.h"
#include "sim/Random.h"
#include "tests/core/match_fixtures.h"

using namespace flikka;
using flikka::match_fixtures::SmallMatch;

namespace {

constexpr float kDt = 0.005f;

// First seed whose first draw passes (or fails) the one-in-four challenge test.
std::uint32_t seedWhereChallenge(bool fails) {
    for (std::uint32_t s = 1;; ++s) {
        if ((Random(s).nextInt() % 4 == 3) == fails) return s;
    }
}

}  // namespace

TEST(Player, ConstructionFacesDownWithTheAccelerationTable) {
    CPlayer a;
    EXPECT_EQ(a.direction, 5);
    EXPECT_EQ(a.moveMode, 1);
    EXPECT_EQ(a.speed, 0.0f);
    EXPECT_EQ(a.heading, Vector3(0.0f, -1.0f, 0.0f));
    EXPECT_TRUE(a.canMove);
    EXPECT_EQ(a.serial, 0u);  // the match he joins gives him one

    ASSERT_EQ(a.accelDistances.size(), 81u);
    EXPECT_NEAR(a.accelDistances.front(), 0.0003f, 1e-7f);
    EXPECT_NEAR(a.accelDistances.back(), 0.996f, 0.0005f);
    for (std::size_t i = 1; i < a.accelDistances.size(); ++i) {
        EXPECT_GT(a.accelDistances[i], a.accelDistances[i - 1]);
    }
    EXPECT_EQ(a.directionVectors[2], Vector3(-0.707f, 0.707f, 0.0f));
}

TEST(Player, SetDirectionKeepsSpeedOnlyForTheSameOrANeighbour) {
    CPlayer p;
    p.speed = 3.0f;
    p.setDirection(5);
    EXPECT_EQ(p.speed, 3.0f);
    p.setDirection(4);
    EXPECT_EQ(p.speed, 3.0f);
    EXPECT_EQ(p.heading, Vector3(-0.707f, -0.707f, 0.0f));
    p.setDirection(6);  // two steps away from 4
    EXPECT_EQ(p.speed, 0.0f);
    EXPECT_EQ(p.direction, 6);

    // Cyclic neighbours: 1 and 8.
    p.setDirection(8);
    p.speed = 2.0f;
    p.setDirection(1);
    EXPECT_EQ(p.speed, 2.0f);
    p.setDirection(8);
    EXPECT_EQ(p.speed, 2.0f);

    // 0 only stops; the heading and speed stay for the slowing down.
    p.setDirection(0);
    EXPECT_EQ(p.moveMode, 0);
    EXPECT_EQ(p.direction, 8);
    EXPECT_EQ(p.speed, 2.0f);

    // Out-of-range indices and a footballer held still change nothing.
    p.setDirection(9);
    p.setDirection(-1);
    EXPECT_EQ(p.direction, 8);
    p.canMove = false;
    p.setDirection(3);
    EXPECT_EQ(p.direction, 8);
    EXPECT_EQ(p.moveMode, 0);
}

TEST(Player, MoveFollowsTheSpeedRule) {
    CPlayer p;
    p.setDirection(7);
    p.move(kDt);
    EXPECT_FLOAT_EQ(p.speed, 0.06f);
    EXPECT_FLOAT_EQ(p.position.x, 0.06f * kDt);
    p.speed = 4.79f;
    p.move(kDt);
    EXPECT_EQ(p.speed, 4.8f);
    p.setDirection(0);
    p.speed = 0.01f;
    const Vector3 before = p.position;
    p.move(kDt);
    EXPECT_EQ(p.speed, 0.0f);
    EXPECT_EQ(p.position, before);
}

TEST(Player, SteerToSnapsWithinFiveCentimetres) {
    CPlayer p;
    p.position = {1.0f, 1.0f, 0.3f};
    p.speed = 2.0f;
    EXPECT_TRUE(p.steerTo({1.04f, 1.0f, 0.7f}));
    EXPECT_EQ(p.position, Vector3(1.04f, 1.0f, 0.0f));
    EXPECT_EQ(p.moveMode, 0);
    EXPECT_EQ(p.speed, 0.0f);

    CPlayer q;
    q.speed = 2.0f;
    EXPECT_FALSE(q.steerTo({3.0f, 3.0f, 0.0f}));
    EXPECT_EQ(q.moveMode, 1);
    EXPECT_EQ(q.speed, 2.0f);  // no restart from standstill
    EXPECT_EQ(q.direction, 8);
    EXPECT_EQ(q.travelDirection, 8);
    EXPECT_NEAR(q.heading.x, 0.70710677f, 1e-6f);
    EXPECT_NEAR(q.heading.y, 0.70710677f, 1e-6f);
    EXPECT_EQ(q.heading.z, 0.0f);
}

TEST(Player, FaceTowardIgnoresPointsUnderOneCentimetre) {
    CPlayer p;
    const Vector3 heading = p.heading;
    p.faceToward({0.005f, 0.0f, 0.0f});
    EXPECT_EQ(p.direction, 5);
    EXPECT_EQ(p.heading, heading);

    // The heading is exact; only the index is rounded to eight directions.
    p.faceToward({-3.0f, 1.0f, 0.0f});
    EXPECT_EQ(p.direction, 3);
    EXPECT_NEAR(p.heading.x, -3.0f / std::sqrt(10.0f), 1e-6f);
    EXPECT_NEAR(p.heading.y, 1.0f / std::sqrt(10.0f), 1e-6f);
    EXPECT_EQ(p.moveMode, 1);

    // A point straight overhead has no horizontal direction.
    p.faceToward({0.0f, 0.0f, 5.0f});
    EXPECT_EQ(p.direction, 3);

    const Vector3 nan{std::nanf(""), 0.0f, 0.0f};
    p.faceToward(nan);
    p.steerTo(nan);
    EXPECT_TRUE(isFinite(p.heading));
    EXPECT_TRUE(isFinite(p.position));
}

TEST(Player, StunnedFootballerNeitherMovesNorTakesTheBall) {
    SmallMatch s;
    CPlayer& p = s.home(1);
    p.setDirection(1);
    p.speed = 4.0f;
    p.stunTime = 0.6f;
    s.m.ball.position = {0.0f, 0.5f, kBallRadius};

    int steps = 0;
    while (p.stunTime > 0.0f && steps < 1000) {
        ASSERT_EQ(p.position, kZeroVector) << "moved at step " << steps;
        ASSERT_EQ(s.m.ballHolder, nullptr);
        p.update(kDt);
        ++steps;
    }
    EXPECT_GE(steps, 119);
    EXPECT_LE(steps, 121);
    // The step in which the stun ends already moves him and wins the ball.
    EXPECT_GT(p.position.y, 0.0f);
    EXPECT_EQ(s.m.ballHolder, &p);
}

TEST(Player, LooseBallNeedsThreeTenthsOfASecondSinceTheLastTouch) {
    SmallMatch s;
    CPlayer& p = s.home(1);
    p.setDirection(1);
    s.m.ball.position = {0.0f, 0.9f, 0.1f};
    p.sinceLastTouch = 0.2f;
    p.tryTakeBall();
    EXPECT_EQ(s.m.ballHolder, nullptr);
    EXPECT_FALSE(p.hasBall);

    p.sinceLastTouch = 0.3f;
    p.tryTakeBall();
    EXPECT_EQ(s.m.ballHolder, &p);
    EXPECT_TRUE(p.hasBall);
    EXPECT_EQ(s.m.lastToucher, &p);

    // Out of reach: too far, too high, or locked out after a goalkeeper's kick.
    for (const Vector3 ball : {Vector3(0.0f, 1.01f, 0.1f), Vector3(0.0f, 0.5f, 2.01f)}) {
        SmallMatch t;
        t.home(1).setDirection(1);
        t.m.ball.position = ball;
        t.home(1).tryTakeBall();
        EXPECT_EQ(t.m.ballHolder, nullptr);
    }
    SmallMatch u;
    u.m.ball.position = {0.0f, -0.5f, kBallRadius};
    u.m.ball.touchLockout = 0.1f;
    u.home(1).tryTakeBall();
    EXPECT_EQ(u.m.ballHolder, nullptr);
    u.m.ball.touchLockout = 0.0f;
    u.home(1).tryTakeBall();
    EXPECT_EQ(u.m.ballHolder, &u.home(1));
}

TEST(Player, HeldBallIsTakenOnlyFromAnOutfieldOpponentInPlay) {
    const std::uint32_t wins = seedWhereChallenge(false);
    SmallMatch s;
    CPlayer& p = s.home(1);
    s.m.ball.position = {0.0f, -0.4f, kBallRadius};  // in front of him (facing down)

    s.m.setBallHolder(&s.home(2));
    s.m.random.seed(wins);
    p.tryTakeBall();
    EXPECT_EQ(s.m.ballHolder, &s.home(2)) << "teammate";

    s.m.setBallHolder(&s.away(0));
    s.m.random.seed(wins);
    p.tryTakeBall();
    EXPECT_EQ(s.m.ballHolder, &s.away(0)) << "goalkeeper";

    s.m.setBallHolder(&s.away(1));
    s.m.state = GAME_READY;
    s.m.random.seed(wins);
    p.tryTakeBall();
    EXPECT_EQ(s.m.ballHolder, &s.away(1)) << "restart";

    s.m.state = GAME_PLAY;
    s.away(1).speed = 3.0f;
    s.m.random.seed(wins);
    p.tryTakeBall();
    EXPECT_EQ(s.m.ballHolder, &p);
    EXPECT_TRUE(p.hasBall);
    EXPECT_FALSE(s.away(1).hasBall);
    EXPECT_EQ(s.away(1).stunTime, 0.6f);
    EXPECT_EQ(s.away(1).speed, 0.0f);
    EXPECT_EQ(s.away(1).moveMode, 0);
    EXPECT_EQ(s.away(1).sinceLastTouch, 0.0f);
    EXPECT_EQ(s.m.lastToucher, &s.away(1));
}

TEST(Player, OneChallengeInFourFailsAndStunsTheChallenger) {
    const std::uint32_t fails = seedWhereChallenge(true);
    SmallMatch s;
    CPlayer& p = s.home(1);
    p.speed = 2.0f;
    p.pendingKind = KICK_PASS;
    p.pendingTime = 1.0f;
    s.m.ball.position = {0.0f, -0.4f, kBallRadius};
    s.m.setBallHolder(&s.away(1));

    s.m.random.seed(fails);
    p.tryTakeBall();
    EXPECT_EQ(s.m.ballHolder, &s.away(1));
    EXPECT_EQ(p.stunTime, 0.6f);
    EXPECT_EQ(p.speed, 0.0f);
    EXPECT_EQ(p.moveMode, 0);
    EXPECT_EQ(s.away(1).stunTime, 0.0f);
    EXPECT_EQ(p.pendingKind, KICK_PASS) << "a lost challenge plays no pending kick";
}

TEST(Player, PendingPassIsPlayedEvenWhenTheBallLiesBehindHim) {
    SmallMatch s(11);
    CPlayer& p = s.home(5);
    p.setDirection(5);  // facing down, the ball is above him
    s.m.ball.position = {0.0f, 0.6f, kBallRadius};
    s.m.home.rebuildByDistance();
    s.m.lastToucher = &p;
    p.pendingKind = KICK_PASS;
    p.pendingAim = 1;
    p.pendingTime = 1.0f;

    p.tryTakeBall();
    EXPECT_EQ(s.m.ballHolder, nullptr);
    EXPECT_FALSE(p.hasBall);
    EXPECT_EQ(p.pendingKind, KICK_NONE);
    EXPECT_EQ(p.pendingTime, 0.0f);
    EXPECT_GT(s.m.ball.speed(), 0.0f) << "the pass was not played";
    EXPECT_EQ(s.m.home.passes, 1);
}

TEST(Player, PendingKickLapsesWhenItsTimeRunsOut) {
    SmallMatch s;
    CPlayer& p = s.home(1);
    p.pendingKind = KICK_SHOT;
    p.pendingTime = 0.004f;
    s.m.ball.position = {0.0f, -0.5f, kBallRadius};
    p.update(kDt);
    EXPECT_EQ(p.pendingKind, KICK_NONE);
    EXPECT_EQ(p.pendingTime, 0.0f);
    EXPECT_EQ(s.m.ballHolder, &p);
    EXPECT_EQ(s.m.ball.speed(), 0.0f);
}

TEST(Player, TimeToReachUsesTheAccelerationTable) {
    CPlayer p;
    p.speed = 4.8f;  // ignored
    EXPECT_NEAR(p.timeToReach({0.0f, 0.5f, 0.0f}), 0.41f, 1e-6f);
    const float far = p.accelDistances.back() + 10.0f;
    EXPECT_NEAR(p.timeToReach({0.0f, 0.0f, far}), 0.41f + 10.0f / 4.8f, 1e-5f);
}

TEST(Player, SquadIndexAndGoalkeeper) {
    SmallMatch s;
    EXPECT_TRUE(s.home(0).isGoalkeeper());
    EXPECT_FALSE(s.home(2).isGoalkeeper());
    EXPECT_EQ(s.away(2).squadIndex(), 2);
    CPlayer loose;
    EXPECT_FALSE(loose.isGoalkeeper());
    EXPECT_EQ(loose.squadIndex(), -1);
    loose.update(kDt);  // no match: nothing to take, nothing to carry
    EXPECT_EQ(loose.sinceLastTouch, kDt);
}
