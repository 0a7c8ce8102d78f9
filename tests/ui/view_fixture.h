#pragma once
// A match drawn into the off-screen software target: the presentation object is opened once per
// suite in the build folder (where the generated gfx/ is), the match is built anew per test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "players/OutfieldPlayer.h"
#include "settings/Settings.h"
#include "match/Match.h"
#include "team/GlobalAI.h"
#include "ui/Graphics.h"
#include "ui/MatchView.h"
#include "offscreen_fixture.h"

namespace flikka::view_testing {

using platform::Color;
using platform::PixelBuffer;

inline constexpr unsigned k442[5] = {2, 0, 4, 0, 4};

using offscreen::blue;
using offscreen::countIn;
using offscreen::green;
using offscreen::red;
inline Color rgb(Color c) { return c & 0x00FFFFFF; }

// Opaque pixels of `image` that the frame shows unchanged with the image's top-left at (x, y),
// and the number of opaque pixels looked at.
struct Coverage {
    int same = 0;
    int opaque = 0;
};
inline Coverage coverage(const PixelBuffer& frame, const PixelBuffer& image, int x, int y) {
    Coverage c;
    for (int j = 0; j < image.height; ++j) {
        for (int i = 0; i < image.width; ++i) {
            const Color p = image.at(i, j);
            if ((p >> 24) != 0xFF) continue;
            const int fx = x + i, fy = y + j;
            if (fx < 0 || fy < 0 || fx >= frame.width || fy >= frame.height) continue;
            ++c.opaque;
            if (rgb(frame.at(fx, fy)) == rgb(p)) ++c.same;
        }
    }
    return c;
}

// Pixels at which `text`, drawn alone in `color`, shows that colour exactly (the glyphs' cores).
inline std::vector<std::pair<int, int>> glyphCore(CGraphics& g, platform::Font& font, int x, int y,
                                                  const std::string& text, Color color) {
    g.display().clear(0xFF000000);
    font.draw(static_cast<float>(x), static_cast<float>(y), text, color);
    const PixelBuffer px = g.display().readPixels();
    std::vector<std::pair<int, int>> core;
    for (int j = 0; j < px.height; ++j) {
        for (int i = 0; i < px.width; ++i) {
            if (rgb(px.at(i, j)) == rgb(color)) core.emplace_back(i, j);
        }
    }
    return core;
}

// Whether the frame shows every core pixel of the text in the text's colour.
inline bool showsText(const PixelBuffer& frame, const std::vector<std::pair<int, int>>& core, Color color) {
    if (core.empty()) return false;
    for (const auto& [i, j] : core) {
        if (rgb(frame.at(i, j)) != rgb(color)) return false;
    }
    return true;
}

// The first frame of a sprite file as the game cuts it (its opaque columns).
inline PixelBuffer spriteFrame(const std::string& path) {
    const PixelBuffer whole = platform::loadPng(path);
    const std::vector<platform::Rect> frames = platform::cutFrames(whole);
    if (frames.empty()) return whole;
    const platform::Rect& f = frames.front();
    PixelBuffer out(f.w, f.h);
    for (int j = 0; j < f.h; ++j) {
        for (int i = 0; i < f.w; ++i) out.set(i, j, whole.at(f.x + i, f.y + j));
    }
    return out;
}

class ViewTest : public offscreen::OffscreenGraphicsTest {
protected:
    void SetUp() override {
        ASSERT_NE(graphics_, nullptr);
        settings().resetToDefaults();
        match = std::make_unique<CMatch>();
        match->newMatch(k442, k442, 600.0f, HUMAN_NONE);
        g().setMatch(match.get());
    }
    void TearDown() override {
        g().setMatch(nullptr);
        g().drawList().clear();
        settings().resetToDefaults();
    }

    CPlayer& home(std::size_t i) { return *match->home.player(i); }
    CPlayer& away(std::size_t i) { return *match->away.player(i); }
    COutfieldPlayer& homeOutfield(std::size_t i) { return dynamic_cast<COutfieldPlayer&>(home(i)); }

    // Runs the match for `seconds` of play time (5 ms steps).
    void play(float seconds) {
        const int steps = static_cast<int>(seconds / 0.005f);
        for (int i = 0; i < steps; ++i) match->matchStep(0.005f);
    }

    // Everybody still, in a row far from the goals; ball alone on the ground; no fade.
    void calmScene() {
        for (CTeam* t : {&match->home, &match->away}) {
            const float y = t == &match->home ? -20.0f : -24.0f;
            for (std::size_t i = 0; i < t->size(); ++i) {
                CPlayer& p = *t->player(i);
                p.position = {-30.0f + 5.5f * static_cast<float>(i), y, 0.0f};
                p.speed = 0.0f;
                p.direction = 5;
                if (auto* o = dynamic_cast<COutfieldPlayer*>(&p)) o->passValue = 0.0f;
            }
        }
        match->ball.position = {0.0f, 0.0f, kBallRadius};
        match->ballHolder = nullptr;
        match->humans[0].selected = nullptr;
        match->stateTimer = 0.0f;
        match->state = GAME_PLAY;
    }

    PixelBuffer drawFrame(bool running = true) {
        g().display().clear(0xFF000000);
        drawMatchFrame(g(), running);
        return keep(g().display().readPixels());
    }

    // FLIKKA_FRAME_DIR=<dir> keeps every frame a test reads back, to be looked at.
    PixelBuffer keep(PixelBuffer px) {
        if (const char* dir = std::getenv("FLIKKA_FRAME_DIR")) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            std::string name = std::string(info->test_suite_name()) + "." + info->name() + "." + std::to_string(frameNo_++);
            platform::savePng(px, std::string(dir) + "/" + name + ".png");
        }
        return px;
    }

    // Whether `frame` shows `text` drawn at (x, y) in `color`.
    bool shows(const PixelBuffer& frame, platform::Font& font, int x, int y, const std::string& text, Color color) {
        return showsText(frame, glyphCore(g(), font, x, y, text, color), color);
    }

    std::unique_ptr<CMatch> match;
    int frameNo_ = 0;
};

}  // namespace flikka::view_testing
