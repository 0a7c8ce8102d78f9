// Snapshots of a match in play (full rules, a human at home, minute 30 of 90): taking one (a copy
// into fresh storage), restoring one (assignment over a match of the same game, which reuses its
// storage), and the bytes a snapshot holds (the object and what it allocates).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "sim/KeyState.h"
#include "match/Match.h"

namespace {

// Counts what this program allocates, to report a snapshot's heap bytes.
std::atomic<std::size_t> allocatedBytes{0};

}  // namespace

void* operator new(std::size_t n) {
    allocatedBytes += n;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace flikka;

// A match 30 minutes into 90 (of a 1200-s game), the human running and passing.
CMatch& matchInPlay() {
    static CMatch m = [] {
        CMatch built;
        built.console = nullptr;
        const unsigned counts[5] = {2, 0, 4, 0, 4};
        built.newMatch(counts, counts, 1200.0f, HUMAN_HOME, MatchRules::fullRules());
        for (int i = 0; i < 80000; ++i) {
            StepInput in;
            in.slots[0] = static_cast<std::uint16_t>((1u << SLOT_UP) | (i % 230 < 10 ? 1u << SLOT_PASS : 0u));
            built.step(in);
        }
        return built;
    }();
    return m;
}

void BM_SnapshotTake(benchmark::State& state) {
    const CMatch& m = matchInPlay();
    const std::size_t before = allocatedBytes;
    { const CMatch once = m; }
    const std::size_t heap = allocatedBytes - before;
    for (auto _ : state) {
        CMatch copy = m;
        benchmark::DoNotOptimize(copy.steps);
    }
    state.counters["object_bytes"] = static_cast<double>(sizeof(CMatch));
    state.counters["heap_bytes"] = static_cast<double>(heap);
}
BENCHMARK(BM_SnapshotTake)->Unit(benchmark::kMicrosecond);

void BM_SnapshotRestore(benchmark::State& state) {
    const CMatch snapshot = matchInPlay();
    CMatch live = snapshot;
    for (auto _ : state) {
        // Play a little on, as a rollback would, then go back.
        state.PauseTiming();
        for (int i = 0; i < 20; ++i) live.step(StepInput{});
        state.ResumeTiming();
        live = snapshot;
        benchmark::DoNotOptimize(live.steps);
    }
}
BENCHMARK(BM_SnapshotRestore)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
