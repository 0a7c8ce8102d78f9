// One match frame at 800 x 600 with the radar and the debug view on, built and drawn on the
// software renderer. Run in the build folder (it reads the generated gfx/).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "settings/Settings.h"
#include "match/Match.h"
#include "ui/Graphics.h"
#include "ui/MatchView.h"

namespace {

using namespace flikka;

constexpr unsigned k442[5] = {2, 0, 4, 0, 4};

struct Scene {
    CGraphics graphics;
    CMatch match;

    Scene() {
        settings().resetToDefaults();
        settings().radar = true;
        settings().debugInfo = true;
        graphics.openDisplayAndLoadAssets(true);
        match.newMatch(k442, k442, 600.0f, HUMAN_NONE);
        graphics.setMatch(&match);
        // Into open play: footballers spread, running, the ball moving.
        for (int i = 0; i < 2000; ++i) match.matchStep(0.005f);
        match.humans[0].selected = match.home.player(6);
    }
    ~Scene() { graphics.setMatch(nullptr); }
};

// Null outside the build folder (no generated art to draw with).
Scene* scene() {
    if (!std::filesystem::exists("gfx/pitch.png")) return nullptr;
    static Scene s;
    return &s;
}

// The scene, or the benchmark skipped with the reason when gfx/ is not beside it.
Scene* sceneOrSkip(benchmark::State& state) {
    Scene* s = scene();
    if (s == nullptr) state.SkipWithError("run in the build folder, where gfx/ is generated");
    return s;
}

void BM_MatchFrame(benchmark::State& state) {
    Scene* scenePtr = sceneOrSkip(state);
    if (scenePtr == nullptr) return;
    Scene& s = *scenePtr;
    for (auto _ : state) {
        s.graphics.display().clear(0xFF000000);
        drawMatchFrame(s.graphics, true);
    }
}
BENCHMARK(BM_MatchFrame)->Unit(benchmark::kMillisecond);

// The frame's own bookkeeping without the pixels: camera, draw list and its sort.
void BM_DrawListBuildAndSort(benchmark::State& state) {
    Scene* scenePtr = sceneOrSkip(state);
    if (scenePtr == nullptr) return;
    Scene& s = *scenePtr;
    for (auto _ : state) {
        std::vector<DrawItem>& list = s.graphics.drawList();
        list.clear();
        updateCamera(s.graphics);
        fillDrawList(s.graphics);
        sortDrawList(list);
        benchmark::DoNotOptimize(list.data());
    }
    s.graphics.drawList().clear();
}
BENCHMARK(BM_DrawListBuildAndSort)->Unit(benchmark::kMicrosecond);

// The match frame while the match plays on: a step of 25 ms between frames, as in the game.
void BM_MatchFramePlaying(benchmark::State& state) {
    Scene* scenePtr = sceneOrSkip(state);
    if (scenePtr == nullptr) return;
    Scene& s = *scenePtr;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 5; ++i) s.match.matchStep(0.005f);
        state.ResumeTiming();
        s.graphics.display().clear(0xFF000000);
        drawMatchFrame(s.graphics, true);
    }
}
BENCHMARK(BM_MatchFramePlaying)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
