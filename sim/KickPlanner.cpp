#include "sim/KickPlanner.h"

#include <cmath>

#include "sim/Ball.h"

namespace flikka::kick_planner {

namespace {

// A probe that has not reached its stop condition after this long never will (held still in
// the air by the stop rule, or lifted by spin for ever); every real flight ends far earlier.
constexpr float kMaxProbeTime = 20.0f;
const Vector3 kProbeStart{0.0f, 0.0f, 0.1232f};

CBall launchProbe(const Vector3& at, const Vector3& velocity, float sideSpin, float topSpin) {
    CBall probe;  // no match: no goal frames, no prediction
    probe.position = at;
    probe.kick(velocity, sideSpin, topSpin);
    return probe;
}

// A probe with zero velocity never moves again: no later step can change its state.
bool frozen(const CBall& probe) { return probe.velocity == kZeroVector; }

// Flies the probe until it has started to descend and then reaches `height` or below; `leave`
// additionally requires it to be away from that point.
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

void fixedElevation(CBall& ball, const Vector3& target, float elevation, float sideSpin, float lowSpeed,
                    float highSpeed) {
    const float d = horizontalDistance(ball.position, target);
    const float h = target.z < kBallRadius ? kBallRadius : target.z;
    float low = lowSpeed;
    float high = highSpeed;
    float speed = (low + high) / 2.0f;
    const float ce = std::cos(elevation);
    const float se = std::sin(elevation);
    Vector3 end = kProbeStart;
    for (int i = 0;; ++i) {
        CBall probe = launchProbe(kProbeStart, Vector3{ce, 0.0f, se} * speed, sideSpin, 0.0f);
        flyUntilDown(probe, h, nullptr);
        end = probe.position;
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
    const Vector3 dir = aimedDirection(end, sideSpin, target - ball.position);
    ball.kick(Vector3{dir.x * ce, dir.y * ce, se} * speed, sideSpin, 0.0f);
}

void fixedSpeed(CBall& ball, const Vector3& target, float sideSpin, float speed) {
    const float d = horizontalDistance(ball.position, target);
    float low = 0.0f;
    float high = kQuarterPi;
    float theta = 0.0f;
    Vector3 end = kProbeStart;
    for (int i = 0;; ++i) {
        theta = (low + high) / 2.0f;
        CBall probe =
            launchProbe(kProbeStart, Vector3{std::cos(theta), 0.0f, std::sin(theta)} * speed, sideSpin, 0.0f);
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
