// Guards classic play bit for bit: fixed matches hash the ball and every footballer after every
// step, and the hashes must equal the ones recorded when these matches were first played. A change
// that moves any float of any step fails here; only a deliberate, explained change may re-record.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "sim/KeyState.h"
#include "match/Match.h"
#include "sim/Random.h"
#include "match/TrajectoryHash.h"

namespace flikka {
namespace {

constexpr float kDt = 0.005f;
constexpr long kStepLimit = 3000000;
constexpr int kSlotCodes[KeyState::kSlots] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// A human who runs in changing directions, taps pass every second, shoots now and then and
// switches footballer: every branch of the user control gets its turn.
class PatternKeyboard : public IKeyboardDevice {
public:
    long step = 0;
    bool isKeyDown(int slot) const override {
        switch (slot) {
            case SLOT_PASS: return step % 200 < 10;
            case SLOT_SHOOT: return step % 1700 >= 900 && step % 1700 < 960;
            case SLOT_SWITCH: return step % 2300 < 5;
            case SLOT_LEFT: return (step / 1600) % 4 == 0 && step % 1600 < 700;
            case SLOT_RIGHT: return (step / 1600) % 4 == 1 && step % 1600 < 700;
            case SLOT_UP: return (step / 1600) % 4 != 3 && step % 1600 < 900;
            case SLOT_DOWN: return (step / 1600) % 4 == 3 && step % 1600 < 700;
            default: return false;
        }
    }
};

struct Played {
    std::uint64_t hash = 0;
    int homeScore = 0;
    int awayScore = 0;
};

// Plays `matches` matches in a row on one match object, as the game and the runner do: the
// generator and the simulation clock run on from one match into the next.
std::vector<Played> play(int matches, const unsigned home[5], const unsigned away[5], float length, int human,
                         const MatchRules& rules = MatchRules::classic()) {
    PatternKeyboard keyboard;
    const KeySampler keys{&keyboard, kSlotCodes};
    CMatch m;
    m.console = nullptr;
    std::vector<Played> out;
    for (int i = 0; i < matches; ++i) {
        m.newMatch(home, away, length, human, rules);
        TrajectoryHash hash;
        for (long step = 0; step < kStepLimit; ++step, ++keyboard.step) {
            StepInput in;
            if (human != HUMAN_NONE) in.slots[0] = keys.sample();
            const int r = m.step(in, kDt);
            hash.add(m);
            if (r == 2) break;
        }
        out.push_back({hash.value(), m.homeScore, m.awayScore});
    }
    return out;
}

constexpr unsigned k442[5] = {2, 0, 4, 0, 4};

TEST(TrajectoryHash, ClassicCpuMatchesInARowAreUnchanged) {
    const std::vector<Played> p = play(2, k442, k442, 300.0f, HUMAN_NONE);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].hash, 0xb850d4d6380389b5ULL);
    EXPECT_EQ(p[1].hash, 0x67dd904b4f5e25b9ULL);
}

TEST(TrajectoryHash, ClassicOtherShapesAndLengthUnchanged) {
    const unsigned home[5] = {3, 0, 3, 0, 4};
    const unsigned away[5] = {1, 2, 3, 1, 3};
    const std::vector<Played> p = play(1, home, away, 600.0f, HUMAN_NONE);
    EXPECT_EQ(p[0].hash, 0x38a50a05967fd5abULL);
}

TEST(TrajectoryHash, ClassicHumanMatchUnchanged) {
    const std::vector<Played> p = play(1, k442, k442, 300.0f, HUMAN_HOME);
    EXPECT_EQ(p[0].hash, 0xe8126a35d138c6fbULL);
}

// The full rules are held the same way, so that work on speed cannot move them either; these are
// re-recorded only when the full rules' play is changed on purpose.
TEST(TrajectoryHash, FullRulesMatchesUnchanged) {
    const std::vector<Played> cpu = play(2, k442, k442, 300.0f, HUMAN_NONE, MatchRules::fullRules());
    ASSERT_EQ(cpu.size(), 2u);
    EXPECT_EQ(cpu[0].hash, 0x34dd214e8c2de6f7ULL);
    EXPECT_EQ(cpu[1].hash, 0x1fade035c1130e43ULL);
    const std::vector<Played> human = play(1, k442, k442, 300.0f, HUMAN_HOME, MatchRules::fullRules());
    EXPECT_EQ(human[0].hash, 0x653b5b2c7197cc9dULL);
}

}  // namespace
}  // namespace flikka
