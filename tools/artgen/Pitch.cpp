// The pitch at 16 pixels per metre, the goals fitted to the match view's fixed offsets, and the
// formation editor's small pitch.
#include <cmath>

#include "tools/artgen/Art.h"
#include "sim/PitchGeometry.h"

namespace flikka::artgen {

namespace {

constexpr Color kGrassLight = argb(255, 74, 150, 58);
constexpr Color kGrassDark = argb(255, 62, 132, 48);
constexpr Color kLine = argb(255, 240, 244, 236);
constexpr float kLineWidth = 2.0f;  // 0.125 m

using pitch::kGoalAreaDepth;
using pitch::kGoalAreaHalfWidth;
using pitch::kHalfLength;
using pitch::kHalfWidth;
constexpr float kCircleRadius = pitch::kCentreCircleRadius;
constexpr float kPenaltyHalfWidth = pitch::kPenaltyAreaHalfWidth;
constexpr float kPenaltyDepth = pitch::kPenaltyAreaDepth;
constexpr float kPenaltySpot = kHalfLength - pitch::kPenaltySpotDistance;
constexpr float kPostX = pitch::kGoalHalfWidth;

// Pitch metres to image pixels for a pitch of the given scale drawn centred in the image.
struct Mapping {
    float cx, cy, scale;
    float x(float metres) const { return cx + metres * scale; }
    float y(float metres) const { return cy - metres * scale; }
};

// Lines of one pitch drawing: full size or the editor's miniature.
void drawMarkings(PixelBuffer& img, const Mapping& m, float width, Color colour) {
    auto seg = [&](float x0, float y0, float x1, float y1) { line(img, m.x(x0), m.y(y0), m.x(x1), m.y(y1), width, colour); };
    const float w = kHalfWidth, l = kHalfLength;
    seg(-w, -l, w, -l);
    seg(-w, l, w, l);
    seg(-w, -l, -w, l);
    seg(w, -l, w, l);
    seg(-w, 0, w, 0);
    ring(img, m.x(0), m.y(0), kCircleRadius * m.scale, width, colour);
    fillCircle(img, m.x(0), m.y(0), std::max(0.25f * m.scale, width * 0.75f), colour);
    for (float end : {-1.0f, 1.0f}) {
        const float goalLine = end * l;
        const float ga = goalLine - end * kGoalAreaDepth;
        seg(-kGoalAreaHalfWidth, goalLine, -kGoalAreaHalfWidth, ga);
        seg(kGoalAreaHalfWidth, goalLine, kGoalAreaHalfWidth, ga);
        seg(-kGoalAreaHalfWidth, ga, kGoalAreaHalfWidth, ga);
        const float pa = goalLine - end * kPenaltyDepth;
        seg(-kPenaltyHalfWidth, goalLine, -kPenaltyHalfWidth, pa);
        seg(kPenaltyHalfWidth, goalLine, kPenaltyHalfWidth, pa);
        seg(-kPenaltyHalfWidth, pa, kPenaltyHalfWidth, pa);
        const float spot = end * kPenaltySpot;
        fillCircle(img, m.x(0), m.y(spot), std::max(0.2f * m.scale, width * 0.7f), colour);
        // The arc: the part of the spot's circle outside the penalty area.
        const float r = kCircleRadius * m.scale, h = width * 0.5f;
        const float cx = m.x(0), cy = m.y(spot), edge = m.y(pa);
        fillShape(img, cx - r - h, cy - r - h, cx + r + h, cy + r + h,
                  [=](float x, float y) {
                      const bool outside = end > 0 ? y > edge + h : y < edge - h;
                      return outside && std::fabs(std::hypot(x - cx, y - cy) - r) <= h;
                  },
                  colour);
    }
    // Corner arcs of 1 m, inside the pitch.
    for (float sx : {-1.0f, 1.0f})
        for (float sy : {-1.0f, 1.0f}) {
            const float cx = m.x(sx * w), cy = m.y(sy * l), r = 1.0f * m.scale, h = width * 0.5f;
            fillShape(img, cx - r - h, cy - r - h, cx + r + h, cy + r + h,
                      [=](float x, float y) {
                          const bool inside = (x - cx) * sx <= 0.0f && (y - cy) * sy >= 0.0f;
                          return inside && std::fabs(std::hypot(x - cx, y - cy) - r) <= h;
                      },
                      colour);
        }
}

// Mown stripes across the pitch, 5.25 m each (twenty between the goal lines), with a little
// texture so the scrolling is visible.
void grass(PixelBuffer& img, const Mapping& m, float stripeMetres, float grain) {
    for (int y = 0; y < img.height; ++y) {
        const float metresY = (m.cy - (static_cast<float>(y) + 0.5f)) / m.scale;
        const int stripe = static_cast<int>(std::floor(metresY / stripeMetres));
        const Color base = (stripe & 1) != 0 ? kGrassLight : kGrassDark;
        for (int x = 0; x < img.width; ++x) {
            const float n = noise(x, y, 7) * 0.6f + noise(x / 3, y / 3, 11) * 0.4f;
            img.set(x, y, shade(base, 1.0f + (n - 0.5f) * grain));
        }
    }
}

// Net mesh: thin lines every `step` pixels inside a rectangle.
void mesh(PixelBuffer& img, float x0, float y0, float x1, float y1, float step, Color c) {
    for (float x = x0; x <= x1 + 0.01f; x += step) line(img, x, y0, x, y1, 0.7f, c);
    for (float y = y1; y >= y0 - 0.01f; y -= step * 0.75f) line(img, x0, y, x1, y, 0.7f, c);
}

constexpr int kGoalWidth = 128;  // even, so that x = 0 falls on the boundary at 64
constexpr int kGoalHeight = 62;
constexpr float kCrossbarPixels = 39.0f;  // 2.44 m
constexpr float kNetDepthPixels = 16.0f;  // 1 m
constexpr Color kNet = argb(150, 235, 235, 235);
constexpr Color kNetEdge = argb(210, 245, 245, 245);
constexpr Color kPost = argb(255, 250, 250, 250);
constexpr Color kPostShade = argb(255, 170, 170, 180);

float postX(float sign) { return kGoalWidth * 0.5f + sign * kPostX * kPixelsPerMetre; }

void post(PixelBuffer& img, float sign, float footY, float topY) {
    const float x = postX(sign);
    fillRect(img, x - 1.5f, topY, x + 1.5f, footY, kPost);
    fillRect(img, x + 0.5f, topY, x + 1.5f, footY, kPostShade);
    fillEllipse(img, x, footY, 2.5f, 1.0f, argb(90, 0, 0, 0));
}

void crossbar(PixelBuffer& img, float y) {
    fillRect(img, postX(-1) - 1.5f, y - 1.5f, postX(1) + 1.5f, y + 1.5f, kPost);
    fillRect(img, postX(-1) - 1.5f, y + 0.5f, postX(1) + 1.5f, y + 1.5f, kPostShade);
}

}  // namespace

PixelBuffer pitch() {
    const int w = static_cast<int>((2 * kHalfWidth + 2 * kMarginMetres) * kPixelsPerMetre);
    const int h = static_cast<int>((2 * kHalfLength + 2 * kMarginMetres) * kPixelsPerMetre);
    PixelBuffer img(w, h);
    const Mapping m{w * 0.5f, h * 0.5f, kPixelsPerMetre};
    grass(img, m, 5.25f, 0.10f);
    drawMarkings(img, m, kLineWidth, kLine);
    return img;
}

PixelBuffer miniPitch() {
    constexpr float scale = 2.6f;
    constexpr int w = 200, h = 292;
    PixelBuffer img(w, h);
    const Mapping m{w * 0.5f, h * 0.5f, scale};
    grass(img, m, 10.5f, 0.06f);
    drawMarkings(img, m, 1.2f, kLine);
    // Goals as small boxes behind each line.
    for (float end : {-1.0f, 1.0f}) {
        const float y0 = m.y(end * kHalfLength), y1 = m.y(end * (kHalfLength + 1.5f));
        const float top = std::min(y0, y1), bottom = std::max(y0, y1);
        fillRect(img, m.x(-kPostX), top, m.x(kPostX), bottom, argb(160, 240, 240, 240));
    }
    // A dark frame so the panel edge reads.
    for (int x = 0; x < w; ++x) {
        blend(img, x, 0, argb(200, 20, 30, 20));
        blend(img, x, h - 1, argb(200, 20, 30, 20));
    }
    for (int y = 0; y < h; ++y) {
        blend(img, 0, y, argb(200, 20, 30, 20));
        blend(img, w - 1, y, argb(200, 20, 30, 20));
    }
    return img;
}

std::vector<NamedImage> goals() {
    std::vector<NamedImage> out;
    // Upper goal: placed with its bottom edge 2 pixels below the goal line, so the line falls on
    // row height − 2; everything above it recedes up the screen (1 m back = 16 px, 2.44 m up = 39 px).
    {
        const float lineY = kGoalHeight - 2.0f;
        const float barY = lineY - kCrossbarPixels;
        const float backFoot = lineY - kNetDepthPixels;
        const float backTop = backFoot - kCrossbarPixels;
        const float l = postX(-1), r = postX(1);
        PixelBuffer back(kGoalWidth, kGoalHeight);
        fillRect(back, l, backTop, r, backFoot, argb(40, 255, 255, 255));
        mesh(back, l, backTop, r, backFoot, 4.0f, kNet);
        line(back, l, backFoot, r, backFoot, 1.2f, kNetEdge);       // the back of the net on the grass
        line(back, l, backTop, r, backTop, 1.2f, kNetEdge);         // the top rope
        line(back, l, backFoot, l, lineY, 1.0f, kNetEdge);          // side nets seen edge-on
        line(back, r, backFoot, r, lineY, 1.0f, kNetEdge);
        line(back, l, backTop, l, barY, 1.0f, kNetEdge);
        line(back, r, backTop, r, barY, 1.0f, kNetEdge);
        PixelBuffer top(kGoalWidth, kGoalHeight);
        crossbar(top, barY);
        PixelBuffer frame(kGoalWidth, kGoalHeight);
        post(frame, -1, lineY + 1.0f, barY);
        post(frame, 1, lineY + 1.0f, barY);
        out.push_back({"ug_back.png", back, 0});
        out.push_back({"ug_top.png", top, 0});
        out.push_back({"ug_frame.png", frame, 0});
    }
    // Lower goal: top edge 42 pixels above the goal line; the crossbar tops the image and the
    // net's back stands 16 px below the line, facing the viewer.
    {
        const float lineY = 42.0f;
        const float barY = lineY - kCrossbarPixels;
        const float backFoot = lineY + kNetDepthPixels;
        const float backTop = backFoot - kCrossbarPixels;
        const float l = postX(-1), r = postX(1);
        PixelBuffer back(kGoalWidth, kGoalHeight);
        fillRect(back, l, barY, r, backFoot, argb(45, 255, 255, 255));
        mesh(back, l, barY, r, backFoot, 4.0f, kNet);
        line(back, l, backTop, r, backTop, 1.2f, kNetEdge);  // where the roof meets the back
        line(back, l, backFoot, r, backFoot, 1.2f, kNetEdge);
        line(back, l, barY, l, backFoot, 1.0f, kNetEdge);
        line(back, r, barY, r, backFoot, 1.0f, kNetEdge);
        PixelBuffer top(kGoalWidth, kGoalHeight);
        crossbar(top, barY);
        PixelBuffer frame(kGoalWidth, kGoalHeight);
        post(frame, -1, lineY + 1.0f, barY);
        post(frame, 1, lineY + 1.0f, barY);
        out.push_back({"lg_back.png", back, 0});
        out.push_back({"lg_top.png", top, 0});
        out.push_back({"lg_frame.png", frame, 0});
    }
    return out;
}

}  // namespace flikka::artgen
