#include "players/KickPlanner.h"

#include <algorithm>
#include <cmath>

#include "players/Ball.h"
#include "players/ProbeFlight.h"

namespace flikka::kick_planner {

namespace {

namespace pf = probe_flight;
using pf::flyUntilDown;
using pf::kMaxProbeTime;

const Vector3 kProbeStart{0.0f, 0.0f, 0.1232f};

CBall launchProbe(const Vector3& at, const Vector3& velocity, float sideSpin, float topSpin) {
    return pf::launch(at, velocity, sideSpin, topSpin);
}

// A probe with zero velocity never moves again: no later step can change its state.
bool frozen(const CBall& probe) { return probe.velocity == kZeroVector; }

// True when a probe from kProbeStart provably ends (flyUntilDown, no point to leave) less than
// `limit` from its start: its height, replayed alone, gives the step it ends at, and the bound
// on its horizontal path up to that step is short of `limit`.
bool landsShort(const Vector3& velocity, float sideSpin, float height, float limit) {
    pf::HeightReplay r(velocity, kProbeStart.z, sideSpin);
    bool descending = false;
    for (float elapsed = 0.0f; elapsed < kMaxProbeTime; elapsed += kStep) {
        r.step();
        if (!r.valid()) return false;
        // A bounce before the descent decides the flight by its whole speed: fly it.
        if (r.bounced()) return descending && r.z() <= height && r.reach(r.steps()) < limit;
        if (r.vz() <= 0.0f) descending = true;
        if (descending && r.z() <= height) return r.reach(r.steps()) < limit;
    }
    return r.valid() && r.reach(r.steps()) < limit;
}

// What a fixed-speed probe other than the last tells the search, where its height alone
// decides: it cannot reach the target's distance before it bounces or its time runs out.
enum class Verdict { Fly, Higher, Lower };

Verdict heightVerdict(const Vector3& velocity, float sideSpin, float d, float targetZ) {
    pf::HeightReplay r(velocity, kProbeStart.z, sideSpin);
    r.step();
    float elapsed = kStep;
    while (r.valid() && !r.bounced() && elapsed <= 10.0f) {
        r.step();
        elapsed += kStep;
    }
    // The search looks at the distance after every step but the last, where an early stop
    // would change nothing.
    if (!r.valid() || !(r.reach(r.steps() - 1) < d)) return Verdict::Fly;
    if (r.bounced()) return Verdict::Higher;
    if (std::fabs(r.z() - targetZ) < 0.049999997f) return Verdict::Fly;  // a hit: its end aims
    return r.z() < targetZ ? Verdict::Higher : Verdict::Lower;
}

// Launch direction of a spinning kick: undo the probe's sideways drift, then face the target.
Vector3 aimedDirection(const Vector3& probeEnd, float sideSpin, const Vector3& fromBall) {
    const float drift = horizontalLength(probeEnd);
    const float a = drift > 0.0f ? safeAcos(probeEnd.x / drift) : 0.0f;
    const float aim = sideSpin > 0.0f ? a : -a;
    const float facing = horizontalLength(fromBall) > 0.0f ? bearing(fromBall) : 0.0f;
    const float x1 = std::cos(aim);
    const float y1 = std::sin(aim);
    const float c = std::cos(facing);
    const float s = std::sin(facing);
    return {x1 * c - y1 * s, x1 * s + y1 * c, 0.0f};
}

}  // namespace

// Levels of the bisection flown at once: the probe at hand and all 2^kLevels - 2 probes the
// next levels could ask for, side by side; the search then walks its path through them exactly
// as it would have flown them one after another.
constexpr int kLevels = 3;

void fixedElevation(CBall& ball, const Vector3& target, float elevation, float sideSpin, float lowSpeed,
                    float highSpeed) {
    const float d = horizontalDistance(ball.position, target);
    const float h = target.z < kBallRadius ? kBallRadius : target.z;
    const float ce = std::cos(elevation);
    const float se = std::sin(elevation);
    auto launchVelocity = [&](float speed) { return Vector3{ce, 0.0f, se} * speed; };
    // The bisection before a probe: its bracket and the speed it tries; then the next one,
    // faster if the probe fell short.
    struct Try {
        float low, high, speed;
    };
    auto next = [](const Try& p, bool isShort) {
        return isShort ? Try{p.speed, p.high, (p.speed + p.high) / 2.0f} : Try{p.low, p.speed, (p.speed + p.low) / 2.0f};
    };
    Try at{lowSpeed, highSpeed, (lowSpeed + highSpeed) / 2.0f};
    Vector3 end = kProbeStart;
    for (int i = 0;;) {
        // Not the last probe: its end aims the kick.
        if (i < 19 && landsShort(launchVelocity(at.speed), sideSpin, h, d - 0.01f)) {
            at = next(at, true);
            ++i;
            continue;
        }
        const int levels = std::min(kLevels, 20 - i);
        const int count = (1 << levels) - 1;
        Try tries[(1 << kLevels) - 1];
        Vector3 velocities[(1 << kLevels) - 1];
        Vector3 ends[(1 << kLevels) - 1];
        tries[0] = at;
        for (int n = 0; 2 * n + 2 < count; ++n) {
            tries[2 * n + 1] = next(tries[n], true);
            tries[2 * n + 2] = next(tries[n], false);
        }
        for (int n = 0; n < count; ++n) velocities[n] = launchVelocity(tries[n].speed);
        pf::landAll(kProbeStart, velocities, count, sideSpin, h, ends);
        bool found = false;
        for (int level = 0, n = 0; level < levels; ++level, ++i) {
            end = ends[n];
            const float t = horizontalLength(end);
            if ((d - 0.01f < t && t < d + 0.01f) || i == 19) {
                found = true;
                break;
            }
            at = next(tries[n], t < d);
            n = 2 * n + (t < d ? 1 : 2);
        }
        if (found) break;
    }
    const Vector3 dir = aimedDirection(end, sideSpin, target - ball.position);
    ball.kick(Vector3{dir.x * ce, dir.y * ce, se} * at.speed, sideSpin, 0.0f);
}

void fixedSpeed(CBall& ball, const Vector3& target, float sideSpin, float speed) {
    const float d = horizontalDistance(ball.position, target);
    float low = 0.0f;
    float high = kQuarterPi;
    float theta = 0.0f;
    Vector3 end = kProbeStart;
    for (int i = 0;; ++i) {
        theta = (low + high) / 2.0f;
        const Vector3 launch = Vector3{std::cos(theta), 0.0f, std::sin(theta)} * speed;
        if (i < 19) {
            const Verdict verdict = heightVerdict(launch, sideSpin, d, target.z);
            if (verdict == Verdict::Higher) low = theta;
            if (verdict == Verdict::Lower) high = theta;
            if (verdict != Verdict::Fly) continue;
        }
        CBall probe = launchProbe(kProbeStart, launch, sideSpin, 0.0f);
        probe.step(kStep);
        float elapsed = kStep;
        bool bounced = probe.bounced;
        while (elapsed <= 10.0f) {
            if (horizontalLength(probe.position) >= d || probe.speed() < 0.01f) break;
            // Once it has bounced this probe can only say "aim higher"; only the last probe's
            // end point is used afterwards (for the aim), so the others may stop here.
            if (bounced && i < 19) break;
            probe.step(kStep);
            elapsed += kStep;
            bounced = bounced || probe.bounced;
        }
        end = probe.position;
        const float h = end.z;
        if ((!bounced && std::fabs(h - target.z) < 0.049999997f) || i == 19) break;
        if (h < target.z || bounced) {
            low = theta;  // aim higher
        } else {
            high = theta;
        }
    }
    const Vector3 dir = withElevation(aimedDirection(end, sideSpin, target - ball.position), theta);
    ball.kick(dir * speed, sideSpin, 0.0f);
}

float groundPass(CBall& ball, const Vector3& target, float arrivalSpeed) {
    const Vector3 start = ball.position;
    const float d = horizontalDistance(start, target);
    Vector3 u{target.x - start.x, target.y - start.y, 0.0f};
    const float ul = length(u);
    // A pass to the ball's own spot has no direction: it leaves the ball where it is.
    u = ul > 0.0f ? u / ul : kZeroVector;
    float low = arrivalSpeed;
    float high = 40.0f;
    float speed = low;
    float elapsed = 0.0f;
    for (int i = 0;; ++i) {
        speed = (low + high) / 2.0f;
        CBall probe = launchProbe(start, u * speed, 0.0f, 0.0f);
        elapsed = 0.0f;
        while (probe.speed() > arrivalSpeed + 0.01f && elapsed < kMaxProbeTime) {
            probe.step(kStep);
            elapsed += kStep;
            if (frozen(probe)) break;
        }
        const float dd = distance(probe.position, target);
        if ((d - 0.2f < dd && dd < d + 0.2f) || i == 20) break;
        if (dd > d) high = speed;
        if (dd < d) low = speed;
    }
    ball.kick(u * speed, 0.0f, 0.0f);
    return elapsed;
}

void lofted(CBall& ball, const Vector3& target, float elevation, float topSpin, float lowSpeed, float highSpeed,
            bool rollOut) {
    const Vector3 start = ball.position;
    const bool rollOutMode = rollOut && target.z <= 0.0f;
    const Vector3 toTarget = target - start;
    // Straight above or below the ball there is no direction to aim in: the ball stays.
    const Vector3 dir = horizontalLength(toTarget) > 0.0f ? withElevation(toTarget, elevation) : kZeroVector;
    const float d = horizontalDistance(start, target);
    float low = lowSpeed;
    float high = highSpeed;
    float speed = (low + high) / 2.0f;
    for (int i = 0;; ++i) {
        CBall probe = launchProbe(start, dir * speed, 0.0f, topSpin);
        if (rollOutMode) {
            for (float elapsed = 0.0f; lengthSquared(probe.velocity) >= 0.010000001f && elapsed < kMaxProbeTime;
                 elapsed += kStep) {
                probe.step(kStep);
            }
        } else {
            flyUntilDown(probe, target.z, &start);
        }
        if (approxEqual(probe.position, target, 0.2f)) break;
        const float travelled = horizontalDistance(start, probe.position);
        if (d > travelled) {
            low = speed;
        } else {
            high = speed;
        }
        if (i == 19) break;
        speed = (low + high) / 2.0f;
    }
    ball.kick(dir * speed, 0.0f, topSpin);
}

}  // namespace flikka::kick_planner
