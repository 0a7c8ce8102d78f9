#include "players/Goalkeeper.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <typeinfo>

#include "players/Kicks.h"
#include "players/KickPlanner.h"
#include "sim/PitchGeometry.h"
#include "sim/PitchLandmarks.h"
#include "players/Play.h"
#include "sim/Random.h"
#include "players/Team.h"
#include "players/TeamPlan.h"

namespace flikka {

namespace {

constexpr float kReach = 2.125f;              // arm's length of a diving keeper
constexpr float kMaxAngleStep = 0.0157075f;   // tilt per step while reaching
// Penalties: the middle third of the goal, how often a right guess is also in time, and where a
// wrong guess takes him.
constexpr float kPenaltyMiddle = 1.2f;
constexpr float kPenaltyInTime = 0.55f;
constexpr float kPenaltyGuessX = 2.6f;
constexpr float kPenaltyGuessZ = 0.6f;

// Landmarks of the keeper's own end.
enum : int {
    LM_BOX_LO = 4, LM_BOX_HI = 5,      // handling box, 2.8 m high
    LM_GOAL_LINE = 6,
    LM_RIGHT_POST = 9,
    LM_NET_LO = 10, LM_NET_HI = 11,    // goal-mouth box
};

Vector3 clampIntoPitch(Vector3 p) {
    p.x = std::clamp(p.x, -pitch::kHalfWidth, pitch::kHalfWidth);
    p.y = std::clamp(p.y, -pitch::kHalfLength, pitch::kHalfLength);
    return p;
}

// Steps of a duration, truncated; a negative or non-finite time gives none.
unsigned stepsOf(float t) {
    const float n = t / kStep;
    if (!(n > 0.0f)) return 0;
    if (n >= 4.0e9f) return 4000000000u;
    return static_cast<unsigned>(n);
}

void keeperEvent(CGoalkeeper& k, MatchEventKind kind, const Vector3& where) {
    k.match->emit({.kind = kind, .player = &k, .strength = k.match->ball.speed(), .where = where});
}

}  // namespace

float CGoalkeeper::sideSign() const { return team->plan->attacksUpwards ? 1.0f : -1.0f; }

float CGoalkeeper::armReach() const { return match->rules.keeperReach > 0.0f ? match->rules.keeperReach : kReach; }

bool CGoalkeeper::isHomeKeeper() const { return team == &match->home; }

bool CGoalkeeper::assignFrom(const CPlayer& o) {
    if (typeid(o) != typeid(CGoalkeeper) || typeid(*this) != typeid(CGoalkeeper)) return false;
    *this = static_cast<const CGoalkeeper&>(o);
    return true;
}

bool CGoalkeeper::mayHandle() const {
    const bool lastByOpponents = isHomeKeeper() ? match->awayTouchedLast() : !match->awayTouchedLast();
    if (!lastByOpponents && match->lastToucher != this) return false;
    return PitchLandmarks::inBox(position, LM_BOX_LO, LM_BOX_HI, kBallRadius, defendedEnd(team->plan->attacksUpwards));
}

void CGoalkeeper::clearDiveRecord() {
    diveTime = 0.0f;
    diveStep = 0;
    reachSteps = 0;
    diveSteps = 0;
    diveAngle = 0.0f;
    reachAngleStep = 0.0f;
    finalAngle = 0.0f;
    reachMoveStep = kZeroVector;
    fallAngleStep = 0.0f;
    fallMoveStep = kZeroVector;
    diving = false;
}

void CGoalkeeper::setDiveAngle(float a) {
    if (a >= -kHalfPi && a <= kHalfPi) diveAngle = a;
}

void CGoalkeeper::setHasBall(bool b) {
    if (!b) holdingBall = false;
    const bool had = hasBall;
    hasBall = b;
    if (had && !b) sinceLastTouch = 0.0f;
}

void CGoalkeeper::think() {
    if (hasBall && !diving) {
        if (match->clockMs % 2000 == 0) distribute();
        return;
    }
    if (chasingBall) return;

    const CBall& ball = match->ball;

    // Nearest footballer of all: the home side's only when strictly nearer.
    const CPlayer* nearest = nullptr;
    const CPlayer* h = match->home.nearestByDistance();
    const CPlayer* a = match->away.nearestByDistance();
    if (h != nullptr && a != nullptr) {
        nearest = horizontalDistance(h->position, ball.position) < horizontalDistance(a->position, ball.position) ? h : a;
    } else {
        nearest = h != nullptr ? h : a;
    }
    const PitchEnd ownEnd = defendedEnd(team->plan->attacksUpwards);
    if (nearest == this && PitchLandmarks::inBox(ball.position, LM_BOX_LO, LM_BOX_HI, kBallRadius, ownEnd)) {
        keeperPoint = {ball.position.x, ball.position.y, 0.0f};
        return;
    }

    keeperPoint = arcPoint(ball.position);
}

// His point on the arc in front of his goal for the ball at b: the ball's direction from the
// goal centre, scaled onto an ellipse round the posts; near the goal, on the circle between them.
Vector3 CGoalkeeper::arcPoint(const Vector3& b) {
    const bool up = team->plan->attacksUpwards;
    const std::uint32_t bx = std::bit_cast<std::uint32_t>(b.x);
    const std::uint32_t by = std::bit_cast<std::uint32_t>(b.y);
    // Only the ball's x and y, the end (the landmarks' end and sideSign follow from it) and
    // fixed landmarks enter the point, so the same bits give the same point.
    if (arc_.known && arc_.upwards == up && arc_.ballX == bx && arc_.ballY == by) return arc_.point;

    const float s = sideSign();
    const Vector3 line = PitchLandmarks::landmark(LM_GOAL_LINE, defendedEnd(up));
    const float w = PitchLandmarks::landmark(LM_RIGHT_POST, defendedEnd(up)).x;
    const Vector3 goalCentre{0.0f, line.y, line.z};
    const Vector3 c{b.x, b.y - line.y, 0.0f};
    const float d = length(c);

    Vector3 target;
    if (d < 7.0f) {
        // A ball on the goal centre gives no direction: stand on the centre.
        target = d > 0.0f ? goalCentre + c * (w / d) : goalCentre;
    } else {
        const float o = std::fabs(safeAcos(c.x / d));
        const float so = std::sin(o);
        const float co = std::cos(o);
        const float r = 1.2f * w / std::sqrt(w * w * so * so + 1.44f * co * co);
        target = {r * co, line.y + s * r * so, line.z};
    }
    Vector3 point = clampIntoPitch(target);
    point.z = 0.0f;
    arc_ = {true, up, bx, by, point};
    return point;
}

bool CGoalkeeper::diveDecision() {
    const CBall& ball = match->ball;
    const float s = sideSign();
    const Vector3 r = position + Vector3{0.0f, 0.25f * s, 0.0f};
    if (dot(ball.position - r, Vector3{0.0f, s, 0.0f}) <= 0.0f) return false;

    const bool home = isHomeKeeper();
    const PredictionEvent& lineEvent = ball.event(home ? EV_HOME_KEEPER_LINE : EV_AWAY_KEEPER_LINE);
    if (!lineEvent.found || lineEvent.time > 1.0f) return false;

    const PredictionEvent& goalEvent = ball.event(home ? EV_HOME_GOAL_LINE : EV_AWAY_GOAL_LINE);
    const PitchEnd ownEnd = defendedEnd(team->plan->attacksUpwards);
    const bool goalBound =
        goalEvent.found && PitchLandmarks::inBox(goalEvent.point, LM_NET_LO, LM_NET_HI, kBallRadius, ownEnd);
    if (!goalBound && horizontalDistance(position, lineEvent.point) > 2.5f) return false;

    dive(lineEvent.point, lineEvent.time);
    return true;
}

void CGoalkeeper::notify(int event) {
    if (event == EVENT_POSSESSION) {
        if (match->ballHolder != this && chasingBall) chasingBall = false;
        return;
    }
    if (event < 2 || event > 5) return;

    chasingBall = false;
    if (event == EVENT_SHOT && match->rules.fouls && match->state == GAME_READY && match->restartKind == PENALTY) {
        penaltyDive();
        return;
    }
    if (diveDecision()) return;

    const PredictionEvent& reach = match->ball.event(isHomeKeeper() ? EV_HOME_KEEPER_REACH : EV_AWAY_KEEPER_REACH);
    if (!reach.found) return;
    const Vector3 p = reach.point;

    float opponentDistance = std::numeric_limits<float>::infinity();
    for (const auto& o : opponents->players) {
        opponentDistance = std::min(opponentDistance, horizontalDistance(o->position, p));
    }
    if (horizontalDistance(position, p) < opponentDistance ||
        PitchLandmarks::inBox(p, LM_NET_LO, LM_NET_HI, kBallRadius, defendedEnd(team->plan->attacksUpwards))) {
        match->addDebugMarker(p.x, p.y);
        keeperPoint = {p.x, p.y, 0.0f};
        chasingBall = true;
    }
}

void CGoalkeeper::dive(const Vector3& point, float time) {
    if (diving) return;
    const float s = sideSign();
    faceToward(position + Vector3{0.0f, s, 0.0f});
    divePoint = point;
    clearDiveRecord();

    const Vector3 d{point.x - position.x, 0.0f, point.z - position.z};
    const float len = length(d);
    // The ball level with his feet gives no direction: treat it as straight overhead.
    const Vector3 u = len > 0.0f ? d / len : kUpVector;
    const float reach = armReach();
    finalAngle = safeAcos(dot(u, kUpVector));
    const Vector3 axis = cross(d, kUpVector);
    if (length(axis) > 0.0f && approxEqual(heading, normalised(axis), 0.01f)) finalAngle = -finalAngle;

    diveTime = time;
    reachSteps = stepsOf(time);
    if (len > reach) {
        Vector3 m = d - u * reach;
        float limit = match->random.unit() * 0.4f - 0.1f + 1.2f;
        const MatchRules& rules = match->rules;
        if (rules.keeperDiveSpeed > 0.0f && !guessing) limit = std::min(limit, std::max(0.0f, (time - rules.keeperReaction) * rules.keeperDiveSpeed));
        const float ml = length(m);
        if (ml > limit) m = m * (limit / ml);
        if (reachSteps != 0) reachMoveStep = m / static_cast<float>(reachSteps);
    }
    if (reachSteps != 0) {
        reachAngleStep = std::clamp(finalAngle / static_cast<float>(reachSteps), -kMaxAngleStep, kMaxAngleStep);
    }
    diveSteps = static_cast<unsigned>(static_cast<double>(reachSteps) * 1.5);
    const unsigned fallSteps = diveSteps - reachSteps;
    if (len > reach) {
        Vector3 m = d - u * reach;
        m.z = -m.z;
        if (fallSteps != 0) fallMoveStep = m / static_cast<float>(fallSteps);
        fallMoveStep.x *= 0.5f;
        fallMoveStep.y *= 0.5f;
    }
    if (fallSteps != 0) {
        fallAngleStep = std::fabs((finalAngle - kHalfPi) / static_cast<float>(fallSteps));
        if (reachAngleStep < 0.0f) fallAngleStep = -fallAngleStep;
    }
    diving = true;
    keeperEvent(*this, MatchEventKind::KeeperDive, point);
}

void CGoalkeeper::diveStepOnce() {
    const unsigned n = diveStep;
    if (n < reachSteps) {
        diveAngle += reachAngleStep;
        position += reachMoveStep;
    }
    if (n > reachSteps) {
        if (-kHalfPi < diveAngle && diveAngle < kHalfPi) diveAngle += fallAngleStep;
        if (position.z > 0.0f) position += fallMoveStep;
        if (position.z <= 0.0f) position.z = 0.0f;
    }
    if (n >= diveSteps) {
        clearDiveRecord();
        // A dive too short to have a fall would leave him hanging in the air.
        position.z = 0.0f;
        if (match->ballHolder == this) {
            match->ball.velocity = kZeroVector;
            holdingBall = true;
        }
        keeperPoint = position;
        return;
    }
    if (hasBall) {
        Vector3 hand{0.0f, 0.0f, reachFraction * armReach()};
        applyRotation(rotationMatrix(directionVectors[direction], diveAngle), hand);
        match->ball.position = hand + position + heading * 0.25f;
        // Lying flat, the last tilt step can turn the arms past the horizontal: keep the ball above ground.
        if (match->ball.position.z < kBallRadius) match->ball.position.z = kBallRadius;
    }
    diveStep += 1;
}

void CGoalkeeper::catchTest() {
    CBall& ball = match->ball;
    if (distance(ball.position, divePoint) > 0.2f) return;
    reachFraction = distance(position, ball.position) / armReach();
    if (reachFraction > 1.1f) return;
    if (match->random.nextInt() % 10 >= 4) {
        match->setBallHolder(this);
        keeperEvent(*this, MatchEventKind::KeeperCatch, ball.position);
    } else {
        parry(reachFraction);
    }
}

void CGoalkeeper::parry(float fraction) {
    match->setBallHolder(this);
    match->setBallHolder(nullptr);
    CBall& ball = match->ball;
    Vector3& v = ball.velocity;
    if (fraction >= 1.0f && fraction <= 1.1f) {
        // Fingertips: away from the middle, or over the bar when high.
        Vector3 push{ball.position.x >= 0.0f ? 1.0f : -1.0f, 0.0f, 0.0f};
        if (ball.position.z >= 1.9f) push = {0.0f, 0.0f, 1.5f};
        const float speed = length(v);
        const float kept = match->random.unit() * 0.49999997f + 0.4f;
        if (speed > 0.0f) {
            Vector3 turned = v / speed + push;
            const float tl = length(turned);
            // A ball flying exactly against the push keeps its line; it still loses speed.
            const Vector3 dir = tl > 0.0f ? turned / tl : v / speed;
            v = dir * (kept * speed);
        }
    } else {
        const float s = sideSign();
        const float r1 = match->random.unit() * 0.5f - 0.25f;
        const float r2 = match->random.unit() * 0.5f - 0.25f;
        const float r3 = match->random.unit() * 0.5f - 0.25f;
        const Vector3 n = normalised(Vector3{r3, s + r2, r1});
        reflect(v, n);
        v *= match->random.unit() * 0.19999999f + 0.3f;
    }
    // A ball knocked upwards off the ground must fly, or it would hover.
    if (std::fabs(v.z) >= 0.01f) ball.airborne = true;
    keeperEvent(*this, MatchEventKind::KeeperParry, ball.position);
}

void CGoalkeeper::keeperPassBookkeeping() {
    CTeam& t = match->awayTouchedLast() ? match->away : match->home;
    t.passes += 1;
    match->notifyAll(EVENT_CROSS);
}

void CGoalkeeper::clearWithFoot() {
    match->noteKick(*this);
    const float s = sideSign();
    const int r1 = match->random.nextInt();
    const int r2 = match->random.nextInt();
    const Vector3 target{static_cast<float>(r2) / kRandMax * 60.0f - 30.0f,
                         -10.0f * s + static_cast<float>(r1) / kRandMax * 40.0f - 20.0f, 0.1232f};
    const float spin = static_cast<float>(match->random.nextInt()) / kRandMax * 2.0f - 1.0f;
    kick_planner::fixedElevation(match->ball, target, 1.036695f, spin, 12.0f, 28.0f);
    kicks::kickEvent(*this, KickEventKind::KeeperKick);
    keeperPassBookkeeping();
    sinceLastTouch = 0.0f;
}

void CGoalkeeper::distribute() {
    match->noteKick(*this);
    const float s = sideSign();
    const float aimX = static_cast<float>(match->random.nextInt()) / kRandMax * 20.0f - 10.0f;
    float front = -std::numeric_limits<float>::infinity();
    float back = std::numeric_limits<float>::infinity();
    for (std::size_t i = 1; i < team->players.size(); ++i) {
        front = std::max(front, team->players[i]->position.y);
        back = std::min(back, team->players[i]->position.y);
    }
    float aimY = team->players.size() > 1 ? (front + back) * 0.5f : 0.0f;
    aimY = s > 0.0f ? std::clamp(aimY, -25.0f, 0.0f) : std::clamp(aimY, 0.0f, 25.0f);
    const Vector3 aim{aimX, aimY, 1.0f};

    CPlayer* receiver = nullptr;
    float best = std::numeric_limits<float>::infinity();
    for (const auto& p : team->players) {
        const float dd = horizontalDistance(p->position, aim);
        if (dd < best) {
            best = dd;
            receiver = p.get();
        }
    }

    sinceLastTouch = 0.0f;
    const float spin = static_cast<float>(match->random.nextInt()) / kRandMax * 2.0f - 1.0f;
    const float elevation = (static_cast<float>(match->random.nextInt()) / kRandMax * 0.10000001f + 0.2f) * kPi;
    kick_planner::fixedElevation(match->ball, receiver->position + kUpVector, elevation, spin, 0.0f, 24.0f);
    kicks::kickEvent(*this, KickEventKind::KeeperKick);
    if (match->ball.touchLockout < 0.5f) match->ball.touchLockout = 0.5f;
    keeperPassBookkeeping();
    if (match->rules.countAimedKicks && receiver != this) match->targetReceiver = receiver;
}

void CGoalkeeper::tryTakeBall() {
    if (hasBall) return;
    CBall& ball = match->ball;
    if (!diving && sinceLastTouch >= 0.3f) {
        const PredictionEvent& reach = ball.event(isHomeKeeper() ? EV_HOME_KEEPER_REACH : EV_AWAY_KEEPER_REACH);
        if (reach.found && approxEqual(ball.position, reach.point, 0.01f) &&
            std::fabs(position.x - reach.point.x) < 0.01f && std::fabs(position.y - reach.point.y) < 0.01f) {
            match->setBallHolder(this);
            keeperEvent(*this, MatchEventKind::KeeperCatch, ball.position);
            speed = 0.0f;
            moveMode = 0;
            chasingBall = false;
            holdingBall = true;
            return;
        }
        if (horizontalDistance(position, ball.position) <= 0.5f && ball.position.z < 2.8f) {
            if (mayHandle()) {
                holdingBall = true;
                match->setBallHolder(this);
                keeperEvent(*this, MatchEventKind::KeeperCatch, ball.position);
                speed = 0.0f;
                moveMode = 0;
                chasingBall = false;
                return;
            }
            clearWithFoot();
        }
    }
    if (diving && diveStep == reachSteps) catchTest();
}

void CGoalkeeper::update(float dt) {
    sinceLastTouch += dt;
    if (diving) {
        diveStepOnce();
        tryTakeBall();
        return;
    }
    if (hasBall) {
        const Vector3 carryPoint = holdingBall ? position + heading * 0.2f + Vector3{0.0f, 0.0f, 0.9f}
                                               : position + heading * 0.4f + Vector3{0.0f, 0.0f, 0.1232f};
        match->ball.carry(carryPoint);
    }
    if (!match->isSelected(this)) {
        const float gap = distance(keeperPoint, position);
        if (gap < speed * 0.005f || approxEqual(position, keeperPoint, 0.01f)) {
            position = keeperPoint;
            moveMode = 0;
            speed = 0.0f;
        }
        if (!approxEqual(position, keeperPoint, 0.01f) && canMove) {
            faceToward(keeperPoint);
            moveMode = 1;
        } else {
            faceToward(match->ball.position);
        }
    }
    move(dt);
    if (match->isSelected(this)) keeperPoint = position;
    tryTakeBall();
}

int CGoalkeeper::spriteDirection() const {
    const Vector3 toBall = match->ball.position - position;
    const float d = length(toBall);
    if (d < 0.01f) return direction;
    if (diving) return team->plan->attacksUpwards ? 1 : 5;
    const Vector3 u = toBall / d;
    int best = 1;
    float bestAngle = 10.0f;
    for (int i = 1; i <= 8; ++i) {
        const float angle = safeAcos(dot(directionVectors[i], u));
        if (angle < bestAngle) {
            bestAngle = angle;
            best = i;
        }
    }
    return best;
}

// Full rules: at a penalty the keeper guesses a side as the ball is struck. Guessing right he
// dives at the ball (and then only sometimes in time); wrong, at the corner he chose.
void CGoalkeeper::penaltyDive() {
    const bool home = isHomeKeeper();
    const PredictionEvent& line = match->ball.event(home ? EV_HOME_KEEPER_LINE : EV_AWAY_KEEPER_LINE);
    if (!line.found) return;
    const int guess = match->random.nextInt() % 10;  // 0-3 his left (-x), 4-7 his right, 8-9 he stays
    const float ballX = line.point.x;
    const int ballSide = ballX < -kPenaltyMiddle ? 0 : (ballX > kPenaltyMiddle ? 1 : 2);
    const int guessSide = guess < 4 ? 0 : (guess < 8 ? 1 : 2);
    guessing = true;
    if (guessSide == ballSide) {
        if (match->random.unit() < kPenaltyInTime) dive(line.point, line.time);
    } else if (guessSide != 2) {
        const Vector3 corner{guessSide == 0 ? -kPenaltyGuessX : kPenaltyGuessX, line.point.y, kPenaltyGuessZ};
        dive(corner, line.time);
    }
    guessing = false;
}

}  // namespace flikka
