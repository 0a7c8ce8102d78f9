#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "sim/KeyState.h"
#include "settings/Settings.h"
#include "match/Match.h"
#include "ui/Graphics.h"

// The presentation object on the off-screen software target; needs the generated gfx/ of the
// build folder (the tests' working directory).
namespace flikka {
namespace {

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists("gfx/pitch.png")) << "run in the build folder with the generated gfx/";
        settings().resetToDefaults();
    }
    void TearDown() override { settings().resetToDefaults(); }
};

TEST_F(GraphicsTest, GeometryAndConversionsBetweenMetresAndPixels) {
    CGraphics g;
    EXPECT_EQ(CGraphics::current(), &g);
    EXPECT_FLOAT_EQ(g.radarScale(), 0.075f);
    g.openDisplayAndLoadAssets(true);
    const platform::PixelBuffer pitch = platform::loadPng("gfx/pitch.png");
    EXPECT_EQ(g.windowWidth(), 800);
    EXPECT_EQ(g.windowHeight(), 600);
    EXPECT_EQ(g.halfWindowWidth(), 400);
    EXPECT_EQ(g.pitchWidth(), pitch.width);
    EXPECT_EQ(g.pitchHeight(), pitch.height);
    EXPECT_EQ(g.halfPitchHeight(), pitch.height / 2);
    EXPECT_FLOAT_EQ(g.pitchWidthMetres(), pitch.width / 16.0f);
    EXPECT_FLOAT_EQ(g.halfWindowHeightMetres(), 600 / 32.0f);

    g.setCamera(3.0f, -10.0f);
    EXPECT_EQ(g.worldToScreenY(-10.0f), 300.0f);  // the camera's y is the window's middle row
    EXPECT_EQ(g.worldToScreenY(-9.0f), 284.0f);   // a metre up the pitch is 16 pixels up
    EXPECT_EQ(g.worldToScreenX(4.0f), 416.0f);
    EXPECT_EQ(g.worldToScreenX(3.01f), 400.0f);  // whole pixels, rounded down
    EXPECT_EQ(g.worldToScreenX(2.99f), 399.0f);
    EXPECT_EQ(g.worldToScreenY(-10.01f), 300.0f);
    EXPECT_FLOAT_EQ(g.screenToWorldX(416.0f), 4.0f);
    EXPECT_FLOAT_EQ(g.screenToWorldY(0.0f), -10.0f + 300.0f / 16.0f);
    EXPECT_FLOAT_EQ(g.screenToWorldY(600.0f), -10.0f - 300.0f / 16.0f);

    // Every set has nine slots; the "no direction" slot shows the "up" image.
    for (int set = 0; set < SPRITE_SET_COUNT; ++set) {
        for (int slot = 0; slot < CGraphics::kDirectionSlots; ++slot) {
            ASSERT_NE(g.spriteSet(static_cast<SpriteSetId>(set))[slot], nullptr) << set << "/" << slot;
        }
        EXPECT_EQ(g.setSprite(static_cast<SpriteSetId>(set), 0).width(), g.setSprite(static_cast<SpriteSetId>(set), 1).width());
    }
    const auto upFrames = platform::cutFrames(platform::loadPng("gfx/h_u.png"));
    ASSERT_FALSE(upFrames.empty());
    EXPECT_EQ(g.setSprite(SET_HOME_RUNNING, 1).frameCount(), static_cast<int>(upFrames.size()));
    EXPECT_EQ(g.setSprite(SET_HOME_RUNNING, 0).frameCount(), static_cast<int>(upFrames.size()));
    EXPECT_EQ(g.setSprite(SET_HOME_RUNNING, 1).width(), upFrames[0].w);
    EXPECT_EQ(g.setSprite(SET_GK_DIVING, 1).frameCount(),
              static_cast<int>(platform::cutFrames(platform::loadPng("gfx/gk_j_up.png")).size()));
    EXPECT_EQ(g.mainFont().glyphCount(), 85);
    EXPECT_EQ(g.menuFont().glyphCount(), 85);

    g.teardown();
    EXPECT_FALSE(g.hasDisplay());
}

TEST_F(GraphicsTest, DebugMarkersKeepTheMostRecentInYellow) {
    CGraphics g;
    CMatch match;
    g.setMatch(&match);
    EXPECT_EQ(match.debugMarkers, &g);
    for (int i = 0; i < 300; ++i) match.debugMarkers->addDebugMarker(static_cast<float>(i), -static_cast<float>(i));
    ASSERT_EQ(g.debugMarkers().size(), CGraphics::kMaxDebugMarkers);
    EXPECT_EQ(g.debugMarkers().front().x, 44.0f);
    EXPECT_EQ(g.debugMarkers().back().x, 299.0f);
    EXPECT_EQ(g.debugMarkers().back().y, -299.0f);
    EXPECT_EQ(g.debugMarkers().back().color, 0xFFFFFF00u);
    g.setMatch(nullptr);
    EXPECT_EQ(match.debugMarkers, nullptr);
}

TEST_F(GraphicsTest, WindowThatCannotBeMadeFallsBackToTheDefaultWindow) {
    settings().hRes = -640;
    settings().vRes = 480;
    settings().fullscreen = true;
    CGraphics g;
    ASSERT_NO_THROW(g.openDisplayAndLoadAssets(true));
    EXPECT_EQ(g.windowWidth(), 800);
    EXPECT_EQ(g.windowHeight(), 600);
    // The settings keep what the player chose; only this run uses the default window.
    EXPECT_EQ(settings().hRes, -640);
    EXPECT_TRUE(settings().fullscreen);
}

TEST_F(GraphicsTest, SplashIsCentredInAWindowSmallerThanTheImage) {
    const platform::PixelBuffer splash = platform::loadPng("gfx/flikka.png");
    settings().hRes = splash.width - 100;
    settings().vRes = splash.height - 60;
    CGraphics g;
    g.openDisplayAndLoadAssets(true);
    g.drawSplash(1.0f);
    const platform::PixelBuffer px = g.display().readPixels();
    const int left = (g.windowWidth() - splash.width) / 2;  // negative
    const int top = (g.windowHeight() - splash.height) / 2;
    ASSERT_LT(left, 0);
    for (auto [x, y] : {std::pair{g.windowWidth() / 2, g.windowHeight() / 2}, std::pair{2, 2},
                        std::pair{g.windowWidth() - 3, g.windowHeight() - 3}}) {
        const platform::Color want = splash.at(x - left, y - top);
        if ((want >> 24) != 0xFF) continue;  // only opaque art pixels compare exactly
        EXPECT_EQ(px.at(x, y) | 0xFF000000u, want) << x << "," << y;
    }
    // Alpha 0 leaves the cleared black window.
    g.drawSplash(0.0f);
    EXPECT_EQ(g.display().readPixels().at(g.windowWidth() / 2, g.windowHeight() / 2) & 0xFFFFFFu, 0u);
}

TEST_F(GraphicsTest, MissingAssetNamesTheFile) {
    const auto here = std::filesystem::current_path();
    const auto empty =
        std::filesystem::temp_directory_path() / ("flikka-graphics-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(empty / "gfx");
    std::filesystem::current_path(empty);
    std::string message;
    {
        CGraphics g;
        try {
            g.openDisplayAndLoadAssets(true);
        } catch (const platform::PlatformError& e) {
            message = e.what();
        }
    }
    std::filesystem::current_path(here);
    std::filesystem::remove_all(empty);
    EXPECT_NE(message.find("gfx/pitch.png"), std::string::npos) << message;
}

}  // namespace
}  // namespace flikka
