// The sound director's share of a match: what reading one step's events and moving the crowd
// costs, over every step of a recorded CPU-against-CPU match, on a device that plays nothing (the
// mixing itself runs on SDL's audio thread and is measured in the game). At 200 steps a second,
// 50 ns a step is 0.001 % of a core.
#include <benchmark/benchmark.h>

#include <iostream>
#include <vector>

#include "app/SoundDirector.h"
#include "settings/ExtraSettings.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "sim/Random.h"

namespace {

using namespace flikka;

struct RecordedStep {
    std::vector<MatchEvent> events;
    Vector3 ball;
};

const std::vector<RecordedStep>& recordedMatch() {
    static const std::vector<RecordedStep> steps = [] {
        CMatch m;
        m.console = nullptr;
        const unsigned counts[5] = {2, 0, 4, 0, 4};
        m.newMatch(counts, counts, 600.0f, HUMAN_NONE);
        std::vector<RecordedStep> out;
        int result = 0;
        while (result != 2) {
            result = m.matchStep(kStep);
            out.push_back({m.events, m.ball.position});
        }
        return out;
    }();
    return steps;
}

void BM_SoundDirectorPerStep(benchmark::State& state) {
    const std::vector<RecordedStep>& steps = recordedMatch();
    auto audio = platform::Audio::silent();
    SoundDirector director(*audio);
    director.loadEffects();
    const ExtraSettings settings;
    CMatch replay;
    std::size_t events = 0;
    for (const RecordedStep& s : steps) events += s.events.size();
    for (auto _ : state) {
        for (const RecordedStep& s : steps) {
            replay.events.assign(s.events.begin(), s.events.end());
            replay.ball.position = s.ball;
            director.afterMatchStep(replay);
            director.update(SoundScene::Match, settings, kStep);
        }
        benchmark::DoNotOptimize(director.crowdIntensity());
    }
    state.counters["steps"] = static_cast<double>(steps.size());
    state.counters["events"] = static_cast<double>(events);
    state.counters["ns_per_step"] = benchmark::Counter(static_cast<double>(steps.size()) * state.iterations() * 1e-9,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SoundDirectorPerStep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
