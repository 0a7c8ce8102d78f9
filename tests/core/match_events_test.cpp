// The match's event stream: each thing that happens is reported once, by the match's own ball
// and referee, and handed out after the step that made it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "players/Kicks.h"
#include "sim/Console.h"
#include "sim/KeyState.h"
#include "sim/Match.h"
#include "sim/Random.h"
#include "team/GlobalAI.h"
#include "tests/core/kicks_fixture.h"
#include "tests/core/match_fixtures.h"

using namespace flikka;
using flikka::match_fixtures::SmallMatch;

namespace {

constexpr float kDt = 0.005f;

std::vector<MatchEvent> ofKind(const std::vector<MatchEvent>& events, MatchEventKind kind) {
    std::vector<MatchEvent> out;
    for (const MatchEvent& e : events) {
        if (e.kind == kind) out.push_back(e);
    }
    return out;
}

struct QuietConsole {
    QuietConsole() { setConsole(nullptr); }
    ~QuietConsole() { setConsole(&std::cout); }
};

// Steps the match, gathering every event handed out, until `done` or the step limit.
template <class Done>
std::vector<MatchEvent> stepUntil(CMatch& m, long limit, Done done) {
    std::vector<MatchEvent> all;
    for (long i = 0; i < limit; ++i) {
        const int result = m.matchStep(kDt);
        all.insert(all.end(), m.events.begin(), m.events.end());
        if (done(all, result)) break;
    }
    return all;
}

}  // namespace

TEST(MatchEvents, RefereeNamesTheScorerAndReportsOneStoppage) {
    QuietConsole quiet;
    // Home attacks the upper goal. A home shot just over the line, flying in and slightly down.
    {
        SmallMatch s;
        s.m.lastToucher = &s.home(2);
        s.m.ball.position = {2.0f, 52.55f, 1.0f};
        s.m.ball.velocity = {4.0f, 20.0f, -2.0f};
        s.m.refereeCheck();
        const auto goals = ofKind(s.m.events, MatchEventKind::Goal);
        ASSERT_EQ(goals.size(), 1u);
        EXPECT_EQ(goals[0].player, &s.home(2));
        EXPECT_EQ(goals[0].playerIndex, 2);
        EXPECT_EQ(goals[0].side, SIDE_HOME);
        EXPECT_FALSE(goals[0].ownGoal);
        // Back 0.05 m along the flight to the line: 2.5 ms earlier.
        EXPECT_FLOAT_EQ(goals[0].where.y, 52.5f);
        EXPECT_NEAR(goals[0].where.x, 1.99f, 1e-4f);
        EXPECT_NEAR(goals[0].where.z, 1.005f, 1e-4f);
        EXPECT_TRUE(ofKind(s.m.events, MatchEventKind::OutOfPlay).empty());
    }
    // An away defender puts it in his own (upper) goal: credited to home, scored by him.
    {
        SmallMatch s;
        s.m.lastToucher = &s.away(1);
        s.m.ball.position = {-1.0f, 52.6f, 0.3f};
        s.m.refereeCheck();
        const auto goals = ofKind(s.m.events, MatchEventKind::Goal);
        ASSERT_EQ(goals.size(), 1u);
        EXPECT_EQ(goals[0].player, &s.away(1));
        EXPECT_EQ(goals[0].side, SIDE_HOME);
        EXPECT_TRUE(goals[0].ownGoal);
        EXPECT_EQ(s.m.homeScore, 1);
        // A ball at rest keeps its own x and z.
        EXPECT_FLOAT_EQ(goals[0].where.x, -1.0f);
        EXPECT_FLOAT_EQ(goals[0].where.z, 0.3f);
    }
    // A holder who carries the ball into the lower goal scores, not the previous toucher.
    {
        SmallMatch s;
        s.m.lastToucher = &s.home(1);
        s.m.ballHolder = &s.away(2);
        s.m.ball.position = {0.0f, -52.7f, kBallRadius};
        s.m.refereeCheck();
        const auto goals = ofKind(s.m.events, MatchEventKind::Goal);
        ASSERT_EQ(goals.size(), 1u);
        EXPECT_EQ(goals[0].player, &s.away(2));
        EXPECT_EQ(goals[0].side, SIDE_AWAY);
        EXPECT_FALSE(goals[0].ownGoal);
        EXPECT_FLOAT_EQ(goals[0].where.y, -52.5f);
    }
    // The corner square awards a throw-in and then a corner: one report, of the corner.
    {
        SmallMatch s;
        s.m.lastToucher = &s.away(1);
        s.m.ball.position = {35.2f, 52.7f, kBallRadius};
        s.m.refereeCheck();
        ASSERT_EQ(s.m.events.size(), 1u);
        EXPECT_EQ(s.m.events[0].kind, MatchEventKind::OutOfPlay);
        EXPECT_EQ(s.m.events[0].restartKind, CORNER);
        EXPECT_EQ(s.m.events[0].side, SIDE_HOME);
        EXPECT_EQ(s.m.events[0].where, Vector3(35.2f, 52.7f, kBallRadius));
    }
}

TEST(MatchEvents, FrameHitsAndBouncesComeOnlyFromTheMatchBall) {
    SmallMatch s;
    CBall& ball = s.m.ball;
    auto launch = [&](const Vector3& p, const Vector3& v, bool kinematic) {
        s.m.events.clear();
        ball.position = p;
        ball.velocity = v;
        ball.airborne = true;
        ball.kinematic = kinematic;
        ball.sideSpin = ball.topSpin = 0.0f;
    };
    auto fly = [&](int steps) {
        for (int i = 0; i < steps; ++i) ball.step(kDt);
        return s.m.events;
    };

    // At the right post at 1 m: the prediction flies the same path through the post silently.
    launch({3.66f, 50.0f, 1.0f}, {0.0f, 20.0f, 0.0f}, true);
    ball.predict();
    EXPECT_TRUE(s.m.events.empty());
    auto events = fly(40);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, MatchEventKind::Post);
    EXPECT_FLOAT_EQ(events[0].strength, 20.0f);

    // Under the crossbar and into the back of the net.
    launch({0.0f, 45.0f, 2.44f}, {0.0f, 25.0f, 0.0f}, true);
    events = fly(100);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0].kind, MatchEventKind::Crossbar);
    launch({1.0f, 52.8f, 1.0f}, {0.0f, 10.0f, 0.0f}, true);
    events = fly(20);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, MatchEventKind::Net);

    // Lobbed gently from 3 m: a bounce at the speed of the fall; a copy of the same ball says nothing,
    // and the small touch-downs of a settling ball are not reported.
    launch({0.0f, 0.0f, 3.0f}, {1.0f, 0.0f, 0.0f}, false);
    CBall copy = ball;
    for (int i = 0; i < 200; ++i) copy.step(kDt);
    EXPECT_TRUE(s.m.events.empty());
    events = fly(200);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0].kind, MatchEventKind::Bounce);
    EXPECT_NEAR(events[0].strength, std::sqrt(2.0f * 9.81f * (3.0f - kBallRadius)), 0.1f);
    events = fly(3000);
    for (const MatchEvent& e : events) EXPECT_GE(e.strength, 0.5f);
}

using KickEvents = flikka::kick_fixtures::MatchFixture;

TEST_F(KickEvents, KicksReportKickerKindAndStrengthAndWaitForTheNextStep) {
    QuietConsole quiet;
    m.events.clear();
    auto lastKick = [&]() {
        const auto kicks = ofKind(m.events, MatchEventKind::Kick);
        EXPECT_FALSE(kicks.empty());
        return kicks.empty() ? MatchEvent{} : kicks.back();
    };

    // A shot: the possession it starts from is reported once, a reset to the same holder not at all.
    place(H(9), 2.0f, 30.0f, 1);
    give(H(9));
    m.setBallHolder(nullptr);
    m.setBallHolder(H(9));
    const auto gained = ofKind(m.events, MatchEventKind::Possession);
    ASSERT_EQ(gained.size(), 1u);
    EXPECT_EQ(gained[0].player, H(9));
    EXPECT_EQ(gained[0].side, SIDE_HOME);
    kicks::shoot(1, *H(9), false);
    MatchEvent k = lastKick();
    EXPECT_EQ(k.kickKind, KickEventKind::Shot);
    EXPECT_EQ(k.player, H(9));
    EXPECT_EQ(k.playerIndex, 9);
    EXPECT_FLOAT_EQ(k.strength, m.ball.speed());
    EXPECT_EQ(k.where, m.ball.position);

    // Emitted between steps (as the human's kicks are): handed out with the next step, then gone.
    const std::size_t before = m.events.size();
    m.matchStep(kDt);
    ASSERT_GE(m.events.size(), before);
    EXPECT_EQ(m.events[0].kind, MatchEventKind::Possession);
    for (const MatchEvent& e : m.events) EXPECT_EQ(e.step, m.steps);
    m.matchStep(kDt);
    EXPECT_TRUE(ofKind(m.events, MatchEventKind::Possession).empty());

    // A throw-in is a pass of the taker at a throw-in restart; a clearance and a keeper's kick.
    m.events.clear();
    m.state = GAME_READY;
    m.restartKind = THROW_IN;
    place(A(4), -35.0f, 10.0f, 3);
    give(A(4));
    A(4)->setPiece = true;
    kicks::pass(3, *A(4), false);
    EXPECT_EQ(lastKick().kickKind, KickEventKind::Throw);
    EXPECT_EQ(lastKick().side, SIDE_AWAY);
    m.state = GAME_PLAY;
    m.restartKind = RESTART_NONE;
    place(H(3), 5.0f, -40.0f, 5);
    give(H(3));
    kicks::clear(*H(3));
    EXPECT_EQ(lastKick().kickKind, KickEventKind::Clearance);
    auto* keeper = static_cast<CGoalkeeper*>(m.away.goalkeeper());
    give(keeper);
    keeper->distribute();
    EXPECT_EQ(lastKick().kickKind, KickEventKind::KeeperKick);
    EXPECT_EQ(lastKick().player, keeper);
}

TEST(MatchEvents, KickOffWhistleFirstAndEveryHalfEndsOnce) {
    QuietConsole quiet;
    seedRandom(kDefaultSeed);
    KeyState keys;
    CMatch m(&keys);
    const unsigned c[5] = {2, 0, 4, 0, 4};
    // A 10-second match: half time at 5 s of play.
    m.newMatch(c, c, 10.0f, HUMAN_NONE);
    const auto all = stepUntil(m, 200000, [](auto&, int result) { return result == 2; });
    ASSERT_EQ(m.matchStep(kDt), 2);
    EXPECT_TRUE(m.events.empty()) << "full time is reported once";

    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all[0].kind, MatchEventKind::Whistle);
    EXPECT_EQ(all[0].restartKind, KICK_OFF);
    EXPECT_EQ(all[0].side, SIDE_HOME);
    EXPECT_EQ(all[0].step, 1u);
    EXPECT_EQ(all[1].kind, MatchEventKind::KickOff);
    const auto kicks = ofKind(all, MatchEventKind::Kick);
    ASSERT_FALSE(kicks.empty());
    EXPECT_GT(kicks[0].step, all[0].step);
    for (const MatchEvent& k : kicks) {
        EXPECT_NE(k.player, nullptr);
        EXPECT_TRUE(std::isfinite(k.strength) && k.strength > 0.0f);
    }
    ASSERT_EQ(ofKind(all, MatchEventKind::HalfTime).size(), 1u);
    ASSERT_EQ(ofKind(all, MatchEventKind::FullTime).size(), 1u);
    EXPECT_EQ(all.back().kind, MatchEventKind::FullTime);
    // The second half opens with the away side's kick-off whistle.
    std::size_t half = 0;
    while (all[half].kind != MatchEventKind::HalfTime) ++half;
    ASSERT_LT(half + 1, all.size());
    EXPECT_EQ(all[half + 1].kind, MatchEventKind::Whistle);
    EXPECT_EQ(all[half + 1].restartKind, KICK_OFF);
    EXPECT_EQ(all[half + 1].side, SIDE_AWAY);
    for (std::size_t i = 1; i < all.size(); ++i) EXPECT_LE(all[i - 1].step, all[i].step);
}
