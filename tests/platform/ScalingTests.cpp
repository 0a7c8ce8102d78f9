// The picture shown in a window of another size: proportions kept with black bars, smooth or
// in whole multiples, on the off-screen software target.
#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace fp = flikka::platform;

namespace {

std::unique_ptr<fp::Display> shownIn(int w, int h, int ow, int oh, fp::Scaling scaling) {
    fp::WindowDescription d;
    d.width = w;
    d.height = h;
    d.windowWidth = ow;
    d.windowHeight = oh;
    d.scaling = scaling;
    d.offscreen = true;
    return fp::Display::open(d);
}

// Each picture pixel its own colour, so every scaled pixel tells where it came from.
fp::Color cell(int x, int y) { return 0xFF000000u | static_cast<fp::Color>((x * 20 + 10) << 16 | (y * 20 + 10) << 8 | 0x80); }

void paintCells(fp::Display& d) {
    for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x) d.fillRect(x, y, x + 1, y + 1, cell(x, y));
}

TEST(PictureScaling, SharpShowsWholeMultiplesCentredBetweenBlackBars) {
    auto d = shownIn(8, 6, 40, 20, fp::Scaling::Sharp);
    EXPECT_EQ(d->width(), 8);
    EXPECT_EQ(d->outputWidth(), 40);
    const fp::Rect r = d->shownRect();
    EXPECT_EQ(r.x, 8);  // three times: 24 x 18, the height allows no more
    EXPECT_EQ(r.y, 1);
    EXPECT_EQ(r.w, 24);
    EXPECT_EQ(r.h, 18);
    paintCells(*d);
    d->flip();
    const fp::PixelBuffer shown = d->readShownPixels();
    ASSERT_EQ(shown.width, 40);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 8 && x < 32 && y >= 1 && y < 19;
            const fp::Color want = inside ? cell((x - 8) / 3, (y - 1) / 3) : 0xFF000000u;
            ASSERT_EQ(shown.at(x, y) | 0xFF000000u, want) << x << "," << y;
        }
    }
    // Drawing reads back in picture pixels, untouched by the showing.
    EXPECT_EQ(d->readPixels().at(7, 5), cell(7, 5));
}

TEST(PictureScaling, SmoothFillsTheShorterSideAndANewPictureSizeRefits) {
    auto d = shownIn(8, 6, 40, 20, fp::Scaling::Smooth);
    fp::Rect r = d->shownRect();
    EXPECT_EQ(r.x, 6);  // 20 high, 27 wide (8/6 of 20, rounded)
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.w, 27);
    EXPECT_EQ(r.h, 20);
    d->clear(0xFFFFFFFF);
    d->flip();
    fp::PixelBuffer shown = d->readShownPixels();
    EXPECT_EQ(shown.at(5, 10) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shown.at(6, 10) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(shown.at(32, 10) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(shown.at(33, 10) & 0xFFFFFFu, 0u);

    // A wider picture: now the width decides, bars above and below.
    d->setPictureSize(16, 4);
    EXPECT_EQ(d->width(), 16);
    EXPECT_EQ(d->readPixels().width, 16);
    r = d->shownRect();
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.w, 40);
    EXPECT_EQ(r.h, 10);
    EXPECT_EQ(r.y, 5);
    d->setScaling(fp::Scaling::Sharp);
    EXPECT_EQ(d->shownRect().w, 32);  // twice
    // One that cannot be made keeps the old picture.
    EXPECT_THROW(d->setPictureSize(0, 4), fp::PlatformError);
    EXPECT_EQ(d->width(), 16);
    // Smaller than the picture: scaled down, even in sharp mode.
    auto small = shownIn(80, 60, 40, 30, fp::Scaling::Sharp);
    EXPECT_EQ(small->shownRect().w, 40);
    EXPECT_EQ(small->shownRect().h, 30);
}

}  // namespace
