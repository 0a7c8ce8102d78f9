#include <cmath>

#include "tests/core/kicks_fixture.h"

namespace flikka::kick_fixtures {
namespace {

using OutfieldTest = MatchFixture;

// Runs his decision and his body for up to `steps` match steps, stopping once he stands still.
void runUntilArrived(CPlayer& p, int steps) {
    for (int i = 0; i < steps; ++i) {
        p.think();
        p.update(kStep);
        if (p.moveMode == 0 && p.speed == 0.0f && i > 0) return;
    }
}

TEST_F(OutfieldTest, DeepInOwnHalfHeMarksTwoMetresGoalSideOnTheGrid) {
    COutfieldPlayer* p = H(4);  // the home side attacks +y
    COutfieldPlayer* o = A(9);
    place(p, 0.0f, -25.0f, 1);
    place(o, 0.3f, -17.2f, 5);  // 7.8 m away
    m.ball.position = {0.0f, 30.0f, kBallRadius};
    rebuild();

    p->think();
    EXPECT_EQ(p->state, STATE_MARK);
    EXPECT_EQ(p->markTarget, o);
    ASSERT_EQ(m.home.plan->markingMap.count(o), 1u);
    EXPECT_EQ(m.home.plan->markingMap.at(o), p);

    runUntilArrived(*p, 2000);
    EXPECT_EQ(p->state, STATE_MARK);
    EXPECT_FLOAT_EQ(p->position.x, 0.5f);
    EXPECT_FLOAT_EQ(p->position.y, -19.0f);

    // Another footballer of his side no longer sees that opponent as free.
    COutfieldPlayer* q = H(3);
    place(q, 2.0f, -24.0f, 1);
    q->think();
    EXPECT_NE(q->state, STATE_MARK);
}

TEST_F(OutfieldTest, OffsideFootballerRetreatsToTheOnsideOfTheLine) {
    park(0.0f, 0.0f);
    // The away side attacks -y; the home side's deepest outfield footballer draws the line.
    COutfieldPlayer* p = A(9);
    place(p, 5.0f, -20.0f, 5);
    p->homePosition = {5.0f, 5.0f, 0.0f};
    place(H(2), 0.0f, -15.0f, 1);
    m.ball.position = {0.0f, -10.0f, kBallRadius};
    rebuild();
    EXPECT_FLOAT_EQ(p->offsideLine(), -15.0f);
    ASSERT_TRUE(p->offside());

    p->think();
    EXPECT_EQ(p->state, STATE_GO_TO_POINT);
    EXPECT_GT(p->interceptPoint.y, -15.0f);
    EXPECT_LE(p->interceptPoint.y, -13.5f);
    EXPECT_GE(p->interceptPoint.x, 3.0f);
    EXPECT_LE(p->interceptPoint.x, 7.0f);

    runUntilArrived(*p, 4000);
    EXPECT_EQ(p->state, STATE_FORMATION);
    EXPECT_FALSE(p->offside());

    // The home side's forward, mirrored: back below the away side's line.
    COutfieldPlayer* f = H(9);
    place(f, -5.0f, 20.0f, 1);
    place(A(2), 0.0f, 18.0f, 5);
    m.ball.position = {0.0f, 10.0f, kBallRadius};
    ASSERT_TRUE(f->offside());
    f->think();
    EXPECT_EQ(f->state, STATE_GO_TO_POINT);
    EXPECT_LT(f->interceptPoint.y, 18.0f);
    EXPECT_GE(f->interceptPoint.y, 16.5f);
}

TEST_F(OutfieldTest, SelectedFootballersThinkDoesNothing) {
    m.humans[0].team = &m.home;
    COutfieldPlayer* p = H(4);
    place(p, 0.0f, -25.0f, 1);
    place(A(9), 0.0f, -18.0f, 5);  // would be marked
    p->homePosition = {20.0f, 0.0f, 0.0f};
    rebuild();
    m.select(p);
    ASSERT_EQ(m.humans[0].selected, p);

    m.random.seed(99);
    const int expected = m.random.nextInt();
    m.random.seed(99);
    p->think();
    EXPECT_EQ(p->state, STATE_FORMATION);
    EXPECT_EQ(p->moveMode, 0);
    EXPECT_EQ(p->direction, 1);
    EXPECT_TRUE(m.home.plan->markingMap.empty());
    EXPECT_EQ(m.random.nextInt(), expected);  // nothing drawn
}

TEST_F(OutfieldTest, ThrowInTakerKeepsToHisPlaceUntilSomeoneGainsPossession) {
    COutfieldPlayer* t = H(3);
    COutfieldPlayer* r = H(6);
    place(t, -35.0f, -30.0f, 7);
    t->homePosition = {-28.0f, -30.0f, 0.0f};
    place(r, -25.0f, -30.0f, 0);
    r->passValue = 5.0f;
    give(t);
    t->setPiece = true;
    rebuild();

    m.state = GAME_READY;
    m.restartKind = THROW_IN;
    m.clockMs = 2005;
    t->think();
    EXPECT_EQ(m.home.passes, 0) << "restarts are taken on the 2 s beat only";
    m.clockMs = 4000;
    t->think();
    EXPECT_EQ(m.home.passes, 1);
    EXPECT_EQ(m.targetReceiver, r);
    EXPECT_EQ(r->state, STATE_INTERCEPT);
    EXPECT_FALSE(t->setPiece);
    EXPECT_FALSE(t->free);

    // Play goes on; an unmarked opponent comes near, but he walks back to his place.
    m.state = GAME_PLAY;
    COutfieldPlayer* o = A(8);
    place(o, -31.0f, -27.0f, 5);
    m.ball.position = {-10.0f, -30.0f, kBallRadius};
    m.ball.velocity = kZeroVector;
    t->think();
    EXPECT_EQ(t->state, STATE_FORMATION);
    EXPECT_EQ(t->moveMode, 1);
    EXPECT_EQ(t->direction, 7);  // towards (-28, -30)
    EXPECT_TRUE(m.home.plan->markingMap.empty());

    give(r);
    EXPECT_TRUE(t->free);
    t->think();
    EXPECT_EQ(t->state, STATE_MARK);
    EXPECT_EQ(t->markTarget, o);
}

TEST_F(OutfieldTest, RestartWithoutReceiverPassesTowardsTheGoalkeeperSafely) {
    COutfieldPlayer* t = H(3);
    CPlayer* keeper = m.home.goalkeeper();
    place(keeper, 0.0f, -52.5f, 0);
    place(t, -35.0f, -30.0f, 1);  // facing up the line: nobody there
    give(t);
    t->setPiece = true;
    rebuild();
    const int keeperDirection = keeper->direction;

    m.state = GAME_READY;
    m.restartKind = THROW_IN;
    m.clockMs = 6000;
    t->think();
    EXPECT_EQ(m.home.passes, 1);
    EXPECT_EQ(t->direction, 6);  // turned towards his goalkeeper
    EXPECT_FALSE(t->free);
    EXPECT_EQ(keeper->direction, keeperDirection);
    EXPECT_TRUE(isFinite(m.ball.velocity));
    EXPECT_LT(m.ball.velocity.y, 0.0f);
}

TEST_F(OutfieldTest, FarFromGoalHeNeverShoots) {
    COutfieldPlayer* p = H(9);
    place(p, 0.0f, 10.0f, 1);  // 42.5 m from the goal he attacks
    give(p);
    rebuild();
    for (int i = 1; i <= 300; ++i) {
        m.clockMs = 200u * static_cast<std::uint32_t>(i);
        p->think();
        EXPECT_LT(p->evaluateShot().value, -90.0f);
    }
    EXPECT_EQ(m.home.shots, 0);
    EXPECT_EQ(m.ballHolder, p);

    // Pressured, still no shot.
    place(A(5), 2.0f, 11.0f, 5);
    ASSERT_TRUE(p->pressured());
    for (int i = 1; i <= 100; ++i) {
        m.clockMs = 50u * static_cast<std::uint32_t>(i);
        p->think();
    }
    EXPECT_EQ(m.home.shots, 0);

    // Close in, the same decision shoots at once.
    place(A(5), 30.0f, 11.0f, 5);
    place(p, 0.0f, 45.0f, 1);
    give(p);
    m.clockMs = 400;
    p->think();
    EXPECT_EQ(m.home.shots, 1);
}

TEST_F(OutfieldTest, PressuredFootballerCrossesWhenTheCrossScoresBetter) {
    COutfieldPlayer* p = H(5);
    COutfieldPlayer* nearMan = H(6);
    COutfieldPlayer* farMan = H(7);
    place(p, 0.0f, 0.0f, 1);
    place(nearMan, 0.0f, 8.0f, 0);   // the pass receiver up the pitch
    place(farMan, 0.0f, 20.0f, 0);   // the cross receiver: 20 m away
    place(A(5), 2.5f, -1.0f, 5);     // pressure from the side
    nearMan->passValue = 6.0f;
    farMan->passValue = 9.0f;
    give(p);
    rebuild();
    ASSERT_TRUE(p->pressured());
    EXPECT_EQ(p->bestPass().receiver, nearMan);
    EXPECT_EQ(p->bestCross().receiver, farMan);

    m.clockMs = 1050;
    p->think();
    EXPECT_EQ(m.home.passes, 1);  // one kick only
    EXPECT_EQ(m.targetReceiver, farMan);
    EXPECT_EQ(farMan->state, STATE_INTERCEPT);
    EXPECT_NE(nearMan->state, STATE_INTERCEPT);
    EXPECT_EQ(p->state, STATE_FORMATION);

    // The other way round he passes.
    place(p, 0.0f, 0.0f, 1);
    nearMan->passValue = 9.0f;
    farMan->passValue = 6.0f;
    nearMan->resetToDefault();
    farMan->resetToDefault();
    give(p);
    rebuild();
    m.clockMs = 1100;
    p->think();
    EXPECT_EQ(m.home.passes, 2);
    EXPECT_EQ(m.targetReceiver, nearMan);
    EXPECT_EQ(nearMan->state, STATE_INTERCEPT);
}

TEST_F(OutfieldTest, RunningUpWithAnOpponentBehindKeepsRunningUp) {
    COutfieldPlayer* p = H(5);
    place(p, 0.0f, 0.0f, 1);
    place(A(2), 0.0f, 2.0f, 5);   // three opponents straight ahead make "up" the worst choice
    place(A(3), 0.5f, 2.5f, 5);
    place(A(4), -0.5f, 2.5f, 5);
    rebuild();
    ASSERT_FALSE(p->opponentBehind());
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        m.random.seed(seed);
        EXPECT_NE(p->bestDribbleDirection(), 1);
    }
    place(A(6), 0.2f, -1.0f, 1);
    ASSERT_TRUE(p->opponentBehind());
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        m.random.seed(seed);
        EXPECT_EQ(p->bestDribbleDirection(), 1);
    }

    // The whole decision under pressure keeps him running up.
    give(p);
    m.clockMs = 2050;
    p->think();
    EXPECT_EQ(p->direction, 1);
}

TEST_F(OutfieldTest, AtTheTouchlineHeDribblesBackInfield) {
    COutfieldPlayer* p = H(5);
    place(p, 34.0f, 0.0f, 8);
    EXPECT_TRUE(p->atEdgeFacingOut(8));
    EXPECT_TRUE(p->atEdgeFacingOut(7));
    EXPECT_FALSE(p->atEdgeFacingOut(1));
    EXPECT_FALSE(p->atEdgeFacingOut(3));
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        m.random.seed(seed);
        EXPECT_EQ(p->bestDribbleDirection(), 1);
    }
}

TEST_F(OutfieldTest, LaneBlockerUsesTheTriangleTowardsTheTarget) {
    COutfieldPlayer* p = H(5);
    const Vector3 a{0.0f, 0.0f, kBallRadius};
    const Vector3 b{0.0f, 20.0f, 0.0f};  // half-width 8 at the base with factor 12

    EXPECT_EQ(p->laneBlocker(a, b, 12.0f), nullptr);
    place(A(3), 5.0f, 10.0f, 5);  // the lane is 4 m wide either side here
    EXPECT_EQ(p->laneBlocker(a, b, 12.0f), nullptr);
    place(A(3), 3.0f, 10.0f, 5);
    EXPECT_EQ(p->laneBlocker(a, b, 12.0f), A(3));
    EXPECT_EQ(p->laneBlocker(a, b, 48.0f), nullptr);  // narrower lane

    place(m.away.goalkeeper(), 1.0f, 15.0f, 5);  // goalkeepers block too; the nearer to A wins
    EXPECT_EQ(p->laneBlocker(a, b, 12.0f), A(3));
    place(A(3), 0.0f, 25.0f, 5);                 // beyond the base
    EXPECT_EQ(p->laneBlocker(a, b, 12.0f), m.away.goalkeeper());
    place(m.away.goalkeeper(), 0.0f, -1.0f, 5);  // behind the apex
    EXPECT_EQ(p->laneBlocker(a, b, 12.0f), nullptr);
    place(A(3), 0.0f, 0.0f, 5);                  // on the apex itself
    EXPECT_EQ(p->laneBlocker(a, b, 12.0f), A(3));
    EXPECT_EQ(p->laneBlocker(a, a + Vector3{0.005f, 0.0f, 0.0f}, 12.0f), nullptr);
}

TEST_F(OutfieldTest, PassValueWeighsPositionLaneAndBall) {
    COutfieldPlayer* p = H(5);
    place(p, 0.0f, 20.0f, 1);
    m.ball.position = {0.0f, 0.0f, kBallRadius};
    // onside +0, unpressured +3, free ahead +4, nobody behind +3, far from goal +0
    EXPECT_FLOAT_EQ(p->attackValue(), 10.0f);
    p->updatePassValue();
    EXPECT_GE(p->passValue, 8.5f);
    EXPECT_LE(p->passValue, 11.5f);

    place(A(3), 0.0f, 10.0f, 5);  // in the lane from the ball, not near him
    p->updatePassValue();
    EXPECT_GE(p->passValue, -1.5f);
    EXPECT_LE(p->passValue, 1.5f);

    m.ball.position = {0.0f, 30.0f, kBallRadius};  // he is behind the ball now
    p->updatePassValue();
    EXPECT_GE(p->passValue, 3.5f);
    EXPECT_LE(p->passValue, 6.5f);

    // Near goal, with defenders on the line in front and one behind him.
    place(p, 0.0f, 40.0f, 1);
    place(A(3), 0.5f, 42.0f, 5);
    place(A(4), 0.0f, 39.0f, 5);
    m.ball.position = {0.0f, 45.0f, kBallRadius};
    // -6 pressured, -1 blocked ahead, -10 someone behind, +2 within 14 m of goal
    EXPECT_FLOAT_EQ(p->attackValue(), -15.0f);
}

TEST_F(OutfieldTest, RolesChangeHandsCleanly) {
    CGlobalAI& ai = m.homeAi;
    COutfieldPlayer* a = H(2);
    COutfieldPlayer* b = H(3);
    a->setState(STATE_CHASE);
    EXPECT_EQ(ai.chaser, a);
    b->setState(STATE_CHASE);
    EXPECT_EQ(ai.chaser, b);
    EXPECT_EQ(a->state, STATE_FORMATION);

    b->markOpponent(A(4));
    EXPECT_EQ(ai.chaser, nullptr);
    EXPECT_EQ(ai.markingMap.at(A(4)), b);
    b->setState(STATE_GO_TO_POINT);  // not a state set this way: only the role is given up
    EXPECT_TRUE(ai.markingMap.empty());
    EXPECT_EQ(b->state, STATE_MARK);
}

TEST_F(OutfieldTest, KickNoticeChoosesTheLastPointHeCanReachInTime) {
    COutfieldPlayer* p = H(5);
    place(p, 0.0f, 0.0f, 1);
    p->state = STATE_MARK;
    p->markTarget = nullptr;
    // The ball rolls away from him at 2 m/s; two points of the path lie out of his reach.
    m.ball.path.clear();
    for (int i = 0; i < 36; ++i) m.ball.path.push_back({0.0f, 0.1f * static_cast<float>(i), kBallRadius});
    m.ball.path[30].y = 200.0f;
    m.ball.path[35].y = 200.0f;
    p->notify(EVENT_PASS);
    // Point i is his from i = 9 (0.45 s against his 0.41 s start); the last such point wins.
    EXPECT_FLOAT_EQ(p->interceptPoint.y, 3.4f);
    EXPECT_EQ(p->state, STATE_MARK);

    // A notice of possession sends everyone but the holder back to the formation.
    place(H(6), 5.0f, 5.0f, 1);
    H(6)->free = false;
    H(6)->state = STATE_CHASE;
    give(p);
    EXPECT_TRUE(H(6)->free);
    EXPECT_EQ(H(6)->state, STATE_FORMATION);
    EXPECT_EQ(p->state, STATE_WITH_BALL);
}

TEST_F(OutfieldTest, InterceptGivesWayToChasingWithoutNaN) {
    COutfieldPlayer* p = H(5);
    place(p, 0.0f, 0.0f, 1);
    m.ball.position = {0.0f, 10.0f, kBallRadius};
    m.ball.velocity = kZeroVector;  // the ball has stopped
    COutfieldPlayer::receiveAt(p, {0.0f, 5.0f, 0.0f});
    p->think();
    EXPECT_EQ(p->state, STATE_CHASE);
    EXPECT_EQ(m.home.plan->chaser, p);
    EXPECT_TRUE(isFinite(p->heading));

    // Ball moving on the very intercept point: no direction to compare, he keeps going.
    COutfieldPlayer::receiveAt(p, m.ball.position);
    p->interceptPoint.z = 0.0f;
    m.ball.velocity = {0.0f, -5.0f, 0.0f};
    p->think();
    EXPECT_EQ(p->state, STATE_INTERCEPT);
    EXPECT_TRUE(isFinite(p->heading));

    // Ball running straight at a point it reaches within a second: keep intercepting.
    COutfieldPlayer::receiveAt(p, {0.0f, 6.0f, 0.0f});
    p->think();
    EXPECT_EQ(p->state, STATE_INTERCEPT);
    // Too slow to get there within a second: chase it instead.
    m.ball.velocity = {0.0f, -3.0f, 0.0f};
    p->think();
    EXPECT_EQ(p->state, STATE_CHASE);
}

}  // namespace
}  // namespace flikka::kick_fixtures
