// The match's event stream: each thing is reported once, by the match's own ball and referee,
// and handed out after the step that made it.
#include <gtest/gtest.h>

#include <vector>

#include "tests/core/kicks_fixture.h"
#include "tests/core/match_fixtures.h"

using namespace flikka;
using flikka::match_fixtures::SmallMatch;

namespace {

std::vector<MatchEvent> ofKind(const std::vector<MatchEvent>& events, MatchEventKind kind) {
    std::vector<MatchEvent> out;
    for (const MatchEvent& e : events) {
        if (e.kind == kind) out.push_back(e);
    }
    return out;
}

}  // namespace

TEST(MatchEvents, GoalNamesTheLastToucherOwnGoalsAndCarriersIncluded) {
    struct Case {
        bool homeLast;
        bool awayHolds;  // an away footballer carries the ball in
        Vector3 ball;
        std::int8_t credited;
        bool own;
    };
    // Home attacks the upper goal.
    for (const Case& c : {Case{true, false, {2.0f, 52.55f, 1.0f}, SIDE_HOME, false},
                          Case{false, false, {2.0f, 52.55f, 1.0f}, SIDE_HOME, true},
                          Case{true, true, {0.0f, -52.7f, kBallRadius}, SIDE_AWAY, false}}) {
        SmallMatch s;
        s.m.lastToucher = c.homeLast ? &s.home(2) : &s.away(1);
        if (c.awayHolds) s.m.ballHolder = &s.away(2);
        s.m.ball.position = c.ball;
        s.m.ball.velocity = {4.0f, 20.0f, -2.0f};
        s.m.refereeCheck();
        ASSERT_EQ(s.m.events.size(), 1u);
        const MatchEvent& g = s.m.events[0];
        EXPECT_EQ(g.kind, MatchEventKind::Goal);
        EXPECT_EQ(g.player, c.awayHolds ? &s.away(2) : s.m.lastToucher);
        EXPECT_EQ(g.side, c.credited);
        EXPECT_EQ(g.ownGoal, c.own);
        EXPECT_EQ(g.where.y, c.ball.y > 0.0f ? 52.5f : -52.5f);
    }
    // Back along the flight to the line: 0.05 m at 20 m/s is 2.5 ms earlier.
    SmallMatch s;
    s.m.lastToucher = &s.home(1);
    s.m.ball.position = {2.0f, 52.55f, 1.0f};
    s.m.ball.velocity = {4.0f, 20.0f, -2.0f};
    s.m.refereeCheck();
    EXPECT_NEAR(s.m.events[0].where.x, 1.99f, 1e-4f);
    EXPECT_NEAR(s.m.events[0].where.z, 1.005f, 1e-4f);

    // The corner square awards a throw-in, then the corner that stands: reported once.
    SmallMatch square;
    square.m.lastToucher = &square.away(1);
    square.m.ball.position = {35.2f, 52.7f, kBallRadius};
    square.m.refereeCheck();
    ASSERT_EQ(square.m.events.size(), 1u);
    EXPECT_EQ(square.m.events[0].kind, MatchEventKind::OutOfPlay);
    EXPECT_EQ(square.m.events[0].restartKind, CORNER);
}

TEST(MatchEvents, PostHitComesFromTheMatchBallNotItsPredictionOrACopy) {
    SmallMatch s;
    CBall& ball = s.m.ball;
    ball.position = {3.66f, 50.0f, 1.0f};
    ball.velocity = {0.0f, 20.0f, 0.0f};
    ball.airborne = true;
    ball.kinematic = true;
    ball.predict();  // flies a copy through the same post
    CBall copy = ball;
    for (int i = 0; i < 40; ++i) copy.step(kStep);
    EXPECT_TRUE(s.m.events.empty());
    for (int i = 0; i < 40; ++i) ball.step(kStep);
    ASSERT_EQ(s.m.events.size(), 1u);
    EXPECT_EQ(s.m.events[0].kind, MatchEventKind::Post);
    EXPECT_FLOAT_EQ(s.m.events[0].strength, 20.0f);
}

TEST(MatchEvents, KickOffWhistleComesFirstAndEachHalfEndsOnce) {
    CMatch m;
    m.console = nullptr;
    m.newMatch(match_fixtures::k442, match_fixtures::k442, 10.0f, HUMAN_NONE);  // half time after 5 s
    std::vector<MatchEvent> all;
    for (int i = 0; i < 200000 && m.matchStep(kStep) != 2; ++i) all.insert(all.end(), m.events.begin(), m.events.end());
    all.insert(all.end(), m.events.begin(), m.events.end());
    m.matchStep(kStep);
    EXPECT_TRUE(m.events.empty()) << "full time reported again";

    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0].kind, MatchEventKind::Whistle);
    EXPECT_EQ(all[0].restartKind, KICK_OFF);
    EXPECT_EQ(all[0].side, SIDE_HOME);
    EXPECT_EQ(all[1].kind, MatchEventKind::KickOff);
    const auto kicks = ofKind(all, MatchEventKind::Kick);
    ASSERT_FALSE(kicks.empty());
    EXPECT_GT(kicks[0].step, all[0].step);
    EXPECT_EQ(ofKind(all, MatchEventKind::HalfTime).size(), 1u);
    EXPECT_EQ(ofKind(all, MatchEventKind::FullTime).size(), 1u);
    EXPECT_EQ(all.back().kind, MatchEventKind::FullTime);
}

using KickEvents = flikka::kick_fixtures::MatchFixture;

TEST_F(KickEvents, KicksNameKickerKindAndStrengthAndWaitForTheNextStep) {
    m.console = nullptr;
    m.events.clear();
    place(H(9), 2.0f, 30.0f, 1);
    give(H(9));
    m.setBallHolder(nullptr);
    m.setBallHolder(H(9));  // given back to him: no new possession
    kicks::shoot(1, *H(9), false);
    ASSERT_EQ(m.events.size(), 2u);
    EXPECT_EQ(m.events[0].kind, MatchEventKind::Possession);
    const MatchEvent k = m.events[1];
    EXPECT_EQ(k.kickKind, KickEventKind::Shot);
    EXPECT_EQ(k.player, H(9));
    EXPECT_EQ(k.playerIndex, 9);
    EXPECT_EQ(k.side, SIDE_HOME);
    EXPECT_FLOAT_EQ(k.strength, m.ball.speed());

    // Made between steps, as the human's kicks are: handed out with the next step, then gone.
    m.matchStep(kStep);
    ASSERT_GE(m.events.size(), 2u);
    EXPECT_EQ(m.events[1].kind, MatchEventKind::Kick);
    EXPECT_EQ(m.events[1].step, m.steps);
    m.matchStep(kStep);
    EXPECT_TRUE(ofKind(m.events, MatchEventKind::Kick).empty());

    // A throw-in is the taker's pass at a throw-in restart.
    m.state = GAME_READY;
    m.restartKind = THROW_IN;
    place(A(4), -35.0f, 10.0f, 3);
    give(A(4));
    A(4)->setPiece = true;
    kicks::pass(3, *A(4), false);
    EXPECT_EQ(ofKind(m.events, MatchEventKind::Kick).back().kickKind, KickEventKind::Throw);
}
