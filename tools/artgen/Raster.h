#pragma once
// Small anti-aliased rasteriser for the art generator: shapes are tested at 4 × 4 points per
// pixel and the covered share is blended over what is already there.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Platform.h"

namespace flikka::artgen {

using platform::Color;
using platform::PixelBuffer;

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

constexpr Color argb(int a, int r, int g, int b) {
    return (static_cast<Color>(a) << 24) | (static_cast<Color>(r) << 16) | (static_cast<Color>(g) << 8) |
           static_cast<Color>(b);
}
Color withAlpha(Color c, int alpha);
Color mix(Color a, Color b, float t);  // straight interpolation of every channel
Color shade(Color c, float factor);     // colour channels scaled, alpha kept

// Straight-alpha "over" of colour c, weighted by coverage 0..1.
void blend(PixelBuffer& image, int x, int y, Color c, float coverage = 1.0f);

// Pixel (x, y) covers [x, x+1) × [y, y+1). `inside` is asked at sample points in that space.
void fillShape(PixelBuffer& image, float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside,
               Color c);

void fillRect(PixelBuffer& image, float x0, float y0, float x1, float y1, Color c);
void fillCircle(PixelBuffer& image, float cx, float cy, float r, Color c);
void fillEllipse(PixelBuffer& image, float cx, float cy, float rx, float ry, Color c);
// A ring of the given centre-line radius and total thickness.
void ring(PixelBuffer& image, float cx, float cy, float r, float thickness, Color c);
void ellipseRing(PixelBuffer& image, float cx, float cy, float rx, float ry, float thickness, Color c);
// A line with round ends, `thickness` wide.
void line(PixelBuffer& image, float x0, float y0, float x1, float y1, float thickness, Color c);
void fillPolygon(PixelBuffer& image, const std::vector<Point>& points, Color c);

// A dark rim around everything at least half opaque, for contrast on grass.
void outline(PixelBuffer& image, Color c);
// Copies `src` into `dst` at (x, y), blending.
void paste(PixelBuffer& dst, const PixelBuffer& src, int x, int y);
// Only the columns [x, x + w) of the image.
PixelBuffer crop(const PixelBuffer& image, int x, int y, int w, int h);

// Deterministic noise in [0, 1) for texture, from a pixel position.
float noise(int x, int y, int seed);

}  // namespace flikka::artgen
