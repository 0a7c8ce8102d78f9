#include "players/ProbeFlight.h"

#include <cfloat>
#include <cmath>

// The side-by-side flight needs the four-float SSE operations, which round exactly as the
// scalar ones; where the compiler may fuse a multiply and an add, every probe flies alone.
#if defined(__SSE2__) && !defined(__FMA__)
#include <emmintrin.h>
#define FLIKKA_PROBE_LANES 1
#else
#define FLIKKA_PROBE_LANES 0
#endif

namespace flikka::probe_flight {

using ball_physics::kAirborneVz;
using ball_physics::kGravity;
using ball_physics::kSpinGain;
using ball_physics::kStopSpeedSquared;

CBall launch(const Vector3& at, const Vector3& velocity, float sideSpin, float topSpin) {
    CBall probe;  // no match: no goal frames, no prediction
    probe.position = at;
    probe.kick(velocity, sideSpin, topSpin);
    return probe;
}

namespace {

// A probe with zero velocity never moves again: no later step can change its state.
bool frozen(const CBall& probe) { return probe.velocity == kZeroVector; }

Vector3 plainLanding(const Vector3& at, const Vector3& velocity, float sideSpin, float height) {
    CBall probe = launch(at, velocity, sideSpin, 0.0f);
    flyUntilDown(probe, height, nullptr);
    return probe.position;
}

}  // namespace

void flyUntilDown(CBall& probe, float height, const Vector3* leave) {
    bool descending = false;
    for (float elapsed = 0.0f; elapsed < kMaxProbeTime; elapsed += kStep) {
        probe.step(kStep);
        if (probe.velocity.z <= 0.0f) descending = true;
        if (descending && probe.position.z <= height &&
            (leave == nullptr || !approxEqual(probe.position, *leave, 0.01f))) {
            return;
        }
        if (frozen(probe)) return;
    }
}

#if FLIKKA_PROBE_LANES
namespace {

// Four probes in one register each for velocity and position. The operations below are those of
// CBall::step for a ball in flight without match, kinematics or top spin, in the same order: the
// stop rule; the direction u; the side axis s (replaced where it is nearly zero), normalised;
// gravity; the push where the ball is faster than |s|; the move. The steps the flight skips
// for these probes add nothing: the top-spin axis (top spin zero, and its length is at least
// 1e-4 for a finite u, so it never reports a zero) and the zero height of the push.
using Mask = decltype(__m128{} < __m128{});

struct Lanes {
    __m128 vx, vy, vz, px, py, pz;
    Mask down;      // has started to descend
    int live = 0;   // lanes still flying, one bit each
};

struct Constants {
    __m128 side, spinStep, fall, step, stopSquared, maxSquared, nearZero, zero, one, radius, height;
};

int bits(Mask m) { return _mm_movemask_ps(reinterpret_cast<__m128>(m)); }

// Ends the lanes in `which` at the given position, or hands them to the plain flight.
void finish(Lanes& l, int which, const __m128& x, const __m128& y, const __m128& z, int base, Vector3* ends,
            bool* plain, bool toPlain) {
    alignas(16) float xs[4], ys[4], zs[4];
    _mm_store_ps(xs, x);
    _mm_store_ps(ys, y);
    _mm_store_ps(zs, z);
    for (int j = 0; j < 4; ++j) {
        if ((which >> j & 1) == 0) continue;
        ends[base + j] = {xs[j], ys[j], zs[j]};
        plain[base + j] = toPlain;
    }
    l.live &= ~which;
}

void stepLanes(Lanes& l, const Constants& c, int base, Vector3* ends, bool* plain) {
    __m128 speedSquared = l.vx * l.vx + l.vy * l.vy;
    speedSquared = speedSquared + l.vz * l.vz;
    // A slow probe stops dead where it is, which ends flyUntilDown; an odd speed goes plain.
    const int stopped = bits(speedSquared <= c.stopSquared) & l.live;
    const int odd = bits(!(speedSquared <= c.maxSquared)) & l.live;
    if (stopped != 0) finish(l, stopped, l.px, l.py, l.pz, base, ends, plain, false);
    if (odd != 0) finish(l, odd, l.px, l.py, l.pz, base, ends, plain, true);

    const __m128 length = _mm_sqrt_ps(speedSquared);
    const __m128 ux = l.vx / length;
    const __m128 uy = l.vy / length;
    __m128 sx = uy;
    __m128 sy = -ux;
    const Mask tiny = (-c.nearZero < sx) & (sx < c.nearZero) & (-c.nearZero < sy) & (sy < c.nearZero);
    sx = tiny ? c.zero : sx;
    sy = tiny ? c.one : sy;
    const __m128 sideSquared = sx * sx + sy * sy;
    const int noSide = bits(!(sideSquared > c.zero)) & l.live;
    const __m128 sideLength = _mm_sqrt_ps(sideSquared);
    sx = sx / sideLength;
    sy = sy / sideLength;

    const __m128 vz = l.vz + c.fall;
    __m128 newSquared = l.vx * l.vx + l.vy * l.vy;
    newSquared = newSquared + vz * vz;
    const Mask push = newSquared > sx * sx + sy * sy;
    const __m128 vx = push ? l.vx + (sx * c.side) * c.spinStep : l.vx;
    const __m128 vy = push ? l.vy + (sy * c.side) * c.spinStep : l.vy;
    l.vx = vx;
    l.vy = vy;
    l.vz = vz;
    l.px = l.px + vx * c.step;
    l.py = l.py + vy * c.step;
    l.pz = l.pz + vz * c.step;

    const Mask wasDown = l.down;
    l.down = l.down | (vz <= c.zero);
    const Mask bounce = l.pz <= c.radius;
    const Mask still = (vx == c.zero) & (vy == c.zero) & (vz == c.zero);
    const int events = (bits(bounce | (l.down & (l.pz <= c.height)) | still) | noSide) & l.live;
    if (events == 0) return;
    if (noSide != 0) finish(l, noSide, l.px, l.py, l.pz, base, ends, plain, true);
    // Bounced: on the ground at the radius, which ends a descending probe; a probe bouncing
    // before it has descended flies on with a speed the bounce decides: plainly.
    const int bounced = bits(bounce) & l.live;
    if (bounced != 0) {
        finish(l, bounced & bits(wasDown), l.px, l.py, c.radius, base, ends, plain, false);
        finish(l, bounced & ~bits(wasDown), l.px, l.py, l.pz, base, ends, plain, true);
    }
    const int ended = events & l.live;
    if (ended != 0) finish(l, ended, l.px, l.py, l.pz, base, ends, plain, false);
}

template <int Groups>
void landLanes(const Vector3& at, const Vector3* velocities, int count, float sideSpin, float height,
               Vector3* ends, bool* plain) {
    const float fall = -kGravity * kStep;
    const Constants c{_mm_set1_ps(sideSpin), _mm_set1_ps(kSpinGain * kStep), _mm_set1_ps(fall),
                      _mm_set1_ps(kStep),    _mm_set1_ps(kStopSpeedSquared), _mm_set1_ps(FLT_MAX),
                      _mm_set1_ps(0.01f),    _mm_set1_ps(0.0f),              _mm_set1_ps(1.0f),
                      _mm_set1_ps(kBallRadius), _mm_set1_ps(height)};
    Lanes lanes[Groups];
    for (int g = 0; g < Groups; ++g) {
        alignas(16) float vx[4], vy[4], vz[4];
        Lanes& l = lanes[g];
        for (int j = 0; j < 4; ++j) {
            const int n = 4 * g + j;
            // Unused lanes fly a harmless dummy flight.
            const Vector3 v = n < count ? velocities[n] : Vector3{1.0f, 1.0f, 1.0f};
            vx[j] = v.x;
            vy[j] = v.y;
            vz[j] = v.z;
            if (n >= count) continue;
            // The quick flight assumes a probe in flight whose horizontal speeds are not -0 (so
            // they never become -0, which the flight would treat apart).
            const bool flies = v.z <= -kAirborneVz || v.z >= kAirborneVz;
            const bool negativeZero = (v.x == 0.0f && std::signbit(v.x)) || (v.y == 0.0f && std::signbit(v.y));
            if (flies && !negativeZero) {
                l.live |= 1 << j;
            } else {
                plain[n] = true;
            }
        }
        l.vx = _mm_load_ps(vx);
        l.vy = _mm_load_ps(vy);
        l.vz = _mm_load_ps(vz);
        l.px = _mm_set1_ps(at.x);
        l.py = _mm_set1_ps(at.y);
        l.pz = _mm_set1_ps(at.z);
        l.down = c.zero < c.zero;
    }
    for (float elapsed = 0.0f; elapsed < kMaxProbeTime; elapsed += kStep) {
        int live = 0;
        for (int g = 0; g < Groups; ++g) {
            if (lanes[g].live != 0) stepLanes(lanes[g], c, 4 * g, ends, plain);
            live |= lanes[g].live;
        }
        if (live == 0) return;
    }
    for (int g = 0; g < Groups; ++g) {
        Lanes& l = lanes[g];
        if (l.live != 0) finish(l, l.live, l.px, l.py, l.pz, 4 * g, ends, plain, false);
    }
}

}  // namespace
#endif

void landAll(const Vector3& at, const Vector3* velocities, int count, float sideSpin, float height, Vector3* ends) {
    constexpr int kMostLanes = 16;
    bool plain[kMostLanes] = {};
    // A probe whose side spin is not finite, or a height a bounce does not reach, flies plainly.
    const bool quick = FLIKKA_PROBE_LANES && count <= kMostLanes && std::isfinite(sideSpin) && height >= kBallRadius;
#if FLIKKA_PROBE_LANES
    if (quick) {
        if (count <= 4) {
            landLanes<1>(at, velocities, count, sideSpin, height, ends, plain);
        } else if (count <= 8) {
            landLanes<2>(at, velocities, count, sideSpin, height, ends, plain);
        } else {
            landLanes<4>(at, velocities, count, sideSpin, height, ends, plain);
        }
    }
#endif
    for (int n = 0; n < count; ++n) {
        if (!quick || plain[n]) ends[n] = plainLanding(at, velocities[n], sideSpin, height);
    }
}

HeightReplay::HeightReplay(const Vector3& velocity, float z, float sideSpin) : vz_(velocity.z), z_(z) {
    const double u = 0x1p-24;
    startSquared_ = static_cast<double>(velocity.x) * velocity.x + static_cast<double>(velocity.y) * velocity.y;
    k_ = std::fabs(static_cast<double>(sideSpin)) * static_cast<double>(kSpinGain * kStep);
    // A lower bound on |w|^2 over kMaxSteps steps.
    const double lowSquared = startSquared_ * std::pow((1.0 - u) * (1.0 - u) * (1.0 - 8.3 * u * k_), kMaxSteps);
    steepest_ = std::nextafter(static_cast<float>(std::sqrt(1000.0 * lowSquared) * (1.0 - 1e-6)), 0.0f);
    const bool flies = velocity.z <= -kAirborneVz || velocity.z >= kAirborneVz;
    // Speeds far inside the float range, and a horizontal speed that stays above 0.99 m/s.
    valid_ = flies && isFinite(velocity) && std::isfinite(z) && std::isfinite(sideSpin) && startSquared_ < 1e8 &&
             lowSquared >= 0.99 * 0.99;
}

double HeightReplay::reach(int n) const {
    const double u = 0x1p-24;
    const double g = (1.0 + u) * (1.0 + u) * (1.0 + 8.3 * u * k_);
    const double c = k_ * k_ * (1.0 + u) * (1.0 + u) * (1.0 + 15.0 * u);
    const double steps = n;
    const double path = steps * static_cast<double>(kStep) * std::pow(g, steps / 2.0) *
                        std::sqrt(startSquared_ + (steps + 1.0) * c / 2.0);
    return path * std::pow(1.0 + u, steps + 1.0) * (1.0 + 3.0 * u) * (1.0 + 1e-6);
}

}  // namespace flikka::probe_flight
