#include <algorithm>
#include <cmath>

#include "tests/core/kicks_fixture.h"

namespace flikka::kick_fixtures {
namespace {

using KicksTest = MatchFixture;

TEST_F(KicksTest, PassWithAimZeroLooksAlongTheFacingDirection) {
    COutfieldPlayer* p = H(5);
    COutfieldPlayer* left = H(6);
    COutfieldPlayer* right = H(7);
    place(left, -10.0f, 0.0f, 0);
    place(right, 6.0f, 0.0f, 0);  // nearer the ball, but on the other side

    place(p, 0.0f, 0.0f, 3);
    give(p);
    rebuild();
    Vector3 target = kicks::pass(0, *p, false);
    EXPECT_EQ(m.targetReceiver, left);
    EXPECT_NEAR(target.x, -10.0f, 1e-4f);
    EXPECT_NEAR(target.y, 0.0f, 1e-4f);
    EXPECT_NEAR(target.z, kBallRadius, 1e-4f);

    // No facing at all falls back to the left as well.
    place(p, 0.0f, 0.0f, 0);
    give(p);
    p->direction = 0;
    rebuild();
    m.targetReceiver = nullptr;
    kicks::pass(0, *p, false);
    EXPECT_EQ(m.targetReceiver, left);

    place(p, 0.0f, 0.0f, 7);
    give(p);
    rebuild();
    kicks::pass(0, *p, false);
    EXPECT_EQ(m.targetReceiver, right);
    EXPECT_EQ(m.home.passes, 3);
    EXPECT_EQ(m.away.passes, 0);
}

TEST_F(KicksTest, PassWithoutReceiverGoesTwentyMetresAheadAtFortyFiveDegrees) {
    COutfieldPlayer* p = H(5);
    place(p, 5.0f, -10.0f, 1);
    give(p);
    rebuild();
    const Vector3 target = kicks::pass(1, *p, false);
    EXPECT_NEAR(target.x, 5.0f, 1e-4f);
    EXPECT_NEAR(target.y, 10.0f, 1e-4f);
    EXPECT_NEAR(target.z, kBallRadius, 1e-4f);
    EXPECT_EQ(m.targetReceiver, nullptr);
    EXPECT_EQ(m.home.passes, 1);
    // Launched up the pitch at the fixed elevation of 45 degrees.
    EXPECT_NEAR(elevationOf(m.ball.velocity), kQuarterPi, 2e-3f);
    EXPECT_GT(m.ball.velocity.y, 0.0f);
    EXPECT_NEAR(m.ball.velocity.x, 0.0f, 1e-3f);
    EXPECT_EQ(m.ballHolder, nullptr);
}

TEST_F(KicksTest, CrossWithoutReceiverUsesTheFacingAndAvoidsTheMiddle) {
    COutfieldPlayer* p = H(5);
    struct Case {
        float x;
        int facing;
        int aim;
        Vector3 expected;
    };
    const Case cases[] = {
        {1.0f, 7, 1, {21.0f, 0.0f, 1.3f}},  // the aim does not matter, the facing does
        {1.0f, 1, 1, {4.0f, 20.0f, 1.3f}},
        {-1.0f, 1, 1, {-4.0f, 20.0f, 1.3f}},
    };
    int n = 0;
    for (const Case& c : cases) {
        place(p, c.x, 0.0f, c.facing);
        give(p);
        rebuild();
        const Vector3 t = kicks::cross(c.aim, *p, false);
        EXPECT_NEAR(t.x, c.expected.x, 1e-4f) << "case " << n;
        EXPECT_NEAR(t.y, c.expected.y, 1e-4f) << "case " << n;
        EXPECT_FLOAT_EQ(t.z, 1.3f) << "case " << n;
        const float e = elevationOf(m.ball.velocity);
        EXPECT_GE(e, 0.17f * kPi - 2e-3f) << "case " << n;
        EXPECT_LE(e, 0.25f * kPi + 2e-3f) << "case " << n;
        ++n;
    }
    EXPECT_EQ(m.targetReceiver, nullptr);
    EXPECT_EQ(m.home.passes, 3);  // crosses count as passes
}

TEST_F(KicksTest, ReceiverChoiceSkipsKeeperAndOriginAndKeepsTheCone) {
    const Vector3 origin{0.0f, 0.0f, 0.0f};
    m.ball.position = origin;
    place(m.home.goalkeeper(), 0.0f, 3.0f, 0);  // nearest, but never a receiver
    place(H(5), 0.0f, 0.005f, 0);               // stands on the origin
    place(H(2), 0.0f, 8.0f, 0);
    place(H(3), 1.0f, 19.0f, 0);
    place(H(4), 0.0f, 21.5f, 0);
    rebuild();

    EXPECT_EQ(kicks::passReceiver(m.home, origin, 1), H(2));
    EXPECT_EQ(kicks::crossReceiver(m.home, origin, 1), H(3));  // closest to 20 m
    EXPECT_EQ(kicks::passReceiver(m.home, origin, 0), nullptr);
    EXPECT_EQ(kicks::crossReceiver(m.home, origin, 0), nullptr);
    EXPECT_EQ(kicks::passReceiver(m.home, origin, 5), nullptr);

    // The cone is 0.39 rad wide on either side.
    place(H(6), 10.0f * std::cos(0.38f), 10.0f * std::sin(0.38f), 0);
    rebuild();
    EXPECT_EQ(kicks::passReceiver(m.home, origin, 7), H(6));
    place(H(6), 10.0f * std::cos(0.40f), 10.0f * std::sin(0.40f), 0);
    rebuild();
    EXPECT_EQ(kicks::passReceiver(m.home, origin, 7), nullptr);

    // Two footballers at the same distance from the ball: squad order decides.
    place(H(8), 12.0f, -1.0f, 0);
    place(H(7), 12.0f, 1.0f, 0);
    rebuild();
    EXPECT_EQ(kicks::passReceiver(m.home, origin, 7), H(7));
}

TEST_F(KicksTest, ScatterFromThirtyMetresWidensTheSpread) {
    // From 30 m, k = rand() mod 15 - 3. Widest offset seen for each value of rand() mod 15.
    float widest[15] = {};
    for (std::uint32_t seed = 1; seed <= 900; ++seed) {
        Random random(seed);
        const int first = Random(seed).nextInt() % 15;
        Vector3 t{0.0f, 52.5f, 1.22f};
        kicks::scatter(random, t, 30.0f);
        EXPECT_FLOAT_EQ(t.y, 52.5f);
        widest[first] = std::max(widest[first], std::fabs(t.x));
    }
    // k <= 0: 20; k = 1: 10; k = 10: 2.5; k = 11: 0.1.
    for (int first = 0; first <= 3; ++first) {
        EXPECT_GT(widest[first], 10.0f) << first;
        EXPECT_LE(widest[first], 20.0f) << first;
    }
    EXPECT_GT(widest[4], 5.0f);
    EXPECT_LE(widest[4], 10.0f);
    EXPECT_GT(widest[13], 0.1f);
    EXPECT_LE(widest[13], 2.5f);
    EXPECT_LE(widest[14], 0.1f);
}

TEST_F(KicksTest, ScatteredTargetNeverEndsBelowTheBallHeight) {
    int floored = 0;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        Random random(seed);
        Vector3 t{0.0f, -52.5f, kBallRadius};
        kicks::scatter(random, t, 30.0f);
        EXPECT_GE(t.z, 0.1232f);
        if (t.z == 0.1232f) ++floored;
    }
    EXPECT_GT(floored, 50);
}

TEST_F(KicksTest, QueuedKicksAreStoredAndAThroughPassIsDropped) {
    COutfieldPlayer* p = H(5);
    place(p, 0.0f, 0.0f, 1);
    place(H(2), 0.0f, 12.0f, 0);  // a receiver straight ahead: a pass would find him
    m.ball.position = {0.0f, 5.0f, kBallRadius};
    rebuild();

    EXPECT_EQ(kicks::pass(4, *p, true), kZeroVector);
    EXPECT_EQ(p->pendingKind, KICK_PASS);
    EXPECT_EQ(p->pendingAim, 4);
    EXPECT_FLOAT_EQ(p->pendingTime, 2.5f);
    kicks::shoot(6, *p, true);
    EXPECT_EQ(p->pendingKind, KICK_SHOT);
    EXPECT_EQ(kicks::cross(2, *p, true), kZeroVector);
    EXPECT_EQ(p->pendingKind, KICK_CROSS);
    EXPECT_EQ(p->pendingAim, 2);
    EXPECT_EQ(m.ball.velocity, kZeroVector);
    EXPECT_EQ(m.home.passes + m.home.shots, 0);

    // The through-pass key only stores kind 3; reaching the ball uses it up without a kick.
    p->pendingKind = KICK_THROUGH;
    p->pendingAim = 1;
    p->pendingTime = 2.5f;
    m.ball.position = {0.0f, 0.5f, kBallRadius};
    p->update(kStep);
    EXPECT_EQ(m.ballHolder, p);
    EXPECT_EQ(p->pendingKind, KICK_NONE);
    EXPECT_FLOAT_EQ(p->pendingTime, 0.0f);
    EXPECT_EQ(m.ball.velocity, kZeroVector);
    EXPECT_EQ(m.home.passes, 0);
    EXPECT_EQ(m.targetReceiver, nullptr);
}

TEST_F(KicksTest, ShotBookkeepingCountsShotsOnTheOpposingGoal) {
    COutfieldPlayer* h = H(9);
    COutfieldPlayer* a = A(9);
    place(h, 0.0f, 20.0f, 1);
    place(a, 0.0f, -20.0f, 5);
    place(H(4), 0.5f, 0.5f, 0);
    m.ball.path.assign(20, H(4)->position);  // every notice recomputes the intercept point

    give(h);
    m.ball.event(EV_AWAY_GOAL_LINE).found = true;
    kicks::shotBookkeeping(m);
    EXPECT_EQ(m.home.shots, 1);
    EXPECT_EQ(m.home.shotsOnGoal, 1);
    EXPECT_EQ(H(4)->interceptPoint, H(4)->position);

    m.ball.event(EV_AWAY_GOAL_LINE).found = false;
    m.ball.event(EV_HOME_GOAL_LINE).found = true;  // towards their own goal
    kicks::shotBookkeeping(m);
    EXPECT_EQ(m.home.shots, 2);
    EXPECT_EQ(m.home.shotsOnGoal, 1);

    give(a);
    kicks::shotBookkeeping(m);
    EXPECT_EQ(m.away.shots, 1);
    EXPECT_EQ(m.away.shotsOnGoal, 1);

    // Loose ball: the last toucher's side; nobody at all: the away side.
    m.setBallHolder(nullptr);
    m.lastToucher = h;
    EXPECT_EQ(&kicks::possessingTeam(m), &m.home);
    m.lastToucher = nullptr;
    EXPECT_EQ(&kicks::possessingTeam(m), &m.away);
}

TEST_F(KicksTest, ShotFromALooseBallLeavesOthersSetPiecesAlone) {
    COutfieldPlayer* p = H(9);
    place(p, 0.0f, 40.0f, 1);
    place(H(8), -20.0f, 0.0f, 0);
    H(8)->setPiece = true;
    m.ball.position = {0.0f, 40.5f, kBallRadius};
    m.lastToucher = p;
    p->sinceLastTouch = 5.0f;
    kicks::shoot(0, *p, false);  // a pending shot played at first touch: nobody holds the ball
    EXPECT_EQ(m.home.shots, 1);
    EXPECT_FLOAT_EQ(p->sinceLastTouch, 0.0f);
    EXPECT_TRUE(H(8)->setPiece);
    EXPECT_GT(m.ball.velocity.y, 0.0f);

    // The holder's set piece ends with his shot.
    place(p, 0.0f, 40.0f, 1);
    give(p);
    p->setPiece = true;
    kicks::shoot(0, *p, false);
    EXPECT_FALSE(p->setPiece);
    EXPECT_EQ(m.home.shots, 2);
}

TEST_F(KicksTest, GoalTargetsAndPitchClamp) {
    const Vector3 h2 = kicks::goalTarget(*H(3), 2);
    EXPECT_NEAR(h2.x, -3.4468f, 1e-5f);
    EXPECT_FLOAT_EQ(h2.y, 52.5f);
    EXPECT_FLOAT_EQ(h2.z, 2.2268f);
    // The away side attacks the lower goal; left is still -x.
    const Vector3 a8 = kicks::goalTarget(*A(3), 8);
    EXPECT_NEAR(a8.x, 3.4468f, 1e-5f);
    EXPECT_FLOAT_EQ(a8.y, -52.5f);

    EXPECT_EQ(kicks::clampToPitch({10.0f, 60.0f, 7.0f}), Vector3(10.0f, 52.5f, 7.0f));
    EXPECT_EQ(kicks::clampToPitch({-50.0f, -70.0f, 0.0f}), Vector3(-35.0f, -52.5f, 0.0f));
    EXPECT_EQ(kicks::clampToPitch({3.0f, -4.0f, 1.0f}), Vector3(3.0f, -4.0f, 1.0f));
}

TEST_F(KicksTest, PassToTeammateMovesTheHumansControl) {
    m.humans[0].team = &m.home;
    COutfieldPlayer* p = H(5);
    COutfieldPlayer* r = H(6);
    place(p, 0.0f, 0.0f, 1);
    place(r, 0.0f, 10.0f, 0);
    give(p);
    rebuild();
    EXPECT_EQ(m.humans[0].selected, p);
    kicks::pass(1, *p, false);
    EXPECT_EQ(m.humans[0].selected, r);
    EXPECT_EQ(m.targetReceiver, r);
}

}  // namespace
}  // namespace flikka::kick_fixtures
