// Footballers in three kits and the ball, drawn from a few body parts per frame.
#include <cmath>

#include "tools/artgen/Art.h"

namespace flikka::artgen {

namespace {

constexpr int kFrameW = 16;
constexpr int kFrameH = 30;
constexpr float kPi = 3.14159265f;

struct Kit {
    Color shirt, sleeves, shorts, socks, gloves;
};

constexpr Color kSkin = argb(255, 232, 184, 140);
constexpr Color kSkinShade = argb(255, 196, 146, 106);
constexpr Color kHair = argb(255, 70, 44, 24);
constexpr Color kBoot = argb(255, 25, 25, 25);
constexpr Color kRim = argb(200, 20, 24, 20);

// Home: red shirts, white shorts. Away (Lilac City): lilac shirts, navy shorts.
// Goalkeepers: yellow-green jerseys, black shorts.
constexpr Kit kHome{argb(255, 214, 30, 36), argb(255, 214, 30, 36), argb(255, 246, 246, 246), argb(255, 200, 24, 30),
                    kSkin};
constexpr Kit kAway{argb(255, 184, 146, 232), argb(255, 160, 120, 214), argb(255, 34, 34, 84), argb(255, 184, 146, 232),
                    kSkin};
constexpr Kit kKeeper{argb(255, 196, 232, 40), argb(255, 170, 210, 30), argb(255, 30, 30, 30), argb(255, 196, 232, 40),
                      argb(255, 250, 250, 250)};

// The screen direction a set's suffix faces: x right, y down the screen (towards the viewer).
struct Facing {
    const char* suffix;
    float x, y;
};
constexpr float kD = 0.7071f;
constexpr Facing kFacings[] = {{"u", 0, -1},     {"ul", -kD, -kD}, {"l", -1, 0}, {"dl", -kD, kD},
                               {"d", 0, 1},      {"dr", kD, kD},   {"r", 1, 0},  {"ur", kD, -kD}};

struct Pose {
    float phase = 0.0f;   // running cycle, radians
    float stride = 0.0f;  // 0 standing, 1 running
    bool armsUp = false;  // the diving keeper
};

// One footballer frame, standing on the bottom row with the body centred on column 8.
PixelBuffer figure(const Kit& kit, Facing f, Pose pose) {
    PixelBuffer img(kFrameW, kFrameH);
    const float cx = kFrameW * 0.5f;
    const float fx = f.x, fy = f.y;
    const float side = std::fabs(fx);     // 1 in profile
    const float front = std::fabs(fy);    // 1 facing the viewer or away
    const float s = std::sin(pose.phase) * pose.stride;
    const float bob = std::fabs(std::cos(pose.phase)) * pose.stride * 0.6f;

    // Soft shadow on the grass, as wide as the frame so every frame cuts to the same width.
    fillEllipse(img, cx, 28.6f, 7.6f, 1.6f, argb(70, 0, 0, 0));
    blend(img, 0, 28, argb(16, 0, 0, 0));
    blend(img, kFrameW - 1, 28, argb(16, 0, 0, 0));

    const float hipY = 19.0f - bob;
    const float shoulderY = 10.5f - bob;
    const float hipHalf = 1.0f + 0.9f * front;
    const float shoulderHalf = 2.2f + 1.6f * front;

    // Legs: the feet swing along the facing; a foot swinging back lifts off the grass.
    auto leg = [&](float sideSign, float swing) {
        const float hx = cx + sideSign * hipHalf;
        const float footX = hx + fx * 3.6f * swing;
        const float lift = std::max(0.0f, -swing) * 2.2f * pose.stride;
        const float footY = 27.6f - lift + fy * 0.9f * swing;
        const float kneeX = (hx + footX) * 0.5f + fx * 0.8f * std::fabs(swing);
        const float kneeY = (hipY + footY) * 0.5f;
        line(img, hx, hipY, kneeX, kneeY, 2.5f, kSkin);
        line(img, kneeX, kneeY, footX, footY - 1.0f, 2.4f, kit.socks);
        const float toe = side > 0.3f ? fx * 1.2f : 0.0f;
        line(img, footX - 0.4f, footY, footX + toe + 0.4f, footY, 2.0f, kBoot);
    };
    // The far leg first.
    const float farSign = fx != 0.0f ? -fx / side : -1.0f;
    leg(farSign, -s);
    leg(-farSign, s);

    // Arms swing against the legs; the keeper in a dive stretches them above his head.
    auto arm = [&](float sideSign, float swing) {
        // In profile both shoulders sit on the body's axis; facing us they are a chest apart.
        const float sx = cx + sideSign * (shoulderHalf * front + 0.6f * (1.0f - front));
        float hx, hy;
        if (pose.armsUp) {
            hx = sx + sideSign * 1.5f;
            hy = 1.0f;
        } else {
            hx = sx + sideSign * (0.6f + 0.4f * front) * front + fx * 3.2f * swing;
            hy = shoulderY + 6.5f - std::fabs(swing) * 1.5f * side + fy * 0.8f * swing;
        }
        const float ex = (sx + hx) * 0.5f, ey = (shoulderY + hy) * 0.5f;
        line(img, sx, shoulderY + 0.8f, ex, ey, 2.3f, kit.sleeves);
        line(img, ex, ey, hx, hy, 2.0f, kSkin);
        fillCircle(img, hx, hy, 1.1f, kit.gloves);
    };

    arm(farSign, s);  // behind the body

    // Shorts and shirt.
    fillRect(img, cx - hipHalf - 1.6f, hipY - 3.5f, cx + hipHalf + 1.6f, hipY + 1.2f, kit.shorts);
    fillPolygon(img,
                {{cx - shoulderHalf - 0.4f, shoulderY}, {cx + shoulderHalf + 0.4f, shoulderY},
                 {cx + hipHalf + 1.5f, hipY - 3.0f}, {cx - hipHalf - 1.5f, hipY - 3.0f}},
                kit.shirt);
    if (fy < -0.3f) {
        // A number on the back.
        fillRect(img, cx - 0.5f, shoulderY + 2.0f, cx + 1.0f, shoulderY + 5.5f, argb(230, 250, 250, 250));
    }

    arm(-farSign, -s);

    // Head: hair on top, more of it the further he faces away, at the back in profile.
    const float headX = cx + fx * 0.6f, headY = 5.8f - bob, r = 3.1f;
    fillRect(img, cx - 0.9f, headY + 1.5f, cx + 0.9f, shoulderY + 0.5f, kSkinShade);  // neck
    fillCircle(img, headX, headY, r, kSkin);
    const float hdx = -fx * 0.8f, hdy = -1.0f;
    const float hl = std::hypot(hdx, hdy);
    const float threshold = fy >= 0.0f ? 0.25f * r * fy : 0.75f * r * fy;
    fillShape(img, headX - r, headY - r, headX + r, headY + r,
              [=](float x, float y) {
                  const float dx = x - headX, dy = y - headY;
                  return dx * dx + dy * dy <= r * r && (dx * hdx + dy * hdy) / hl >= threshold;
              },
              kHair);
    if (fy > 0.3f) {  // eyes when he looks our way
        blend(img, static_cast<int>(headX - 1.5f + fx), static_cast<int>(headY + 0.5f), argb(200, 40, 30, 20));
        blend(img, static_cast<int>(headX + 1.0f + fx), static_cast<int>(headY + 0.5f), argb(200, 40, 30, 20));
    }
    outline(img, kRim);
    return img;
}

// A sliding tackle: low on the grass, the leading leg stretched out along the facing, the body
// leaning back over the trailing arm. Wider than a standing frame; the body point stays at the
// bottom centre.
PixelBuffer slideFigure(const Kit& kit, Facing f) {
    constexpr int kSlideW = 26;
    PixelBuffer img(kSlideW, kFrameH);
    const float cx = kSlideW * 0.5f;
    const float fx = f.x, fy = f.y;
    // A faint shadow row across the whole frame, so that it cuts as one frame.
    for (int x = 0; x < kSlideW; ++x) blend(img, x, 28, argb(16, 0, 0, 0));
    fillEllipse(img, cx + fx * 2.0f, 28.0f, 11.0f, 1.8f, argb(70, 0, 0, 0));

    const float hipX = cx - fx * 1.5f, hipY = 24.0f + fy * 0.5f;
    const float shoulderX = cx - fx * 4.5f, shoulderY = 17.0f - fy * 1.0f;
    // Trailing leg bent under him, then the stretched one, boot first.
    const float kneeX = cx + fx * 1.0f, kneeY = 22.5f;
    line(img, hipX, hipY, kneeX, kneeY, 2.5f, kSkin);
    line(img, kneeX, kneeY, cx + fx * 2.5f, 27.0f, 2.4f, kit.socks);
    const float footX = cx + fx * 10.0f, footY = 26.5f + fy * 1.5f;
    const float midX = (hipX + footX) * 0.5f, midY = (hipY + footY) * 0.5f;
    line(img, hipX, hipY, midX, midY, 2.6f, kSkin);
    line(img, midX, midY, footX, footY, 2.4f, kit.socks);
    line(img, footX - 0.5f, footY + 0.3f, footX + fx * 1.5f + 0.5f, footY + 0.3f, 2.0f, kBoot);
    // Arm behind him on the grass.
    line(img, shoulderX, shoulderY + 0.5f, cx - fx * 7.0f, 26.5f, 2.2f, kit.sleeves);
    fillCircle(img, cx - fx * 7.0f, 26.5f, 1.0f, kit.gloves);
    // Shorts and a leaning shirt.
    fillEllipse(img, hipX, hipY - 1.0f, 2.8f, 2.2f, kit.shorts);
    fillPolygon(img,
                {{shoulderX - 2.8f, shoulderY}, {shoulderX + 2.8f, shoulderY}, {hipX + 2.4f, hipY - 2.0f},
                 {hipX - 2.4f, hipY - 2.0f}},
                kit.shirt);
    // The other arm up for balance.
    line(img, shoulderX, shoulderY + 0.5f, shoulderX + fx * 2.0f, shoulderY - 4.0f, 2.2f, kit.sleeves);
    fillCircle(img, shoulderX + fx * 2.0f, shoulderY - 4.0f, 1.0f, kit.gloves);
    const float headX = shoulderX - fx * 0.8f, headY = shoulderY - 3.8f;
    fillCircle(img, headX, headY, 3.0f, kSkin);
    fillShape(img, headX - 3.0f, headY - 3.0f, headX + 3.0f, headY + 3.0f,
              [=](float x, float y) {
                  const float dx = x - headX, dy = y - headY;
                  return dx * dx + dy * dy <= 9.0f && dy < -0.6f + (fy < 0.0f ? 2.0f : 0.0f);
              },
              kHair);
    outline(img, kRim);
    return img;
}

// Frames side by side with one transparent column between them.
PixelBuffer strip(const std::vector<PixelBuffer>& frames) {
    int w = 0, h = 0;
    for (const auto& f : frames) {
        w += f.width + 1;
        h = std::max(h, f.height);
    }
    PixelBuffer out(std::max(0, w - 1), h);
    int x = 0;
    for (const auto& f : frames) {
        paste(out, f, x, h - f.height);
        x += f.width + 1;
    }
    return out;
}

void addSet(std::vector<NamedImage>& out, const std::string& prefix, const Kit& kit, bool running) {
    for (const Facing& f : kFacings) {
        std::vector<PixelBuffer> frames;
        if (running) {
            for (int k = 0; k < kRunningFrames; ++k)
                frames.push_back(figure(kit, f, {2.0f * kPi * static_cast<float>(k) / kRunningFrames, 1.0f, false}));
        } else {
            frames.push_back(figure(kit, f, {}));
        }
        out.push_back({prefix + f.suffix + ".png", strip(frames), static_cast<int>(frames.size())});
    }
}

}  // namespace

std::vector<NamedImage> footballers() {
    std::vector<NamedImage> out;
    addSet(out, "h_", kHome, true);
    addSet(out, "a_", kAway, true);
    addSet(out, "h_s_", kHome, false);
    addSet(out, "a_s_", kAway, false);
    addSet(out, "gk_", kKeeper, true);
    addSet(out, "gk_s_", kKeeper, false);
    // Sliding tackles (full rules), one frame per facing.
    for (const Facing& f : kFacings) {
        out.push_back({std::string("h_sl_") + f.suffix + ".png", slideFigure(kHome, f), 1});
        out.push_back({std::string("a_sl_") + f.suffix + ".png", slideFigure(kAway, f), 1});
    }
    // The diving keeper stands upright with his arms stretched up; the game lays him down.
    out.push_back({"gk_j_up.png", figure(kKeeper, kFacings[0], {0.0f, 0.0f, true}), 1});
    out.push_back({"gk_j.png", figure(kKeeper, kFacings[4], {0.0f, 0.0f, true}), 1});
    out.push_back({"mini_gk.png", figure(kKeeper, kFacings[4], {}), 1});
    return out;
}

std::vector<NamedImage> ballImages() {
    constexpr int kBallFrames = 8;
    constexpr int size = 7;
    const float c = size * 0.5f, r = 3.4f;
    // Patches on the sphere; rolling turns them about the horizontal axis.
    struct Spot {
        float lon, lat;
    };
    const Spot spots[] = {{0.0f, 0.0f}, {1.9f, 0.5f}, {3.4f, -0.4f}, {4.9f, 0.6f}, {1.0f, -1.1f}, {4.0f, 1.2f}};
    std::vector<PixelBuffer> frames;
    for (int k = 0; k < kBallFrames; ++k) {
        PixelBuffer img(size, size);
        fillCircle(img, c, c, r, argb(255, 248, 248, 248));
        // Shading towards the lower right.
        fillShape(img, 0, 0, size, size,
                  [=](float x, float y) {
                      const float dx = x - c, dy = y - c;
                      return dx * dx + dy * dy <= r * r && dx + dy > 2.2f;
                  },
                  argb(90, 120, 120, 130));
        const float turn = 2.0f * kPi * static_cast<float>(k) / kBallFrames;
        for (const Spot& sp : spots) {
            // Point on the unit sphere, rotated about the x axis by the roll.
            float px = std::cos(sp.lat) * std::cos(sp.lon);
            float py = std::sin(sp.lat);
            float pz = std::cos(sp.lat) * std::sin(sp.lon);
            const float ry = py * std::cos(turn) - pz * std::sin(turn);
            const float rz = py * std::sin(turn) + pz * std::cos(turn);
            py = ry;
            pz = rz;
            if (pz <= 0.1f) continue;  // the far side
            fillCircle(img, c + px * (r - 1.0f), c + py * (r - 1.0f), 0.9f + 0.3f * pz, argb(235, 30, 30, 30));
        }
        frames.push_back(img);
    }
    std::vector<NamedImage> out;
    out.push_back({"ball.png", strip(frames), kBallFrames});
    PixelBuffer shadow(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - c) / 3.5f, dy = (static_cast<float>(y) + 0.5f - c) / 2.6f;
            const float d = dx * dx + dy * dy;
            if (d < 1.0f) shadow.set(x, y, withAlpha(0, static_cast<int>(110.0f * (1.0f - d))));
        }
    out.push_back({"ball_s.png", shadow, 0});
    return out;
}

}  // namespace flikka::artgen
