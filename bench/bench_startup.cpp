// Start-up to the first splash frame, in-process part: the presentation object opens an
// off-screen target, loads every asset of gfx/ and draws one splash frame. Run from the build
// folder (where gfx/ is generated). The window system's own set-up is not included.
#include <benchmark/benchmark.h>

#include "settings/Settings.h"
#include "ui/Graphics.h"

static void BM_OpenAndLoadAssetsThenSplash(benchmark::State& state) {
    flikka::settings().resetToDefaults();
    for (auto _ : state) {
        flikka::CGraphics g;
        g.openDisplayAndLoadAssets(true);
        g.drawSplash(0.005f);
        benchmark::DoNotOptimize(g.windowWidth());
    }
}
BENCHMARK(BM_OpenAndLoadAssetsThenSplash)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
