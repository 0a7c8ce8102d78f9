#include "tools/artgen/Raster.h"

#include <algorithm>
#include <cmath>

namespace flikka::artgen {

namespace {

constexpr int kSamples = 4;

float channel(Color c, int shift) { return static_cast<float>((c >> shift) & 0xFFu) / 255.0f; }

Color pack(float a, float r, float g, float b) {
    auto byte = [](float v) { return static_cast<Color>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

float segmentDistance(float px, float py, float x0, float y0, float x1, float y1) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0.0f ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

}  // namespace

Color withAlpha(Color c, int alpha) { return (c & 0x00FFFFFFu) | (static_cast<Color>(std::clamp(alpha, 0, 255)) << 24); }

Color mix(Color a, Color b, float t) {
    auto m = [&](int shift) { return channel(a, shift) + (channel(b, shift) - channel(a, shift)) * t; };
    return pack(m(24), m(16), m(8), m(0));
}

Color shade(Color c, float factor) {
    return pack(channel(c, 24), channel(c, 16) * factor, channel(c, 8) * factor, channel(c, 0) * factor);
}

void blend(PixelBuffer& image, int x, int y, Color c, float coverage) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height || coverage <= 0.0f) return;
    const Color d = image.at(x, y);
    const float sa = channel(c, 24) * std::min(coverage, 1.0f);
    const float da = channel(d, 24);
    const float oa = sa + da * (1.0f - sa);
    if (oa <= 0.0f) return;
    auto over = [&](int shift) { return (channel(c, shift) * sa + channel(d, shift) * da * (1.0f - sa)) / oa; };
    image.set(x, y, pack(oa, over(16), over(8), over(0)));
}

void fillShape(PixelBuffer& image, float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside,
               Color c) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    const int ix1 = std::min(image.width - 1, static_cast<int>(std::ceil(x1)) + 1);
    const int iy1 = std::min(image.height - 1, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y) {
        for (int x = ix0; x <= ix1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    if (inside(static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / kSamples,
                               static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / kSamples))
                        ++hits;
            if (hits > 0) blend(image, x, y, c, static_cast<float>(hits) / (kSamples * kSamples));
        }
    }
}

void fillRect(PixelBuffer& image, float x0, float y0, float x1, float y1, Color c) {
    fillShape(image, x0, y0, x1, y1, [=](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, c);
}

void fillCircle(PixelBuffer& image, float cx, float cy, float r, Color c) { fillEllipse(image, cx, cy, r, r, c); }

void fillEllipse(PixelBuffer& image, float cx, float cy, float rx, float ry, Color c) {
    if (rx <= 0.0f || ry <= 0.0f) return;
    fillShape(image, cx - rx, cy - ry, cx + rx, cy + ry,
              [=](float x, float y) {
                  const float u = (x - cx) / rx, v = (y - cy) / ry;
                  return u * u + v * v <= 1.0f;
              },
              c);
}

void ring(PixelBuffer& image, float cx, float cy, float r, float thickness, Color c) {
    const float h = thickness * 0.5f;
    fillShape(image, cx - r - h, cy - r - h, cx + r + h, cy + r + h,
              [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - r) <= h; }, c);
}

void ellipseRing(PixelBuffer& image, float cx, float cy, float rx, float ry, float thickness, Color c) {
    const float h = thickness * 0.5f;
    fillShape(image, cx - rx - h, cy - ry - h, cx + rx + h, cy + ry + h,
              [=](float x, float y) {
                  const float uo = (x - cx) / (rx + h), vo = (y - cy) / (ry + h);
                  const float ui = (x - cx) / std::max(rx - h, 0.01f), vi = (y - cy) / std::max(ry - h, 0.01f);
                  return uo * uo + vo * vo <= 1.0f && ui * ui + vi * vi >= 1.0f;
              },
              c);
}

void line(PixelBuffer& image, float x0, float y0, float x1, float y1, float thickness, Color c) {
    const float h = thickness * 0.5f;
    fillShape(image, std::min(x0, x1) - h, std::min(y0, y1) - h, std::max(x0, x1) + h, std::max(y0, y1) + h,
              [=](float x, float y) { return segmentDistance(x, y, x0, y0, x1, y1) <= h; }, c);
}

void fillPolygon(PixelBuffer& image, const std::vector<Point>& points, Color c) {
    if (points.size() < 3) return;
    float x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (const Point& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    fillShape(image, x0, y0, x1, y1,
              [&points](float x, float y) {
                  bool in = false;
                  for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                      const Point& a = points[i];
                      const Point& b = points[j];
                      if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
                  }
                  return in;
              },
              c);
}

void outline(PixelBuffer& image, Color c) {
    const PixelBuffer before = image;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if ((before.at(x, y) >> 24) >= 128) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    if ((dx != 0) == (dy != 0)) continue;  // four neighbours only
                    const int nx = x + dx, ny = y + dy;
                    near = nx >= 0 && ny >= 0 && nx < image.width && ny < image.height && (before.at(nx, ny) >> 24) >= 128;
                }
            if (near) {
                // Under the anti-aliased edge, not over it.
                const Color above = before.at(x, y);
                image.set(x, y, c);
                blend(image, x, y, above);
            }
        }
    }
}

void paste(PixelBuffer& dst, const PixelBuffer& src, int x, int y) {
    for (int sy = 0; sy < src.height; ++sy)
        for (int sx = 0; sx < src.width; ++sx) blend(dst, x + sx, y + sy, src.at(sx, sy));
}

PixelBuffer crop(const PixelBuffer& image, int x, int y, int w, int h) {
    PixelBuffer out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int sx = x + i, sy = y + j;
            if (sx >= 0 && sy >= 0 && sx < image.width && sy < image.height) out.set(i, j, image.at(sx, sy));
        }
    return out;
}

float noise(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2147483647u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFFu) / 16777216.0f;
}

}  // namespace flikka::artgen
