#include <gtest/gtest.h>

#include <cmath>

#include "sim/PitchLandmarks.h"
#include "sim/Random.h"
#include "sim/Vector3.h"

using namespace flikka;

namespace {
void expectVec(const Vector3& v, float x, float y, float z, float eps = 1e-5f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}
}  // namespace

TEST(RandomGenerator, FirstValuesFromDefaultSeedAndReseed) {
    // x1 = (123456 * 214013 + 2531011) mod 2^32 = 653916163, (x1 >> 16) & 0x7FFF = 9977;
    // x2 = 3642917562 -> 22818; x3 = 665222805 -> 10150.
    Random random;
    Random other;  // a second generator is independent: drawing from one never moves the other
    EXPECT_EQ(random.nextInt(), 9977);
    EXPECT_EQ(random.nextInt(), 22818);
    EXPECT_EQ(random.nextInt(), 10150);
    // x4 = 1049736964 -> 16017: uniform(a, b) = a + (b - a) * 16017 / 32767.
    EXPECT_FLOAT_EQ(random.uniform(-10.0f, 10.0f), -10.0f + 20.0f * (16017.0f / 32767.0f));
    // x5 = 505055671 -> 7706.
    EXPECT_FLOAT_EQ(random.unit(), 7706.0f / 32767.0f);
    EXPECT_EQ(other.state(), kDefaultSeed);
    EXPECT_EQ(other.nextInt(), 9977);

    const std::uint32_t at = random.state();
    const int next = random.nextInt();
    random.seed(at);
    EXPECT_EQ(random.nextInt(), next);  // a state read back restarts the sequence there

    // The full range is reachable and never exceeded.
    random.seed(1);
    int lo = 32767, hi = 0;
    for (int i = 0; i < 200000; ++i) {
        const int r = random.nextInt();
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 32767);
}

TEST(VectorOps, BearingUsesTheGamesTwoPi) {
    EXPECT_FLOAT_EQ(bearing({1, 0, 0}), 0.0f);
    EXPECT_NEAR(bearing({0, 1, 0}), 1.5707964f, 1e-6f);
    EXPECT_NEAR(bearing({-1, 0, 0}), 3.1415927f, 1e-6f);
    // 6.283 - acos(0), not 3*pi/2.
    EXPECT_NEAR(bearing({0, -1, 0}), 4.7122037f, 1e-5f);
    EXPECT_NEAR(bearing({1, -0.01f, 0}), 6.283f - 0.01f, 1e-4f);
    // Only the horizontal part counts, and length does not matter.
    EXPECT_NEAR(bearing({3, 3, 100}), 0.785398f, 1e-5f);
    // Just below the -x axis the bearing jumps to 6.283 - pi.
    EXPECT_NEAR(bearing({-1.0f, -1e-6f, 0.0f}), 6.283f - 3.1415927f, 1e-5f);
}

TEST(VectorOps, ApproxEqualIsStrict) {
    const Vector3 a{1.0f, 2.0f, 3.0f};
    EXPECT_TRUE(approxEqual(a, a, 0.01f));
    EXPECT_TRUE(approxEqual({1.0f, 2.0f, 3.009f}, a, 0.01f));
    EXPECT_TRUE(approxEqual({0.5f, 0.5f, 0.5f}, {0.0f, 0.0f, 0.0f}, 0.75f));
    // A difference of exactly eps (representable) is not equal, on either side and in every axis.
    EXPECT_FALSE(approxEqual({0.5f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 0.5f));
    EXPECT_FALSE(approxEqual({0.0f, -0.5f, 0.0f}, {0.0f, 0.0f, 0.0f}, 0.5f));
    EXPECT_FALSE(approxEqual({0.0f, 0.0f, 0.25f}, {0.0f, 0.0f, 0.0f}, 0.25f));
    EXPECT_FALSE(approxEqual({1.0f, 2.0f, 3.02f}, a, 0.01f));
}

TEST(VectorOps, ElevationReflectionAndRotation) {
    const Vector3 e = withElevation({3.0f, 4.0f, -7.0f}, 0.5f);
    expectVec(e, 0.6f * std::cos(0.5f), 0.8f * std::cos(0.5f), std::sin(0.5f));
    EXPECT_NEAR(length(e), 1.0f, 1e-6f);

    Vector3 v{1.0f, -2.0f, 3.0f};
    reflect(v, kUpVector);
    expectVec(v, 1.0f, -2.0f, -3.0f);
    EXPECT_EQ(cross({1, 0, 0}, {0, 1, 0}), Vector3(0, 0, 1));
    EXPECT_FLOAT_EQ(horizontalLength({3, 4, 12}), 5.0f);

    // A quarter turn about z takes +x to +y; about y it takes -x to +z.
    Vector3 r{1.0f, 0.0f, 0.0f};
    applyRotation(rotationMatrix(kUpVector, 1.5707964f), r);
    expectVec(r, 0.0f, 1.0f, 0.0f);
    Vector3 q{-1.0f, 0.0f, 0.0f};
    applyRotation(rotationMatrix({0, 1, 0}, 1.5707964f), q);
    expectVec(q, 0.0f, 0.0f, 1.0f);
    // Rotating by theta then -theta about an oblique axis returns the vector.
    const Vector3 k = normalised({1.0f, 2.0f, 2.0f});
    Vector3 w{0.3f, -1.2f, 2.5f};
    applyRotation(rotationMatrix(k, 0.9f), w);
    applyRotation(rotationMatrix(k, -0.9f), w);
    expectVec(w, 0.3f, -1.2f, 2.5f);
    // The fourth row and column stay identity.
    const RotationMatrix m = rotationMatrix(k, 0.9f);
    EXPECT_EQ(m.m[3][3], 1.0f);
    EXPECT_EQ(m.m[0][3], 0.0f);
}

TEST(PitchLandmarksTest, LookUpFromEitherEnd) {
    using L = PitchLandmarks;
    constexpr PitchEnd kLower = PitchEnd::Lower, kUpper = PitchEnd::Upper;
    EXPECT_EQ(L::landmark(22, kLower), Vector3(3.66f, 52.5f, 0.0f));
    EXPECT_EQ(L::landmark(13, kLower), Vector3(-8.875f, 47.0f, 0.0f));
    EXPECT_EQ(L::landmark(14, kLower), Vector3(8.875f, 52.5f, 1000.0f));
    EXPECT_EQ(L::landmark(26, kLower), Vector3(0.0f, 0.0f, 0.0f));

    // y comes from the partner, so the lower end's boxes keep low <= high.
    EXPECT_EQ(L::landmark(22, kUpper), Vector3(3.66f, -52.5f, 0.0f));
    EXPECT_EQ(L::landmark(13, kUpper), Vector3(-8.875f, -52.5f, 0.0f));
    EXPECT_EQ(L::landmark(14, kUpper), Vector3(8.875f, -47.0f, 1000.0f));
    EXPECT_EQ(L::landmark(26, kUpper), Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(L::landmark(12, kUpper), Vector3(0.0f, 41.5f, 0.0f));
    EXPECT_EQ(L::landmark(2, kUpper), Vector3(-20.0f, 36.0f, 0.0f));
    EXPECT_EQ(L::landmark(3, kUpper), Vector3(20.0f, 52.5f, 1000.0f));
    // A look-up leaves nothing behind: the lower end's answer is the same after one for the upper.
    EXPECT_EQ(L::landmark(3, kLower), Vector3(20.0f, -36.0f, 1000.0f));

    // The side attacking upwards defends the lower end.
    EXPECT_EQ(defendedEnd(true), kLower);
    EXPECT_EQ(defendedEnd(false), kUpper);

    for (int i = 0; i < PitchLandmarks::kCount; ++i) {
        EXPECT_EQ(PitchLandmarks::partner(PitchLandmarks::partner(i)), i) << i;
    }
    EXPECT_EQ(PitchLandmarks::partner(0), 1);
    EXPECT_EQ(PitchLandmarks::partner(11), 10);
    EXPECT_EQ(PitchLandmarks::partner(13), 14);
    EXPECT_EQ(PitchLandmarks::partner(24), 23);
    EXPECT_EQ(PitchLandmarks::partner(25), 25);
    // Every box stays low <= high from both ends.
    for (PitchEnd end : {kLower, kUpper}) {
        for (int lo : {0, 2, 4, 10, 13, 15, 17, 23}) {
            const Vector3 a = L::landmark(lo, end), b = L::landmark(lo + 1, end);
            EXPECT_LE(a.x, b.x);
            EXPECT_LE(a.y, b.y);
            EXPECT_LE(a.z, b.z);
        }
    }
}

TEST(PitchLandmarksTest, InBoxWidensEverySideAndFollowsTheEnd) {
    using L = PitchLandmarks;
    // Handling box of the lower end: (-20, -52.5, 0) .. (20, -36, 2.8).
    EXPECT_TRUE(L::inBox({0.0f, -40.0f, 1.0f}, 4, 5, 0.0f, PitchEnd::Lower));
    EXPECT_TRUE(L::inBox({20.0f, -36.0f, 2.8f}, 4, 5, 0.0f, PitchEnd::Lower));  // bounds included
    EXPECT_FALSE(L::inBox({0.0f, -40.0f, 2.9f}, 4, 5, 0.0f, PitchEnd::Lower));
    EXPECT_TRUE(L::inBox({0.0f, -40.0f, 2.9f}, 4, 5, kBallRadius, PitchEnd::Lower));
    EXPECT_FALSE(L::inBox({0.0f, 40.0f, 1.0f}, 4, 5, kBallRadius, PitchEnd::Lower));
    EXPECT_TRUE(L::inBox({0.0f, 40.0f, 1.0f}, 4, 5, kBallRadius, PitchEnd::Upper));
    EXPECT_FALSE(L::inBox({0.0f, -40.0f, 1.0f}, 4, 5, kBallRadius, PitchEnd::Upper));
}
