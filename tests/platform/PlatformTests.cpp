#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/KeyTable.h"
#include "platform/Platform.h"

namespace fp = flikka::platform;

namespace {

constexpr fp::Color kOpaqueWhite = 0xFFFFFFFF;

// A strip of the given column alphas, every row alike.
fp::PixelBuffer strip(const std::vector<int>& alphas, int height = 3) {
    fp::PixelBuffer b(static_cast<int>(alphas.size()), height);
    for (int x = 0; x < b.width; ++x)
        for (int y = 0; y < height; ++y) b.set(x, y, (static_cast<std::uint32_t>(alphas[x]) << 24) | 0xFFFFFF);
    return b;
}

std::string tempPng(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("flikka_platform_" + name + ".png")).string();
}

std::unique_ptr<fp::Display> offscreen(int w = 64, int h = 48) {
    fp::WindowDescription d;
    d.width = w;
    d.height = h;
    d.offscreen = true;
    return fp::Display::open(d);
}

}  // namespace

TEST(FrameCutting, SplitsAtTransparentColumnsAndCountsTheLimitAsTransparent) {
    // 0.05 × 255 = 12.75: alpha 12 separates, 13 joins.
    auto frames = fp::cutFrames(strip({0, 255, 255, 12, 200, 0, 0, 13, 0, 255}, 4));
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[3].x, 9);
    EXPECT_EQ(frames[0].x, 1);
    EXPECT_EQ(frames[0].w, 2);
    EXPECT_EQ(frames[1].x, 4);
    EXPECT_EQ(frames[1].w, 1);
    EXPECT_EQ(frames[2].x, 7);
    EXPECT_EQ(frames[2].w, 1);
    EXPECT_EQ(frames[2].h, 4);
    EXPECT_EQ(frames[0].y, 0);

    // A single opaque pixel anywhere in a column keeps it in the frame.
    fp::PixelBuffer b = strip({255, 0, 255});
    b.set(1, 2, 0x40FFFFFF);
    EXPECT_EQ(fp::cutFrames(b).size(), 1u);

    EXPECT_EQ(fp::cutFrames(strip({255, 255, 255})).size(), 1u);
    EXPECT_TRUE(fp::cutFrames(strip({0, 5, 12})).empty());
    EXPECT_TRUE(fp::cutFrames(fp::PixelBuffer()).empty());
}

TEST(Keys, EveryDefaultBindingHasAScancodeAndAName) {
    for (int vk : {37, 39, 38, 40, 68, 83, 65, 81, 69, 13, 27, 32, 18, 115}) {
        EXPECT_GE(fp::scancodeForVirtualKey(vk), 0) << vk;
    }
    // Distinct keys never share a scancode among the defaults.
    std::vector<int> seen;
    for (int vk : {37, 39, 38, 40, 68, 83, 65, 81, 69, 13, 27}) {
        int sc = fp::scancodeForVirtualKey(vk);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), sc), 0) << vk;
        seen.push_back(sc);
    }
    EXPECT_EQ(fp::keyName(37), "Left");
    EXPECT_EQ(fp::keyName(68), "D");
    EXPECT_EQ(fp::keyName(13), "Enter");
    EXPECT_EQ(fp::keyName(115), "F4");
    EXPECT_FALSE(fp::keyName(100000).empty());
}

TEST(Keys, KeyEventsTranslateBackToTheSameCode) {
    int mapped = 0;
    for (int vk = 0; vk < 256; ++vk) {
        const int sc = fp::scancodeForVirtualKey(vk);
        if (sc < 0) continue;
        ++mapped;
        const int back = fp::virtualKeyForScancode(sc);
        // The left/right modifier codes come back as the generic Shift, Ctrl and Alt.
        if (vk >= 160 && vk <= 165) EXPECT_EQ(back, 16 + (vk - 160) / 2) << vk;
        else EXPECT_EQ(back, vk) << vk;
        EXPECT_NE(fp::keyName(vk).rfind("Key ", 0), 0u) << vk;  // every table key has its own name
    }
    // Letters, digits, arrows, F1-F12, the number pad and the rest.
    EXPECT_GE(mapped, 26 + 10 + 4 + 12 + 15);
    EXPECT_EQ(fp::virtualKeyForScancode(fp::secondScancodeForVirtualKey(13)), 13);  // keypad Enter
    EXPECT_EQ(fp::virtualKeyForScancode(fp::secondScancodeForVirtualKey(18)), 18);  // right Alt
    EXPECT_EQ(fp::secondScancodeForVirtualKey(65), -1);
    EXPECT_EQ(fp::virtualKeyForScancode(-1), 0);
    EXPECT_EQ(fp::virtualKeyForScancode(100000), 0);
}

TEST(Keys, CodesOutsideTheTableReadAsReleased) {
    for (int vk : {-1, 0, 255, 256, 100000, -100000}) EXPECT_EQ(fp::scancodeForVirtualKey(vk), -1) << vk;
    auto display = offscreen();
    for (int vk : {-1, 0, 255, 100000, 37, 13}) EXPECT_FALSE(display->keyboard().isKeyDown(vk)) << vk;
    fp::KeyEvent e;
    EXPECT_FALSE(display->keyboard().pollEvent(e));
    EXPECT_TRUE(display->keepAlive());
}

TEST(Images, PngRoundTripAndMissingFileNamesTheFile) {
    fp::PixelBuffer b(3, 2, 0);
    b.set(0, 0, 0xFF102030);
    b.set(2, 1, 0x80FFFFFF);
    const std::string path = tempPng("roundtrip");
    fp::savePng(b, path);
    fp::PixelBuffer back = fp::loadPng(path);
    ASSERT_EQ(back.width, 3);
    ASSERT_EQ(back.height, 2);
    EXPECT_EQ(back.at(0, 0), 0xFF102030u);
    EXPECT_EQ(back.at(2, 1), 0x80FFFFFFu);
    EXPECT_EQ(back.at(1, 0) >> 24, 0u);
    std::remove(path.c_str());

    // Opaque pictures of up to 256 colours are stored with a palette; every pixel must come
    // back exactly, on both sides of the limit.
    for (int colours : {256, 257}) {
        fp::PixelBuffer p(40, 10, 0xFF000000);
        for (int i = 0; i < 400; ++i) {
            const auto k = static_cast<std::uint32_t>(i % colours);
            p.pixels[static_cast<std::size_t>(i)] = 0xFF000000u | (k * 0x010203u);
        }
        const std::string pp = tempPng("palette");
        fp::savePng(p, pp);
        EXPECT_EQ(fp::loadPng(pp).pixels, p.pixels) << colours << " colours";
        std::remove(pp.c_str());
    }

    auto display = offscreen();
    try {
        display->loadImage("gfx/no_such_image.png");
        FAIL() << "no error";
    } catch (const fp::PlatformError& e) {
        EXPECT_NE(std::string(e.what()).find("gfx/no_such_image.png"), std::string::npos) << e.what();
    }
    EXPECT_THROW(fp::loadPng("nothing/here.png"), fp::PlatformError);

    // A file that is there but is no image.
    const std::string junk = tempPng("junk");
    {
        std::FILE* f = std::fopen(junk.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("not a picture", f);
        std::fclose(f);
    }
    try {
        display->loadSprite(junk, 100);
        FAIL() << "no error";
    } catch (const fp::PlatformError& e) {
        EXPECT_NE(std::string(e.what()).find(junk), std::string::npos) << e.what();
    }
    std::remove(junk.c_str());
}

TEST(OffscreenDisplay, APictureThatCannotBeMadeIsAPlatformError) {
    fp::WindowDescription d;
    d.offscreen = true;
    d.width = -5;
    EXPECT_THROW(fp::Display::open(d), fp::PlatformError);
    // Nothing is left half open: a good display still opens afterwards.
    d.width = 20;
    EXPECT_EQ(fp::Display::open(d)->width(), 20);
}

TEST(OffscreenDisplay, RectanglesLinesAndTranslationLandOnTheirPixels) {
    auto d = offscreen(64, 48);
    EXPECT_EQ(d->width(), 64);
    EXPECT_EQ(d->height(), 48);
    d->clear(0xFF000000);
    d->fillRect(10, 10, 20, 15, 0xFFFF0000);
    d->drawLine(0, 30, 63, 30, 0xFF00FF00);
    d->setTranslate(40, 5);
    d->fillRect(0, 0, 4, 4, 0xFF0000FF);
    d->resetTranslate();
    d->drawRect(30, 30, 40, 40, 0xFFFFFFFF);
    fp::PixelBuffer p = d->readPixels();
    EXPECT_EQ(p.at(10, 10), 0xFFFF0000u);
    EXPECT_EQ(p.at(19, 14), 0xFFFF0000u);
    EXPECT_EQ(p.at(20, 14), 0xFF000000u);  // right edge excluded
    EXPECT_EQ(p.at(19, 15), 0xFF000000u);
    EXPECT_EQ(p.at(5, 30), 0xFF00FF00u);
    EXPECT_EQ(p.at(40, 5), 0xFF0000FFu);
    EXPECT_EQ(p.at(43, 8), 0xFF0000FFu);
    EXPECT_EQ(p.at(0, 0), 0xFF000000u);
    EXPECT_EQ(p.at(30, 35), 0xFFFFFFFFu);
    EXPECT_EQ(p.at(35, 35), 0xFF000000u);

    // Half-transparent black over white gives grey.
    d->clear(0xFFFFFFFF);
    d->fillRect(0, 0, 8, 8, 0x80000000);
    p = d->readPixels();
    EXPECT_NEAR(static_cast<int>(p.at(2, 2) & 0xFF), 127, 2);
}

TEST(OffscreenDisplay, SpriteFramesAlphaAndAnimationByElapsedTime) {
    // Three frames: red 2 px, green 3 px, blue 1 px, separated by transparent columns.
    fp::PixelBuffer b(10, 4, 0);
    const fp::Color colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    const int starts[] = {0, 3, 8}, widths[] = {2, 3, 1};
    for (int f = 0; f < 3; ++f)
        for (int x = starts[f]; x < starts[f] + widths[f]; ++x)
            for (int y = 0; y < 4; ++y) b.set(x, y, colours[f]);
    const std::string path = tempPng("sprite");
    fp::savePng(b, path);

    auto d = offscreen(32, 32);
    auto s = d->loadSprite(path, 70);
    ASSERT_EQ(s->frameCount(), 3);
    EXPECT_EQ(s->width(), 2);
    EXPECT_EQ(s->height(), 4);
    s->update(69);
    EXPECT_EQ(s->currentFrame(), 0);
    s->update(1);
    EXPECT_EQ(s->currentFrame(), 1);
    EXPECT_EQ(s->width(), 3);
    s->update(140);  // two more frames: wraps to the first
    EXPECT_EQ(s->currentFrame(), 0);
    s->update(70 * 3 * 1000 + 70);  // whole cycles change nothing
    EXPECT_EQ(s->currentFrame(), 1);

    d->clear(0xFF000000);
    s->setFrame(2);
    s->draw(5, 6);
    s->setFrame(0);
    s->setAlpha(0.5f);
    s->draw(20, 6);
    fp::PixelBuffer p = d->readPixels();
    EXPECT_EQ(p.at(5, 6), 0xFF0000FFu);
    EXPECT_EQ(p.at(6, 6), 0xFF000000u);
    EXPECT_NEAR(static_cast<int>((p.at(20, 7) >> 16) & 0xFF), 128, 2);
    EXPECT_EQ(p.at(20, 7) & 0xFFFF, 0u);

    // A sprite that outlives its display neither draws nor crashes.
    {
        auto shortLived = offscreen(8, 8);
        auto orphan = shortLived->loadSprite(path, 70);
        shortLived.reset();
        orphan->draw(0, 0);
    }

    // Rotated by 90 degrees about its top-left corner, the frame swings to the left of it.
    d->clear(0xFF000000);
    s->setAlpha(1.0f);
    s->setAngle(90.0f);
    s->setRotationHotspot(0, 0);
    s->draw(16, 16);
    p = d->readPixels();
    EXPECT_GT((p.at(14, 16) >> 16) & 0xFF, 100u);
    EXPECT_EQ(p.at(17, 18), 0xFF000000u);
    std::remove(path.c_str());
}

TEST(Fonts, GlyphsMapInOrderWithProportionalWidths) {
    // Glyph i is i + 1 pixels wide: 'A' 1, 'B' 2, 'C' 3, 'x' (index 49) 50.
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789:;_-.,*~!@#$%^&*()[]<>?";
    ASSERT_EQ(letters.size(), 85u);
    int total = 0;
    for (int i = 0; i < 85; ++i) total += i + 2;
    fp::PixelBuffer b(total, 5, 0);
    int x = 0;
    for (int i = 0; i < 85; ++i) {
        for (int k = 0; k <= i; ++k)
            for (int y = 0; y < 5; ++y) b.set(x + k, y, kOpaqueWhite);
        x += i + 2;
    }
    const std::string path = tempPng("font");
    fp::savePng(b, path);
    auto d = offscreen(200, 40);
    auto f = d->loadFont(path, letters);
    std::remove(path.c_str());
    EXPECT_EQ(f->glyphCount(), 85);
    EXPECT_EQ(f->height(), 5);
    EXPECT_EQ(f->textWidth("A"), 1);
    EXPECT_EQ(f->textWidth("C"), 3);
    EXPECT_EQ(f->textWidth("CAB"), f->textWidth("C") + f->textWidth("A") + f->textWidth("B"));
    const int space = f->textWidth(" ");
    EXPECT_GT(space, 0);
    EXPECT_EQ(space, 22);  // half the average glyph: (1 + ... + 85) / 85 / 2 = 21.5
    EXPECT_EQ(f->textWidth("A\"B"), f->textWidth("A") + space + f->textWidth("B"));  // unknown letters
    EXPECT_EQ(f->textWidth("AB\nC"), f->textWidth("AB"));                           // widest line
    EXPECT_EQ(f->textWidth(""), 0);

    // Drawn in red, the white glyph turns red; 'B' follows 'A' right after its width.
    d->clear(0xFF000000);
    f->draw(10, 10, "AB", 0xFFFF0000);
    fp::PixelBuffer p = d->readPixels();
    EXPECT_EQ(p.at(10, 10), 0xFFFF0000u);
    EXPECT_EQ(p.at(11, 12), 0xFFFF0000u);
    EXPECT_EQ(p.at(12, 12), 0xFFFF0000u);
    EXPECT_EQ(p.at(13, 12), 0xFF000000u);
    EXPECT_EQ(p.at(10, 9), 0xFF000000u);
}

TEST(Fonts, WrappedTextBreaksAtSpacesAndStopsAtTheBottom) {
    // Four glyphs 'A'..'D' of width 3 and height 4, the rest of the letters missing.
    fp::PixelBuffer b(16, 4, 0);
    for (int g = 0; g < 4; ++g)
        for (int k = 0; k < 3; ++k)
            for (int y = 0; y < 4; ++y) b.set(g * 4 + k, y, kOpaqueWhite);
    const std::string path = tempPng("wrap");
    fp::savePng(b, path);
    auto d = offscreen(64, 64);
    auto f = d->loadFont(path, "ABCD");
    std::remove(path.c_str());
    ASSERT_EQ(f->glyphCount(), 4);
    // Each word "AA" is 6 wide, with a space of 2 (half the average glyph, rounded).
    EXPECT_EQ(f->textWidth("AA AA"), 6 + 2 + 6);
    d->clear(0xFF000000);
    f->drawWrapped(0, 0, 15, 10, "AA AA BB CC DD", 0xFFFFFFFF);
    fp::PixelBuffer p = d->readPixels();
    EXPECT_EQ(p.at(0, 0), 0xFFFFFFFFu);   // first line, first word
    EXPECT_EQ(p.at(9, 0), 0xFFFFFFFFu);   // "AA AA" fits in 15
    EXPECT_EQ(p.at(0, 4), 0xFFFFFFFFu);   // second line: "BB CC"
    EXPECT_EQ(p.at(9, 4), 0xFFFFFFFFu);
    EXPECT_EQ(p.at(0, 8), 0xFF000000u);   // "DD" would cross the bottom edge
    EXPECT_EQ(p.at(15, 0), 0xFF000000u);  // nothing past the right edge
}
