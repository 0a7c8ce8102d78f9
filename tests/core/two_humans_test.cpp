// Two humans at one computer: each his own keys, footballer and switch list; on one side they
// never hold the same footballer, and with one human everything stays as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>

#include "players/Player.h"
#include "players/UserControl.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "sim/Random.h"
#include "match/TrajectoryHash.h"

namespace flikka {
namespace {

constexpr float kDt = 0.005f;
constexpr int kSlotCodes[KeyState::kSlots] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
constexpr unsigned k442[5] = {2, 0, 4, 0, 4};

// A human who runs about, passes, shoots and switches on his own rhythm (phase apart per player).
class RhythmKeyboard : public IKeyboardDevice {
public:
    explicit RhythmKeyboard(long phase) : phase_(phase) {}
    long step = 0;
    bool idle = false;
    // Slots held down by a placed scene instead of the rhythm.
    std::set<int> held;
    bool isKeyDown(int slot) const override {
        if (idle) return held.count(slot) > 0;
        const long s = step + phase_;
        switch (slot) {
            case SLOT_PASS: return s % 230 < 12;
            case SLOT_SHOOT: return s % 1900 >= 1000 && s % 1900 < 1070;
            case SLOT_SWITCH: return s % 700 < 4;
            case SLOT_LEFT: return (s / 1300) % 4 == 0 && s % 1300 < 600;
            case SLOT_RIGHT: return (s / 1300) % 4 == 1 && s % 1300 < 600;
            case SLOT_UP: return (s / 1300) % 4 != 3 && s % 1300 < 800;
            case SLOT_DOWN: return (s / 1300) % 4 == 3 && s % 1300 < 600;
            default: return false;
        }
    }

private:
    long phase_;
};

struct TwoHumans {
    RhythmKeyboard keyboard1{0};
    RhythmKeyboard keyboard2{517};
    KeySampler keys1{&keyboard1, kSlotCodes};
    KeySampler keys2{&keyboard2, kSlotCodes};
    CMatch m;

    StepInput input() const {
        StepInput in;
        in.slots[0] = keys1.sample();
        in.slots[1] = keys2.sample();
        return in;
    }
    // One tick of the match.
    int step() {
        const StepInput in = input();
        ++keyboard1.step;
        ++keyboard2.step;
        return m.step(in, kDt);
    }
    // The keys and the humans' control alone, the match standing still.
    void control() {
        const StepInput in = input();
        for (int i = 0; i < StepInput::kMaxHumans; ++i) m.humans[i].keys.poll(in.slots[i]);
        user_control::controlSelected(m);
        ++keyboard1.step;
        ++keyboard2.step;
    }
};

struct Seen {
    bool finished = false;
    bool sameFootballer = false;
    bool wrongSide = false;
    bool notFinite = false;
    long stepsWithBoth = 0;
    long switchesOf2 = 0;
    int goals = 0;
    std::uint64_t hash = 0;
};

Seen playWhole(int side, bool player2Idle = false, const MatchRules& rules = MatchRules::classic()) {
    TwoHumans t;
    t.m.console = nullptr;
    t.keyboard2.idle = player2Idle;
    t.m.newMatch(k442, k442, 300.0f, side, rules);
    Seen seen;
    TrajectoryHash hash;
    const CPlayer* last2 = nullptr;
    for (long s = 0; s < 400000 && !seen.finished; ++s) {
        seen.finished = t.step() == 2;
        hash.add(t.m);
        const HumanControl& a = t.m.humans[0];
        const HumanControl& b = t.m.humans[1];
        if (a.selected != nullptr && b.selected != nullptr) {
            ++seen.stepsWithBoth;
            seen.sameFootballer |= a.selected == b.selected;
        }
        for (const HumanControl* h : {&a, &b}) {
            if (h->selected == nullptr) continue;
            seen.wrongSide |= !h->team->contains(h->selected) || t.m.isEitherGoalkeeper(h->selected);
            seen.notFinite |= !std::isfinite(h->selected->position.x) || !std::isfinite(h->selected->position.y);
        }
        if (b.selected != last2) ++seen.switchesOf2;
        last2 = b.selected;
    }
    seen.goals = t.m.homeScore + t.m.awayScore;
    seen.hash = hash.value();
    return seen;
}

TEST(TwoHumans, BothSidesPlayAWholeMatchFromTwoKeyStreams) {
    const Seen s = playWhole(HUMAN_BOTH);
    EXPECT_TRUE(s.finished);
    EXPECT_FALSE(s.wrongSide);
    EXPECT_FALSE(s.notFinite);
    EXPECT_GT(s.stepsWithBoth, 10000);
    EXPECT_GT(s.switchesOf2, 20);
    // Player 2's keys steer the away side: the same match without them comes out differently.
    EXPECT_NE(s.hash, playWhole(HUMAN_BOTH, true).hash);
    // Deterministic, as a replay needs.
    EXPECT_EQ(s.hash, playWhole(HUMAN_BOTH).hash);
}

TEST(TwoHumans, TwoOnOneSideNeverHoldTheSameFootballer) {
    // Under full rules the automatic switch moves them too, each to a footballer of his own.
    for (const MatchRules& rules : {MatchRules::classic(), MatchRules::fullRules(true)}) {
        SCOPED_TRACE(rulesName(rules.kind));
        const Seen s = playWhole(HUMAN_HOME_TWO, false, rules);
        EXPECT_TRUE(s.finished);
        EXPECT_FALSE(s.sameFootballer);
        EXPECT_FALSE(s.wrongSide);
        EXPECT_GT(s.stepsWithBoth, 10000);
        EXPECT_GT(s.switchesOf2, 20);
    }
    // Against each other under full rules, both sides' automatic switches at work.
    const Seen both = playWhole(HUMAN_BOTH, false, MatchRules::fullRules(true));
    EXPECT_TRUE(both.finished);
    EXPECT_FALSE(both.wrongSide);
    EXPECT_FALSE(both.notFinite);
}

// Placed scenes on a match in play: everybody off the scene unless a test places him.
class TwoOnHome : public ::testing::Test {
protected:
    TwoHumans t;
    CMatch& m = t.m;
    HumanControl& p1 = t.m.humans[0];
    HumanControl& p2 = t.m.humans[1];

    void SetUp() override {
        m.console = nullptr;
        t.keyboard1.idle = true;
        t.keyboard2.idle = true;
        m.newMatch(k442, k442, 300.0f, HUMAN_HOME_TWO);
        m.state = GAME_PLAY;
        for (int i = 0; i <= 10; ++i) {
            home(i)->position = Vector3(-30.0f, -40.0f - static_cast<float>(i), 0.0f);
            m.away.player(i)->position = Vector3(30.0f, 40.0f + static_cast<float>(i), 0.0f);
        }
        m.ball.position = Vector3(0.0f, 0.0f, kBallRadius);
        m.ball.velocity = kZeroVector;
        // The set-up gave the kick-off's nearest footballer to a human: start from nobody.
        p1.selected = nullptr;
        p2.selected = nullptr;
    }

    CPlayer* home(int i) { return m.home.player(i); }
    // Presses and releases player 2's switch key.
    void switch2() {
        t.keyboard2.held = {SLOT_SWITCH};
        t.control();
        t.keyboard2.held = {};
        t.control();
    }
};

TEST_F(TwoOnHome, SelectionGoesToTheFreeOrNearestHumanAndPassesKeepTheirPasser) {
    EXPECT_EQ(p1.team, &m.home);
    EXPECT_EQ(p2.team, &m.home);
    m.humans[0].switchList.candidates = {home(3), home(4)};
    p2.switchList.candidates = {home(3), home(4)};

    // The first footballer to gain the ball goes to player 1; player 2 takes the first free one.
    m.setBallHolder(home(3));
    EXPECT_EQ(p1.selected, home(3));
    EXPECT_EQ(p2.selected, home(4));

    // A footballer of neither gains the ball: the human whose footballer is nearer takes him.
    home(3)->position = {0.0f, 0.0f, 0.0f};
    home(4)->position = {10.0f, 10.0f, 0.0f};
    home(7)->position = {9.0f, 9.0f, 0.0f};
    m.setBallHolder(home(7));
    EXPECT_EQ(p2.selected, home(7));
    EXPECT_EQ(p1.selected, home(3));

    // A pass to the other human's footballer leaves the passer with his own.
    m.selectReceiver(*home(3), home(7));
    EXPECT_EQ(p1.selected, home(3));
    EXPECT_EQ(p2.selected, home(7));
    // To a free teammate, the passer's human takes the receiver; a computer footballer's pass
    // goes to the nearer human.
    m.selectReceiver(*home(3), home(8));
    EXPECT_EQ(p1.selected, home(8));
    m.selectReceiver(*home(2), home(9));
    EXPECT_NE(p1.selected, p2.selected);
    // Nobody takes another human's footballer nor a goalkeeper.
    m.selectFor(p1, p2.selected);
    m.selectFor(p1, home(0));
    EXPECT_NE(p1.selected, p2.selected);
    EXPECT_NE(p1.selected, home(0));
}

TEST_F(TwoOnHome, SwitchKeyPicksTheNextFreeFootballer) {
    p1.selected = home(3);
    p2.selected = home(5);
    p2.switchList.candidates = {home(5), home(3), home(6), home(4)};
    p2.switchList.cursor = 0;
    // Its own footballer and player 1's are passed over.
    switch2();
    EXPECT_EQ(p2.selected, home(6));
    EXPECT_EQ(p1.selected, home(3));
    switch2();
    EXPECT_EQ(p2.selected, home(4));
    // Round the list: 5 is free now, 3 is still player 1's.
    switch2();
    EXPECT_EQ(p2.selected, home(5));
    switch2();
    EXPECT_EQ(p2.selected, home(6));

    // Nobody free: the switch key does nothing.
    p2.switchList.candidates = {home(3)};
    switch2();
    EXPECT_EQ(p2.selected, home(6));
    EXPECT_EQ(p1.selected, home(3));
}

}  // namespace
}  // namespace flikka
