#include "players/Kicks.h"

#include <algorithm>
#include <cmath>

#include "players/Player.h"
#include "players/Shooting.h"
#include "players/Ball.h"
#include "players/KickPlanner.h"
#include "sim/PitchGeometry.h"
#include "sim/PitchLandmarks.h"
#include "players/Play.h"
#include "sim/Random.h"
#include "players/Team.h"
#include "players/TeamPlan.h"

namespace flikka::kicks {

namespace {

constexpr float kPendingTime = 2.5f;
constexpr float kReceiverCone = 0.39f;     // rad either side of the aim
constexpr float kCrossDistance = 20.0f;    // preferred cross length
constexpr float kInsidePost = 0.2132f;     // side targets and the top row lie this far inside the frame
constexpr float kTopRow = pitch::kCrossbarHeight - kInsidePost;
constexpr float kMiddleRow = pitch::kCrossbarHeight / 2.0f;
static_assert(kTopRow == 2.2268f && kMiddleRow == 1.22f);
using pitch::kHalfLength;
using pitch::kHalfWidth;
constexpr float kPassPressure = 3.5f;

// A kick asked for with queue set by a footballer without the ball is held until he reaches it.
bool queued(CPlayer& p, bool queue, int kind, int aim) {
    if (!queue || p.hasBall) return false;
    p.pendingAim = aim;
    p.pendingTime = kPendingTime;
    p.pendingKind = kind;
    return true;
}

bool validAim(int aim) { return aim >= 1 && aim <= 8; }

// Teammates within the cone of the aim, nearest the ball first; the goalkeeper never receives.
template <class Visit>
void forEachCandidate(const CTeam& team, const Vector3& origin, int aim, Visit visit) {
    if (!validAim(aim)) return;
    const Vector3& v = kDirectionTable[aim];
    CPlayer* keeper = team.goalkeeper();
    for (CPlayer* f : team.byDistance()) {
        if (f == nullptr || f == keeper) continue;
        const Vector3 d = f->position - origin;
        if (lengthSquared(d) < 0.0001f) continue;
        const Vector3 u = d / length(d);
        if (safeAcos(dot(u, v)) <= kReceiverCone) visit(f);
    }
}

// Full rules: the pass goes a little off its line and its length, more so under pressure.
void astray(const CPlayer& p, Vector3& target) {
    const CPlay& m = *p.match;
    float spread = m.rules.passSpread;
    for (const auto& o : p.opponents->players) {
        if (horizontalDistance(o->position, p.position) < kPassPressure) {
            spread *= 2.0f;
            break;
        }
    }
    const Vector3 from = m.ball.position;
    const Vector3 d{target.x - from.x, target.y - from.y, 0.0f};
    const float turn = spread * p.match->random.uniform(-1.7f, 1.7f);
    const float stretch = 1.0f + spread * 10.0f * p.match->random.uniform(-0.1f, 0.1f);
    const float c = std::cos(turn) * stretch, s = std::sin(turn) * stretch;
    target.x = from.x + d.x * c - d.y * s;
    target.y = from.y + d.x * s + d.y * c;
}

bool attacksUpwards(const CPlayer& p) { return p.team != nullptr && p.team->plan != nullptr && p.team->plan->attacksUpwards; }

}  // namespace

Vector3 goalTarget(const CPlayer& p, int aim) {
    const Vector3 post = PitchLandmarks::landmark(22, defendedEnd(attacksUpwards(p)));  // far right post
    const float left = kInsidePost - post.x;
    const float right = post.x - kInsidePost;
    switch (aim) {
        case 1: return {0.0f, post.y, kTopRow};
        case 2: return {left, post.y, kTopRow};
        case 3: return {left, post.y, kMiddleRow};
        case 4: return {left, post.y, kBallRadius};
        case 5: return {0.0f, post.y, kBallRadius};
        case 6: return {right, post.y, kBallRadius};
        case 7: return {right, post.y, kMiddleRow};
        case 8: return {right, post.y, kTopRow};
        default: return {0.0f, post.y, kMiddleRow};
    }
}

void scatter(Random& random, Vector3& target, float distance) {
    int k = random.nextInt() % 15;
    if (distance < 4.0f) k += 4;
    if (distance < 10.0f) k += 2;
    if (distance < 14.0f) k += 1;
    if (distance > 25.0f) k -= 3;
    float s;
    if (k <= 0) s = 20.0f;
    else if (k <= 2) s = 10.0f;
    else if (k <= 5) s = 5.0f;
    else if (k <= 10) s = 2.5f;
    else s = 0.1f;
    target.x += random.uniform(-s, s);
    target.z += random.uniform(-s, s);
    target.z = std::clamp(target.z, 0.1232f, 1000.0f);
}

CPlayer* passReceiver(const CTeam& team, const Vector3& origin, int aim) {
    CPlayer* found = nullptr;
    forEachCandidate(team, origin, aim, [&](CPlayer* f) {
        if (found == nullptr) found = f;
    });
    return found;
}

CPlayer* crossReceiver(const CTeam& team, const Vector3& origin, int aim) {
    CPlayer* best = nullptr;
    float bestMiss = 0.0f;
    forEachCandidate(team, origin, aim, [&](CPlayer* f) {
        const float miss = std::fabs(horizontalDistance(f->position, origin) - kCrossDistance);
        if (best == nullptr || miss < bestMiss) {
            best = f;
            bestMiss = miss;
        }
    });
    return best;
}

Vector3 lead(const CPlayer& p, float factor) { return p.speed >= 4.0f ? p.heading * factor : kZeroVector; }

Vector3 clampToPitch(const Vector3& p) {
    return {std::clamp(p.x, -kHalfWidth, kHalfWidth), std::clamp(p.y, -kHalfLength, kHalfLength), p.z};
}

CTeam& possessingTeam(CPlay& m) {
    if (m.ballHolder != nullptr) return m.teamOf(m.ballHolder);
    if (m.lastToucher != nullptr) return m.teamOf(m.lastToucher);
    return m.away;
}

void kickEvent(const CPlayer& p, KickEventKind kind) {
    CPlay& m = *p.match;
    // A throw-in is played as a pass by the taker; the restart tells it apart.
    if (m.state == GAME_READY && m.restartKind == THROW_IN) kind = KickEventKind::Throw;
    m.emit({.kind = MatchEventKind::Kick,
            .player = &p,
            .kickKind = kind,
            .strength = m.ball.speed(),
            .where = m.ball.position});
}

void shotBookkeeping(CPlay& m) {
    CTeam& t = possessingTeam(m);
    t.shots += 1;
    const int goalEvent = (&t == &m.home) ? EV_AWAY_GOAL_LINE : EV_HOME_GOAL_LINE;
    if (m.ball.event(goalEvent).found) t.shotsOnGoal += 1;
    m.notifyAll(EVENT_SHOT);
}

void passBookkeeping(CPlay& m, int event) {
    possessingTeam(m).passes += 1;
    m.notifyAll(event);
}

void shoot(int aim, CPlayer& p, bool queue) {
    if (queued(p, queue, KICK_SHOT, aim)) return;
    CPlay& m = *p.match;
    m.noteKick(p);
    if (m.rules.aimedShots) {
        shooting::humanShot(aim, p);
        return;
    }
    p.sinceLastTouch = 0.0f;
    Vector3 target = goalTarget(p, aim);
    scatter(m.random, target, horizontalDistance(m.ball.position, target));
    // A pending shot is often played from a loose ball: only a holder has a set piece to end.
    if (CPlayer* holder = m.ballHolder) {
        if (holder->setPiece) holder->sinceLastTouch = 0.0f;
        holder->setPiece = false;
    }
    kick_planner::fixedElevation(m.ball, target, 0.314f, 0.0f, 3.0f, 40.0f);
    kickEvent(p, KickEventKind::Shot);
    shotBookkeeping(m);
}

Vector3 pass(int aim, CPlayer& p, bool queue) {
    if (queued(p, queue, KICK_PASS, aim)) return kZeroVector;
    CPlay& m = *p.match;
    m.noteKick(p);
    CBall& ball = m.ball;
    if (aim == 0) aim = p.direction;
    if (aim == 0) aim = 3;

    CPlayer* receiver = passReceiver(*p.team, ball.position, aim);
    if (receiver == nullptr) {
        Vector3 target = p.position + p.heading * 20.0f;
        target.z = p.position.z + kBallRadius + 20.0f * p.heading.z;
        kick_planner::fixedElevation(ball, target, kQuarterPi, 0.0f, 0.0f, 40.0f);
        kickEvent(p, KickEventKind::Pass);
        passBookkeeping(m, EVENT_PASS);
        return target;
    }

    Vector3 target = receiver->position + Vector3{0.0f, 0.0f, kBallRadius};
    if (p.setPiece) {
        target = clampToPitch(target);
        kick_planner::lofted(ball, target, 0.31415f, 0.0f, 4.0f, 12.0f, false);
        kickEvent(p, KickEventKind::Pass);
        passBookkeeping(m, EVENT_PASS);
        m.targetReceiver = receiver;
        p.setPiece = false;
        return target;
    }

    target = clampToPitch(target + lead(*receiver, 2.0f));
    if (m.rules.passSpread > 0.0f) astray(p, target);
    if (ball.position.z > kBallRadius) {
        kick_planner::lofted(ball, target, 0.31415f, 0.0f, 1.0f, 40.0f, true);
    } else {
        const float d = horizontalDistance(p.position, target);
        const float u = m.random.uniform(13.0f, 15.0f);
        if (d <= u) {
            kick_planner::groundPass(ball, target, 6.0f);
        } else if (m.random.nextInt() % 6 == 0) {
            kick_planner::lofted(ball, target, 0.47122502f, 0.0f, 1.0f, 40.0f, true);
        } else {
            kick_planner::groundPass(ball, target, 6.0f);
        }
    }
    kickEvent(p, KickEventKind::Pass);
    passBookkeeping(m, EVENT_PASS);
    m.targetReceiver = receiver;
    m.selectReceiver(p, receiver);
    return target;
}

Vector3 cross(int aim, CPlayer& p, bool queue) {
    if (queued(p, queue, KICK_CROSS, aim)) return kZeroVector;
    CPlay& m = *p.match;
    m.noteKick(p);
    Vector3 target;
    CPlayer* receiver = crossReceiver(*p.team, m.ball.position, aim);
    if (receiver != nullptr) {
        target = receiver->position + lead(*receiver, 3.0f);
        m.targetReceiver = receiver;
        m.selectReceiver(p, receiver);
    } else {
        const int facing = (p.direction >= 0 && p.direction <= 8) ? p.direction : 0;
        target = p.position + p.directionVectors[facing] * 20.0f;
        // Never straight at the goal mouth: the ball goes at least 4 m to the side.
        if (std::fabs(target.x) < 3.0f) target.x = target.x < 0.0f ? -4.0f : 4.0f;
    }
    target.z = 1.3f;
    const float elevation = (0.17f + 0.08f * m.random.unit()) * kPi;
    kick_planner::fixedElevation(m.ball, target, elevation, 0.0f, 0.0f, 40.0f);
    kickEvent(p, KickEventKind::Cross);
    passBookkeeping(m, EVENT_CROSS);
    return target;
}

void clear(CPlayer& p) {
    CPlay& m = *p.match;
    m.noteKick(p);
    const float s = p.position.x > 0.0f ? 1.0f : -1.0f;
    const Vector3 target{p.position.x + kHalfWidth * s, p.position.y, p.position.z + 0.1232f};
    float spin = 0.0f;
    if (m.random.nextInt() % 5 != 0) {
        spin = (0.5f + 0.5f * m.random.unit()) * s;
        if (!attacksUpwards(p)) spin = -spin;
    }
    kick_planner::fixedSpeed(m.ball, target, spin, 20.0f);
    kickEvent(p, KickEventKind::Clearance);
    if (m.rules.clearanceNoPass) m.notifyAll(EVENT_CROSS);
    else passBookkeeping(m, EVENT_CROSS);
    p.sinceLastTouch = 0.0f;
}

}  // namespace flikka::kicks
