// Full rules on staged positions: offside by the Law and its call, fouls and what they give,
// the wall, the penalty, the sliding tackle, the automatic switch and the idle restart; and
// whole full-rules matches that stay sane and replay exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "match_fixtures.h"
#include "players/Kicks.h"
#include "players/OutfieldPlayer.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "sim/Random.h"
#include "players/Team.h"
#include "players/Goalkeeper.h"
#include "team/GlobalAI.h"

namespace flikka {
namespace {

using match_fixtures::k442;
constexpr float kDt = 0.005f;

// A full-rules match set up and in play, every footballer moved out of the way (far into his
// own half, spread across) so that a test places only the ones it needs.
struct FullMatch {
    CMatch m;

    explicit FullMatch(int human = HUMAN_NONE, MatchRules rules = MatchRules::fullRules()) {
        m.console = nullptr;
        m.newMatch(k442, k442, 300.0f, human, rules);
        m.state = GAME_PLAY;
        m.restartKind = RESTART_NONE;
        m.stateTimer = 0.0f;
        for (CTeam* t : {&m.home, &m.away}) {
            const float own = t == &m.home ? -1.0f : 1.0f;  // home defends the lower goal
            for (std::size_t i = 0; i < t->size(); ++i) {
                CPlayer* p = t->player(i);
                p->position = {-30.0f + 6.0f * static_cast<float>(i), own * (i == 0 ? 52.0f : 45.0f), 0.0f};
                p->homePosition = p->position;
                p->speed = 0.0f;
                p->moveMode = 0;
            }
        }
        m.ball.position = {0.0f, 0.0f, kBallRadius};
        m.ball.velocity = kZeroVector;
    }
    CPlayer& home(int i) { return *m.home.player(static_cast<std::size_t>(i)); }
    CPlayer& away(int i) { return *m.away.player(static_cast<std::size_t>(i)); }
    // The away outfield footballers from squad position `from` on, out of the way in the home half.
    void awayBackUp(int from) {
        for (std::size_t i = static_cast<std::size_t>(from); i < m.away.size(); ++i) put(*m.away.player(i), m.away.player(i)->position.x, -10.0f);
    }
    static void put(CPlayer& p, float x, float y) {
        p.position = {x, y, 0.0f};
        p.homePosition = p.position;
    }
    int eventsOf(MatchEventKind k) const {
        int n = 0;
        for (const MatchEvent& e : m.events) n += e.kind == k ? 1 : 0;
        return n;
    }
    // Steps until the restart is set up and waiting for its taker.
    void stepToReady() {
        for (int i = 0; i < 1000 && m.state != GAME_READY; ++i) m.matchStep(kDt);
        ASSERT_EQ(m.state, GAME_READY);
    }
};

TEST(FullRules, OffsidePositionIsTheLaws) {
    FullMatch f;
    CMatch& m = f.m;
    // Home attacks upwards. The away keeper stays on his line (y 52); one away defender at 30.
    f.awayBackUp(2);
    FullMatch::put(f.away(1), 0.0f, 30.0f);
    m.ball.position = {0.0f, 10.0f, kBallRadius};
    CPlayer& striker = f.home(9);
    FullMatch::put(striker, 5.0f, 31.0f);
    EXPECT_TRUE(m.offsidePosition(striker));   // beyond the second-last opponent and the ball
    FullMatch::put(striker, 5.0f, 30.0f);
    EXPECT_FALSE(m.offsidePosition(striker));  // level is onside
    m.ball.position = {0.0f, 32.0f, kBallRadius};
    FullMatch::put(striker, 5.0f, 31.0f);
    EXPECT_FALSE(m.offsidePosition(striker));  // behind the ball
    m.ball.position = {0.0f, -20.0f, kBallRadius};
    FullMatch::put(f.away(1), 0.0f, -10.0f);
    FullMatch::put(striker, 5.0f, -5.0f);
    EXPECT_FALSE(m.offsidePosition(striker));  // in his own half
    // The keeper counts: with him out at 20 the second-last is the defender at 15.
    FullMatch::put(f.away(1), 0.0f, 15.0f);
    FullMatch::put(f.away(0), 0.0f, 20.0f);
    FullMatch::put(striker, 5.0f, 17.0f);
    EXPECT_TRUE(m.offsidePosition(striker));
    FullMatch::put(f.away(0), 0.0f, 52.0f);
    FullMatch::put(f.away(2), 0.0f, 18.0f);
    EXPECT_FALSE(m.offsidePosition(striker));  // now the second-last is at 18
}

TEST(FullRules, OffsideIsCalledWhenThePassFindsHimButNeverFromAThrowIn) {
    FullMatch f;
    CMatch& m = f.m;
    f.awayBackUp(2);
    FullMatch::put(f.away(1), 0.0f, 30.0f);
    CPlayer& passer = f.home(5);
    CPlayer& striker = f.home(9);
    FullMatch::put(passer, 0.0f, 10.0f);
    FullMatch::put(striker, 5.0f, 33.0f);
    m.ball.position = {0.0f, 10.4f, kBallRadius};
    m.noteKick(passer);
    FullMatch::put(striker, 5.0f, 25.0f);  // back onside by the time he takes it: still offside
    m.setBallHolder(&striker);
    m.matchStep(kDt);
    EXPECT_EQ(m.state, GAME_OUT_OF_PLAY);
    EXPECT_EQ(m.restartKind, INDIRECT_FREE_KICK);
    EXPECT_FALSE(m.homeTakesRestart);
    EXPECT_NEAR(m.restartPoint.y, 25.0f, 0.5f);
    EXPECT_EQ(m.home.offsides, 1);
    EXPECT_EQ(m.away.freeKicks, 1);
    EXPECT_EQ(f.eventsOf(MatchEventKind::Offside), 1);

    // The same positions at a throw-in: play on.
    FullMatch g;
    g.awayBackUp(2);
    FullMatch::put(g.away(1), 0.0f, 30.0f);
    FullMatch::put(g.home(5), 35.0f, 10.0f);
    FullMatch::put(g.home(9), 5.0f, 33.0f);
    g.m.ball.position = {35.0f, 10.0f, 2.0f};
    g.m.state = GAME_READY;
    g.m.restartKind = THROW_IN;
    g.m.noteKick(g.home(5));
    g.m.state = GAME_PLAY;
    g.m.setBallHolder(&g.home(9));
    g.m.matchStep(kDt);
    EXPECT_EQ(g.m.home.offsides, 0);
    EXPECT_NE(g.m.restartKind, INDIRECT_FREE_KICK);
}

TEST(FullRules, FoulsGiveFreeKicksOutsideTheAreaAndPenaltiesInside) {
    FullMatch f;
    CMatch& m = f.m;
    FullMatch::put(f.home(2), 10.0f, -20.0f);  // a home defender fouls an away forward, 32 m out
    FullMatch::put(f.away(9), 10.0f, -20.5f);
    m.setBallHolder(&f.away(9));
    m.callFoul(&f.home(2), &f.away(9));
    m.matchStep(kDt);
    EXPECT_EQ(m.restartKind, FREE_KICK);
    EXPECT_FALSE(m.homeTakesRestart);
    EXPECT_NEAR(m.restartPoint.x, 10.0f, 0.5f);
    EXPECT_NEAR(m.restartPoint.y, -20.5f, 0.5f);
    EXPECT_EQ(m.home.fouls, 1);
    EXPECT_EQ(m.away.freeKicks, 1);
    EXPECT_EQ(f.eventsOf(MatchEventKind::Foul), 1);
    EXPECT_EQ(f.eventsOf(MatchEventKind::FreeKick), 1);

    FullMatch g;
    FullMatch::put(g.home(2), 10.0f, -45.0f);  // inside his own area
    FullMatch::put(g.away(9), 10.0f, -45.5f);
    g.m.setBallHolder(&g.away(9));
    g.m.callFoul(&g.home(2), &g.away(9));
    g.m.matchStep(kDt);
    EXPECT_EQ(g.m.restartKind, PENALTY);
    EXPECT_EQ(g.m.restartPoint.x, 0.0f);
    EXPECT_EQ(g.m.restartPoint.y, -41.5f);
    EXPECT_EQ(g.m.away.penalties, 1);
    EXPECT_EQ(g.eventsOf(MatchEventKind::Penalty), 1);

    // Under classic nothing is ever called.
    FullMatch c(HUMAN_NONE, MatchRules::classic());
    c.m.setBallHolder(&c.away(9));
    c.m.callFoul(&c.home(2), &c.away(9));
    c.m.matchStep(kDt);
    EXPECT_EQ(c.m.home.fouls, 0);
    EXPECT_EQ(c.m.state, GAME_PLAY);
}

TEST(FullRules, ChallengesFromBehindAreFoulsFarMoreOftenThanFromTheFront) {
    FullMatch f;
    CMatch& m = f.m;
    CPlayer& carrier = f.away(9);
    CPlayer& defender = f.home(2);
    auto fouls = [&](float fromY, float carrierFacing) {
        int n = 0;
        for (int i = 0; i < 400; ++i) {
            m.fullState.call = FullRulesState::CALL_NONE;
            FullMatch::put(carrier, 0.0f, 0.0f);
            carrier.heading = {0.0f, carrierFacing, 0.0f};
            FullMatch::put(defender, 0.0f, fromY);
            defender.speed = 4.8f;
            n += defender.challengeIsFoul(&carrier, false) ? 1 : 0;
        }
        return n;
    };
    // The carrier runs down the pitch (-y); the defender comes from above (behind him) or below.
    const int behind = fouls(0.8f, -1.0f);
    const int front = fouls(-0.8f, -1.0f);
    EXPECT_GT(behind, 3 * front);
    EXPECT_GT(front, 0);
    EXPECT_EQ(m.fullState.offender, &defender);
}

TEST(FullRules, FreeKickInRangeGetsAWallAtTheDistanceAndTheRestStandOff) {
    FullMatch f;
    CMatch& m = f.m;
    // A home free kick 19 m in front of the away goal (the upper one).
    m.state = GAME_OUT_OF_PLAY;
    m.stateTimer = 1.5f;
    m.restartKind = FREE_KICK;
    m.restartPoint = {3.0f, 34.0f, kBallRadius};
    m.homeTakesRestart = true;
    f.stepToReady();
    const Vector3 ball = m.ball.position;
    int wall = 0;
    for (std::size_t i = 1; i < m.away.size(); ++i) {
        const CPlayer& p = *m.away.player(i);
        const float d = horizontalDistance(p.position, ball);
        EXPECT_GE(d, 9.1f) << p.name;
        if (!p.canMove) {
            ++wall;
            EXPECT_NEAR(d, 9.15f, 0.6f) << p.name;
            EXPECT_GT(p.position.y, ball.y + 7.0f) << p.name;  // between the ball and the goal
        }
    }
    EXPECT_EQ(wall, 4);
    ASSERT_NE(m.ballHolder, nullptr);
    EXPECT_TRUE(m.home.contains(m.ballHolder));

    // Indirect (an offside), or far out: no wall.
    FullMatch g;
    g.m.state = GAME_OUT_OF_PLAY;
    g.m.stateTimer = 1.5f;
    g.m.restartKind = INDIRECT_FREE_KICK;
    g.m.restartPoint = {3.0f, 32.5f, kBallRadius};
    g.m.homeTakesRestart = true;
    g.stepToReady();
    for (std::size_t i = 1; i < g.m.away.size(); ++i) EXPECT_TRUE(g.m.away.player(i)->canMove);
}

TEST(FullRules, PenaltyLeavesTakerAndKeeperAloneAndIsUsuallyScored) {
    int scored = 0;
    constexpr int kPenalties = 60;
    for (int n = 0; n < kPenalties; ++n) {
        FullMatch f;
        CMatch& m = f.m;
        for (int i = 0; i < n * 7; ++i) m.random.nextInt();  // a different kick every time
        m.state = GAME_OUT_OF_PLAY;
        m.stateTimer = 1.5f;
        m.restartKind = PENALTY;
        m.restartPoint = {0.0f, 41.5f, kBallRadius};
        m.homeTakesRestart = true;
        f.stepToReady();
        if (n == 0) {
            ASSERT_NE(m.ballHolder, nullptr);
            EXPECT_TRUE(m.home.contains(m.ballHolder));
            EXPECT_NEAR(m.ball.position.y, 41.5f, 0.2f);
            EXPECT_EQ(m.away.goalkeeper()->position.y, 52.5f);
            for (const CTeam* t : {&m.home, &m.away}) {
                for (std::size_t i = 1; i < t->size(); ++i) {
                    const CPlayer* p = t->player(i);
                    if (p != m.ballHolder) {
                        EXPECT_LE(p->position.y, 31.5f) << p->name;
                    }
                }
            }
        }
        // Until it is in, held, or out.
        for (int i = 0; i < 1500 && (m.state == GAME_READY || (m.state == GAME_PLAY && m.ballHolder == nullptr)); ++i) {
            m.matchStep(kDt);
        }
        scored += m.homeScore;
    }
    EXPECT_GT(scored, kPenalties / 2);
    EXPECT_LT(scored, kPenalties * 95 / 100);
}

TEST(FullRules, SlideAtTheBallKnocksItOffTheCarrier) {
    FullMatch f;
    CMatch& m = f.m;
    CPlayer& carrier = f.away(9);
    CPlayer& slider = f.home(2);
    FullMatch::put(carrier, 0.0f, 0.0f);
    carrier.heading = {0.0f, -1.0f, 0.0f};
    m.setBallHolder(&carrier);
    m.ball.position = {0.0f, -0.4f, kBallRadius};
    FullMatch::put(slider, 0.0f, -2.5f);
    slider.speed = 4.8f;
    ASSERT_TRUE(slider.startSlide({0.0f, 1.0f, 0.0f}));
    EXPECT_FALSE(slider.startSlide({0.0f, 1.0f, 0.0f}));  // one at a time
    for (int i = 0; i < 200 && slider.sliding(); ++i) slider.update(kDt);
    EXPECT_TRUE(slider.slidePlayedBall);
    EXPECT_NE(m.ballHolder, &carrier);
    EXPECT_FALSE(slider.sliding());
    EXPECT_GT(slider.stunTime, 0.0f);  // on the grass a moment longer

    FullMatch c(HUMAN_NONE, MatchRules::classic());
    EXPECT_FALSE(c.home(2).startSlide({0.0f, 1.0f, 0.0f}));
}

TEST(FullRules, ClosedDownShortOfTheAttackingThirdAFootballerClearsToTouchAndItIsNoPass) {
    FullMatch f;
    CMatch& m = f.m;
    auto& back = dynamic_cast<COutfieldPlayer&>(f.home(3));
    CPlayer& forward = f.away(9);
    const auto marked = [&](float y, float markerY) {
        FullMatch::put(back, 5.0f, y);
        FullMatch::put(forward, 5.0f, markerY);
        return back.clearingNow();
    };
    EXPECT_TRUE(marked(-40.0f, -38.5f));
    EXPECT_TRUE(marked(-10.0f, -6.5f));   // midfield, a man 3.5 m away
    EXPECT_TRUE(marked(8.0f, 9.5f));      // just past halfway
    EXPECT_FALSE(marked(15.0f, 16.5f));   // near the opponents' box he keeps it
    EXPECT_FALSE(marked(-40.0f, -35.5f));  // nobody within 4 m
    EXPECT_FALSE(marked(40.0f, 38.5f));    // the opponents' third
    // The away side defends the other end.
    auto& awayBack = dynamic_cast<COutfieldPlayer&>(f.away(3));
    FullMatch::put(awayBack, -5.0f, 40.0f);
    FullMatch::put(f.home(9), -5.0f, 38.5f);
    EXPECT_TRUE(awayBack.clearingNow());

    marked(-40.0f, -38.5f);
    m.setBallHolder(&back);
    m.ball.position = back.position + Vector3{0.0f, 0.4f, 0.0f};
    const int passes = m.home.passes;
    kicks::clear(back);
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_GT(m.ball.velocity.x, 5.0f);  // out towards the near touchline
    EXPECT_EQ(m.home.passes, passes);
}

TEST(FullRules, ControlFollowsTheBallWhenTheOpponentsGainIt) {
    FullMatch f(HUMAN_HOME);
    CMatch& m = f.m;
    CPlayer& far = f.home(9);
    CPlayer& near = f.home(3);
    FullMatch::put(far, -30.0f, 40.0f);
    FullMatch::put(near, 2.0f, 3.0f);
    m.select(&far);
    m.setBallHolder(&f.away(9));  // the away side gains the ball
    FullMatch::put(f.away(9), 0.0f, 0.0f);
    m.matchStep(kDt);
    EXPECT_EQ(m.humans[0].selected, &near);

    // While they keep it, at most every 0.5 s.
    CPlayer& nearer = f.home(4);
    FullMatch::put(nearer, m.ballHolder->position.x + 3.0f, m.ballHolder->position.y - 3.0f);
    FullMatch::put(near, -20.0f, 20.0f);
    for (int i = 0; i < 50 && m.ballHolder != nullptr && !m.home.contains(m.ballHolder); ++i) m.matchStep(kDt);
    EXPECT_EQ(m.humans[0].selected, &near);

    // Classic never switches.
    FullMatch c(HUMAN_HOME, MatchRules::classic());
    c.m.select(&c.home(9));
    FullMatch::put(c.home(9), -30.0f, 40.0f);
    c.m.setBallHolder(&c.away(9));
    FullMatch::put(c.away(9), 0.0f, 0.0f);
    c.m.matchStep(kDt);
    EXPECT_EQ(c.m.humans[0].selected, &c.home(9));
}

TEST(FullRules, ARestartTheHumanLeavesIsTakenAfterTwoThousandSteps) {
    for (const bool full : {true, false}) {
        FullMatch f(HUMAN_HOME, full ? MatchRules::fullRules() : MatchRules::classic());
        CMatch& m = f.m;
        m.state = GAME_OUT_OF_PLAY;
        m.stateTimer = 1.5f;
        m.restartKind = THROW_IN;
        m.restartPoint = {35.0f, 5.0f, 2.0f};
        m.homeTakesRestart = true;
        f.stepToReady();
        long ready = 0;
        while (m.state == GAME_READY && ready < 3000) {
            m.matchStep(kDt);
            ++ready;
        }
        if (full) {
            EXPECT_GE(ready, 1990) << "taken too soon";
            EXPECT_LE(ready, 2010);
        } else {
            EXPECT_EQ(m.state, GAME_READY);  // classic waits for the human
        }
    }
}

TEST(FullRules, OpponentsStandCompactOutsideTheCircleAtAKickOff) {
    FullMatch f;
    CMatch& m = f.m;
    m.newMatch(k442, k442, 300.0f, HUMAN_NONE, MatchRules::fullRules());
    m.matchStep(kDt);  // the home kick-off is set up
    float minX = 100.0f, maxX = -100.0f;
    for (std::size_t i = 1; i < m.away.size(); ++i) {
        const CPlayer* p = m.away.player(i);
        EXPECT_GE(p->position.y, 0.0f) << p->name;
        EXPECT_GE(horizontalLength(p->position), 9.15f) << p->name;
        minX = std::min(minX, p->position.x);
        maxX = std::max(maxX, p->position.x);
    }
    EXPECT_LT(maxX - minX, 40.0f);  // the classic block spans 42 m
}

// The kick-off receiver plays it back into his own half, not square to the man who kicked off
// (who, closed down by the block, would only clear it to touch).
TEST(FullRules, KickOffIsPlayedBackIntoTheOwnHalf) {
    FullMatch f;
    CMatch& m = f.m;
    m.newMatch(k442, k442, 300.0f, HUMAN_NONE, MatchRules::fullRules());
    std::vector<const CPlayer*> kickers;
    const CPlayer* found = nullptr;
    for (int i = 0; i < 4000 && found == nullptr; ++i) {
        m.matchStep(kDt);
        for (const MatchEvent& e : m.events) {
            if (e.kind == MatchEventKind::Kick) kickers.push_back(e.player);
            if (e.kind == MatchEventKind::Possession && kickers.size() == 2) found = e.player;
        }
    }
    ASSERT_EQ(kickers.size(), 2u);
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(m.home.contains(found)) << found->name;
    EXPECT_NE(found, kickers[0]);
    EXPECT_LT(found->position.y, -10.0f) << found->name;  // home plays upwards: back is down
}

TEST(FullRules, WholeMatchesStaySaneAndReplayExactly) {
    auto play = [](std::vector<int>& out) {
        CMatch m;
        m.console = nullptr;
        for (int match = 0; match < 2; ++match) {
            m.newMatch(k442, match_fixtures::k433, 300.0f, HUMAN_NONE, MatchRules::fullRules());
            int r = 0;
            int shotEvents = 0;
            for (long step = 0; step < 400000 && r != 2; ++step) {
                r = m.matchStep(kDt);
                for (const MatchEvent& e : m.events) {
                    shotEvents += e.kind == MatchEventKind::Kick && e.kickKind == KickEventKind::Shot ? 1 : 0;
                }
                ASSERT_TRUE(isFinite(m.ball.position) && isFinite(m.ball.velocity)) << step;
                for (const CTeam* t : {&m.home, &m.away}) {
                    for (const auto& p : t->players) {
                        ASSERT_TRUE(isFinite(p->position)) << p->name << " step " << step;
                        ASSERT_LE(std::fabs(p->position.x), 40.0f) << p->name << " step " << step;
                        ASSERT_LE(std::fabs(p->position.y), 58.0f) << p->name << " step " << step;
                    }
                }
            }
            ASSERT_EQ(r, 2);
            // Sound and banners hear of every shot the statistics count.
            EXPECT_EQ(shotEvents, m.home.shots + m.away.shots);
            EXPECT_GT(shotEvents, 0);
            for (const CTeam* t : {&m.home, &m.away}) {
                out.insert(out.end(), {t->shots, t->passes, t->successfulPasses, t->fouls, t->offsides, t->freeKicks,
                                       t->penalties});
            }
            out.push_back(m.homeScore);
            out.push_back(m.awayScore);
        }
    };
    std::vector<int> first, second;
    play(first);
    play(second);
    EXPECT_EQ(first, second);
    int fouls = 0;
    for (std::size_t i = 0; i < first.size(); ++i) fouls += (i % 16 == 3 || i % 16 == 10) ? first[i] : 0;
    EXPECT_GT(fouls, 0);
}

}  // namespace
}  // namespace flikka
