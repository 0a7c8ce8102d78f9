#pragma once
// The kick planner's probe flights: a probe is a private ball without a match (no goal frames,
// no prediction) that the planner flies to see where a launch ends. Besides the plain flight
// this holds two quick ways to the same answers, each giving exactly the plain flight's bits.
#include <cmath>

#include "players/Ball.h"

namespace flikka::probe_flight {

// A probe that has not reached its stop condition after this long never will (held still in
// the air by the stop rule, or lifted by spin for ever); every real flight ends far earlier.
inline constexpr float kMaxProbeTime = 20.0f;

CBall launch(const Vector3& at, const Vector3& velocity, float sideSpin, float topSpin);

// Flies the probe until it has started to descend and then reaches `height` or below; `leave`
// additionally requires it to be away from that point.
void flyUntilDown(CBall& probe, float height, const Vector3* leave);

// Where flyUntilDown (no point to leave) ends each of `count` probes launched from `at` with
// these velocities, the side spin and no top spin: the probes fly side by side, so that one
// probe's steps fill the time another waits for its divisions.
void landAll(const Vector3& at, const Vector3* velocities, int count, float sideSpin, float height, Vector3* ends);

// The height of a probe without top spin, replayed alone, step by step with the flight's bits,
// until its first bounce; with a bound on how far it can have gone sideways meanwhile.
//
// Why the height can go alone: in flight, side spin pushes along an axis whose height component
// is exactly zero, so the height and its speed see only gravity (the zero they get added cannot
// change a vertical speed that just had gravity added: that is never -0). Only the stop rule
// and the bounce read the whole velocity; a horizontal speed that stays above about 1 m/s rules
// the stop rule out, and the replay ends at the first bounce.
//
// The bound (u = 2^-24, k = |side spin| * fl(4 * kStep), w the horizontal velocity): the push
// is square to w but for rounding, |s.w| <= 2.01u|w|, |push| <= k(1 + 7.1u); so one step gives
// |w'|^2 <= (1+u)^2 ((1 + 8.3uk)|w|^2 + k^2(1 + 15u)) while |w| >= 0.99, and
// |w'|^2 >= (1-u)^2 (1 - 8.3uk)|w|^2. Hence |w_n|^2 <= g^n (|w_0|^2 + n c), and by concavity
// the path after n steps is at most n dt g^(n/2) sqrt(|w_0|^2 + (n+1)c/2); the position's sums
// and the planner's length add (1+u)^(n+1)(1+3u). Subnormal intermediate results err by at most
// 2^-150 and the double arithmetic by far less than the 1e-6 slack added on top.
class HeightReplay {
public:
    // At most this many steps (20 s of flight) are replayed.
    static constexpr int kMaxSteps = 4100;

    HeightReplay(const Vector3& velocity, float z, float sideSpin);

    // False when the conditions above do not hold (or no longer do): ask the flight instead.
    bool valid() const { return valid_; }
    void step() {
        // After a bounce the height depends on the whole speed; and the side axis is taken as
        // square to the horizontal direction only while that direction is well defined (the
        // horizontal part at least 1/sqrt(1001) of the speed).
        if (!valid_ || bounced_ || steps_ >= kMaxSteps || !(std::fabs(vz_) <= steepest_)) {
            valid_ = false;
            return;
        }
        vz_ += -ball_physics::kGravity * kStep;
        z_ += vz_ * kStep;
        ++steps_;
        if (z_ <= kBallRadius) {
            z_ = kBallRadius;
            bounced_ = true;
        }
    }
    float z() const { return z_; }
    float vz() const { return vz_; }
    bool bounced() const { return bounced_; }
    int steps() const { return steps_; }
    // An upper bound on the horizontal distance from the start after `n` steps, n <= steps().
    double reach(int n) const;

private:
    float vz_;
    float z_;
    double k_ = 0.0;
    double startSquared_ = 0.0;  // |w_0|^2
    float steepest_ = 0.0f;      // the greatest vertical speed kept: at most sqrt(1000) * |w|
    int steps_ = 0;
    bool bounced_ = false;
    bool valid_ = false;
};

}  // namespace flikka::probe_flight
