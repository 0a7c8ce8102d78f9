// The application icon: a football on a striped patch of pitch, drawn afresh at every size so
// that the small ones stay sharp instead of being scaled down.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "tools/artgen/Art.h"

namespace flikka::artgen {

namespace {

constexpr Color kGrass = argb(255, 46, 122, 42);
constexpr Color kGrassLight = argb(255, 62, 142, 54);
constexpr Color kEdge = argb(255, 24, 64, 24);
constexpr Color kChalk = argb(170, 255, 255, 255);
constexpr Color kOutline = argb(255, 22, 26, 22);

struct Vec {
    float x, y, z;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, float k) { return {a.x * k, a.y * k, a.z * k}; }
float dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec unit(Vec a) { return a * (1.0f / std::sqrt(dot(a, a))); }

// The ball as the polyhedron it is sewn from (a truncated icosahedron): 12 pentagons and 20
// hexagons, each face a plane n·x = d.
struct Face {
    Vec normal;
    float distance;
    bool pentagon;
};

std::vector<Face> footballFaces() {
    const float phi = (1.0f + std::sqrt(5.0f)) * 0.5f;
    std::vector<Vec> ico;
    for (float a : {-1.0f, 1.0f})
        for (float b : {-phi, phi}) {
            ico.push_back({0, a, b});
            ico.push_back({a, b, 0});
            ico.push_back({b, 0, a});
        }
    auto adjacent = [&](const Vec& a, const Vec& b) { return std::fabs(dot(a - b, a - b) - 4.0f) < 0.01f; };
    std::vector<Vec> corners;  // the icosahedron's edges cut at their thirds
    std::vector<Face> faces;
    for (std::size_t i = 0; i < ico.size(); ++i) {
        faces.push_back({unit(ico[i]), 0.0f, true});
        for (std::size_t j = 0; j < ico.size(); ++j) {
            if (i == j || !adjacent(ico[i], ico[j])) continue;
            corners.push_back(ico[i] + (ico[j] - ico[i]) * (1.0f / 3.0f));
            for (std::size_t k = j + 1; k < ico.size(); ++k) {
                if (i < j && k != i && adjacent(ico[i], ico[k]) && adjacent(ico[j], ico[k])) {
                    faces.push_back({unit(ico[i] + ico[j] + ico[k]), 0.0f, false});
                }
            }
        }
    }
    for (Face& f : faces) {
        for (const Vec& c : corners) f.distance = std::max(f.distance, dot(f.normal, c));
    }
    return faces;
}

// A rounded square filling the image, shrunk by inset.
bool inTile(float x, float y, float size, float inset) {
    const float r = size * 0.18f - inset, lo = inset, hi = size - inset;
    const float qx = std::max({lo + r - x, x - (hi - r), 0.0f});
    const float qy = std::max({lo + r - y, y - (hi - r), 0.0f});
    return x >= lo && x < hi && y >= lo && y < hi && qx * qx + qy * qy <= r * r;
}

// The ball at (cx, cy) with radius r, one pentagon towards the viewer and turned a little so it
// reads as round; lit from the upper left. Sampled 4 × 4 per pixel like the rest of the art.
void drawBall(PixelBuffer& img, float cx, float cy, float r, float seamWidth) {
    static const std::vector<Face> faces = footballFaces();
    // View rotation: the pentagon (0, 1, phi) to the front, then tipped and turned.
    const Vec front = unit({0.0f, 1.0f, (1.0f + std::sqrt(5.0f)) * 0.5f});
    const Vec side = unit(Vec{1.0f, 0.0f, 0.0f});
    const Vec upAxis = unit(Vec{front.y * side.z - front.z * side.y, front.z * side.x - front.x * side.z,
                                front.x * side.y - front.y * side.x});
    const float tip = 0.30f, turn = 0.22f;
    const Vec light = unit({-0.45f, -0.55f, 0.70f});
    constexpr int kSamples = 4;
    const int x0 = std::max(0, static_cast<int>(cx - r) - 1), x1 = std::min(img.width - 1, static_cast<int>(cx + r) + 1);
    const int y0 = std::max(0, static_cast<int>(cy - r) - 1), y1 = std::min(img.height - 1, static_cast<int>(cy + r) + 1);
    for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
            float sumR = 0, sumG = 0, sumB = 0;
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float u = (static_cast<float>(px) + (sx + 0.5f) / kSamples - cx) / r;
                    const float v = (static_cast<float>(py) + (sy + 0.5f) / kSamples - cy) / r;
                    const float w2 = 1.0f - u * u - v * v;
                    if (w2 < 0.0f) continue;
                    const Vec view{u, v, std::sqrt(w2)};
                    // Into the ball's frame: undo the tip (about x) and the turn (about z) of the view.
                    const float ct = std::cos(tip), st = std::sin(tip), cz = std::cos(turn), sz = std::sin(turn);
                    const Vec a{view.x * cz - view.y * sz, view.x * sz + view.y * cz, view.z};
                    const Vec b{a.x, a.y * ct - a.z * st, a.y * st + a.z * ct};
                    const Vec p = side * b.x + upAxis * (-b.y) + front * b.z;
                    // The face a ray through p meets first is the one with the largest n·p / d.
                    float best = 0.0f, second = 0.0f;
                    bool pentagon = false;
                    for (const Face& f : faces) {
                        const float q = dot(f.normal, p) / f.distance;
                        if (q > best) {
                            second = best;
                            best = q;
                            pentagon = f.pentagon;
                        } else if (q > second) {
                            second = q;
                        }
                    }
                    const bool seam = (best - second) * view.z < seamWidth;  // thinner towards the rim
                    const float lit = 0.62f + 0.38f * std::max(0.0f, dot(view, light));
                    const float base = pentagon ? 34.0f : (seam ? 70.0f : 250.0f);
                    sumR += base * lit;
                    sumG += base * lit;
                    sumB += (base + (pentagon ? 4.0f : 2.0f)) * lit;
                    ++hits;
                }
            }
            if (hits == 0) continue;
            const float n = static_cast<float>(hits);
            auto byte = [](float c) { return static_cast<int>(std::clamp(c, 0.0f, 255.0f) + 0.5f); };
            blend(img, px, py, argb(255, byte(sumR / n), byte(sumG / n), byte(sumB / n)),
                  n / (kSamples * kSamples));
        }
    }
}

}  // namespace

PixelBuffer icon(int size) {
    const float s = static_cast<float>(size);
    const float rim = std::max(1.0f, s / 48.0f);
    PixelBuffer img(size, size);
    fillShape(img, 0, 0, s, s, [=](float x, float y) { return inTile(x, y, s, 0.0f); }, kEdge);
    fillShape(img, 0, 0, s, s, [=](float x, float y) { return inTile(x, y, s, rim); }, kGrass);
    const bool detailed = size >= 32;
    if (detailed) {
        // Mown stripes and the halfway line with its circle, which the ball sits on.
        const float band = s / 6.0f;
        fillShape(img, 0, 0, s, s,
                  [=](float x, float y) { return inTile(x, y, s, rim) && static_cast<int>(y / band) % 2 == 1; },
                  kGrassLight);
        const float chalk = std::max(1.0f, s / 40.0f);
        line(img, rim, s * 0.5f, s - rim, s * 0.5f, chalk, kChalk);
        ring(img, s * 0.5f, s * 0.5f, s * 0.41f, chalk, kChalk);
    }
    const float cx = s * 0.5f, cy = s * 0.5f, r = s * (detailed ? 0.31f : 0.38f);
    fillCircle(img, cx + s * 0.03f, cy + s * 0.045f, r, argb(90, 0, 0, 0));  // its shadow on the grass
    fillCircle(img, cx, cy, r + std::max(0.8f, s / 64.0f), kOutline);
    drawBall(img, cx, cy, r, size >= 48 ? 0.018f : 0.0f);  // seams would only grey a small ball
    return img;
}

}  // namespace flikka::artgen
