// Markers, edge arrows, head-up display panels, menu backgrounds, the splash and the fonts.
#include <cmath>
#include <stdexcept>

#include "platform/TextRender.h"
#include "tools/artgen/Art.h"

namespace flikka::artgen {

const char* const kFontLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789:;_-.,*~!@#$%^&*()[]<>?";

namespace {

constexpr float kPi = 3.14159265f;
constexpr Color kPanel = argb(255, 16, 24, 40);
constexpr Color kPanelEdge = argb(255, 120, 150, 200);

// A ring marker lying on the grass around a footballer's feet (seen at a slant: half as high).
PixelBuffer groundRing(int w, int h, float thickness, Color c) {
    PixelBuffer img(w, h);
    ellipseRing(img, w * 0.5f, h * 0.5f, w * 0.5f - thickness * 0.5f - 0.5f, h * 0.5f - thickness * 0.5f - 0.5f,
                thickness + 1.2f, withAlpha(0, 110));
    ellipseRing(img, w * 0.5f, h * 0.5f, w * 0.5f - thickness * 0.5f - 0.5f, h * 0.5f - thickness * 0.5f - 0.5f,
                thickness, c);
    return img;
}

// An arrow of about 24 px pointing along angle (0 = right, growing clockwise on screen).
PixelBuffer arrow(float angle) {
    constexpr int size = 24;
    PixelBuffer img(size, size);
    const float c = size * 0.5f, ca = std::cos(angle), sa = std::sin(angle);
    auto at = [&](float along, float across) {
        return Point{c + along * ca - across * sa, c + along * sa + across * ca};
    };
    const std::vector<Point> shape = {at(11.0f, 0.0f), at(1.0f, 8.5f), at(1.0f, 3.5f), at(-10.0f, 3.5f),
                                      at(-10.0f, -3.5f), at(1.0f, -3.5f), at(1.0f, -8.5f)};
    fillPolygon(img, shape, argb(255, 255, 220, 40));
    outline(img, argb(230, 30, 30, 30));
    return img;
}

void roundedPanel(PixelBuffer& img, float x0, float y0, float x1, float y1, float radius, Color fill, Color edge) {
    auto inside = [=](float x, float y, float inset) {
        const float l = x0 + inset, t = y0 + inset, r = x1 - inset, b = y1 - inset, rr = radius - inset;
        const float qx = std::max({l + rr - x, x - (r - rr), 0.0f});
        const float qy = std::max({t + rr - y, y - (b - rr), 0.0f});
        return x >= l && x < r && y >= t && y < b && qx * qx + qy * qy <= rr * rr;
    };
    fillShape(img, x0, y0, x1, y1, [&](float x, float y) { return inside(x, y, 0.0f); }, edge);
    fillShape(img, x0, y0, x1, y1, [&](float x, float y) { return inside(x, y, 1.5f); }, fill);
}

// Glyph images: rendered one by one, trimmed to their ink, laid out with two clear columns
// between neighbours. A glyph whose ink has a clear column inside (the separate strokes of
// '%', '"') gets a near-invisible bridge so the cutter keeps it whole.
PixelBuffer fontStrip(const std::string& ttf, int size, bool shadow) {
    const std::string letters = kFontLetters;
    const int transparentMax = 12;  // 0.05 × 255
    std::vector<PixelBuffer> glyphs;
    int height = 0;
    for (char ch : letters) {
        PixelBuffer g = platform::renderText(ttf, size, std::string(1, ch), 0xFFFFFFFF);
        if (shadow) {
            PixelBuffer s(g.width + 1, g.height + 1);
            PixelBuffer dark = g;
            for (auto& p : dark.pixels) p = withAlpha(0, static_cast<int>((p >> 24) * 150 / 255));
            paste(s, dark, 1, 1);
            paste(s, g, 0, 0);
            g = crop(s, 0, 0, s.width, g.height);
        }
        auto columnClear = [&](int x) {
            for (int y = 0; y < g.height; ++y)
                if (static_cast<int>(g.at(x, y) >> 24) > transparentMax) return false;
            return true;
        };
        int first = 0, last = g.width - 1;
        while (first < g.width && columnClear(first)) ++first;
        while (last >= first && columnClear(last)) --last;
        if (first > last) throw std::runtime_error(std::string("glyph without ink: ") + ch);
        PixelBuffer t = crop(g, first, 0, last - first + 1, g.height);
        for (int x = 0; x < t.width; ++x) {
            bool clear = true;
            for (int y = 0; y < t.height && clear; ++y) clear = static_cast<int>(t.at(x, y) >> 24) <= transparentMax;
            if (clear) t.set(x, t.height - 1, 0x14FFFFFFu);
        }
        glyphs.push_back(t);
        height = std::max(height, t.height);
    }
    int width = 0;
    for (const auto& g : glyphs) width += g.width + 2;
    PixelBuffer out(width - 2, height);
    int x = 0;
    for (const auto& g : glyphs) {
        paste(out, g, x, 0);
        x += g.width + 2;
    }
    return out;
}

}  // namespace

std::vector<NamedImage> markersAndArrows() {
    std::vector<NamedImage> out;
    out.push_back({"selected.png", groundRing(22, 11, 2.0f, argb(255, 255, 232, 40)), 1});
    out.push_back({"selected2.png", groundRing(22, 11, 2.0f, argb(255, 0, 229, 255)), 1});
    out.push_back({"has_ball.png", groundRing(16, 8, 1.6f, argb(255, 255, 255, 255)), 1});
    {
        out.push_back({"offside.png", groundRing(20, 10, 2.6f, argb(255, 230, 30, 30)), 1});
    }
    const struct {
        const char* name;
        float angle;
    } arrows[] = {{"arr_left.png", kPi},          {"arr_right.png", 0.0f},         {"arr_up.png", -kPi * 0.5f},
                  {"arr_down.png", kPi * 0.5f},   {"arr_ul.png", -kPi * 0.75f},    {"arr_dl.png", kPi * 0.75f},
                  {"arr_ur.png", -kPi * 0.25f},   {"arr_dr.png", kPi * 0.25f}};
    for (const auto& a : arrows) out.push_back({a.name, arrow(a.angle), 1});
    return out;
}

std::vector<NamedImage> panels(const std::string& fontDir) {
    std::vector<NamedImage> out;
    {
        // Team names at (10, 7) and (10, 34), scores at x 181: a name column and a score column.
        PixelBuffer teams(208, 58);
        roundedPanel(teams, 0, 0, 208, 58, 6.0f, kPanel, kPanelEdge);
        fillRect(teams, 175, 4, 176.5f, 54, withAlpha(kPanelEdge, 160));
        fillRect(teams, 6, 28.5f, 202, 29.5f, withAlpha(kPanelEdge, 110));
        fillRect(teams, 177, 2, 206, 56, argb(255, 30, 44, 70));
        out.push_back({"hud_teams.png", teams, 0});
        // The clock, centred at x 28.
        PixelBuffer time(56, 30);
        roundedPanel(time, 0, 0, 56, 30, 6.0f, kPanel, kPanelEdge);
        out.push_back({"hud_time.png", time, 0});
    }
    out.push_back({"fade.png", PixelBuffer(64, 64, 0xFF000000u), 0});
    {
        PixelBuffer menu(400, 400);
        roundedPanel(menu, 0, 0, 400, 400, 14.0f, argb(200, 10, 16, 30), argb(230, 120, 150, 200));
        out.push_back({"menubg.png", menu, 0});
        PixelBuffer large(600, 450);
        roundedPanel(large, 0, 0, 600, 450, 14.0f, argb(210, 10, 16, 30), argb(230, 120, 150, 200));
        out.push_back({"menubgl.png", large, 0});
    }
    {
        // The moments of a match, in the menus' style: the restart prompt, the goal banner with
        // a red band for its title, and the half- and full-time card.
        PixelBuffer prompt(440, 34);  // room for "player 2: " and a long key name
        roundedPanel(prompt, 0, 0, 440, 34, 8.0f, argb(200, 10, 16, 30), argb(230, 120, 150, 200));
        out.push_back({"prompt.png", prompt, 0});
        PixelBuffer banner(460, 100);
        roundedPanel(banner, 0, 0, 460, 100, 12.0f, argb(215, 10, 16, 30), argb(235, 120, 150, 200));
        fillRect(banner, 24, 36.5f, 436, 37.5f, withAlpha(argb(255, 200, 40, 40), 200));
        out.push_back({"banner.png", banner, 0});
        PixelBuffer card(520, 380);
        roundedPanel(card, 0, 0, 520, 380, 14.0f, argb(235, 10, 16, 30), argb(235, 120, 150, 200));
        fillRect(card, 30, 92.5f, 490, 93.5f, withAlpha(kPanelEdge, 140));
        fillRect(card, 30, 262.5f, 490, 263.5f, withAlpha(kPanelEdge, 140));
        out.push_back({"card.png", card, 0});
    }
    {
        // Splash: the name on a green banner with pitch lines; opaque throughout, so one frame.
        constexpr int w = 500, h = 250;
        PixelBuffer splash(w, h);
        roundedPanel(splash, 0, 0, w, h, 18.0f, argb(255, 46, 112, 40), argb(255, 240, 244, 236));
        for (int y = 4; y < h - 4; ++y) {
            if ((y / 25) % 2 == 0) fillRect(splash, 4, static_cast<float>(y), w - 4, static_cast<float>(y + 1), argb(40, 255, 255, 255));
        }
        ring(splash, w * 0.5f, h * 0.5f, 95.0f, 3.0f, argb(120, 255, 255, 255));
        line(splash, w * 0.5f, 8, w * 0.5f, h - 8, 3.0f, argb(120, 255, 255, 255));
        PixelBuffer title = platform::renderText(fontDir + "/DejaVuSans-Bold.ttf", 96, "Flikka", 0xFFFFFFFF);
        PixelBuffer titleShadow = platform::renderText(fontDir + "/DejaVuSans-Bold.ttf", 96, "Flikka", 0xB0000000);
        const int tx = (w - title.width) / 2, ty = (h - title.height) / 2 - 18;
        paste(splash, titleShadow, tx + 4, ty + 4);
        paste(splash, title, tx, ty);
        PixelBuffer sub = platform::renderText(fontDir + "/DejaVuSans.ttf", 22, "Trefalik football", 0xFFFFE060);
        paste(splash, sub, (w - sub.width) / 2, ty + title.height - 4);
        out.push_back({"flikka.png", splash, 1});
    }
    return out;
}

std::vector<NamedImage> fonts(const std::string& fontDir) {
    std::vector<NamedImage> out;
    out.push_back({"font.png", fontStrip(fontDir + "/DejaVuSans-Bold.ttf", 14, true), 85});
    out.push_back({"minifont.png", fontStrip(fontDir + "/DejaVuSans.ttf", 10, true), 85});
    out.push_back({"menufont.png", fontStrip(fontDir + "/DejaVuSans-Bold.ttf", 20, true), 85});
    return out;
}

}  // namespace flikka::artgen
