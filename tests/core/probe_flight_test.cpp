// The planner's quick probe flights against plain flights of the ball, bit for bit: probes
// flown side by side, heights replayed alone with their distance bound, and the two searches
// that use them against the searches written out plainly.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>

#include "players/Ball.h"
#include "players/KickPlanner.h"
#include "players/ProbeFlight.h"

namespace flikka {
namespace {

namespace pf = probe_flight;
constexpr float kDt = 0.005f;
const Vector3 kStart{0.0f, 0.0f, 0.1232f};

bool sameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }
bool sameBits(const Vector3& a, const Vector3& b) {
    return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z);
}

CBall probeFrom(const Vector3& at, const Vector3& v, float side) {
    CBall probe;
    probe.position = at;
    probe.kick(v, side, 0.0f);
    return probe;
}

// flyUntilDown without a point to leave, written out.
Vector3 plainLanding(const Vector3& at, const Vector3& v, float side, float height) {
    CBall probe = probeFrom(at, v, side);
    bool descending = false;
    for (float elapsed = 0.0f; elapsed < 20.0f; elapsed += kDt) {
        probe.step(kDt);
        if (probe.velocity.z <= 0.0f) descending = true;
        if (descending && probe.position.z <= height) break;
        if (probe.velocity == kZeroVector) break;
    }
    return probe.position;
}

TEST(ProbeFlight, ProbesFlownSideBySideEndAsEachFlownAlone) {
    std::mt19937 rng(23);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    int differing = 0;
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + round % 16;
        // Spins of every strength and sign (zero of both signs, a strong one now and then).
        float side = round % 5 == 0 ? 0.0f : 4.0f * unit(rng) - 2.0f;
        if (round % 23 == 0) side = -0.0f;
        if (round % 29 == 0) side = 40.0f;
        if (round == 31) side = nan;
        const float height = round % 4 == 0 ? kBallRadius : kBallRadius + 2.5f * unit(rng);
        const Vector3 at = round % 3 == 0 ? kStart : Vector3{60.0f * unit(rng) - 30.0f, 100.0f * unit(rng) - 50.0f, 0.1232f};
        Vector3 velocities[16];
        for (int n = 0; n < count; ++n) {
            const float speed = 40.0f * unit(rng);
            const float elevation = 1.6f * unit(rng) - 0.1f;  // some downwards, some straight up
            const float bearing = 6.283f * unit(rng);
            Vector3 v{std::cos(elevation) * std::cos(bearing) * speed, std::cos(elevation) * std::sin(bearing) * speed,
                      std::sin(elevation) * speed};
            switch ((round + n) % 13) {
                case 0: v = {0.0f, 0.0f, speed}; break;            // no direction to push across
                case 5: v = {0.003f * speed, -0.004f * speed, speed}; break;  // hardly any
                case 6: v = {0.1f, 0.0f, 0.12f}; break;            // just above the stop speed
                case 1: v = {-0.0f, v.y, v.z}; break;              // a signed zero
                case 2: v = {v.x, v.y, 0.005f}; break;             // too flat to fly: it rolls
                case 3: v = {0.05f, 0.0f, 0.1f}; break;            // stops dead at once
                case 4: v = {v.x, v.y, -std::fabs(v.z)}; break;    // straight into the ground
                default: break;
            }
            velocities[n] = v;
        }
        Vector3 ends[16];
        pf::landAll(at, velocities, count, side, height, ends);
        for (int n = 0; n < count; ++n) {
            if (!sameBits(ends[n], plainLanding(at, velocities[n], side, height))) ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(ProbeFlight, HeightAloneFollowsTheFlightAndTheBoundHolds) {
    std::mt19937 rng(31);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int replayedSteps = 0;
    int wrong = 0;
    double tightest = 1e9;  // the least slack of the bound over the path, in metres
    for (int n = 0; n < 400; ++n) {
        const float speed = 1.0f + 40.0f * unit(rng);
        const float elevation = 1.5f * unit(rng);
        float side = n % 4 == 0 ? 0.0f : 6.0f * unit(rng) - 3.0f;
        if (n % 50 == 0) side = 30.0f;
        const Vector3 v = Vector3{std::cos(elevation), 0.0f, std::sin(elevation)} * speed;
        pf::HeightReplay replay(v, kStart.z, side);
        CBall probe = probeFrom(kStart, v, side);
        for (int i = 0; i < 4000 && replay.valid() && !replay.bounced(); ++i) {
            replay.step();
            probe.step(kDt);
            if (!replay.valid()) break;
            ++replayedSteps;
            if (!sameBits(replay.z(), probe.position.z) || replay.bounced() != probe.bounced ||
                (!replay.bounced() && !sameBits(replay.vz(), probe.velocity.z))) {
                ++wrong;
            }
            const double slack = replay.reach(replay.steps()) - horizontalLength(probe.position);
            if (slack < 0.0) ++wrong;
            tightest = std::fmin(tightest, slack);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(replayedSteps, 100000);
    EXPECT_LT(tightest, 0.01);  // a bound that tight somewhere was really tested
    // Conditions the replay cannot vouch for: no flight, a horizontal speed below 1 m/s, or a
    // side spin that is not finite.
    EXPECT_FALSE(pf::HeightReplay({5.0f, 0.0f, 0.001f}, kStart.z, 0.0f).valid());
    EXPECT_FALSE(pf::HeightReplay({0.5f, 0.5f, 10.0f}, kStart.z, 0.0f).valid());
    EXPECT_FALSE(pf::HeightReplay({5.0f, 0.0f, 10.0f}, kStart.z, std::numeric_limits<float>::infinity()).valid());
}

// The aim of a spinning kick as the planner takes it, written out.
Vector3 aimed(const Vector3& end, float side, const Vector3& from, const Vector3& target) {
    const float drift = horizontalLength(end);
    const float a = drift > 0.0f ? safeAcos(end.x / drift) : 0.0f;
    const float aim = side > 0.0f ? a : -a;
    const Vector3 to = target - from;
    const float face = horizontalLength(to) > 0.0f ? bearing(to) : 0.0f;
    const float x1 = std::cos(aim), y1 = std::sin(aim), c = std::cos(face), s = std::sin(face);
    return {x1 * c - y1 * s, x1 * s + y1 * c, 0.0f};
}

// The fixed-elevation search written out plainly, every probe flown one after another.
Vector3 plainFixedElevation(const Vector3& from, const Vector3& target, float elevation, float side, float low,
                            float high) {
    const float d = horizontalDistance(from, target);
    const float h = target.z < kBallRadius ? kBallRadius : target.z;
    const float ce = std::cos(elevation), se = std::sin(elevation);
    float speed = (low + high) / 2.0f;
    Vector3 end;
    for (int i = 0;; ++i) {
        end = plainLanding(kStart, Vector3{ce, 0.0f, se} * speed, side, h);
        const float t = horizontalLength(end);
        if ((d - 0.01f < t && t < d + 0.01f) || i == 19) break;
        if (t < d) {
            low = speed;
            speed = (speed + high) / 2.0f;
        } else {
            high = speed;
            speed = (speed + low) / 2.0f;
        }
    }
    const Vector3 dir = aimed(end, side, from, target);
    return Vector3{dir.x * ce, dir.y * ce, se} * speed;
}

// The fixed-speed search written out plainly, each probe flown until it reaches the distance,
// bounces (the last one flies on), slows to nothing or has flown 10 s.
Vector3 plainFixedSpeed(const Vector3& from, const Vector3& target, float side, float speed) {
    const float d = horizontalDistance(from, target);
    float low = 0.0f, high = 0.785375f, theta = 0.0f;
    Vector3 end;
    for (int i = 0;; ++i) {
        theta = (low + high) / 2.0f;
        CBall probe = probeFrom(kStart, Vector3{std::cos(theta), 0.0f, std::sin(theta)} * speed, side);
        probe.step(kDt);
        float elapsed = kDt;
        bool bounced = probe.bounced;
        while (elapsed <= 10.0f) {
            if (horizontalLength(probe.position) >= d || probe.speed() < 0.01f) break;
            if (bounced && i < 19) break;
            probe.step(kDt);
            elapsed += kDt;
            bounced = bounced || probe.bounced;
        }
        end = probe.position;
        if ((!bounced && std::fabs(end.z - target.z) < 0.049999997f) || i == 19) break;
        if (end.z < target.z || bounced) low = theta; else high = theta;
    }
    return withElevation(aimed(end, side, from, target), theta) * speed;
}

TEST(ProbeFlight, SearchesGiveTheKicksOfThePlainSearches) {
    std::mt19937 rng(41);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int differing = 0;
    for (int n = 0; n < 160; ++n) {
        const Vector3 from{60.0f * unit(rng) - 30.0f, 100.0f * unit(rng) - 50.0f, kBallRadius};
        // Targets on the pitch and far beyond it (out of reach: the probes the bound settles).
        const float range = n % 3 == 0 ? 400.0f : 60.0f;
        const Vector3 target{from.x + range * (unit(rng) - 0.5f), from.y + range * (unit(rng) - 0.5f),
                             n % 4 == 0 ? 0.0f : 2.5f * unit(rng)};
        const float side = n % 5 == 0 ? 0.0f : 2.0f * unit(rng) - 1.0f;
        CBall ball;
        ball.position = from;
        if (n % 2 == 0) {
            const float elevation = 0.1f + 1.0f * unit(rng);
            const float low = n % 4 == 0 ? 0.0f : 12.0f;
            const float high = n % 8 == 0 ? 40.0f : 28.0f;
            kick_planner::fixedElevation(ball, target, elevation, side, low, high);
            if (!sameBits(ball.velocity, plainFixedElevation(from, target, elevation, side, low, high))) ++differing;
        } else {
            const float speed = 5.0f + 35.0f * unit(rng);
            kick_planner::fixedSpeed(ball, target, side, speed);
            if (!sameBits(ball.velocity, plainFixedSpeed(from, target, side, speed))) ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace flikka
