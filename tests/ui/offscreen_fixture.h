#pragma once
// The presentation object opened once per suite on the off-screen software target, in the
// build folder (where the generated gfx/ is), with the pixel helpers the screen tests share.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "settings/Settings.h"
#include "ui/Graphics.h"

namespace flikka::offscreen {

using platform::Color;
using platform::PixelBuffer;

inline int red(Color c) { return (c >> 16) & 0xFF; }
inline int green(Color c) { return (c >> 8) & 0xFF; }
inline int blue(Color c) { return c & 0xFF; }

// Pixels of the rectangle (clipped to the picture) for which pred holds.
template <class Pred>
int countIn(const PixelBuffer& px, int x, int y, int w, int h, Pred pred) {
    int n = 0;
    for (int j = std::max(0, y); j < std::min(px.height, y + h); ++j) {
        for (int i = std::max(0, x); i < std::min(px.width, x + w); ++i) n += pred(px.at(i, j)) ? 1 : 0;
    }
    return n;
}

class OffscreenGraphicsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(std::filesystem::exists("gfx/pitch.png")) << "run in the build folder with the generated gfx/";
        settings().resetToDefaults();
        graphics_ = new CGraphics;
        graphics_->openDisplayAndLoadAssets(true);
    }
    static void TearDownTestSuite() {
        delete graphics_;
        graphics_ = nullptr;
    }

    CGraphics& g() { return *graphics_; }

    static inline CGraphics* graphics_ = nullptr;
};

}  // namespace flikka::offscreen
