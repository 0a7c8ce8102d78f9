#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/KeyState.h"
#include "players/Kicks.h"
#include "sim/FlikkaException.h"
#include "players/OutfieldPlayer.h"
#include "match/Match.h"
#include "sim/Random.h"
#include "team/GlobalAI.h"
#include "players/Goalkeeper.h"
#include "tests/core/match_fixtures.h"

using namespace flikka;
using flikka::match_fixtures::k433;
using flikka::match_fixtures::k442;
using flikka::match_fixtures::SmallMatch;

namespace {

constexpr float kDt = 0.005f;

void expectAllFinite(CMatch& m) {
    ASSERT_TRUE(isFinite(m.ball.position));
    ASSERT_TRUE(isFinite(m.ball.velocity));
    for (CTeam* t : {&m.home, &m.away}) {
        for (std::size_t i = 0; i < t->size(); ++i) {
            ASSERT_TRUE(isFinite(t->player(i)->position)) << t->player(i)->name;
            ASSERT_TRUE(std::isfinite(t->player(i)->speed)) << t->player(i)->name;
        }
    }
}

// Logs every notice it receives, tagged with its name.
class Recorder : public CPlayer {
public:
    std::vector<std::string>* log = nullptr;
    void notify(int event) override { log->push_back(name + ":" + std::to_string(event)); }
};

}  // namespace

TEST(Match, NewMatchIsSetUpInTheFirstStepAndReadyInTheSecond) {
    CMatch m;
    KeyState& keys = m.humans[0].keys;
    EXPECT_EQ(m.home.name, "Supermen Utd");
    EXPECT_EQ(m.away.name, "Lilac City");
    EXPECT_EQ(m.home.size(), 0u);
    m.newMatch(k442, k433, 600.0f, HUMAN_HOME);

    ASSERT_EQ(m.home.size(), 11u);
    ASSERT_EQ(m.away.size(), 11u);
    EXPECT_NE(dynamic_cast<CGoalkeeper*>(m.home.player(0)), nullptr);
    for (std::size_t i = 1; i < 11; ++i) EXPECT_NE(dynamic_cast<COutfieldPlayer*>(m.away.player(i)), nullptr);
    EXPECT_EQ(m.home.player(0)->name, "Adams");
    EXPECT_EQ(m.home.player(7)->name, "Hainsworth");
    EXPECT_EQ(m.away.player(3)->name, "De Luca");
    EXPECT_EQ(m.away.player(10)->name, "Muzzi");
    EXPECT_EQ(m.away.player(4)->opponents, &m.home);
    EXPECT_EQ(m.homeAi.formation.slotLabel(m.home.player(1)), "D L");
    EXPECT_EQ(m.awayAi.formation.slotLabel(m.away.player(10)), "ST");
    EXPECT_EQ(m.humans[0].team, &m.home);
    EXPECT_EQ(m.lastToucher, m.home.goalkeeper());
    EXPECT_EQ(m.state, GAME_OUT_OF_PLAY);
    EXPECT_EQ(m.stateTimer, 1.0f);
    ASSERT_EQ(m.home.byDistance().size(), 11u);

    keys.current[SLOT_SHOOT] = true;
    keys.locked[SLOT_PASS] = true;
    ASSERT_EQ(m.matchStep(kDt), 0);
    EXPECT_EQ(m.state, GAME_SETUP);
    EXPECT_FALSE(keys.current[SLOT_SHOOT]);
    for (int slot : {SLOT_LEFT, SLOT_RIGHT, SLOT_UP, SLOT_DOWN, SLOT_SHOOT, SLOT_CROSS, SLOT_THRU, SLOT_SWITCH}) {
        EXPECT_TRUE(keys.locked[slot]) << slot;
    }
    EXPECT_FALSE(keys.locked[SLOT_PASS]);
    EXPECT_TRUE(m.claimSet.empty());

    ASSERT_EQ(m.matchStep(kDt), 0);
    EXPECT_EQ(m.state, GAME_READY);
    EXPECT_EQ(m.ball.position, Vector3(0.0f, 0.0f, 0.1232f + 0.1132f));

    // Both teams in their own halves; the home side's two takers on the centre spot and beside it.
    int takers = 0;
    for (std::size_t i = 0; i < 11; ++i) {
        const CPlayer& h = *m.home.player(i);
        const CPlayer& a = *m.away.player(i);
        EXPECT_LE(h.position.y, 0.0f) << h.name;
        EXPECT_GE(a.position.y, 0.0f) << a.name;
        EXPECT_TRUE(a.canMove) << a.name;
        if (!h.canMove) {
            ++takers;
            EXPECT_TRUE(h.position == Vector3(0.0f, 0.0f, 0.0f) || h.position == Vector3(2.0f, 0.0f, 0.0f)) << h.name;
        }
    }
    EXPECT_EQ(takers, 2);
    // Keepers start on their goal lines (their own AI has had a step to move).
    EXPECT_NEAR(m.home.goalkeeper()->position.y, -52.5f, 0.05f);
    EXPECT_NEAR(m.away.goalkeeper()->position.y, 52.5f, 0.05f);
    EXPECT_EQ(m.ballHolder, nullptr);

    // The kick-off moves the ball: play resumes and everything is released.
    m.ball.velocity = {0.0f, -3.0f, 0.0f};
    ASSERT_EQ(m.matchStep(kDt), 0);
    EXPECT_EQ(m.state, GAME_PLAY);
    EXPECT_EQ(m.restartKind, RESTART_NONE);
    EXPECT_EQ(m.stateTimer, 0.0f);
    for (bool l : keys.locked) EXPECT_FALSE(l);
    for (std::size_t i = 0; i < 11; ++i) EXPECT_TRUE(m.home.player(i)->canMove);
    EXPECT_FLOAT_EQ(m.elapsed, 0.001f);  // the clock starts with the next step
    m.matchStep(kDt);
    EXPECT_FLOAT_EQ(m.elapsed, 0.006f);
}

TEST(Match, ThrowInTakerIsFreedOfHisSetPieceWhenPlayResumes) {
    CMatch m;
    m.newMatch(k442, k442, 600.0f, HUMAN_NONE);
    m.state = GAME_OUT_OF_PLAY;
    m.restartKind = THROW_IN;
    m.restartPoint = {35.0f, 10.0f, 2.0f};
    m.homeTakesRestart = true;
    m.stateTimer = 2.0f;
    int steps = 0;
    while (m.state != GAME_READY && steps < 400) {
        m.matchStep(kDt);
        ++steps;
    }
    ASSERT_EQ(m.state, GAME_READY);
    EXPECT_EQ(steps, 202);  // a one-second pause, then one set-up step
    EXPECT_EQ(m.home.throwInsFor, 1);
    CPlayer* taker = nullptr;
    for (std::size_t i = 1; i < 11; ++i) {
        if (m.home.player(i)->setPiece) taker = m.home.player(i);
    }
    ASSERT_NE(taker, nullptr);
    EXPECT_FALSE(taker->canMove);
    EXPECT_EQ(taker->position, Vector3(35.0f, 10.0f, 0.0f));

    // His throw finds nobody (there is nobody out beyond the touchline).
    m.setBallHolder(taker);
    m.ball.position = taker->position + Vector3(0.0f, 0.0f, 2.0f);
    kicks::pass(7, *taker, false);
    ASSERT_GT(m.ball.speed(), 0.0f);
    ASSERT_EQ(m.targetReceiver, nullptr);

    m.matchStep(kDt);
    EXPECT_EQ(m.state, GAME_PLAY);
    for (CTeam* t : {&m.home, &m.away}) {
        for (std::size_t i = 0; i < 11; ++i) EXPECT_FALSE(t->player(i)->setPiece) << t->player(i)->name;
    }
}

TEST(Match, SecondNewMatchStartsAfreshWithoutStaleReferences) {
    CMatch m;
    m.newMatch(k442, k442, 600.0f, HUMAN_HOME);
    for (int i = 0; i < 600; ++i) m.matchStep(kDt);

    // Leave roles and references to the first squads everywhere.
    auto* homeOutfield = dynamic_cast<COutfieldPlayer*>(m.home.player(3));
    auto* awayOutfield = dynamic_cast<COutfieldPlayer*>(m.away.player(4));
    m.home.plan->chaser = homeOutfield;
    m.home.plan->presser = dynamic_cast<COutfieldPlayer*>(m.home.player(4));
    m.away.plan->chaser = awayOutfield;
    m.away.plan->markingMap[m.home.player(9)] = awayOutfield;
    m.home.plan->markingMap[m.away.player(8)] = homeOutfield;
    m.setBallHolder(m.home.player(7));
    m.targetReceiver = m.away.player(5);
    m.humans[0].selected = m.home.player(6);
    m.humans[0].switchList.candidates = {m.home.player(2), m.home.player(6)};
    m.homeScore = 2;
    m.awayScore = 1;
    m.home.passes = 7;
    m.away.cornersFor = 3;
    m.away.possessionTime = 1.5f;
    m.secondHalf = true;
    m.elapsed = 400.0f;
    m.state = GAME_PLAY;
    m.ball.velocity = {5.0f, 5.0f, 3.0f};
    const std::uint32_t ms = m.clockMs;
    const std::uint32_t random = m.random.state();
    const unsigned long serial = m.away.player(10)->serial;

    m.newMatch(k433, k442, 599.9f, HUMAN_AWAY);
    EXPECT_EQ(m.matchLength, 599.0f);
    EXPECT_FLOAT_EQ(m.elapsed, 0.001f);
    EXPECT_EQ(m.homeScore, 0);
    EXPECT_EQ(m.awayScore, 0);
    EXPECT_EQ(m.home.passes, 0);
    EXPECT_EQ(m.away.cornersFor, 0);
    EXPECT_EQ(m.away.possessionTime, 0.0f);
    EXPECT_FALSE(m.secondHalf);
    EXPECT_EQ(m.state, GAME_OUT_OF_PLAY);
    EXPECT_EQ(m.clockMs, ms);  // never reset
    EXPECT_EQ(m.random.state(), random);  // nor is the generator (the set-up draws nothing)
    // The new squads' serials follow the old ones: squad order, home first.
    for (const CTeam* t : {&m.home, &m.away}) {
        for (std::size_t i = 0; i < t->size(); ++i) EXPECT_EQ(t->player(i)->serial, serial + 1 + i + (t == &m.away ? 11 : 0));
    }
    EXPECT_EQ(m.home.player(0)->name, "Adams");
    EXPECT_EQ(m.away.player(1)->name, "Bruno");
    EXPECT_EQ(m.ball.velocity, kZeroVector);

    for (CGlobalAI* ai : {&m.homeAi, &m.awayAi}) {
        EXPECT_EQ(ai->chaser, nullptr);
        EXPECT_EQ(ai->presser, nullptr);
        EXPECT_TRUE(ai->markingMap.empty());
    }
    EXPECT_EQ(m.targetReceiver, nullptr);
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_EQ(m.lastToucher, m.home.goalkeeper());
    EXPECT_TRUE(m.humans[0].selected == nullptr || m.away.contains(m.humans[0].selected));
    for (CPlayer* c : m.humans[0].switchList.candidates) EXPECT_TRUE(m.away.contains(c));
    for (CTeam* t : {&m.home, &m.away}) {
        for (CPlayer* p : t->byDistance()) EXPECT_TRUE(t->contains(p));
    }

    // The new squads play on; the sanitizer build catches any use of the old ones.
    for (int i = 0; i < 4000; ++i) {
        ASSERT_EQ(m.matchStep(kDt), 0);
        if (i % 200 == 0) expectAllFinite(m);
    }
    EXPECT_EQ(m.clockMs, ms + 4000u * 5u);
    EXPECT_EQ(m.matchMinute(), static_cast<unsigned>(std::ceil(5400.0f / 599.0f * m.elapsed / 60.0f)));
}

TEST(Match, MatchLengthIsWholeSecondsAndANonPositiveOneEndsAtOnce) {
    CMatch m;
    m.newMatch(k442, k442, 600.0f, HUMAN_NONE);
    EXPECT_EQ(m.humans[0].team, nullptr);
    EXPECT_EQ(m.matchMinute(), 1u);
    m.elapsed = 300.0f;
    EXPECT_EQ(m.matchMinute(), 45u);
    m.elapsed = 300.1f;
    EXPECT_EQ(m.matchMinute(), 46u);

    for (const float bad : {0.0f, 0.4f, -5.0f, std::nanf("")}) {
        m.newMatch(k442, k442, bad, HUMAN_NONE);
        EXPECT_EQ(m.matchLength, 0.0f);
        EXPECT_GT(m.matchMinute(), 95u);
        EXPECT_EQ(m.matchStep(kDt), 2);
    }
}

TEST(Match, WrongFormationIsRefused) {
    CMatch m;
    const unsigned nine[5] = {2, 0, 4, 0, 3};
    try {
        m.newMatch(nine, k442, 600.0f, HUMAN_NONE);
        FAIL() << "no exception";
    } catch (const CFlikkaException& e) {
        EXPECT_STREQ(e.what(), "11 players needed");
    }
    EXPECT_TRUE(m.home.byDistance().empty());
    // The match recovers with a valid formation.
    m.newMatch(k442, k442, 600.0f, HUMAN_NONE);
    EXPECT_EQ(m.home.size(), 11u);
}

TEST(Match, ByDistanceOrdersByHorizontalDistanceAndKeepsTiesInSquadOrder) {
    SmallMatch s(6);
    s.m.ball.position = {1.0f, 1.0f, 3.0f};
    const Vector3 at[6] = {{1.0f, 6.0f, 0.0f},  {4.0f, 5.0f, 0.0f}, {2.0f, 1.0f, 0.0f},
                           {1.0f, -4.0f, 0.0f}, {1.0f, 1.0f, 9.0f}, {-4.0f, 1.0f, 0.0f}};
    for (int i = 0; i < 6; ++i) s.home(i).position = at[i];
    s.m.home.rebuildByDistance();
    const std::vector<CPlayer*> expected = {&s.home(4), &s.home(2), &s.home(0), &s.home(1), &s.home(3), &s.home(5)};
    EXPECT_EQ(s.m.home.byDistance(), expected);
}

TEST(Match, ClaimPointRoundsToTheHalfMetreGrid) {
    SmallMatch s;
    EXPECT_TRUE(s.m.claimPoint(0.24f, 0.26f));    // (0, 0.5)
    EXPECT_FALSE(s.m.claimPoint(0.1f, 0.49f));    // the same point
    EXPECT_TRUE(s.m.claimPoint(0.75f, -0.25f));   // halves round up: (1, 0)
    EXPECT_FALSE(s.m.claimPoint(1.2f, 0.2f));
    EXPECT_TRUE(s.m.claimPoint(-0.26f, 0.0f));    // (-0.5, 0)
    EXPECT_EQ(s.m.claimSet.size(), 3u);
    EXPECT_TRUE(s.m.claimSet.count({-0.5f, 0.0f}));
    EXPECT_FALSE(s.m.claimPoint(std::nanf(""), 1.0f));
    EXPECT_FALSE(s.m.claimPoint(1.0f, INFINITY));
    EXPECT_EQ(s.m.claimSet.size(), 3u);
}

TEST(Match, SetBallHolderKeepsTheBooks) {
    SmallMatch s(2);
    std::vector<std::string> log;
    for (CTeam* t : {&s.m.home, &s.m.away}) {
        for (int i = 0; i < 2; ++i) {
            auto r = std::make_unique<Recorder>();
            r->log = &log;
            r->name = std::string(t == &s.m.home ? "h" : "a") + std::to_string(i);
            r->team = t;
            r->match = &s.m;
            t->players[i] = std::move(r);
        }
    }
    CPlayer& h1 = s.home(1);
    CPlayer& a1 = s.away(1);
    EXPECT_TRUE(s.m.awayTouchedLast());  // nobody has touched it

    s.m.setBallHolder(&h1);
    EXPECT_EQ(s.m.ballHolder, &h1);
    EXPECT_EQ(s.m.lastToucher, &h1);
    EXPECT_TRUE(h1.hasBall);
    EXPECT_EQ(log, (std::vector<std::string>{"h0:0", "h1:0", "a0:0", "a1:0"}));
    EXPECT_FALSE(s.m.awayTouchedLast());

    log.clear();
    s.m.targetReceiver = &a1;
    h1.sinceLastTouch = 3.0f;
    s.m.setBallHolder(&a1);
    EXPECT_FALSE(h1.hasBall);
    EXPECT_EQ(h1.sinceLastTouch, 0.0f);
    EXPECT_EQ(s.m.lastToucher, &h1);
    EXPECT_EQ(s.m.away.successfulPasses, 1);
    EXPECT_EQ(s.m.targetReceiver, nullptr);
    EXPECT_TRUE(s.m.awayTouchedLast());

    s.m.setBallHolder(nullptr);
    EXPECT_EQ(s.m.ballHolder, nullptr);
    EXPECT_EQ(s.m.lastToucher, &a1);
    EXPECT_FALSE(a1.hasBall);
    EXPECT_EQ(log.back(), "a1:1");
    EXPECT_TRUE(s.m.awayTouchedLast());
    s.m.setBallHolder(&h1);
    s.m.setBallHolder(nullptr);
    EXPECT_FALSE(s.m.awayTouchedLast());
}

TEST(Match, OnlyOutfieldFootballersOfTheHumanTeamAreSelected) {
    SmallMatch s;
    s.m.select(&s.home(1));
    EXPECT_EQ(s.m.humans[0].selected, nullptr);  // no human side

    s.m.humans[0].team = &s.m.home;
    s.m.select(&s.home(0));
    s.m.select(&s.away(1));
    s.m.select(nullptr);
    EXPECT_EQ(s.m.humans[0].selected, nullptr);

    s.m.select(&s.home(1));
    EXPECT_EQ(s.m.humans[0].selected, &s.home(1));
    s.home(1).moveMode = 1;
    s.m.select(&s.home(2));
    EXPECT_EQ(s.m.humans[0].selected, &s.home(2));
    EXPECT_EQ(s.home(1).moveMode, 0);  // the one left behind stops

    s.home(2).canMove = false;
    s.home(2).moveMode = 1;
    s.m.select(&s.home(1));
    EXPECT_EQ(s.home(2).moveMode, 1);

    // Winning the ball selects too.
    s.m.ball.position = {0.0f, -0.5f, kBallRadius};
    s.home(2).canMove = true;
    s.home(2).tryTakeBall();
    EXPECT_EQ(s.m.humans[0].selected, &s.home(2));
}

