// A match is a value: a copy taken at any step plays on exactly as the original does, a match
// restored from one by assignment replays the same steps, a copy outlives its source, and two
// matches stepped in two threads at once come out as each does alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "sim/KeyState.h"
#include "match/Match.h"
#include "match/TrajectoryHash.h"

namespace flikka {
namespace {

constexpr unsigned k442[5] = {2, 0, 4, 0, 4};
constexpr unsigned k433[5] = {3, 0, 3, 0, 4};
constexpr float kLength = 240.0f;
constexpr std::uint64_t kStepLimit = 400000;

// The human's keys as a function of the step alone, so that a restored match gets the same input
// again: runs that turn every few seconds, passes, shots and switches on their own rhythms.
StepInput keysAt(std::uint64_t step) {
    const std::uint64_t s = step;
    std::uint16_t down = 0;
    auto hold = [&down](int slot) { down = static_cast<std::uint16_t>(down | (1u << slot)); };
    if (s % 1300 < 900) hold((s / 1300) % 2 == 0 ? SLOT_UP : SLOT_DOWN);
    if ((s / 700) % 3 == 1) hold(SLOT_LEFT);
    if ((s / 700) % 3 == 2) hold(SLOT_RIGHT);
    if (s % 230 < 10) hold(SLOT_PASS);
    if (s % 1900 >= 1000 && s % 1900 < 1060) hold(SLOT_SHOOT);
    if (s % 810 < 4) hold(SLOT_SWITCH);
    StepInput in;
    in.slots[0] = down;
    in.slots[1] = static_cast<std::uint16_t>(down ^ (1u << SLOT_PASS));  // player 2, when he plays
    return in;
}

struct Game {
    int human = HUMAN_HOME;
    MatchRules rules = MatchRules::classic();
};

std::unique_ptr<CMatch> started(const Game& g, std::uint32_t seed = 7) {
    auto m = std::make_unique<CMatch>();
    m->console = nullptr;
    m->random.seed(seed);
    m->newMatch(k442, k433, kLength, g.human, g.rules);
    return m;
}

// Steps to full time (or to the step given), adding each step to the hash.
void playOn(CMatch& m, TrajectoryHash& hash, std::uint64_t untilStep = kStepLimit) {
    while (m.steps < untilStep && m.steps < kStepLimit) {
        const int r = m.step(keysAt(m.steps));
        hash.add(m);
        if (r == 2) return;
    }
}

struct Outcome {
    std::uint64_t hash = 0;
    std::uint64_t steps = 0;
    int home = 0;
    int away = 0;
    bool operator==(const Outcome&) const = default;
};

Outcome outcomeOf(const CMatch& m, const TrajectoryHash& h) { return {h.value(), m.steps, m.homeScore, m.awayScore}; }

Outcome playWhole(const Game& g, std::uint32_t seed = 7) {
    auto m = started(g, seed);
    TrajectoryHash h;
    playOn(*m, h);
    return outcomeOf(*m, h);
}

const Game kGames[] = {
    {HUMAN_HOME, MatchRules::classic()},
    {HUMAN_AWAY, MatchRules::fullRules()},
    {HUMAN_BOTH, MatchRules::fullRules()},
};

TEST(Snapshot, CopiesAndRestoresAtRandomStepsPlayOnAsTheOriginal) {
    std::mt19937 pick(2026);
    for (const Game& g : kGames) {
        SCOPED_TRACE(g.human);
        const Outcome whole = playWhole(g);
        ASSERT_EQ(whole.steps > 0 && whole.steps < kStepLimit, true) << "the match never ended";
        for (int round = 0; round < 4; ++round) {
            const std::uint64_t at = std::uniform_int_distribution<std::uint64_t>(1, whole.steps - 1)(pick);
            SCOPED_TRACE(at);
            auto m = started(g);
            TrajectoryHash h;
            playOn(*m, h, at);
            const CMatch snapshot = *m;
            const TrajectoryHash hashAt = h;

            // The original goes on undisturbed by the copy taken of it.
            playOn(*m, h);
            EXPECT_EQ(outcomeOf(*m, h), whole);

            // Restored over the finished match, it replays the rest the same way.
            *m = snapshot;
            h = hashAt;
            EXPECT_EQ(m->steps, at);
            playOn(*m, h);
            EXPECT_EQ(outcomeOf(*m, h), whole);

            // A copy whose source is gone holds nothing of it (the sanitizer build checks).
            auto source = std::make_unique<CMatch>(snapshot);
            CMatch orphan = *source;
            source.reset();
            TrajectoryHash h2 = hashAt;
            playOn(orphan, h2);
            EXPECT_EQ(outcomeOf(orphan, h2), whole);
        }
    }
}

TEST(Snapshot, AssigningAnotherMatchTakesAllOfIt) {
    // Another seed, other shapes' worth of state: assignment must leave nothing of the old match.
    const Game g{HUMAN_HOME, MatchRules::fullRules()};
    const Outcome whole = playWhole(g);
    auto other = started(Game{HUMAN_BOTH, MatchRules::classic()}, 99);
    TrajectoryHash ignored;
    playOn(*other, ignored, 5000);
    auto fresh = started(g);
    *other = *fresh;
    fresh.reset();
    TrajectoryHash h;
    playOn(*other, h);
    EXPECT_EQ(outcomeOf(*other, h), whole);
}

TEST(Snapshot, TwoMatchesInTwoThreadsComeOutAsAlone) {
    const Game a = kGames[0];
    const Game b = kGames[1];
    const Outcome aloneA = playWhole(a, 11);
    const Outcome aloneB = playWhole(b, 12);
    Outcome inA, inB;
    std::thread ta([&] { inA = playWhole(a, 11); });
    std::thread tb([&] { inB = playWhole(b, 12); });
    ta.join();
    tb.join();
    EXPECT_EQ(inA, aloneA);
    EXPECT_EQ(inB, aloneB);
    EXPECT_NE(aloneA.hash, aloneB.hash);
}

}  // namespace
}  // namespace flikka
