#include "players/Shooting.h"

#include <algorithm>
#include <cmath>

#include "players/Kicks.h"
#include "players/Player.h"
#include "players/KickPlanner.h"
#include "sim/PitchGeometry.h"
#include "players/Play.h"
#include "sim/Random.h"
#include "players/Team.h"
#include "players/TeamPlan.h"

namespace flikka::shooting {

namespace {

constexpr float kGoalLine = pitch::kHalfLength;
constexpr float kPost = pitch::kGoalHalfWidth;
constexpr float kLowestTarget = 0.1232f;
// What an opponent close by adds to a shot's spread (rad).
constexpr float kTightPressure = 1.5f, kTightSpread = 0.06f;
constexpr float kLoosePressure = 3.0f, kLooseSpread = 0.03f;
constexpr float kDeadBallSpread = 0.05f;
constexpr float kPenaltySpread = 0.05f;

float goalY(const CPlayer& p) { return p.team->plan->attacksUpwards ? kGoalLine : -kGoalLine; }

// Roughly normal, mean 0 and spread 1, from four draws.
float normalish(Random& r) {
    const float sum = r.unit() + r.unit() + r.unit() + r.unit();
    return (sum - 2.0f) * 1.7320508f;
}

float cross2(const Vector3& a, const Vector3& b, const Vector3& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool inTriangle(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c) {
    const float d1 = cross2(a, b, p), d2 = cross2(b, c, p), d3 = cross2(c, a, p);
    const bool negative = d1 < 0.0f || d2 < 0.0f || d3 < 0.0f;
    const bool positive = d1 > 0.0f || d2 > 0.0f || d3 > 0.0f;
    return !(negative && positive);
}

void release(CPlay& m) {
    // As the classic shot: a set-piece taker's touch starts again, and the set piece is over.
    if (CPlayer* holder = m.ballHolder) {
        if (holder->setPiece) holder->sinceLastTouch = 0.0f;
        holder->setPiece = false;
    }
}

}  // namespace

Chance chance(const CPlayer& p) {
    Chance c;
    const Vector3& b = p.match->ball.position;
    const float y = goalY(p);
    const Vector3 left{-kPost, y, 0.0f}, right{kPost, y, 0.0f};
    c.distance = horizontalDistance(b, Vector3{0.0f, y, 0.0f});
    const Vector3 a = Vector3{left.x - b.x, left.y - b.y, 0.0f};
    const Vector3 r = Vector3{right.x - b.x, right.y - b.y, 0.0f};
    const float la = horizontalLength(a), lr = horizontalLength(r);
    c.openAngle = la > 0.0f && lr > 0.0f ? safeAcos(dot(a, r) / (la * lr)) : 0.0f;
    for (std::size_t i = 1; i < p.opponents->size(); ++i) {
        if (inTriangle(p.opponents->player(i)->position, b, left, right)) ++c.blockers;
    }
    return c;
}

Vector3 openTarget(const CPlayer& p) {
    const CPlayer* keeper = p.opponents->goalkeeper();
    const float kx = keeper != nullptr ? keeper->position.x : 0.0f;
    float side = kx > 0.3f ? -1.0f : (kx < -0.3f ? 1.0f : 0.0f);
    Random& r = p.match->random;
    if (side == 0.0f) side = r.unit() < 0.5f ? -1.0f : 1.0f;
    const float x = side * (kPost - r.uniform(0.35f, 1.1f));
    const float z = r.unit() < 0.75f ? r.uniform(0.15f, 1.2f) : r.uniform(1.2f, 2.1f);
    return {x, goalY(p), z};
}

float spread(const CPlayer& p) {
    const Vector3 goal{0.0f, goalY(p), 0.0f};
    const MatchRules& r = p.match->rules;
    float s = r.shotSpread + r.shotSpreadPerMetre * horizontalDistance(p.position, goal);
    float nearest = 1000.0f;
    for (const auto& o : p.opponents->players) nearest = std::min(nearest, horizontalDistance(o->position, p.position));
    if (nearest < kTightPressure) s += kTightSpread;
    else if (nearest < kLoosePressure) s += kLooseSpread;
    const Vector3 toGoal{goal.x - p.position.x, goal.y - p.position.y, 0.0f};
    const float len = horizontalLength(toGoal);
    if (len > 0.0f) s += r.shotBodySpread * safeAcos(dot(p.heading, toGoal / len));
    return s;
}

void miss(const CPlayer& p, Vector3& target, float spread) {
    const float d = horizontalDistance(p.match->ball.position, target);
    target.x += d * spread * normalish(p.match->random);
    target.z += d * spread * 0.6f * normalish(p.match->random);
    target.z = std::clamp(target.z, kLowestTarget, 1000.0f);
}

void openPlayShot(CPlayer& p, Vector3 target, float power, float sideSpin) {
    CPlay& m = *p.match;
    m.noteKick(p);
    release(m);
    kick_planner::fixedSpeed(m.ball, target, sideSpin, power);
    kicks::kickEvent(p, KickEventKind::Shot);
    kicks::shotBookkeeping(m);
}

void freeKickShot(CPlayer& p, Vector3 target) {
    CPlay& m = *p.match;
    m.noteKick(p);
    release(m);
    miss(p, target, kDeadBallSpread);
    // Over the wall and down again: steeper from closer in.
    const float d = horizontalDistance(m.ball.position, target);
    kick_planner::fixedElevation(m.ball, target, d < 18.0f ? 0.42f : 0.36f, 0.0f, 8.0f, 40.0f);
    kicks::kickEvent(p, KickEventKind::Shot);
    kicks::shotBookkeeping(m);
}

void penaltyKick(CPlayer& p, Vector3 target) {
    CPlay& m = *p.match;
    m.noteKick(p);
    release(m);
    miss(p, target, kPenaltySpread);
    kick_planner::fixedSpeed(m.ball, target, 0.0f, m.random.uniform(20.0f, 26.0f));
    kicks::kickEvent(p, KickEventKind::Shot);
    kicks::shotBookkeeping(m);
}

void humanShot(int aim, CPlayer& p) {
    CPlay& m = *p.match;
    p.sinceLastTouch = 0.0f;
    Vector3 target = kicks::goalTarget(p, aim);
    if (m.state == GAME_READY && m.restartKind == PENALTY) {
        penaltyKick(p, target);
    } else if (m.state == GAME_READY && (m.restartKind == FREE_KICK || m.restartKind == INDIRECT_FREE_KICK)) {
        freeKickShot(p, target);
    } else {
        miss(p, target, spread(p));
        release(m);
        kick_planner::fixedElevation(m.ball, target, 0.314f, 0.0f, 3.0f, 40.0f);
        kicks::kickEvent(p, KickEventKind::Shot);
        kicks::shotBookkeeping(m);
    }
}

}  // namespace flikka::shooting
