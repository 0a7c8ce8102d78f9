// The goalkeeper: positioning, the dive decision and the dive, catching and parrying, the
// hands rule, distribution, and the guards that keep NaN and floating keepers out.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim/KeyState.h"
#include "match/Match.h"
#include "sim/Random.h"
#include "players/Team.h"
#include "team/GlobalAI.h"
#include "players/Goalkeeper.h"

namespace flikka {
namespace {

class MarkerLog : public IDebugMarkerSink {
public:
    std::vector<std::pair<float, float>> points;
    void addDebugMarker(float x, float y) override { points.emplace_back(x, y); }
};

class KeeperTest : public ::testing::Test {
protected:
    CMatch m;
    MarkerLog markers;
    CGoalkeeper* home = nullptr;  // defends y = -52.5 in the first half (s = +1)
    CGoalkeeper* away = nullptr;  // defends y = +52.5 (s = -1)

    void SetUp() override {
        m.random.seed(kDefaultSeed);
        const unsigned counts[5] = {2, 0, 4, 0, 4};
        m.newMatch(counts, counts, 300.0f, HUMAN_NONE);
        m.debugMarkers = &markers;
        m.state = GAME_PLAY;
        home = dynamic_cast<CGoalkeeper*>(m.home.goalkeeper());
        away = dynamic_cast<CGoalkeeper*>(m.away.goalkeeper());
        ASSERT_NE(home, nullptr);
        ASSERT_NE(away, nullptr);
        // Everybody else stands far away on the halfway line, out of every decision.
        for (CTeam* t : {&m.home, &m.away}) {
            for (std::size_t i = 1; i < t->size(); ++i) t->player(i)->position = {-30.0f + 3.0f * i, 0.0f, 0.0f};
        }
        home->position = {0.0f, -52.0f, 0.0f};
        away->position = {0.0f, 52.0f, 0.0f};
        home->sinceLastTouch = 1.0f;
        away->sinceLastTouch = 1.0f;
        for (auto& e : m.ball.events) e.clear();
    }

    void placeBall(const Vector3& p, const Vector3& v = kZeroVector) {
        m.ball.position = p;
        m.ball.velocity = v;
        m.home.rebuildByDistance();
        m.away.rebuildByDistance();
    }

    // A keeper caught mid-dive at the step of the catch test, the ball at the dive point.
    void atCatchTest(CGoalkeeper* k, const Vector3& ball, const Vector3& velocity) {
        m.setBallHolder(nullptr);
        k->clearDiveRecord();
        k->diving = true;
        k->reachSteps = 10;
        k->diveSteps = 15;
        k->diveStep = 10;
        k->divePoint = ball;
        m.ball.position = ball;
        m.ball.velocity = velocity;
        m.ball.airborne = ball.z > 0.2f;
    }

    static bool finite(const CGoalkeeper& k) {
        return isFinite(k.position) && isFinite(k.keeperPoint) && isFinite(k.reachMoveStep) &&
               isFinite(k.fallMoveStep) && std::isfinite(k.diveAngle) && std::isfinite(k.finalAngle);
    }
};

TEST_F(KeeperTest, StandsOnTheEllipseOrCircleBetweenBallAndGoalCentre) {
    // Ball 30 m straight out: 1.2 m in front of the goal centre.
    placeBall({0.0f, -22.5f, 0.1132f});
    home->think();
    EXPECT_NEAR(home->keeperPoint.x, 0.0f, 1e-4f);
    EXPECT_NEAR(home->keeperPoint.y, -51.3f, 1e-4f);
    EXPECT_EQ(home->keeperPoint.z, 0.0f);

    // Far out level with the goal line on the right: 3.66 m right of the centre, on the line.
    placeBall({30.0f, -52.5f, 0.1132f});
    home->think();
    EXPECT_NEAR(home->keeperPoint.x, 3.66f, 1e-4f);
    EXPECT_NEAR(home->keeperPoint.y, -52.5f, 1e-4f);

    // 5 m away at 45 degrees, an attacker on the ball: on the 3.66 m circle, towards the ball.
    const float c = 5.0f * std::cos(0.785398f);
    m.away.player(9)->position = {-c, -52.5f + c + 0.3f, 0.0f};
    placeBall({-c, -52.5f + c, 0.1132f});
    home->think();
    const Vector3 off = home->keeperPoint - Vector3{0.0f, -52.5f, 0.0f};
    EXPECT_NEAR(length(off), 3.66f, 1e-4f);
    EXPECT_NEAR(off.x, -off.y, 1e-4f);
    EXPECT_LT(off.x, 0.0f);

    // The keeper of the upper goal mirrors it: 1.2 m below his goal centre.
    placeBall({0.0f, 22.5f, 0.1132f});
    away->think();
    EXPECT_NEAR(away->keeperPoint.x, 0.0f, 1e-4f);
    EXPECT_NEAR(away->keeperPoint.y, 51.3f, 1e-4f);
}

TEST_F(KeeperTest, ClampsIntoThePitchWhateverTheMirrorFlag) {
    // Upper goal, ball inside the pitch near the post: the point stays where the circle puts it.
    placeBall({2.0f, 50.0f, 0.1132f});
    m.away.player(1)->position = {2.0f, 50.1f, 0.0f};  // an opponent nearer the ball than the keeper
    m.away.rebuildByDistance();
    m.home.player(1)->position = {2.0f, 50.05f, 0.0f};
    m.home.rebuildByDistance();
    away->think();
    const float d = std::sqrt(4.0f + 6.25f);
    EXPECT_NEAR(away->keeperPoint.x, 3.66f * 2.0f / d, 1e-4f);
    EXPECT_NEAR(away->keeperPoint.y, 52.5f - 3.66f * 2.5f / d, 1e-4f);

    // Ball behind the upper goal line: the circle point lies off the pitch and is pulled back to the line.
    placeBall({1.0f, 55.0f, 0.1132f});
    away->think();
    EXPECT_NEAR(away->keeperPoint.y, 52.5f, 1e-5f);
    EXPECT_GT(away->keeperPoint.x, 0.0f);

    // The same for the lower goal.
    placeBall({-1.0f, -55.0f, 0.1132f});
    home->think();
    EXPECT_NEAR(home->keeperPoint.y, -52.5f, 1e-5f);
    EXPECT_LT(home->keeperPoint.x, 0.0f);
}

TEST_F(KeeperTest, RunsToALooseBallInHisAreaOnlyWhenNearestOfAll) {
    home->position = {0.0f, -50.0f, 0.0f};
    placeBall({5.0f, -45.0f, 0.6f});
    home->think();
    EXPECT_EQ(home->keeperPoint, (Vector3{5.0f, -45.0f, 0.0f}));

    // An opponent nearer the ball: back to guarding the goal.
    m.away.player(9)->position = {5.0f, -44.0f, 0.0f};
    placeBall({5.0f, -45.0f, 0.6f});
    home->think();
    EXPECT_LT(home->keeperPoint.y, -51.0f);

    // Nearest, but the ball is outside his area.
    m.away.player(9)->position = {-30.0f, 0.0f, 0.0f};
    home->position = {0.0f, -34.0f, 0.0f};
    placeBall({0.0f, -30.0f, 0.1132f});
    home->think();
    EXPECT_LT(home->keeperPoint.y, -51.0f);
}

TEST_F(KeeperTest, ZeroLengthGeometryNeverGivesNaN) {
    // The ball exactly on the goal centre while someone else is nearer: he keeps to the centre.
    m.away.player(9)->position = {0.0f, -52.4f, 0.0f};
    placeBall({0.0f, -52.5f, 0.0f});
    home->think();
    EXPECT_TRUE(finite(*home));
    EXPECT_EQ(home->keeperPoint, (Vector3{0.0f, -52.5f, 0.0f}));

    // A dive at a point level with his body (no sideways or vertical offset).
    home->position = {1.0f, -52.0f, 0.0f};
    home->dive({1.0f, -51.75f, 0.0f}, 0.2f);
    EXPECT_TRUE(home->diving);
    EXPECT_EQ(home->finalAngle, 0.0f);
    EXPECT_EQ(home->diveSteps, 60u);
    for (int i = 0; i < 61; ++i) home->diveStepOnce();
    EXPECT_FALSE(home->diving);
    EXPECT_TRUE(finite(*home));

    // Parrying a ball with no speed, and a ball flying straight against the fingertip push.
    atCatchTest(home, {1.0f, -51.0f, 1.0f}, kZeroVector);
    home->parry(1.05f);
    EXPECT_EQ(m.ball.velocity, kZeroVector);
    atCatchTest(home, {1.0f, -51.0f, 1.0f}, {-10.0f, 0.0f, 0.0f});
    home->parry(1.05f);
    EXPECT_TRUE(isFinite(m.ball.velocity));
    EXPECT_LT(m.ball.velocity.x, -3.9f);
    EXPECT_GT(m.ball.velocity.x, -9.1f);
}

TEST_F(KeeperTest, DivesOnlyAtAShotCrossingHisLineSoonAndNearOrGoalBound) {
    placeBall({2.0f, -30.0f, 0.5f}, {0.0f, -30.0f, 0.0f});
    PredictionEvent& line = m.ball.event(EV_HOME_KEEPER_LINE);
    PredictionEvent& goal = m.ball.event(EV_HOME_GOAL_LINE);

    // 1.5 s away: no dive.
    line = {true, {2.0f, -51.75f, 1.0f}, 1.5f, -1.0f};
    home->notify(EVENT_SHOT);
    EXPECT_FALSE(home->diving);

    // Ball behind him: no dive, however close the line event.
    m.ball.position = {2.0f, -52.4f, 0.5f};
    line.time = 0.6f;
    home->notify(EVENT_SHOT);
    EXPECT_FALSE(home->diving);

    // 0.6 s away, 2 m beside him, not goal-bound: a dive of 120 reaching and 180 steps in all.
    m.ball.position = {2.0f, -30.0f, 0.5f};
    home->notify(EVENT_SHOT);
    ASSERT_TRUE(home->diving);
    EXPECT_EQ(home->reachSteps, 120u);
    EXPECT_EQ(home->diveSteps, 180u);
    EXPECT_EQ(home->divePoint, line.point);
    EXPECT_GT(home->finalAngle, 0.0f);  // to his right
    EXPECT_EQ(home->heading, (Vector3{0.0f, 1.0f, 0.0f}));

    // 4 m beside him and not goal-bound: no dive; goal-bound: a dive whose reach moves him 1.1 to 1.5 m.
    home->clearDiveRecord();
    line.point = {-4.0f, -51.75f, 1.0f};
    home->notify(EVENT_SHOT);
    EXPECT_FALSE(home->diving);
    goal = {true, {-3.5f, -52.5f, 1.0f}, 0.65f, -1.0f};
    for (int trial = 0; trial < 20; ++trial) {
        home->clearDiveRecord();
        home->position = {0.0f, -52.0f, 0.0f};
        home->notify(EVENT_SHOT);
        ASSERT_TRUE(home->diving);
        EXPECT_LT(home->finalAngle, 0.0f);  // to his left
        const float reach = length(home->reachMoveStep) * static_cast<float>(home->reachSteps);
        EXPECT_GE(reach, 1.1f - 1e-3f);
        EXPECT_LE(reach, 1.5f + 1e-3f);
    }

    // The whole dive: he reaches, falls, and ends lying on the ground where he fell.
    for (int i = 0; i < 200 && home->diving; ++i) {
        m.ball.position = {20.0f, -30.0f, 0.1132f};  // far from his hands: nothing to catch
        home->update(kStep);
        ASSERT_TRUE(finite(*home));
    }
    EXPECT_FALSE(home->diving);
    EXPECT_EQ(home->position.z, 0.0f);
    EXPECT_LT(home->position.x, -1.0f);
    EXPECT_EQ(home->keeperPoint, home->position);
}

TEST_F(KeeperTest, DivesSoShortThatTheyHaveNoFallEndOnTheGround) {
    // Under one step: no steps at all, no catch test even with the ball at the dive point.
    const Vector3 p{3.0f, -51.75f, 2.0f};
    placeBall(p);
    home->dive(p, 0.003f);
    EXPECT_EQ(home->reachSteps, 0u);
    EXPECT_EQ(home->diveSteps, 0u);
    EXPECT_EQ(home->reachMoveStep, kZeroVector);
    EXPECT_EQ(home->fallMoveStep, kZeroVector);
    home->update(kStep);
    EXPECT_FALSE(home->diving);
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_EQ(home->position.z, 0.0f);

    // One reaching step lifts him towards a high ball; with no fall step he still lands.
    home->position = {0.0f, -52.0f, 0.0f};
    home->dive({3.0f, -51.75f, 2.6f}, 0.007f);
    EXPECT_EQ(home->reachSteps, 1u);
    EXPECT_EQ(home->diveSteps, 1u);
    EXPECT_GT(home->reachMoveStep.z, 0.0f);
    home->diveStepOnce();
    EXPECT_GT(home->position.z, 0.0f);
    home->diveStepOnce();
    EXPECT_FALSE(home->diving);
    EXPECT_EQ(home->position.z, 0.0f);
}

TEST_F(KeeperTest, BackPassIsKickedClearButTheOpponentsBallIsPickedUp) {
    home->position = {0.0f, -50.0f, 0.0f};
    placeBall({0.3f, -50.0f, 0.1132f});
    m.lastToucher = m.home.player(4);  // a team-mate played it
    EXPECT_FALSE(home->mayHandle());
    const int passes = m.home.passes;
    home->tryTakeBall();
    EXPECT_FALSE(home->hasBall);
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_EQ(m.home.passes, passes + 1);
    EXPECT_GT(m.ball.speed(), 10.0f);
    EXPECT_GT(m.ball.velocity.y, 0.0f);  // up the pitch, away from his goal
    EXPECT_EQ(home->sinceLastTouch, 0.0f);

    // The same ball last played by an opponent: picked up with the hands.
    placeBall({0.3f, -50.0f, 0.1132f});
    m.lastToucher = m.away.player(9);
    home->sinceLastTouch = 1.0f;
    EXPECT_TRUE(home->mayHandle());
    home->tryTakeBall();
    EXPECT_TRUE(home->hasBall);
    EXPECT_TRUE(home->holdingBall);
    EXPECT_EQ(m.ballHolder, home);
    EXPECT_EQ(home->speed, 0.0f);

    // Outside his area he may not handle even an opponent's ball.
    m.setBallHolder(nullptr);
    home->position = {0.0f, -30.0f, 0.0f};
    m.lastToucher = m.away.player(9);
    EXPECT_FALSE(home->mayHandle());
    // Nor for a moment after losing the ball.
    home->position = {0.0f, -50.0f, 0.0f};
    placeBall({0.3f, -50.0f, 0.1132f});
    home->sinceLastTouch = 0.2f;
    home->tryTakeBall();
    EXPECT_FALSE(home->hasBall);
}

TEST_F(KeeperTest, CatchTestDependsOnHowFarHeReaches) {
    const Vector3 shot{0.0f, -25.0f, 0.0f};
    home->position = {0.0f, -52.0f, 0.0f};

    // 2.4 m (fraction 1.13): out of reach, nothing happens.
    atCatchTest(home, {2.4f, -52.0f, 0.0f}, shot);
    home->tryTakeBall();
    EXPECT_NEAR(home->reachFraction, 2.4f / 2.125f, 1e-5f);
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_EQ(m.ball.velocity, shot);

    // Ball not where the dive was aimed: nothing happens.
    atCatchTest(home, {1.0f, -52.0f, 0.0f}, shot);
    home->divePoint = {1.0f, -52.0f, 0.3f};
    home->tryTakeBall();
    EXPECT_EQ(m.ball.velocity, shot);

    // 2.2 m: a catch six times in ten, otherwise a fingertip push away from the middle.
    int caught = 0, pushed = 0;
    for (int i = 0; i < 400; ++i) {
        atCatchTest(home, {2.2f, -52.0f, 0.3f}, shot);
        home->tryTakeBall();
        if (m.ballHolder == home) {
            ++caught;
        } else {
            ASSERT_EQ(m.lastToucher, home);
            const float v = m.ball.speed();
            EXPECT_GT(m.ball.velocity.x, 0.0f);
            EXPECT_GE(v, 0.4f * 25.0f - 1e-3f);
            EXPECT_LE(v, 0.9f * 25.0f + 1e-3f);
            ++pushed;
        }
    }
    EXPECT_EQ(caught + pushed, 400);
    EXPECT_NEAR(caught / 400.0, 0.6, 0.08);

    // 1 m: a catch or the ball off his body back into the field at 30 to 50 % of its speed.
    caught = 0;
    int blocked = 0, lifted = 0;
    for (int i = 0; i < 400; ++i) {
        atCatchTest(home, {1.0f, -52.0f, kBallRadius}, shot);
        ASSERT_FALSE(m.ball.airborne);
        home->tryTakeBall();
        if (m.ballHolder == home) {
            ++caught;
        } else {
            const float v = m.ball.speed();
            EXPECT_GT(m.ball.velocity.y, 0.0f);
            EXPECT_GE(v, 0.3f * 25.0f - 1e-3f);
            EXPECT_LE(v, 0.5f * 25.0f + 1e-3f);
            // A rolling ball knocked up off the body must fly under gravity, not hover.
            EXPECT_EQ(m.ball.airborne, std::fabs(m.ball.velocity.z) >= 0.01f);
            if (m.ball.airborne) ++lifted;
            ++blocked;
        }
    }
    EXPECT_GT(blocked, 100);
    EXPECT_GT(lifted, blocked / 2);
    EXPECT_NEAR(caught / 400.0, 0.6, 0.08);
}

TEST_F(KeeperTest, CaughtBallStaysInHisHandsToTheEndOfTheDive) {
    home->position = {0.0f, -52.0f, 0.0f};
    atCatchTest(home, {1.5f, -51.75f, 1.0f}, {0.0f, -20.0f, 0.0f});
    home->finalAngle = 1.0f;
    home->diveAngle = 0.5f;
    home->direction = 1;
    for (int guard = 0; m.ballHolder != home && guard < 50; ++guard) {
        atCatchTest(home, {1.5f, -51.75f, 1.0f}, {0.0f, -20.0f, 0.0f});
        home->diveAngle = 0.5f;
        home->tryTakeBall();
    }
    ASSERT_EQ(m.ballHolder, home);
    while (home->diving) {
        home->update(kStep);
        if (home->diving) {
            EXPECT_NEAR(distance(m.ball.position, home->position + home->heading * 0.25f),
                        home->reachFraction * 2.125f, 1e-4f);
        }
    }
    EXPECT_TRUE(home->holdingBall);
    EXPECT_EQ(m.ball.velocity, kZeroVector);

    // Lying tilted past the horizontal, he still holds the ball above the ground.
    atCatchTest(home, {1.5f, -51.75f, 1.0f}, {0.0f, -20.0f, 0.0f});
    m.setBallHolder(home);
    home->diveAngle = 1.6f;
    home->update(kStep);
    EXPECT_TRUE(home->diving);
    EXPECT_GE(m.ball.position.z, kBallRadius);
}

TEST_F(KeeperTest, FingertipsPushAHighBallOverTheBar) {
    home->position = {0.0f, -52.0f, 0.0f};
    for (int i = 0; i < 50; ++i) {
        atCatchTest(home, {0.5f, -51.8f, 2.2f}, {0.0f, -20.0f, 0.0f});
        home->parry(1.05f);
        EXPECT_GT(m.ball.velocity.z, 0.0f);
        EXPECT_NEAR(m.ball.velocity.x, 0.0f, 1e-5f);
        EXPECT_TRUE(m.ball.airborne);
        EXPECT_EQ(m.ballHolder, nullptr);
        EXPECT_EQ(m.lastToucher, home);
    }
    // Lower, left of the middle: pushed to the left.
    atCatchTest(home, {-0.5f, -51.8f, 1.0f}, {0.0f, -20.0f, 0.0f});
    home->parry(1.0f);
    EXPECT_LT(m.ball.velocity.x, 0.0f);
    EXPECT_EQ(m.ball.velocity.z, 0.0f);
}

TEST_F(KeeperTest, DistributesOnTheTwoSecondBeatWithALockout) {
    std::uint32_t& ms = m.clockMs;
    const std::uint32_t saved = ms;
    home->position = {0.0f, -50.0f, 0.0f};
    placeBall({0.0f, -49.8f, 1.0f});
    m.setBallHolder(home);
    home->holdingBall = true;
    const int passes = m.home.passes;

    ms = 4005;
    home->think();
    EXPECT_EQ(m.ballHolder, home);

    ms = 4000;
    home->think();
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_FALSE(home->holdingBall);
    EXPECT_EQ(m.home.passes, passes + 1);
    EXPECT_GE(m.ball.touchLockout, 0.5f);
    EXPECT_GT(m.ball.velocity.z, 0.0f);
    EXPECT_GT(m.ball.velocity.y, 0.0f);
    EXPECT_EQ(home->sinceLastTouch, 0.0f);
    ms = saved;
}

TEST_F(KeeperTest, ChasesAKickHeCanReachFirstAndDropsItWhenSomeoneElseTakesTheBall) {
    home->position = {0.0f, -50.0f, 0.0f};
    placeBall({10.0f, -20.0f, 0.1132f}, {-2.0f, -15.0f, 0.0f});
    m.ball.event(EV_HOME_KEEPER_REACH) = {true, {5.0f, -40.0f, 0.1132f}, 1.5f, 1.5f};
    m.away.player(9)->position = {20.0f, -30.0f, 0.0f};
    home->notify(EVENT_PASS);
    EXPECT_TRUE(home->chasingBall);
    EXPECT_EQ(home->keeperPoint, (Vector3{5.0f, -40.0f, 0.0f}));
    ASSERT_EQ(markers.points.size(), 1u);
    EXPECT_EQ(markers.points[0], std::make_pair(5.0f, -40.0f));

    // While chasing he leaves his target alone.
    home->think();
    EXPECT_EQ(home->keeperPoint, (Vector3{5.0f, -40.0f, 0.0f}));

    // Someone else wins the ball: the chase is over.
    m.setBallHolder(m.away.player(9));
    EXPECT_FALSE(home->chasingBall);

    // An opponent nearer the point: no chase.
    m.setBallHolder(nullptr);
    m.away.player(9)->position = {5.0f, -39.0f, 0.0f};
    home->notify(EVENT_PASS);
    EXPECT_FALSE(home->chasingBall);
}

TEST_F(KeeperTest, SmallOperations) {
    home->setDiveAngle(1.0f);
    EXPECT_EQ(home->getDiveAngle(), 1.0f);
    home->setDiveAngle(1.6f);
    EXPECT_EQ(home->getDiveAngle(), 1.0f);
    home->setDiveAngle(-1.57075f);
    EXPECT_EQ(home->getDiveAngle(), -1.57075f);

    placeBall({0.0f, -51.0f, 0.1132f});
    m.setBallHolder(home);
    home->holdingBall = true;
    home->sinceLastTouch = 3.0f;
    m.setBallHolder(nullptr);
    EXPECT_FALSE(home->holdingBall);
    EXPECT_EQ(home->sinceLastTouch, 0.0f);

    home->position = {0.0f, -52.0f, 0.0f};
    placeBall({5.0f, -52.0f, 0.1132f});
    EXPECT_EQ(home->spriteDirection(), 7);
    placeBall({-5.0f, -47.0f, 0.1132f});
    EXPECT_EQ(home->spriteDirection(), 2);
    home->diving = true;
    EXPECT_EQ(home->spriteDirection(), 1);
    away->diving = true;
    EXPECT_EQ(away->spriteDirection(), 5);
}

}  // namespace
}  // namespace flikka
