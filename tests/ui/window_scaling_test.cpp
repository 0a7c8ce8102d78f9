// The picture shown in windows of four sizes on the software renderer: the head-up display,
// both radars and a footballer keep their places in the picture, and the picture itself lands
// scaled and letterboxed in the window, smooth or in whole multiples.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "players/Player.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "match/Match.h"
#include "ui/Graphics.h"
#include "ui/MatchView.h"
#include "view_fixture.h"

namespace flikka::view_testing {
namespace {

struct Window {
    int w, h;
    platform::Rect smooth, sharp;  // where an 800 x 600 picture lands
};
constexpr Window kWindows[] = {
    {800, 600, {0, 0, 800, 600}, {0, 0, 800, 600}},
    {1280, 720, {160, 0, 960, 720}, {240, 60, 800, 600}},
    {1920, 1080, {240, 0, 1440, 1080}, {560, 240, 800, 600}},
    {2560, 1440, {320, 0, 1920, 1440}, {480, 120, 1600, 1200}},
};

// Boxes of the picture that the layout fixes: score panel, clock panel, both radars.
struct Box {
    const char* what;
    int x, y, w, h;
};

class WindowScalingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists("gfx/pitch.png"));
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
    }
    void TearDown() override {
        if (graphics) graphics->setMatch(nullptr);
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
    }

    void open(int ow, int oh) {
        if (graphics) graphics->setMatch(nullptr);
        graphics = std::make_unique<CGraphics>();
        graphics->openDisplayAndLoadAssets(true, ow, oh);
        match = std::make_unique<CMatch>();
        match->newMatch(k442, k442, 600.0f, HUMAN_HOME);
        graphics->setMatch(match.get());
        // Everybody still in two rows, one footballer selected in the open, the ball beside him.
        for (CTeam* t : {&match->home, &match->away}) {
            for (std::size_t i = 0; i < t->size(); ++i) {
                CPlayer& p = *t->player(i);
                p.position = {-30.0f + 5.5f * static_cast<float>(i), t == &match->home ? -4.0f : -9.0f, 0.0f};
                p.speed = 0.0f;
                p.direction = 5;
            }
        }
        selected = match->home.player(6);
        selected->position = {3.0f, 2.0f, 0.0f};
        match->humans[0].selected = selected;
        match->ball.position = {0.0f, 0.0f, kBallRadius};
        match->ballHolder = nullptr;
        match->stateTimer = 0.0f;
        match->state = GAME_PLAY;
    }

    // Draws a frame, shows it, and returns the picture and what the window shows.
    std::pair<PixelBuffer, PixelBuffer> frame() {
        platform::Display& d = graphics->display();
        d.clear(0xFF000000);
        drawMatchFrame(*graphics, false);
        PixelBuffer picture = d.readPixels();
        d.flip();
        PixelBuffer shown = d.readShownPixels();
        if (const char* dir = std::getenv("FLIKKA_FRAME_DIR")) {
            const std::string name = std::string(dir) + "/scaled-" + std::to_string(shown.width) + "x" +
                                     std::to_string(shown.height) + (extraSettings().scaling == 1 ? "-sharp" : "-smooth");
            platform::savePng(shown, name + ".png");
        }
        return {std::move(picture), std::move(shown)};
    }

    std::vector<Box> layoutBoxes() {
        const int w = graphics->windowWidth(), h = graphics->windowHeight();
        const int sx = static_cast<int>(graphics->worldToScreenX(selected->position.x));
        const int sy = static_cast<int>(graphics->worldToScreenY(selected->position.y));
        return {{"score panel", 30, 30, 208, 58},
                {"clock panel", w - 86, 30, 56, 30},
                {"radar", w - 84 - 20, h - 126 - 20, 85, 127},
                {"debug radar", 20, h - 126 - 20, 85, 127},
                {"footballer", sx - 12, sy - 36, 24, 40}};
    }

    std::unique_ptr<CGraphics> graphics;
    std::unique_ptr<CMatch> match;
    CPlayer* selected = nullptr;
};

// The shown colour of picture pixel (x, y), sampled at its centre.
Color shownAt(const PixelBuffer& shown, const platform::Rect& r, int pw, int ph, int x, int y) {
    const int ox = r.x + static_cast<int>((static_cast<long long>(2 * x + 1) * r.w) / (2LL * pw));
    const int oy = r.y + static_cast<int>((static_cast<long long>(2 * y + 1) * r.h) / (2LL * ph));
    return shown.at(ox, oy);
}

bool near(Color a, Color b, int tolerance) {
    return std::abs(red(a) - red(b)) <= tolerance && std::abs(green(a) - green(b)) <= tolerance &&
           std::abs(blue(a) - blue(b)) <= tolerance;
}

TEST_F(WindowScalingTest, HudRadarsAndFootballerKeepTheirPlacesInEveryWindow) {
    for (const Window& win : kWindows) {
        open(win.w, win.h);
        for (int scaling : {0, 1}) {
            SCOPED_TRACE(std::to_string(win.w) + "x" + std::to_string(win.h) + (scaling ? " sharp" : " smooth"));
            extraSettings().scaling = scaling;
            ASSERT_TRUE(graphics->applyDisplaySettings());
            ASSERT_EQ(graphics->windowWidth(), 800);  // the picture: what every layout rule sees
            ASSERT_EQ(graphics->display().outputWidth(), win.w);
            const platform::Rect want = scaling ? win.sharp : win.smooth;
            const platform::Rect r = graphics->display().shownRect();
            EXPECT_EQ(r.x, want.x);
            EXPECT_EQ(r.y, want.y);
            EXPECT_EQ(r.w, want.w);
            EXPECT_EQ(r.h, want.h);
            const auto [picture, shown] = frame();
            ASSERT_EQ(shown.width, win.w);

            // In the picture: the radar's white frame and the selected footballer's gold dot.
            const int radarLeft = 800 - 84 - 20, radarTop = 600 - 126 - 20;
            EXPECT_EQ(picture.at(radarLeft, radarTop + 10) & 0xFFFFFFu, 0xFFFFFFu);
            const int gx = radarLeft + static_cast<int>((selected->position.x + 35.0f) * 1.2f);
            const int gy = radarTop + static_cast<int>((52.5f - selected->position.y) * 1.2f);
            EXPECT_EQ(picture.at(gx, gy) & 0xFFFFFFu, 0xFFD700u);

            // In the window: every pixel of the fixed boxes where the picture is the picture.
            int compared = 0, wrong = 0;
            for (const Box& b : layoutBoxes()) {
                for (int y = b.y; y < b.y + b.h; ++y) {
                    for (int x = b.x; x < b.x + b.w; ++x) {
                        const Color p = picture.at(x, y);
                        if (scaling == 1) {
                            const int k = r.w / 800;
                            for (int j = 0; j < k; ++j)
                                for (int i = 0; i < k; ++i) wrong += rgb(shown.at(r.x + k * x + i, r.y + k * y + j)) != rgb(p);
                            ++compared;
                            continue;
                        }
                        // Smooth: where the picture is nearly even around the pixel (not at an
                        // edge, where filtering mixes neighbours), the window shows its colour.
                        bool even = true;
                        for (int j = -1; j <= 1 && even; ++j)
                            for (int i = -1; i <= 1 && even; ++i) even = near(picture.at(x + i, y + j), p, 8);
                        if (!even) continue;
                        ++compared;
                        if (!near(shownAt(shown, r, 800, 600, x, y), p, 10)) ++wrong;
                    }
                }
            }
            EXPECT_GT(compared, 4000);
            EXPECT_EQ(wrong, 0);
            // The bars beside the picture are black.
            if (r.x > 0) {
                EXPECT_EQ(rgb(shown.at(r.x - 1, win.h / 2)), 0u);
                EXPECT_EQ(rgb(shown.at(r.x + r.w, win.h / 2)), 0u);
            }
            if (r.y > 0) {
                EXPECT_EQ(rgb(shown.at(win.w / 2, r.y - 1)), 0u);
            }
        }
    }
}

TEST_F(WindowScalingTest, ALargerResolutionShowsMorePitchWithTheRadarInItsCorner) {
    open(1920, 1080);
    const float seenBefore = graphics->screenToWorldX(800.0f) - graphics->screenToWorldX(0.0f);
    settings().hRes = 1280;
    settings().vRes = 720;
    ASSERT_TRUE(graphics->applyDisplaySettings());
    EXPECT_EQ(graphics->windowWidth(), 1280);
    EXPECT_EQ(graphics->halfWindowHeight(), 360);
    const float seenAfter = graphics->screenToWorldX(1280.0f) - graphics->screenToWorldX(0.0f);
    EXPECT_FLOAT_EQ(seenAfter, 80.0f);  // 1280 pixels at 16 a metre
    EXPECT_GT(seenAfter, seenBefore);
    const platform::Rect r = graphics->display().shownRect();
    EXPECT_EQ(r.w, 1920);  // 1.5 times, filling the window
    EXPECT_EQ(r.h, 1080);
    const auto [picture, shown] = frame();
    ASSERT_EQ(picture.width, 1280);
    EXPECT_EQ(picture.at(1280 - 104, 720 - 146 + 10) & 0xFFFFFFu, 0xFFFFFFu);  // radar frame, bottom right
    const int gx = 1280 - 104 + static_cast<int>((selected->position.x + 35.0f) * 1.2f);
    const int gy = 720 - 146 + static_cast<int>((52.5f - selected->position.y) * 1.2f);
    EXPECT_TRUE(near(shownAt(shown, r, 1280, 720, gx, gy), 0xFFFFD700u, 6));

    // A size the display cannot make is refused and the settings say what shows.
    settings().hRes = -5;
    EXPECT_FALSE(graphics->applyDisplaySettings());
    EXPECT_EQ(settings().hRes, 1280);
    EXPECT_EQ(graphics->windowWidth(), 1280);
}

}  // namespace
}  // namespace flikka::view_testing
