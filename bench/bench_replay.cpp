// Replays against play: a 20-minute match with a human side played as the game plays it (key
// poll, recorder, user control, match step, goal-replay frames), then the same match replayed
// headless from its recording as flikka-sim --replay does. Replaying must not be slower than
// playing. Also reports the goal replay's ring buffer and the replay file's size.
#include <benchmark/benchmark.h>

#include "replay/GoalReplay.h"
#include "replay/Playback.h"
#include "tests/replay/live_fixture.h"

namespace {

using namespace flikka;
using namespace flikka::live_fixture;

constexpr float kLength = 1200.0f;

Played playRecorded(replay::GoalReplay& goal) {
    LiveRun run;
    run.start(k442, k433, kLength, HUMAN_HOME);
    for (int r = 0; r != 2;) {
        r = run.step();
        goal.observe(run.match, r);
    }
    return run.finish();
}

const Played& recording() {
    static const Played p = [] {
        replay::GoalReplay goal;
        return playRecorded(goal);
    }();
    return p;
}

void BM_PlayWithRecorder(benchmark::State& state) {
    std::uint64_t steps = 0;
    replay::GoalReplay goal;
    for (auto _ : state) {
        const Played p = playRecorded(goal);
        steps = p.steps;
        benchmark::DoNotOptimize(p.hash);
    }
    state.counters["steps"] = static_cast<double>(steps);
    state.counters["us_per_step"] = benchmark::Counter(static_cast<double>(steps) * state.iterations(),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["goal_ring_bytes"] = static_cast<double>(goal.ringBytes());
}
BENCHMARK(BM_PlayWithRecorder)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ReplayHeadless(benchmark::State& state) {
    const Played& recorded = recording();
    std::uint64_t steps = 0;
    for (auto _ : state) {
        const Played p = playBack(recorded.replay);
        steps = p.steps;
        if (p.hash != recorded.hash) state.SkipWithError("the replay did not play back as recorded");
    }
    state.counters["steps"] = static_cast<double>(steps);
    state.counters["us_per_step"] = benchmark::Counter(static_cast<double>(steps) * state.iterations(),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["file_bytes"] = static_cast<double>(replay::encode(recorded.replay).size());
    state.counters["key_changes"] = static_cast<double>(recorded.replay.keys.size());
}
BENCHMARK(BM_ReplayHeadless)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
