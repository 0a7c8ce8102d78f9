// Whole matches, headless: every match reaches full time with sane positions, a run replays
// exactly, and a human side played from the keyboard can get a shot on goal.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "sim/KeyState.h"
#include "match/Match.h"
#include "sim/Random.h"
#include "players/Team.h"
#include "team/GlobalAI.h"

namespace flikka {
namespace {

constexpr float kDt = 0.005f;
// 300 s of play is 60,000 steps; stoppages stop the clock, but not for ten times as long.
constexpr long kStepLimit = 600000;
constexpr int kSlotCodes[KeyState::kSlots] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

class Keyboard : public IKeyboardDevice {
public:
    bool down[KeyState::kSlots] = {};
    bool isKeyDown(int code) const override { return code >= 0 && code < KeyState::kSlots && down[code]; }
    void releaseAll() { std::memset(down, 0, sizeof down); }
};

bool onOrNearPitch(const Vector3& p, float margin) {
    return std::fabs(p.x) <= 35.0f + margin && std::fabs(p.y) <= 52.5f + margin && p.z >= -0.01f && p.z <= 60.0f;
}

std::uint64_t mix(std::uint64_t h, float f) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return (h ^ bits) * 1099511628211ULL;
}

std::uint64_t mix(std::uint64_t h, const Vector3& v) { return mix(mix(mix(h, v.x), v.y), v.z); }

// Plays one CPU-against-CPU match from a fresh seed and clock, hashing the state every 100 steps.
std::vector<std::uint64_t> traceMatch(int& homeScore, int& awayScore) {
    CMatch m;
    m.console = nullptr;
    const unsigned counts[5] = {2, 0, 4, 0, 4};
    const unsigned away[5] = {3, 0, 3, 1, 3};
    m.newMatch(counts, away, 300.0f, HUMAN_NONE);
    std::vector<std::uint64_t> trace;
    for (long step = 0; step < kStepLimit; ++step) {
        const int r = m.matchStep(kDt);
        if (step % 100 == 0 || r == 2) {
            std::uint64_t h = 1469598103934665603ULL;
            h = mix(mix(h, m.ball.position), m.ball.velocity);
            for (const CTeam* t : {&m.home, &m.away}) {
                for (const auto& p : t->players) h = mix(mix(h, p->position), p->speed);
            }
            trace.push_back(h);
        }
        if (r == 2) break;
    }
    homeScore = m.homeScore;
    awayScore = m.awayScore;
    return trace;
}

TEST(WholeMatch, TenMatchesReachFullTimeWithEveryoneOnThePitch) {
    CMatch m;
    m.console = nullptr;
    const unsigned formations[3][5] = {{2, 0, 4, 0, 4}, {1, 2, 3, 1, 3}, {3, 0, 3, 0, 4}};
    int goals = 0, passes = 0, completed = 0, onGoal = 0;
    double held = 0.0, played = 0.0;
    for (int match = 0; match < 10; ++match) {
        m.newMatch(formations[match % 3], formations[(match + 1) % 3], 300.0f, HUMAN_NONE);
        long step = 0;
        int result = 0;
        bool halfTime = false;
        for (; step < kStepLimit && result != 2; ++step) {
            if (m.state == GAME_PLAY) played += kDt;
            result = m.matchStep(kDt);
            halfTime = halfTime || result == 1;
            ASSERT_TRUE(isFinite(m.ball.position) && isFinite(m.ball.velocity)) << "match " << match << " step " << step;
            // A ball may fly on over a line until the restart fetches it.
            ASSERT_TRUE(onOrNearPitch(m.ball.position, 40.0f)) << "match " << match << " step " << step;
            for (const CTeam* t : {&m.home, &m.away}) {
                for (const auto& p : t->players) {
                    ASSERT_TRUE(isFinite(p->position) && std::isfinite(p->speed))
                        << p->name << " in match " << match << " at step " << step;
                    ASSERT_TRUE(onOrNearPitch(p->position, 5.0f))
                        << p->name << " at (" << p->position.x << ", " << p->position.y << ", " << p->position.z
                        << ") in match " << match << " at step " << step;
                }
            }
        }
        ASSERT_EQ(result, 2) << "match " << match << " never reached full time";
        EXPECT_TRUE(halfTime);
        EXPECT_TRUE(m.secondHalf);
        EXPECT_GT(m.matchMinute(), 90u);
        EXPECT_GE(step, 59000);  // half time skips the clock to minute 46
        EXPECT_EQ(m.matchStep(kDt), 2);  // full time holds
        goals += m.homeScore + m.awayScore;
        passes += m.home.passes + m.away.passes;
        completed += m.home.successfulPasses + m.away.successfulPasses;
        onGoal += m.home.shotsOnGoal + m.away.shotsOnGoal;
        held += m.home.possessionTime + m.away.possessionTime;
    }
    // Something like football was played: the ball is mostly at someone's feet, passes arrive,
    // goals are scored, and the keepers stop more shots on goal than they let in.
    EXPECT_GT(held / played, 0.35);
    EXPECT_GT(passes, 200);
    EXPECT_GT(completed, passes / 3);
    EXPECT_GT(goals, 0);
    EXPECT_GT(onGoal, 2 * goals);
}

TEST(WholeMatch, SameSeedSameMatch) {
    int h1 = 0, a1 = 0, h2 = 0, a2 = 0;
    const std::vector<std::uint64_t> first = traceMatch(h1, a1);
    const std::vector<std::uint64_t> second = traceMatch(h2, a2);
    ASSERT_GT(first.size(), 600u);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) ASSERT_EQ(first[i], second[i]) << "diverged at sample " << i;
    EXPECT_EQ(h1, h2);
    EXPECT_EQ(a1, a2);
}

// Steers the selected footballer like a plain human would: to the ball, then up the pitch
// with it, and a shot from about 20 m. At a stoppage he taps pass to restart.
class HumanScript {
public:
    Keyboard& kb;
    int shootPhase = 0;
    int passPhase = 0;

    explicit HumanScript(Keyboard& k) : kb(k) {}

    // Returns true when this step releases the shoot key while the footballer has the ball.
    bool decide(const CMatch& m) {
        kb.releaseAll();
        const CPlayer* sel = m.humans[0].selected;
        if (sel == nullptr) return false;
        const bool holds = m.ballHolder == sel;
        if (holds && m.state == GAME_READY) {
            // Restart: tap pass (down one step, up the next).
            kb.down[SLOT_PASS] = (passPhase++ % 2) == 0;
            return false;
        }
        if (holds) {
            const float s = m.home.plan->attacksUpwards ? 1.0f : -1.0f;
            const Vector3 goal{0.0f, 52.5f * s, 0.0f};
            if (shootPhase > 0) {
                shootPhase = 0;  // release: the shot is played now, aimed at the goal centre
                return true;
            }
            if (horizontalDistance(sel->position, goal) < 20.0f) {
                kb.down[SLOT_SHOOT] = true;
                shootPhase = 1;
                return false;
            }
            steer(goal - sel->position);
            return false;
        }
        shootPhase = 0;
        steer(m.ball.position - sel->position);
        return false;
    }

private:
    void steer(const Vector3& d) {
        const float ax = std::fabs(d.x), ay = std::fabs(d.y);
        if (ay > 0.4f * ax) kb.down[d.y > 0.0f ? SLOT_UP : SLOT_DOWN] = true;
        if (ax > 0.4f * ay) kb.down[d.x > 0.0f ? SLOT_RIGHT : SLOT_LEFT] = true;
    }
};

TEST(WholeMatch, ScriptedHumanGetsAShotOnGoal) {
    Keyboard kb;
    const KeySampler keys{&kb, kSlotCodes};
    CMatch m;
    m.console = nullptr;
    const unsigned counts[5] = {2, 0, 4, 0, 4};
    m.newMatch(counts, counts, 300.0f, HUMAN_HOME);
    HumanScript human(kb);

    int humanShots = 0, humanOnGoal = 0, result = 0;
    long step = 0;
    bool selectedEver = false;
    for (; step < kStepLimit && result != 2; ++step) {
        const bool shooting = human.decide(m);
        StepInput in;
        in.slots[0] = keys.sample();
        const int shotsBefore = m.home.shots;
        const int onGoalBefore = m.home.shotsOnGoal;
        if (m.humans[0].selected != nullptr) {
            selectedEver = true;
            ASSERT_TRUE(m.home.contains(m.humans[0].selected));
            ASSERT_NE(m.humans[0].selected, m.home.goalkeeper());
        }
        result = m.step(in, kDt);
        if (shooting) {
            humanShots += m.home.shots - shotsBefore;
            humanOnGoal += m.home.shotsOnGoal - onGoalBefore;
        }
        ASSERT_TRUE(isFinite(m.ball.position));
    }
    EXPECT_EQ(result, 2) << "the match with a human side never ended";
    EXPECT_TRUE(selectedEver);
    EXPECT_GT(humanShots, 0);
    EXPECT_GT(humanOnGoal, 0) << humanShots << " shots by the human, none on goal";
}

}  // namespace
}  // namespace flikka
