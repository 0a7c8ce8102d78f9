// Frames at full HD on the software renderer, shown as the window shows them (the flip that
// scales the picture included): a 1920 x 1080 picture in a window of that size, and the
// default 800 x 600 picture scaled up into it, smooth and sharp. Run in the build folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "settings/ExtraSettings.h"
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

    Scene(int pictureW, int pictureH, int scaling) {
        settings().resetToDefaults();
        settings().hRes = pictureW;
        settings().vRes = pictureH;
        extraSettings().scaling = scaling;
        graphics.openDisplayAndLoadAssets(true, 1920, 1080);
        match.newMatch(k442, k442, 600.0f, HUMAN_NONE);
        graphics.setMatch(&match);
        for (int i = 0; i < 2000; ++i) match.matchStep(0.005f);
        match.humans[0].selected = match.home.player(6);
    }
    ~Scene() { graphics.setMatch(nullptr); }
};

void frames(benchmark::State& state, int pictureW, int pictureH, int scaling) {
    if (!std::filesystem::exists("gfx/pitch.png")) {
        state.SkipWithError("run in the build folder, where gfx/ is generated");
        return;
    }
    Scene s(pictureW, pictureH, scaling);
    platform::Display& d = s.graphics.display();
    for (auto _ : state) {
        d.clear(0xFF000000);
        drawMatchFrame(s.graphics, true);
        d.flip();
    }
}

void BM_FullHdPicture(benchmark::State& state) { frames(state, 1920, 1080, 0); }
void BM_DefaultPictureScaledSmooth(benchmark::State& state) { frames(state, 800, 600, 0); }
void BM_DefaultPictureScaledSharp(benchmark::State& state) { frames(state, 800, 600, 1); }

BENCHMARK(BM_FullHdPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DefaultPictureScaledSmooth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DefaultPictureScaledSharp)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
