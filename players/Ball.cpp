#include "players/Ball.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "players/Player.h"
#include "players/Play.h"
#include "sim/PitchGeometry.h"
#include "sim/PitchLandmarks.h"

namespace flikka {

namespace {

using ball_physics::kAirborneVz;
using ball_physics::kGravity;
using ball_physics::kSpinGain;
using ball_physics::kStopSpeedSquared;
constexpr float kRollingResistance = 0.5f;
constexpr float kGroundRestitution = 0.8f;
constexpr float kBounceSpinKept = 0.512f;
constexpr float kPushOut = 0.01f;

// Goal frame of the upper goal; the lower goal is its mirror image in y.
constexpr float kPostX = pitch::kGoalHalfWidth;
constexpr float kGoalLineY = pitch::kHalfLength;
constexpr float kNetBackY = pitch::kHalfLength + pitch::kNetDepth;
constexpr float kCrossbarZ = pitch::kCrossbarHeight;
constexpr float kPostFootZ = -1.0f;
constexpr float kBarRadius = 0.06f + kBallRadius;      // 0.1732
constexpr float kCapRadius = kBarRadius + kBallRadius;  // 0.2864
constexpr float kFrameRestitution = 0.8f;
constexpr float kNetInsideRestitution = 0.3f;
constexpr float kNetOutsideRestitution = 1.0f;
// Slowest fall into the ground reported as a bounce (m/s).
constexpr float kReportedBounce = 0.5f;

// Everything the search can hit lies within this box around the upper goal (caps of 0.2864
// around the posts, outer net surfaces 0.1232 beyond the net); the extra half metre covers
// rounding, so skipping the search for a sweep outside it cannot change a result.
constexpr float kCullX = kPostX + kCapRadius + 0.5f;
constexpr float kCullYLow = kGoalLineY - kCapRadius - 0.5f;
constexpr float kCullYHigh = kNetBackY + 0.1232f + kBallRadius + 0.5f;
constexpr float kCullZLow = kPostFootZ - kCapRadius - 0.5f;
constexpr float kCullZHigh = kCrossbarZ + kCapRadius + 0.5f;

// Longest flight a prediction follows; every real kick comes to rest long before.
constexpr float kMaxPredictionTime = 20.0f;

inline bool negativeZero(float c) { return c == 0.0f && std::signbit(c); }

// Keeps the candidate if it is the earliest valid one so far.
inline void offer(FrameHit& hit, float t, const Vector3& v, const Vector3& normal, float restitution) {
    if (!(t >= 0.0f && t <= kStep && t < hit.time)) return;
    // Touching a surface while moving away from it is no hit.
    if (t == 0.0f && !(dot(v, normal) < 0.0f)) return;
    hit.time = t;
    hit.normal = normal;
    hit.restitution = restitution;
}

void sphereHit(FrameHit& hit, const Vector3& p, const Vector3& v, const Vector3& centre, float radius,
               float restitution) {
    const Vector3 rel = p - centre;
    const float a = dot(v, v);
    if (a == 0.0f) return;
    const float b = 2.0f * dot(rel, v);
    const float c = dot(rel, rel) - radius * radius;
    const float disc = b * b - 4.0f * a * c;
    if (disc < 0.0f) return;
    const float t = (-b - std::sqrt(disc)) / (2.0f * a);
    if (!(t >= 0.0f && t <= kStep && t < hit.time)) return;
    const Vector3 off = p + v * t - centre;
    const float len = length(off);
    if (len == 0.0f) return;
    offer(hit, t, v, off / len, restitution);
}

// The ball centre meets the plane through c with normal n shifted out by the ball radius; the
// hit point must lie strictly inside the box lo..hi shifted the same way.
void planeHit(FrameHit& hit, const Vector3& p, const Vector3& v, const Vector3& c, const Vector3& n,
              const Vector3& lo, const Vector3& hi, float restitution) {
    const float denom = dot(n, v);
    if (denom == 0.0f) return;
    const Vector3 shift = n * kBallRadius;
    const float t = dot(n, c + shift - p) / denom;
    if (!(t >= 0.0f && t <= kStep && t < hit.time)) return;
    const Vector3 h = p + v * t;
    const Vector3 l = lo + shift;
    const Vector3 u = hi + shift;
    if (!(l.x < h.x && h.x < u.x && l.y < h.y && h.y < u.y && l.z < h.z && h.z < u.z)) return;
    offer(hit, t, v, n, restitution);
}

// A bar from a to b in its own frame, where the bar runs along +z from the origin.
struct Bar {
    Vector3 a, b;
    float len = 0.0f;
    bool rotated = false;
    RotationMatrix toBar, toWorld;
};

Bar makeBar(const Vector3& a, const Vector3& b) {
    Bar bar;
    bar.a = a;
    bar.b = b;
    const Vector3 d = b - a;
    bar.len = length(d);
    const Vector3 dn = d / bar.len;
    if (approxEqual(dn, kUpVector, 0.01f)) return bar;
    const Vector3 axis = normalised(cross(dn, kUpVector));
    float angle = safeAcos(dn.z);
    bar.toBar = rotationMatrix(axis, angle);
    Vector3 check = dn;
    applyRotation(bar.toBar, check);
    if (!approxEqual(check, kUpVector, 0.01f)) {
        angle = -angle;
        bar.toBar = rotationMatrix(axis, angle);
    }
    bar.toWorld = rotationMatrix(axis, -angle);
    bar.rotated = true;
    return bar;
}

void barHit(FrameHit& hit, const Vector3& p, const Vector3& v, const Bar& bar) {
    sphereHit(hit, p, v, bar.b, kCapRadius, kFrameRestitution);
    sphereHit(hit, p, v, bar.a, kCapRadius, kFrameRestitution);

    Vector3 q = p - bar.a;
    Vector3 w = v;
    if (bar.rotated) {
        applyRotation(bar.toBar, q);
        applyRotation(bar.toBar, w);
    }
    const float a = w.x * w.x + w.y * w.y;
    if (a == 0.0f) return;  // moving along the bar never meets its side
    const float b = 2.0f * (q.x * w.x + q.y * w.y);
    const float c = q.x * q.x + q.y * q.y - kBarRadius * kBarRadius;
    const float disc = b * b - 4.0f * a * c;
    if (disc < 0.0f) return;
    const float root = std::sqrt(disc);
    const float t1 = (-b - root) / (2.0f * a);
    const float t2 = (-b + root) / (2.0f * a);
    float t;
    if (t1 >= 0.0f) {
        t = t1;
    } else if (t2 >= 0.0f) {
        t = t2;
    } else {
        return;
    }
    const float z = q.z + w.z * t;
    if (!(z >= 0.0f && z < bar.len && t <= kStep && t < hit.time)) return;
    Vector3 normal{q.x + w.x * t, q.y + w.y * t, 0.0f};
    if (bar.rotated) applyRotation(bar.toWorld, normal);
    const float len = length(normal);
    if (len == 0.0f) return;
    offer(hit, t, v, normal / len, kFrameRestitution);
}

struct GoalFrame {
    Bar leftPost, rightPost, crossbar;
};

const GoalFrame& upperGoalFrame() {
    // Posts run upwards from below the ground to the crossbar, so their frame needs no rotation.
    static const GoalFrame frame{
        makeBar({-kPostX, kGoalLineY, kPostFootZ}, {-kPostX, kGoalLineY, kCrossbarZ}),
        makeBar({kPostX, kGoalLineY, kPostFootZ}, {kPostX, kGoalLineY, kCrossbarZ}),
        makeBar({kPostX, kGoalLineY, kCrossbarZ}, {-kPostX, kGoalLineY, kCrossbarZ}),
    };
    return frame;
}

// The collision search of the upper goal for a ball at p moving with v.
void upperGoalSearch(FrameHit& hit, const Vector3& p, const Vector3& v) {
    const GoalFrame& frame = upperGoalFrame();

    sphereHit(hit, p, v, {-kPostX, kGoalLineY, kCrossbarZ}, kBarRadius, kFrameRestitution);
    sphereHit(hit, p, v, {kPostX, kGoalLineY, kCrossbarZ}, kBarRadius, kFrameRestitution);

    // Inside of the net.
    planeHit(hit, p, v, {0.0f, kNetBackY, 0.0f}, {0.0f, -1.0f, 0.0f}, {-kPostX, 53.49f, -3.0f},
             {kPostX, 53.51f, kCrossbarZ}, kNetInsideRestitution);
    planeHit(hit, p, v, {-kPostX, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {-3.67f, kGoalLineY, -3.0f},
             {-3.65f, kNetBackY, kCrossbarZ}, kNetInsideRestitution);
    planeHit(hit, p, v, {kPostX, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, {3.65f, kGoalLineY, -3.0f},
             {3.67f, kNetBackY, kCrossbarZ}, kNetInsideRestitution);
    planeHit(hit, p, v, {0.0f, 0.0f, kCrossbarZ}, {0.0f, 0.0f, -1.0f}, {-kPostX, kGoalLineY, 2.43f},
             {kPostX, kNetBackY, 2.45f}, kNetInsideRestitution);

    // Outside of the net.
    planeHit(hit, p, v, {0.0f, kNetBackY, 0.0f}, {0.0f, 1.0f, 0.0f}, {-3.7832f, 53.49f, -3.0f},
             {3.7832f, 53.51f, 2.5632f}, kNetOutsideRestitution);
    planeHit(hit, p, v, {-kPostX, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, {-3.67f, kGoalLineY, -3.0f},
             {-3.65f, 53.6232f, 2.5632f}, kNetOutsideRestitution);
    planeHit(hit, p, v, {kPostX, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {3.65f, kGoalLineY, -3.0f},
             {3.67f, 53.6232f, 2.5632f}, kNetOutsideRestitution);
    planeHit(hit, p, v, {0.0f, 0.0f, kCrossbarZ}, {0.0f, 0.0f, 1.0f}, {-3.7832f, kGoalLineY, 2.43f},
             {3.7832f, 53.6232f, 2.45f}, kNetOutsideRestitution);

    barHit(hit, p, v, frame.leftPost);
    barHit(hit, p, v, frame.rightPost);
    barHit(hit, p, v, frame.crossbar);
}

void fullSearch(FrameHit& hit, const Vector3& p, const Vector3& v, bool upper = true, bool lower = true) {
    if (upper) upperGoalSearch(hit, p, v);
    if (!lower) return;
    // The lower goal is the upper one mirrored in y: search the mirrored ball, mirror the normal back.
    FrameHit mirrored = hit;
    upperGoalSearch(mirrored, {p.x, -p.y, p.z}, {v.x, -v.y, v.z});
    if (mirrored.time < hit.time) {
        hit = mirrored;
        hit.normal.y = -hit.normal.y;
    }
}

// Which goal frames the sweep of one step could come near.
struct NearGoals {
    bool upper = false, lower = false;
};

NearGoals sweepNearGoals(const Vector3& p, const Vector3& v) {
    const Vector3 e = p + v * kStep;
    const float x0 = std::min(p.x, e.x), x1 = std::max(p.x, e.x);
    const float z0 = std::min(p.z, e.z), z1 = std::max(p.z, e.z);
    if (x1 < -kCullX || x0 > kCullX || z1 < kCullZLow || z0 > kCullZHigh) return {};
    const float y0 = std::min(p.y, e.y), y1 = std::max(p.y, e.y);
    return {!(y1 < kCullYLow || y0 > kCullYHigh), !(y1 < -kCullYHigh || y0 > -kCullYLow)};
}

// Searches the frames for the prediction copy and the match ball alike.
void frameSearch(FrameHit& hit, const Vector3& p, const Vector3& v, bool cull) {
    if (!cull) {
        fullSearch(hit, p, v);
        return;
    }
    const NearGoals near = sweepNearGoals(p, v);
    if (near.upper || near.lower) fullSearch(hit, p, v, near.upper, near.lower);
}

// Which part of the frame a hit that left the ball at p struck: the net by its give, else the
// bar whose axis is nearer.
void reportFrameHit(CPlay& match, const Vector3& p, float restitution, float speed) {
    MatchEventKind kind = MatchEventKind::Net;
    if (restitution == kFrameRestitution) {
        const float dy = std::fabs(p.y) - kGoalLineY;
        const float toBar = std::hypot(dy, p.z - kCrossbarZ);
        const float toPost = std::hypot(dy, std::fabs(p.x) - kPostX);
        kind = toBar < toPost ? MatchEventKind::Crossbar : MatchEventKind::Post;
    }
    match.emit({.kind = kind, .strength = speed, .where = p});
}

}  // namespace

bool CBall::isMatchBall() const { return match != nullptr && this == &match->ball; }

bool CBall::spinFreeStepExact(float speedSquared) const {
    // Degenerate speeds take the literal path with its diagnostics.
    if (!(speedSquared <= std::numeric_limits<float>::max())) return false;
    if (kinematic) return true;  // no force uses the axes
    if (sideSpin != 0.0f || topSpin != 0.0f) return false;
    // In flight the zero spin terms are still added to x and y (z has just had gravity added,
    // so it cannot be -0); adding a zero only matters to a -0.
    return !airborne || !(negativeZero(velocity.x) || negativeZero(velocity.y));
}

void CBall::goalFrameCollisions(FrameHit& hit) const {
    fullSearch(hit, position, velocity);
}

void CBall::step(float dt) {
    touchLockout -= dt;
    if (touchLockout < 0.0f) touchLockout = 0.0f;

    // A slow ball stops dead where it is, even in the air.
    const float speedSquared = lengthSquared(velocity);
    if (speedSquared <= kStopSpeedSquared) {
        velocity = kZeroVector;
        return;
    }
    const Vector3 before = velocity;

    if (dt > 0.0f && spinFreeStepExact(speedSquared)) {
        // Without spin the flight axes add only zeros: skip them (same bits, a third of the cost).
        if (!kinematic) {
            if (airborne) {
                velocity.z += -kGravity * dt;
            } else {
                const Vector3 f = velocity * (kRollingResistance * dt);
                sideSpin = sideSpin - dt * sideSpin;
                velocity = velocity - f;
            }
        }
    } else {
        const Vector3 u = normalised(velocity);
        Vector3 s{u.y, -u.x, 0.0f};
        if (approxEqual(s, kZeroVector, 0.01f)) s = {0.0f, 1.0f, 0.0f};
        Vector3 t = cross(s, u);
        // The axes are only normalised where a force uses them.
        if (lengthSquared(s) > 0.0f) {
            if (!kinematic) normalise(s);
        } else {
            sideSpin = 0.0f;
            if (match != nullptr) match->print("SS by zero");
        }
        // Without top spin the second axis adds only zeros in flight, which matter only to a -0.
        const bool topActs =
            topSpin != 0.0f || !(dt > 0.0f) || negativeZero(velocity.x) || negativeZero(velocity.y);
        if (lengthSquared(t) > 0.0f) {
            if (!kinematic && airborne && topActs) normalise(t);
        } else {
            if (match != nullptr) match->print("TS by zero");
            topSpin = 0.0f;
        }

        if (!kinematic) {
            if (airborne) {
                velocity.z += -kGravity * dt;
                if (lengthSquared(velocity) > lengthSquared(s)) {
                    if (topActs) {
                        velocity += (s * sideSpin + t * topSpin) * (kSpinGain * dt);
                    } else {
                        velocity += (s * sideSpin) * (kSpinGain * dt);
                    }
                }
            } else {
                const Vector3 f = velocity * (kRollingResistance * dt);
                sideSpin = sideSpin - dt * sideSpin;
                velocity = velocity - f + s * (kSpinGain * dt * sideSpin);
            }
        }
    }

    float remaining = dt;
    if (frameCollisions && match != nullptr) {
        FrameHit hit;
        frameSearch(hit, position, velocity, frameCulling);
        if (hit.time <= kStep) {
            const float hitSpeed = isMatchBall() ? length(velocity) : 0.0f;
            position += velocity * hit.time + hit.normal * kPushOut;
            reflect(velocity, hit.normal);
            velocity *= hit.restitution;
            remaining = 0.0f;
            // A rolling ball knocked upwards or downwards by the frame must fly, or it would
            // drift vertically for ever without gravity.
            if (!airborne && std::fabs(velocity.z) >= kAirborneVz) airborne = true;
            if (isMatchBall()) reportFrameHit(*match, position, hit.restitution, hitSpeed);
        }
    }

    position += velocity * remaining;
    bounced = false;

    if (airborne && position.z <= kBallRadius) {
        const float downSpeed = -velocity.z;
        reflect(velocity, kUpVector);
        position.z = kBallRadius;
        bounced = true;
        topSpin *= kBounceSpinKept;
        sideSpin *= kBounceSpinKept;
        // The z component of the direction before this step's forces, used as an angle as the
        // game always has.
        const float uz = before.z / std::sqrt(speedSquared);
        velocity *= kGroundRestitution * std::cos(uz);
        // A settling ball touches down nearly every step; only a real bounce is worth telling.
        if (isMatchBall() && downSpeed >= kReportedBounce) {
            match->emit({.kind = MatchEventKind::Bounce, .strength = downSpeed, .where = position});
        }
    }
}

void CBall::kick(const Vector3& v, float side, float top) {
    velocity = v;
    sideSpin = side;
    topSpin = top;
    airborne = v.z <= -kAirborneVz || v.z >= kAirborneVz;
    if (match != nullptr) {
        predict();
        match->setBallHolder(nullptr);
    }
}

bool CBall::carry(const Vector3& point) {
    CBall probe;
    probe.position = position;
    probe.kinematic = true;
    probe.airborne = false;
    probe.match = match;
    probe.frameCulling = frameCulling;
    probe.velocity = (point - position) * 200.0f;
    probe.step(kStep);

    if (approxEqual(probe.position, point, 0.01f)) {
        position = point;
        return true;
    }
    // Blocked by the goal frame or a net: the ball bounces off and is loose.
    const float speed = length(probe.velocity);
    velocity = speed > 0.0f ? probe.velocity * (10.0f / speed) : kZeroVector;
    position = probe.position;
    // Decide flight as a kick does, or a ball knocked upwards would climb for ever.
    airborne = velocity.z <= -kAirborneVz || velocity.z >= kAirborneVz;
    if (match != nullptr) match->setBallHolder(nullptr);
    return false;
}

void CBall::predict() {
    for (PredictionEvent& e : events) e.clear();
    path.clear();
    if (match == nullptr) return;

    CBall copy;
    copy.velocity = velocity;
    copy.position = position;
    copy.sideSpin = sideSpin;
    copy.topSpin = topSpin;
    copy.match = match;
    copy.airborne = airborne;
    copy.frameCulling = frameCulling;

    // The home side defends the lower end in the first half.
    const bool homeLower = !match->secondHalf;
    const float d1 = homeLower ? 1.0f : -1.0f;
    const float d2 = -d1;
    const PitchEnd homeEnd = homeLower ? PitchEnd::Lower : PitchEnd::Upper;
    auto look = [homeEnd](int index) { return PitchLandmarks::landmark(index, homeEnd); };
    const Vector3 homeAreaLo = look(2), homeAreaHi = look(3);
    const Vector3 awayAreaLo = look(15), awayAreaHi = look(16);
    const Vector3 homeMouthLo = look(10), homeMouthHi = look(11);
    const Vector3 awayMouthLo = look(23), awayMouthHi = look(24);
    const Vector3 homeHandLo = look(4), homeHandHi = look(5);
    const Vector3 awayHandLo = look(17), awayHandHi = look(18);
    const float homeGoalLineY = look(6).y;
    const float awayGoalLineY = -homeGoalLineY;

    const CPlayer* homeKeeper = match->home.goalkeeper();
    const CPlayer* awayKeeper = match->away.goalkeeper();
    // Without a goalkeeper (no match set up yet) his line and reach events are not looked for.
    const float yH = homeKeeper != nullptr ? homeKeeper->position.y + 0.25f * d1 : 0.0f;
    const float yA = awayKeeper != nullptr ? awayKeeper->position.y + 0.25f * d2 : 0.0f;

    // Every plane is square to the y or the z axis (`high`: z), its normal +-1 along it.
    struct Plane {
        int event;
        bool enabled;
        Vector3 c, n, lo, hi;
        bool high;
    };
    const Plane planes[6] = {
        {1, homeKeeper != nullptr, {0.0f, yH, 0.0f}, {0.0f, d1, 0.0f}, homeAreaLo, homeAreaHi, false},
        {2, awayKeeper != nullptr, {0.0f, yA, 0.0f}, {0.0f, d2, 0.0f}, awayAreaLo, awayAreaHi, false},
        {3, true, {0.0f, 0.0f, 2.125f}, {0.0f, 0.0f, 1.0f}, homeAreaLo, homeAreaHi, true},
        {4, true, {0.0f, 0.0f, 2.125f}, {0.0f, 0.0f, 1.0f}, awayAreaLo, awayAreaHi, true},
        {5, true, {0.0f, homeGoalLineY, 0.0f}, {0.0f, d1, 0.0f}, homeMouthLo, homeMouthHi, false},
        {6, true, {0.0f, awayGoalLineY, 0.0f}, {0.0f, d2, 0.0f}, awayMouthLo, awayMouthHi, false},
    };
    // A plane out of reach this step needs no test. With the normal +-1 along one axis,
    // planeHit's time is (offset - p) / v along that axis (the zero terms of its dot products
    // add nothing, or make it NaN, which is no hit either; the signs cancel). Where
    // |offset - p| > fl(0.01 |v|), that quotient exceeds 0.0099 even after rounding (a subnormal
    // product errs by at most 2^-150, below the spacing of the floats it is compared with), so
    // it lies outside [0, kStep] and planeHit would find nothing. `offset` is the bits planeHit
    // gets for the plane's coordinate plus the radius shift.
    float offsets[6];
    for (int k = 0; k < 6; ++k) {
        const Plane& pl = planes[k];
        offsets[k] = pl.high ? pl.c.z + pl.n.z * kBallRadius : pl.c.y + pl.n.y * kBallRadius;
    }

    auto inBox = [](const Vector3& p, const Vector3& lo, const Vector3& hi) {
        return p.x >= lo.x - kBallRadius && p.x <= hi.x + kBallRadius && p.y >= lo.y - kBallRadius &&
               p.y <= hi.y + kBallRadius && p.z >= lo.z - kBallRadius && p.z <= hi.z + kBallRadius;
    };
    // The reach event keeps the second sample the goalkeeper can reach in time.
    auto reach = [](PredictionEvent& e, const CPlayer* keeper, const Vector3& p, float elapsed, const Vector3& lo,
                    const Vector3& hi, auto& boxTest) {
        if (keeper == nullptr || (e.bestTime >= 0.0f && e.bestTime != 1000.0f)) return;
        if (!boxTest(p, lo, hi) || elapsed < keeper->timeToReach(p)) return;
        e.found = true;
        e.point = p;
        e.time = elapsed;
        e.bestTime = e.bestTime == 1000.0f ? elapsed : 1000.0f;
    };

    // The planes still looked for, one bit each in plane order: a plane found, or disabled, is
    // never looked at again (nothing else in the loop touches their events).
    unsigned looking = 0;
    for (int k = 0; k < 6; ++k) {
        if (planes[k].enabled) looking |= 1u << k;
    }

    float elapsed = 0.0f;
    int sample = 0;
    while (length(copy.velocity) > 0.02f && elapsed < kMaxPredictionTime) {
        for (unsigned rest = looking; rest != 0; rest &= rest - 1) {
            const int k = std::countr_zero(rest);
            const Plane& pl = planes[k];
            PredictionEvent& e = event(pl.event);
            if (planeCulling) {
                const float gap = offsets[k] - (pl.high ? copy.position.z : copy.position.y);
                const float along = pl.high ? copy.velocity.z : copy.velocity.y;
                if (std::fabs(gap) > 0.01f * std::fabs(along)) continue;
            }
            FrameHit hit;
            planeHit(hit, copy.position, copy.velocity, pl.c, pl.n, pl.lo, pl.hi, 1.0f);
            if (hit.time <= kStep) {
                e.found = true;
                e.point = copy.position;
                e.time = elapsed + 0.0025f;
                looking &= ~(1u << k);
            }
        }
        reach(event(EV_HOME_KEEPER_REACH), homeKeeper, copy.position, elapsed, homeHandLo, homeHandHi, inBox);
        reach(event(EV_AWAY_KEEPER_REACH), awayKeeper, copy.position, elapsed, awayHandLo, awayHandHi, inBox);
        if (sample % 10 == 0) path.push_back(copy.position);
        ++sample;
        copy.step(kStep);
        elapsed += kStep;
    }
}

}  // namespace flikka
