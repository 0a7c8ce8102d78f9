#include "players/OutfieldPlayer.h"

#include <algorithm>
#include <cmath>

#include "players/Kicks.h"
#include "sim/KickPlanner.h"
#include "sim/Match.h"
#include "sim/Random.h"
#include "sim/Team.h"
#include "team/GlobalAI.h"

namespace flikka {

namespace {

constexpr float kGoalLine = 52.5f;
constexpr float kTouchLine = 35.0f;
constexpr float kEdgeX = 33.25f;    // 0.95 of the half width
constexpr float kEdgeY = 49.875f;   // 0.95 of the half length
constexpr float kDeepHalf = 20.0f;  // marking starts this far into the own half
constexpr float kOwnEnd = 42.0f;    // 0.8 of the half length: clearances only from here
constexpr float kPressureRadius = 3.5f;
constexpr float kMarkLimit = 10.0f;
constexpr float kInterceptCone = 0.157075f;

// The 0.5 m grid the team AI also uses for its points.
float snapHalf(float v) { return std::floor(2.0f * v + 0.5f) / 2.0f; }

// Horizontal box test: inclusive at the lower edge, exclusive at the upper edge.
bool inBox(const Vector3& p, float x0, float x1, float y0, float y1) {
    const float loX = std::min(x0, x1), hiX = std::max(x0, x1);
    const float loY = std::min(y0, y1), hiY = std::max(y0, y1);
    return p.x >= loX && p.x < hiX && p.y >= loY && p.y < hiY;
}

// Angle between unit vector v and the direction of w; 0 for a zero w.
float angleTo(const Vector3& v, const Vector3& w) {
    const float len = length(w);
    if (len <= 0.0f) return 0.0f;
    return safeAcos(dot(v, w / len));
}

Vector3 horizontal(const Vector3& v) { return {v.x, v.y, 0.0f}; }

}  // namespace

// ---------------------------------------------------------------- roles and states

bool COutfieldPlayer::attacksUpwards() const { return team->ai->attacksUpwards; }

CGlobalAI& COutfieldPlayer::ai() const { return *team->ai; }

void COutfieldPlayer::leaveRole() {
    CGlobalAI& g = ai();
    switch (state) {
        case STATE_MARK:
            if (markTarget != nullptr) g.markingMap.erase(markTarget);
            break;
        case STATE_CHASE: g.chaser = nullptr; break;
        case STATE_PRESS: g.presser = nullptr; break;
        default: break;
    }
}

void COutfieldPlayer::setState(int s) {
    leaveRole();
    if (s == STATE_FORMATION) {
        state = STATE_FORMATION;
    } else if (s == STATE_CHASE) {
        CGlobalAI& g = ai();
        if (g.chaser != nullptr && g.chaser != this) g.chaser->setState(STATE_FORMATION);
        g.chaser = this;
        state = STATE_CHASE;
    } else if (s == STATE_WITH_BALL) {
        state = STATE_WITH_BALL;
    }
}

void COutfieldPlayer::markOpponent(CPlayer* o) {
    leaveRole();
    ai().markingMap[o] = this;
    markTarget = o;
    state = STATE_MARK;
}

void COutfieldPlayer::resetToDefault() {
    leaveRole();
    state = STATE_FORMATION;
}

// A restart's fallback receiver may be the goalkeeper, who has no intercept state.
void COutfieldPlayer::receiveAt(CPlayer* f, const Vector3& p) {
    auto* o = dynamic_cast<COutfieldPlayer*>(f);
    if (o == nullptr) return;
    o->leaveRole();
    o->state = STATE_INTERCEPT;
    o->interceptPoint = p;
}

void COutfieldPlayer::setHasBall(bool b) {
    CPlayer::setHasBall(b);
    if (b) {
        leaveRole();
        state = STATE_WITH_BALL;
    } else {
        resetToDefault();
    }
}

void COutfieldPlayer::notify(int event) {
    if (event == EVENT_POSSESSION) {
        free = true;
        if (match->ballHolder != this) resetToDefault();
    } else if (event >= 2 && event <= 5) {
        const std::vector<Vector3>& path = match->ball.path;
        for (std::size_t i = 0; i < path.size(); ++i) {
            if (static_cast<float>(i) * 0.05f > timeToReach(path[i])) interceptPoint = path[i];
        }
    }
}

// ---------------------------------------------------------------- queries

float COutfieldPlayer::offsideLine() const {
    const bool theyAttackUp = opponents->ai->attacksUpwards;
    float line = theyAttackUp ? 1000.0f : -1000.0f;
    for (std::size_t i = 1; i < opponents->size(); ++i) {
        const float y = opponents->player(i)->position.y;
        line = theyAttackUp ? std::min(line, y) : std::max(line, y);
    }
    return line;
}

bool COutfieldPlayer::offside() const {
    const float y = position.y;
    const float ballY = match->ball.position.y;
    // The line is only needed past the two cheap tests.
    if (attacksUpwards()) {
        if (y < 0.0f || y < ballY) return false;
        return y >= offsideLine();
    }
    if (y > 0.0f || y > ballY) return false;
    return y <= offsideLine();
}

bool COutfieldPlayer::pressured() const {
    for (const auto& o : opponents->players) {
        if (horizontalDistance(o->position, position) < kPressureRadius) return true;
    }
    return false;
}

bool COutfieldPlayer::freeAhead() const {
    const Vector3& v = directionVectors[direction];
    for (std::size_t i = 1; i < opponents->size(); ++i) {
        if (inBox(opponents->player(i)->position, position.x - 1.5f, position.x + 1.5f, position.y,
                  position.y + 4.0f * v.y))
            return false;
    }
    return true;
}

bool COutfieldPlayer::opponentBehind() const {
    const Vector3& v = directionVectors[direction];
    for (std::size_t i = 1; i < opponents->size(); ++i) {
        if (inBox(opponents->player(i)->position, position.x - 1.0f, position.x + 1.0f,
                  position.y - 2.0f * v.y, position.y))
            return true;
    }
    return false;
}

bool COutfieldPlayer::nearLineWithSpace() const {
    return std::fabs(position.y - offsideLine()) < 5.0f && freeAhead();
}

bool COutfieldPlayer::atEdgeFacingOut(int d) const {
    const float x = position.x, y = position.y;
    return (x > kEdgeX && (d == 6 || d == 7 || d == 8)) || (x < -kEdgeX && (d == 2 || d == 3 || d == 4)) ||
           (y > kEdgeY && (d == 1 || d == 2 || d == 8)) || (y < -kEdgeY && (d == 4 || d == 5 || d == 6));
}

CPlayer* COutfieldPlayer::laneBlocker(const Vector3& a, const Vector3& b, float widthFactor) const {
    const Vector3 apex = horizontal(a);
    const Vector3 ab = horizontal(b) - apex;
    const float len = horizontalLength(ab);
    if (len < 0.01f || !(widthFactor > 0.0f)) return nullptr;
    const Vector3 side = Vector3{-ab.y, ab.x, 0.0f} / len;
    const float halfWidth = 4.8f * len / widthFactor;
    const Vector3 corners[3] = {apex, horizontal(b) + side * halfWidth, horizontal(b) - side * halfWidth};

    CPlayer* best = nullptr;
    float bestDistance = 0.0f;
    for (const auto& o : opponents->players) {
        const Vector3 p = horizontal(o->position);
        Vector3 to[3];
        bool onCorner = false;
        for (int i = 0; i < 3; ++i) {
            to[i] = corners[i] - p;
            const float l = length(to[i]);
            if (l < 1e-6f) onCorner = true;
            else to[i] = to[i] / l;
        }
        bool inside = onCorner;
        if (!inside) {
            const float sum = safeAcos(dot(to[0], to[1])) + safeAcos(dot(to[1], to[2])) + safeAcos(dot(to[2], to[0]));
            inside = std::fabs(sum - kTwoPi) <= 0.05f;
        }
        if (!inside) continue;
        const float d = horizontalDistance(o->position, a);
        if (best == nullptr || d < bestDistance) {
            best = o.get();
            bestDistance = d;
        }
    }
    return best;
}

CPlayer* COutfieldPlayer::nearestTeammate(const Vector3& p, bool includeGoalkeeper) const {
    return team->nearestTo(p, includeGoalkeeper);
}

// ---------------------------------------------------------------- values

float COutfieldPlayer::attackValue() const {
    float v = offside() ? -100.0f : 0.0f;
    v += pressured() ? -6.0f : 3.0f;
    v += freeAhead() ? 4.0f : -1.0f;
    v += opponentBehind() ? -10.0f : 3.0f;
    if (nearLineWithSpace()) v += 5.0f;
    const Vector3 goal{0.0f, attacksUpwards() ? kGoalLine : -kGoalLine, 0.0f};
    const float d = horizontalDistance(position, goal);
    if (d < 14.0f) v += 2.0f;
    else if (d < 25.0f) v += 1.0f;
    return v;
}

void COutfieldPlayer::updatePassValue() {
    passValue = attackValue() + uniform(-1.5f, 1.5f);
    const Vector3& ball = match->ball.position;
    if (laneBlocker(ball, position + kicks::lead(*this, 2.0f), 12.0f) != nullptr) passValue -= 10.0f;
    const bool behind = attacksUpwards() ? position.y < ball.y : position.y > ball.y;
    if (behind) passValue -= 5.0f;
}

PassChoice COutfieldPlayer::bestPass() const {
    PassChoice best;
    for (int k = -2; k <= 2; ++k) {
        const int aim = wrapDirection(direction + k);
        CPlayer* r = kicks::passReceiver(*team, match->ball.position, aim);
        auto* o = dynamic_cast<COutfieldPlayer*>(r);
        if (o == nullptr) continue;
        if (best.receiver == nullptr || o->passValue > best.score) best = {o, o->passValue, aim};
    }
    return best;
}

PassChoice COutfieldPlayer::bestCross() const {
    PassChoice best;
    for (int k = -2; k <= 2; ++k) {
        const int aim = wrapDirection(direction + k);
        CPlayer* r = kicks::crossReceiver(*team, match->ball.position, aim);
        auto* o = dynamic_cast<COutfieldPlayer*>(r);
        if (o == nullptr) continue;
        if (best.receiver == nullptr || o->passValue > best.score) best = {o, o->passValue, aim};
    }
    return best;
}

ShotChoice COutfieldPlayer::evaluateShot() const {
    ShotChoice shot;
    const Vector3 goal{0.0f, attacksUpwards() ? kGoalLine : -kGoalLine, 0.0f};
    const float d = horizontalDistance(position, goal);
    if (d < 10.0f) {
        shot.value += 10.0f;
        shot.power = 10.0f + 20.0f * randomUnit();
    } else if (d < 15.0f) {
        shot.value += 6.5f;
        shot.power = 12.0f + 18.0f * randomUnit();
        shot.spin = 0.5f + 0.5f * randomUnit();
    } else if (d < 20.0f) {
        shot.value += 2.0f + 4.5f * randomUnit();
        shot.power = 20.0f + 10.0f * randomUnit();
        shot.spin = 0.5f + 0.5f * randomUnit();
    } else if (d < 30.0f) {
        shot.value += 3.8f * randomUnit();
        shot.power = 25.0f + 5.0f * randomUnit();
        shot.spin = 0.3f * randomUnit();
    } else {
        shot.value -= 100.0f;
        shot.power = 23.0f + 7.0f * randomUnit();
    }

    const Vector3 ball = match->ball.position;
    float bestScore = -1000.0f;
    Vector3 bestTarget = kicks::goalTarget(*this, 0);
    for (int i = 0; i <= 8; ++i) {
        const Vector3 target = kicks::goalTarget(*this, i);
        float score = 0.0f;
        if (laneBlocker(ball, target, shot.power) != nullptr) score -= 10.0f;
        if ((ball.x < -21.0f && i == 7) || i == 8 || i == 6) score += 3.0f;
        if ((ball.x > 21.0f && i == 3) || i == 2 || i == 4) score += 3.0f;
        score += uniform(-3.0f, 3.0f);
        if (score > bestScore) {
            bestScore = score;
            bestTarget = target;
        }
    }
    shot.value += uniform(-2.0f, 2.0f);
    kicks::scatter(bestTarget, horizontalDistance(position, ball));
    shot.target = bestTarget;
    return shot;
}

void COutfieldPlayer::aiShot(const ShotChoice& shot) {
    kick_planner::fixedSpeed(match->ball, shot.target, shot.spin, shot.power);
    kicks::kickEvent(*this, KickEventKind::Shot);
    kicks::shotBookkeeping(*match);
}

int COutfieldPlayer::bestDribbleDirection() const {
    const Vector3 goal{0.0f, attacksUpwards() ? kGoalLine : -kGoalLine, 0.0f};
    int best = direction;
    float bestScore = 0.0f;
    bool first = true;
    for (int k = -1; k <= 1; ++k) {
        const int a = wrapDirection(direction + k);
        const Vector3& v = directionVectors[a];
        float penalty = 0.0f;
        for (const auto& o : opponents->players) {
            const float h = horizontalDistance(o->position, position);
            const float angle = angleTo(v, o->position - position);
            if (angle < 0.3926875f) {
                if (h <= 3.0f) penalty -= 8.0f;
                else if (h < 15.0f) penalty -= 2.7f;
            } else if (angle < 1.0471667f) {
                if (h <= 3.0f) penalty -= 3.0f;
                else if (h < 15.0f) penalty -= 1.0f;
            }
        }
        const float g = angleTo(v, goal - position);
        float score = uniform(-1.5f, 1.5f) + penalty;
        if (a == direction) score += 2.0f;
        score += (kPi - g) * 2.2f;
        if (atEdgeFacingOut(a)) score -= 100.0f;
        if (first || score > bestScore) {
            best = a;
            bestScore = score;
            first = false;
        }
    }
    if ((direction == 1 || direction == 5) && opponentBehind()) return direction;
    return best;
}

// ---------------------------------------------------------------- think

void COutfieldPlayer::think() {
    CMatch& m = *match;
    if (m.selected == this) return;
    CGlobalAI& g = ai();
    const bool up = attacksUpwards();

    if (state == STATE_FORMATION && (up ? position.y < -kDeepHalf : position.y > kDeepHalf)) {
        if (CPlayer* o = g.opponentToMark(this, kMarkLimit)) {
            if (hasBall) setState(STATE_CHASE);
            else markOpponent(o);
        }
    }

    if (state == STATE_FORMATION || state == STATE_MARK) {
        if (CPlayer* carrier = g.carrierToPress(this)) {
            leaveRole();
            g.presser = this;
            state = STATE_PRESS;
            markTarget = carrier;
        }
    }

    if (!free || (state != STATE_WITH_BALL && (m.isEitherGoalkeeper(m.ballHolder) || m.state != GAME_PLAY))) {
        leaveRole();
        state = STATE_FORMATION;
    }

    if (state != STATE_GO_TO_POINT && state != STATE_WITH_BALL && offside()) {
        leaveRole();
        state = STATE_GO_TO_POINT;
        const float line = offsideLine();
        const float x = position.x + uniform(-2.0f, 2.0f);
        const float y = up ? line - uniform(0.0f, 1.5f) : line + uniform(0.0f, 1.5f);
        interceptPoint = {x, y, position.z};
    }

    switch (state) {
        case STATE_INTERCEPT: {
            if (steerTo(interceptPoint)) {
                moveMode = 0;
                speed = 0.0f;
                return;
            }
            const CBall& ball = m.ball;
            const Vector3 s = horizontal(interceptPoint - ball.position);
            const float d = length(s);
            const float ballSpeed = ball.speed();
            bool keep = false;
            if (ballSpeed > 0.0f) {
                const float angle = d > 0.0f ? safeAcos(dot(ball.velocity / ballSpeed, s / d)) : 0.0f;
                keep = angle <= kInterceptCone && d / ballSpeed <= 1.0f;
            }
            if (!keep) setState(STATE_CHASE);
            break;
        }
        case STATE_GO_TO_POINT:
            if (steerTo(interceptPoint)) resetToDefault();
            break;
        case STATE_FORMATION: steerTo(homePosition); break;
        case STATE_MARK: {
            if (markTarget == nullptr) {
                resetToDefault();
                steerTo(homePosition);
                break;
            }
            if (markTarget->hasBall) {
                leaveRole();
                if (g.chaser != nullptr && g.chaser != this) g.chaser->setState(STATE_FORMATION);
                g.chaser = this;
                state = STATE_CHASE;
                break;
            }
            if (horizontalDistance(homePosition, markTarget->position) > kMarkLimit) resetToDefault();
            const float off = up ? -2.0f : 2.0f;
            const Vector3 target{snapHalf(markTarget->position.x), snapHalf(markTarget->position.y + off),
                                 markTarget->position.z};
            steerTo(target);
            break;
        }
        case STATE_CHASE:
            steerTo(m.ball.position);
            if (m.ballHolder != nullptr && team->contains(m.ballHolder)) resetToDefault();
            break;
        case STATE_WITH_BALL: onBallDecision(); break;
        case STATE_PRESS: {
            if (markTarget == nullptr || markTarget != m.ballHolder) {
                resetToDefault();
                break;
            }
            const float f = up ? markTarget->position.y - position.y : position.y - markTarget->position.y;
            if (f < 0.0f) resetToDefault();
            else if (f < 2.0f) setState(STATE_CHASE);
            else if (f <= 10.0f) steerTo({snapHalf(m.ball.position.x), snapHalf(position.y), 0.0f});
            else resetToDefault();
            break;
        }
        default: break;
    }
}

// ---------------------------------------------------------------- with the ball

void COutfieldPlayer::onBallDecision() {
    CMatch& m = *match;
    const std::uint32_t ms = simulationMilliseconds();
    const bool up = attacksUpwards();

    if (m.state != GAME_PLAY) {
        if (m.state != GAME_READY || ms % 2000 != 0) return;
        if (m.restartKind == KICK_OFF) {
            kicks::pass(direction, *this, false);
        } else if (m.restartKind == CORNER && randomInt() % 7 != 6) {
            m.landmarks.mirror = up;
            Vector3 p = m.landmarks.landmark(25);
            p.x += uniform(-10.0f, 10.0f);
            p.y += uniform(-6.0f, -1.0f);
            if (CPlayer* gm = nearestTeammate(p, false)) {
                const Vector3 target{gm->position.x, gm->position.y, gm->position.z + 0.1232f};
                const float elevation = uniform(0.2f, 0.22f) * kPi;
                const float spin = uniform(-1.5f, 1.5f);
                kick_planner::fixedElevation(m.ball, target, elevation, spin, 0.0f, 40.0f);
                kicks::kickEvent(*this, KickEventKind::Cross);
                kicks::passBookkeeping(m, EVENT_CROSS);
            }
            leaveRole();
            state = STATE_FORMATION;
        } else {
            const PassChoice choice = bestPass();
            CPlayer* r = choice.receiver;
            int aim = choice.aim;
            if (r == nullptr) {
                float bestDistance = 0.0f;
                for (const auto& f : team->players) {
                    if (f.get() == this) continue;
                    const float d = horizontalDistance(f->position, position);
                    if (r == nullptr || d < bestDistance) {
                        r = f.get();
                        bestDistance = d;
                    }
                }
                if (r != nullptr) faceToward(r->position);
                aim = 0;
            }
            kicks::pass(aim, *this, false);
            if (r != nullptr) receiveAt(r, r->position);
        }
        free = false;
        return;
    }

    const bool ahead = freeAhead();
    const bool atEdge = atEdgeFacingOut(direction);

    if (pressured() || atEdge) {
        if (ms % 50 != 0) return;
        const PassChoice p1 = bestPass();
        const PassChoice p2 = bestCross();
        const ShotChoice shot = evaluateShot();
        const float best = std::max(p1.score, p2.score);
        if (p1.receiver == nullptr || best < 0.0f) {
            const bool deep = up ? position.y < -kOwnEnd : position.y > kOwnEnd;
            const Vector3 ownGoal{0.0f, up ? -1.0f : 1.0f, 0.0f};
            if (deep && safeAcos(dot(directionVectors[direction], ownGoal)) < 1.2566f) {
                kicks::clear(*this);
            } else if (shot.value > 7.0f || (!ahead && shot.value > 4.0f)) {
                aiShot(shot);
                return;
            }
        } else if (shot.value > 7.0f) {
            aiShot(shot);
        } else if (p2.score > p1.score && p2.score > 5.0f) {
            const Vector3 target = kicks::cross(p2.aim, *this, false);
            receiveAt(p2.receiver, target);
            leaveRole();
            state = STATE_FORMATION;
        } else if (p1.score > 5.0f) {
            const Vector3 target = kicks::pass(p1.aim, *this, false);
            receiveAt(p1.receiver, target);
            leaveRole();
            state = STATE_FORMATION;
        }
        if (ahead && !atEdge) setDirection(up ? 1 : 5);
        else setDirection(bestDribbleDirection());
        return;
    }

    if (ms % 200 != 0) return;
    const PassChoice p1 = bestPass();
    const PassChoice p2 = bestCross();
    const ShotChoice shot = evaluateShot();
    if ((uniform(6.0f, 8.0f) < shot.value && !ahead) || shot.value >= 8.0f) {
        aiShot(shot);
    } else if (randomInt() % 12 == 0) {
        if (p2.score > 0.0f && p2.score > p1.score) {
            const Vector3 target = kicks::cross(p2.aim, *this, false);
            receiveAt(p2.receiver, target);
            leaveRole();
            state = STATE_FORMATION;
        } else if (p1.score > 0.0f && p1.score > p2.score) {
            const Vector3 target = kicks::pass(p1.aim, *this, false);
            receiveAt(p1.receiver, target);
            leaveRole();
            state = STATE_FORMATION;
        }
    }
    setDirection(bestDribbleDirection());
}

}  // namespace flikka
