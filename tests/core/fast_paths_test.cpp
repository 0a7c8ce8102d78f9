// The quick paths of the simulation against the plain rules they stand for: every result must
// be the same, bit for bit, on inputs drawn to include ties, near-ties and degenerate values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "players/Player.h"

namespace flikka {
namespace {

// The direction rule written out plainly: acos of every dot product, the first smallest kept.
int plainNearestDirection(const Vector3& u) {
    float best = 10.0f;
    int index = 1;
    for (int i = 1; i <= 8; ++i) {
        const float angle = safeAcos(dot(kDirectionTable[i], u));
        if (angle < best) {
            best = angle;
            index = i;
        }
    }
    return index;
}

TEST(FastPaths, NearestDirectionPicksWhatTheAnglesPick) {
    std::mt19937 rng(14);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> wiggle(-3e-5f, 3e-5f);
    long mismatches = 0;
    auto check = [&](const Vector3& u) {
        const int fast = nearestDirection(u);
        if (fast != plainNearestDirection(u)) ++mismatches;
    };
    for (int n = 0; n < 400000; ++n) {
        // Any direction in space, as the facing rule asks with a height difference.
        const Vector3 v{unit(rng), unit(rng), unit(rng)};
        if (lengthSquared(v) > 0.0f) check(normalised(v));
        // Flat directions a hair from the bisector of two neighbours, where two dot products
        // nearly agree and the acos decides.
        const float a = (static_cast<float>(n % 16) + 1.0f) * 0.39269908f + wiggle(rng);
        const Vector3 w{std::cos(a), std::sin(a), 0.0f};
        check(w);
        check(Vector3{w.x, w.y, 0.5f * unit(rng)});
        // Unnormalised vectors: dot products past +-1, which the rule clamps.
        check(w * (1.0f + 0.5f * std::fabs(unit(rng))));
        check(v * 3.0f);
    }
    // Exact table directions and exact bisectors tie in their dot products.
    for (int i = 0; i <= 8; ++i) {
        check(kDirectionTable[i]);
        check(kDirectionTable[i] * -1.0f);
        for (int j = 1; j <= 8; ++j) {
            const Vector3 m = kDirectionTable[i] + kDirectionTable[j];
            if (lengthSquared(m) > 0.0f) check(normalised(m));
        }
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const Vector3& odd : {Vector3{nan, 0.0f, 0.0f}, Vector3{0.0f, nan, 1.0f}, Vector3{inf, 1.0f, 0.0f},
                               Vector3{0.0f, 0.0f, 1.0f}, Vector3{0.0f, 0.0f, 0.0f}, Vector3{-0.0f, -0.0f, -1.0f}}) {
        check(odd);
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace flikka
