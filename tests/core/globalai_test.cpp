#include <gtest/gtest.h>

#include <algorithm>

#include "sim/KeyState.h"
#include "players/OutfieldPlayer.h"
#include "match/Match.h"
#include "players/Team.h"
#include "team/GlobalAI.h"

namespace flikka {
namespace {

// A fresh 4-4-2 against 4-4-2, computer against computer unless a test says otherwise.
// Squad: 0 goalkeeper, 1-4 defenders, 5-8 midfielders, 9-10 forwards, lower numbers to the left.
class TeamAITest : public ::testing::Test {
protected:
    CMatch m;

    void SetUp() override { start(HUMAN_NONE); }

    void start(int humanSide) {
        unsigned c[5] = {2, 0, 4, 0, 4};
        m.newMatch(c, c, 300, humanSide);
    }

    CGlobalAI& homeAI() { return m.homeAi; }
    CGlobalAI& awayAI() { return m.awayAi; }
    CPlayer* home(int i) { return m.home.player(i); }
    CPlayer* away(int i) { return m.away.player(i); }
    COutfieldPlayer* homeOutfield(int i) { return dynamic_cast<COutfieldPlayer*>(home(i)); }

    void looseBallAt(float x, float y) {
        m.ballHolder = nullptr;
        m.ball.position = Vector3(x, y, kBallRadius);
        m.ball.velocity = kZeroVector;
        m.claimSet.clear();
    }

    void expectHomes(CTeam& t, const float expected[][2], int from, int to) {
        for (int i = from; i <= to; ++i) {
            EXPECT_EQ(t.player(i)->homePosition.x, expected[i - from][0]) << "squad " << i;
            EXPECT_EQ(t.player(i)->homePosition.y, expected[i - from][1]) << "squad " << i;
        }
    }
};

TEST_F(TeamAITest, OpenPlayWithLooseBallOnCentreSpotShapesTheBlock) {
    looseBallAt(0.0f, 0.0f);
    homeAI().openPlay();

    EXPECT_EQ(homeAI().formation.direction, -1.0f);
    const float expected[10][2] = {{-21, -18},  {-7, -23},  {7, -23}, {21, -18}, {-21, -3.5},
                                   {-7, -7.5}, {7, -7.5}, {21, -3.5}, {-7, 17},  {7, 17}};
    expectHomes(m.home, expected, 1, 10);
    EXPECT_FLOAT_EQ(homeAI().blockMinX, -21.0f);
    EXPECT_FLOAT_EQ(homeAI().blockMaxX, 21.0f);
    EXPECT_FLOAT_EQ(homeAI().blockMinY, -52.5f);
    EXPECT_FLOAT_EQ(homeAI().blockMaxY, -12.25f);

    // The side attacking downwards: y = 0 is not in its opponents' half, so the target is the ball itself.
    awayAI().openPlay();
    EXPECT_EQ(awayAI().formation.direction, 1.0f);
    EXPECT_EQ(away(2)->homePosition, Vector3(-7.0f, 20.0f, 0.0f));
    EXPECT_EQ(away(4)->homePosition, Vector3(21.0f, 15.0f, 0.0f));
    EXPECT_EQ(away(9)->homePosition, Vector3(-7.0f, -20.0f, 0.0f));
}

TEST_F(TeamAITest, OpenPlayFollowsTheBallHolder) {
    looseBallAt(0.0f, 0.0f);

    // Own forward with the ball at (3, 10); his base place is (-7, -12.25).
    CPlayer* h = home(9);
    h->position = Vector3(3.0f, 10.0f, 0.0f);
    m.ballHolder = h;
    homeAI().openPlay();
    // Target (3 + 7 + 0, 10 + 40.25 / 2 - 15): the block moves by (10, 47.5).
    EXPECT_EQ(h->homePosition.x, 3.0f);
    EXPECT_EQ(h->homePosition.y, 35.5f);  // 35.25 snapped up
    EXPECT_EQ(home(2)->homePosition.x, 3.0f);
    EXPECT_EQ(home(2)->homePosition.y, -5.0f);

    // Opponent with the ball: the rearmost line stays 1 m goal-side of their foremost attacker.
    m.claimSet.clear();
    CPlayer* a = away(9);
    a->position = Vector3(a->homePosition.x + 10.0f, 5.0f, 0.0f);
    for (int i = 1; i <= 10; ++i) {
        if (i != 9) away(i)->position.y = 30.0f;
    }
    m.ballHolder = a;
    homeAI().openPlay();
    EXPECT_EQ(home(2)->homePosition.x, 0.0f);  // x shifted by 0.7 x 10
    EXPECT_EQ(home(2)->homePosition.y, 4.0f);
    EXPECT_EQ(home(3)->homePosition.x, 14.0f);
    EXPECT_EQ(home(3)->homePosition.y, 4.0f);
}

TEST_F(TeamAITest, OpenPlayClampsBlockInsideThePitch) {
    // Loose ball deep in the opponents' corner: the block may come no nearer than 4 m to the
    // goal line and 1 m to the touchline.
    looseBallAt(35.0f, 52.5f);
    homeAI().openPlay();
    float maxX = -1000.0f, maxY = -1000.0f;
    for (int i = 1; i <= 10; ++i) {
        maxX = std::max(maxX, home(i)->homePosition.x);
        maxY = std::max(maxY, home(i)->homePosition.y);
        EXPECT_TRUE(isFinite(home(i)->homePosition));
    }
    EXPECT_NEAR(maxX, 34.0f, 0.5f);
    EXPECT_NEAR(maxY, 48.5f, 0.5f);
}

TEST_F(TeamAITest, FootballersSnappingToOnePointStandApart) {
    // Move the right centre-back onto the left one's slot.
    homeAI().formation.offsetOfPlayer[home(3)] = Vector3(-14.0f, 0.0f, 0.0f);
    looseBallAt(0.0f, 0.0f);
    homeAI().openPlay();
    EXPECT_EQ(home(2)->homePosition.x, -7.0f);
    EXPECT_EQ(home(2)->homePosition.y, -23.0f);
    // The later one stands half a metre nearer his own goal.
    EXPECT_EQ(home(3)->homePosition.x, -7.0f);
    EXPECT_EQ(home(3)->homePosition.y, -23.5f);

    // A point already claimed by anybody: the side attacking downwards steps up (+y).
    m.claimSet.clear();
    ASSERT_TRUE(m.claimPoint(-7.0f, 20.0f));
    awayAI().openPlay();
    EXPECT_EQ(away(2)->homePosition.x, -7.0f);
    EXPECT_EQ(away(2)->homePosition.y, 20.5f);
    EXPECT_EQ(away(3)->homePosition.y, 20.0f);
}

TEST_F(TeamAITest, OwnKickOffStationsTwoTakersOnTheCentreSpot) {
    looseBallAt(0.0f, 0.0f);
    homeAI().ownKickOff(Vector3(0.0f, 0.0f, kBallRadius));

    const float expected[8][2] = {{-21, -39.5}, {-7, -43.5}, {7, -43.5}, {21, -39.5},
                                  {-21, -23.5}, {-7, -26},   {7, -26},   {21, -23.5}};
    expectHomes(m.home, expected, 1, 8);
    EXPECT_EQ(home(0)->position, Vector3(0.0f, -52.5f, 0.0f));
    EXPECT_EQ(home(0)->homePosition, Vector3(0.0f, -52.5f, 0.0f));
    for (int i = 0; i <= 8; ++i) {
        EXPECT_EQ(home(i)->position, home(i)->homePosition) << "squad " << i;
        EXPECT_EQ(home(i)->moveMode, 0);
        EXPECT_EQ(home(i)->speed, 0.0f);
    }

    // The forwards' homes were (-7, -8.5) and (7, -8.5): equally near the centre, so the left
    // one (earlier in squad order) takes the kick and faces +x; the other stands 2 m beside.
    CPlayer* first = home(9);
    CPlayer* second = home(10);
    EXPECT_EQ(first->position, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(first->homePosition, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(first->direction, 7);
    EXPECT_FLOAT_EQ(first->heading.x, 1.0f);
    EXPECT_FALSE(first->canMove);
    EXPECT_EQ(second->position, Vector3(2.0f, 0.0f, 0.0f));
    EXPECT_FALSE(second->canMove);
    EXPECT_TRUE(home(5)->canMove);

    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_FLOAT_EQ(m.ball.position.z, 2.0f * kBallRadius);
    EXPECT_EQ(m.ball.velocity, kZeroVector);
}

TEST_F(TeamAITest, OpponentsKickOffSelectsNearestOutfielderForHuman) {
    start(HUMAN_HOME);
    // Both forwards stand at (+-7, -8.5): the earlier in squad order wins the tie.
    EXPECT_EQ(m.humans[0].selected, home(9));
    EXPECT_EQ(home(0)->position, Vector3(0.0f, -52.5f, 0.0f));
    EXPECT_EQ(away(0)->position, Vector3(0.0f, 52.5f, 0.0f));
    EXPECT_EQ(away(9)->position.y, 9.0f);  // 8.75 snapped: halves round up, not away from zero
}

TEST_F(TeamAITest, OwnCornerBlockEndsFourMetresInsideGoalLine) {
    const Vector3 corner(35.0f, 52.5f, kBallRadius);
    looseBallAt(corner.x, corner.y);
    homeAI().ownCorner(corner);

    // The target 42 m up the pitch is beyond the clamp: the block's far edge ends at 48.5.
    EXPECT_EQ(home(9)->homePosition.y, 48.5f);
    EXPECT_EQ(home(10)->homePosition.y, 48.5f);
    for (int i = 1; i <= 10; ++i) EXPECT_LE(home(i)->homePosition.y, 52.5f);

    // The right midfielder is nearest the flag and takes it, ball at his feet.
    CPlayer* taker = home(8);
    EXPECT_EQ(m.ballHolder, taker);
    EXPECT_EQ(taker->position, Vector3(35.0f, 52.5f, 0.0f));
    EXPECT_FALSE(taker->canMove);
    EXPECT_EQ(taker->direction, 3);
    EXPECT_EQ(m.ball.position, corner);
    EXPECT_EQ(m.home.cornersFor, 1);
    EXPECT_EQ(m.away.cornersFor, 0);

    awayAI().opponentsCorner(corner);
    homeAI().ownCorner(Vector3(-35.0f, 52.5f, kBallRadius));
    EXPECT_EQ(m.home.cornersFor, 2);
}

TEST_F(TeamAITest, GoalKickTakerStandsBehindTheBall) {
    looseBallAt(20.0f, 55.0f);
    const Vector3 lower(8.875f, -47.0f, kBallRadius);
    homeAI().ownGoalKick(lower);
    CPlayer* keeper = home(0);
    EXPECT_EQ(keeper->position, Vector3(8.875f, -47.4f, 0.0f));
    EXPECT_EQ(keeper->homePosition, keeper->position);
    EXPECT_FALSE(keeper->canMove);
    EXPECT_EQ(m.ballHolder, keeper);
    EXPECT_EQ(m.ball.position, lower);
    // Squeezed as for a ball on the centre spot, target 10.5 m past the halfway line.
    EXPECT_EQ(home(9)->homePosition, Vector3(-7.0f, 28.0f, 0.0f));
    EXPECT_EQ(home(10)->homePosition, Vector3(7.0f, 28.0f, 0.0f));

    const Vector3 upper(-8.875f, 47.0f, kBallRadius);
    m.claimSet.clear();
    awayAI().ownGoalKick(upper);
    EXPECT_EQ(away(0)->position, Vector3(-8.875f, 47.4f, 0.0f));
    EXPECT_EQ(m.ballHolder, away(0));
    EXPECT_EQ(away(9)->homePosition, Vector3(-7.0f, -28.0f, 0.0f));
}

TEST_F(TeamAITest, OwnThrowInCountsAndStationsTheTaker) {
    looseBallAt(36.0f, 10.0f);
    home(7)->position = Vector3(30.0f, 9.0f, 0.0f);
    const Vector3 point(35.0f, 10.0f, 2.0f);
    homeAI().ownThrowIn(point);
    CPlayer* taker = home(7);
    EXPECT_EQ(taker->position, Vector3(35.0f, 10.0f, 0.0f));
    EXPECT_TRUE(taker->setPiece);
    EXPECT_FALSE(taker->canMove);
    EXPECT_EQ(taker->direction, 3);
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_EQ(m.ball.position, point);
    EXPECT_EQ(m.home.throwInsFor, 1);
    homeAI().ownThrowIn(point);
    EXPECT_EQ(m.home.throwInsFor, 2);
    EXPECT_EQ(m.away.throwInsFor, 0);
}

TEST_F(TeamAITest, CarrierToPressNeedsEveryCondition) {
    CGlobalAI& ai = homeAI();
    CPlayer* f = home(2);
    CPlayer* carrier = away(9);
    auto* chaser = homeOutfield(9);
    f->position = Vector3(0.0f, 0.0f, 0.0f);
    carrier->position = Vector3(0.0f, 5.0f, 0.0f);
    carrier->direction = 5;
    chaser->direction = 5;
    m.ballHolder = carrier;
    ai.chaser = chaser;
    ai.presser = nullptr;
    EXPECT_EQ(ai.carrierToPress(f), carrier);

    // 45 degrees between the two facings is still inside the angle; 90 is not.
    chaser->direction = 4;
    EXPECT_EQ(ai.carrierToPress(f), carrier);
    chaser->direction = 3;
    EXPECT_EQ(ai.carrierToPress(f), nullptr);
    chaser->direction = 5;

    ai.chaser = nullptr;
    EXPECT_EQ(ai.carrierToPress(f), nullptr);
    ai.chaser = chaser;
    ai.presser = homeOutfield(5);
    EXPECT_EQ(ai.carrierToPress(f), nullptr);
    ai.presser = nullptr;

    m.ballHolder = nullptr;
    EXPECT_EQ(ai.carrierToPress(f), nullptr);
    m.ballHolder = home(10);
    home(10)->position = carrier->position;
    EXPECT_EQ(ai.carrierToPress(f), nullptr);
    m.ballHolder = away(0);
    away(0)->position = carrier->position;
    away(0)->direction = 5;
    EXPECT_EQ(ai.carrierToPress(f), nullptr);
    m.ballHolder = carrier;

    f->position.y = 5.0f;  // level
    EXPECT_EQ(ai.carrierToPress(f), nullptr);
    f->position.y = 6.0f;  // behind
    EXPECT_EQ(ai.carrierToPress(f), nullptr);
    f->position.y = -5.0f;  // exactly 10 m goal-side
    EXPECT_EQ(ai.carrierToPress(f), carrier);
    f->position.y = -5.5f;
    EXPECT_EQ(ai.carrierToPress(f), nullptr);
    f->position = Vector3(4.5f, 1.0f, 0.0f);  // wider than deep
    EXPECT_EQ(ai.carrierToPress(f), nullptr);

    // The side attacking downwards is goal-side above the carrier.
    CPlayer* g = away(2);
    auto* awayChaser = dynamic_cast<COutfieldPlayer*>(away(9));
    CPlayer* homeCarrier = home(9);
    homeCarrier->position = Vector3(0.0f, 0.0f, 0.0f);
    homeCarrier->direction = 1;
    awayChaser->direction = 1;
    m.ballHolder = homeCarrier;
    awayAI().chaser = awayChaser;
    awayAI().presser = nullptr;
    g->position = Vector3(0.0f, 4.0f, 0.0f);
    EXPECT_EQ(awayAI().carrierToPress(g), homeCarrier);
    g->position = Vector3(0.0f, -4.0f, 0.0f);
    EXPECT_EQ(awayAI().carrierToPress(g), nullptr);
}

TEST_F(TeamAITest, LooseBallSendsTheNearestFreeOutfielderAfterIt) {
    m.state = GAME_PLAY;
    looseBallAt(10.0f, 5.0f);
    home(7)->position = Vector3(9.0f, 4.0f, 0.0f);  // nearest of all, keeper included
    home(0)->position = Vector3(30.0f, -50.0f, 0.0f);
    m.home.rebuildByDistance();
    homeAI().openPlay();
    EXPECT_EQ(homeOutfield(7)->state, STATE_CHASE);
    EXPECT_EQ(homeAI().chaser, homeOutfield(7));
    for (int i = 1; i <= 10; ++i) {
        if (i != 7) {
            EXPECT_NE(homeOutfield(i)->state, STATE_CHASE) << "squad " << i;
        }
    }

    // Nobody else is sent while there is a chaser, a teammate running onto a pass, or a holder.
    homeOutfield(7)->resetToDefault();
    COutfieldPlayer::receiveAt(home(3), Vector3(0.0f, 0.0f, 0.0f));
    homeAI().openPlay();
    EXPECT_EQ(homeAI().chaser, nullptr);
    homeOutfield(3)->resetToDefault();
    m.ballHolder = away(5);
    homeAI().openPlay();
    EXPECT_EQ(homeAI().chaser, nullptr);

    // The human's footballer is never driven: the next nearest goes instead.
    m.ballHolder = nullptr;
    m.humans[0].selected = home(7);
    homeAI().openPlay();
    EXPECT_NE(homeAI().chaser, nullptr);
    EXPECT_NE(homeAI().chaser, homeOutfield(7));
    EXPECT_EQ(homeOutfield(7)->state, STATE_FORMATION);

    // A taker who is not free again yet keeps to his place; nobody is sent past him.
    homeAI().chaser->resetToDefault();
    m.humans[0].selected = nullptr;
    homeOutfield(7)->free = false;
    homeAI().openPlay();
    EXPECT_EQ(homeAI().chaser, nullptr);
}

TEST_F(TeamAITest, OpponentToMarkSkipsLimitAndMarkedOpponents) {
    CGlobalAI& ai = homeAI();
    CPlayer* f = home(2);
    f->position = Vector3(0.0f, 0.0f, 0.0f);
    for (int i = 1; i <= 10; ++i) away(i)->position = Vector3(0.0f, 40.0f + i, 0.0f);
    away(0)->position = Vector3(1.0f, 0.0f, 0.0f);  // goalkeepers are never marked

    away(3)->position = Vector3(10.0f, 0.0f, 0.0f);  // exactly at the limit
    EXPECT_EQ(ai.opponentToMark(f, 10.0f), nullptr);

    away(4)->position = Vector3(0.0f, 6.0f, 0.0f);
    away(5)->position = Vector3(-8.0f, 0.0f, 0.0f);
    away(6)->position = Vector3(0.0f, -8.0f, 0.0f);
    EXPECT_EQ(ai.opponentToMark(f, 10.0f), away(4));
    ai.markingMap[away(4)] = homeOutfield(3);
    // Equally near: the earlier in squad order.
    EXPECT_EQ(ai.opponentToMark(f, 10.0f), away(5));
    EXPECT_EQ(ai.opponentToMark(f, 7.0f), nullptr);
}

TEST_F(TeamAITest, ResetFootballersDropsRolesAndKeepsPossession) {
    // Loose ball: no possession notice reaches the footballers, so only the reset clears roles.
    looseBallAt(0.0f, 0.0f);
    auto* chaser = homeOutfield(9);
    chaser->setState(STATE_CHASE);
    ASSERT_EQ(homeAI().chaser, chaser);
    auto* marker = homeOutfield(2);
    marker->markOpponent(away(9));
    ASSERT_EQ(homeAI().markingMap.size(), 1u);

    homeAI().resetFootballers();
    EXPECT_EQ(homeAI().chaser, nullptr);
    EXPECT_TRUE(homeAI().markingMap.empty());
    EXPECT_EQ(chaser->state, STATE_FORMATION);
    EXPECT_EQ(marker->state, STATE_FORMATION);
    EXPECT_EQ(m.ballHolder, nullptr);

    m.setBallHolder(away(5));
    homeAI().resetFootballers();
    EXPECT_EQ(m.ballHolder, away(5));
    EXPECT_TRUE(away(5)->hasBall);

    // A new match leaves no role pointing at the footballers it destroys.
    homeAI().chaser = chaser;
    homeAI().presser = homeOutfield(3);
    homeAI().markingMap[away(9)] = marker;
    start(HUMAN_NONE);
    EXPECT_EQ(homeAI().chaser, nullptr);
    EXPECT_EQ(homeAI().presser, nullptr);
    EXPECT_TRUE(homeAI().markingMap.empty());
}

}  // namespace
}  // namespace flikka
