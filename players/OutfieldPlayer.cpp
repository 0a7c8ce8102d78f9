#include "players/OutfieldPlayer.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <typeinfo>

#include "players/Kicks.h"
#include "players/Shooting.h"
#include "players/KickPlanner.h"
#include "sim/PitchGeometry.h"
#include "sim/PitchLandmarks.h"
#include "players/Play.h"
#include "sim/Random.h"
#include "players/Team.h"
#include "players/Rebind.h"
#include "players/TeamPlan.h"

namespace flikka {

namespace {

// True when the flat point p lies so far outside the flat triangle c that the lane rule's sum
// of the three angles at p (safeAcos of the float dot products of the float unit vectors to the
// corners) is certainly not within 0.05 of 2 pi, so the rule would find him outside.
// The test: beyond the line of one edge, away from the third corner, by at least 3 % of his
// distance to every corner. Then every direction to a corner lies within pi/2 - asin(0.03) of
// that edge's normal, so all three lie in an open half-plane and their angle sum is twice the
// widest of them: at most 2 pi - 0.12. The float vectors, their normalising (the corners are at
// least 1e-3 away, far from the on-corner rule), the dot products and acosf move each angle by
// under 2e-3 (a dot product off by 1e-6 moves acos by at most sqrt(2e-6) near 1, and by
// 1e-6 / sin(0.06) where the angle is widest), so the sum stays below 2 pi - 0.11. The test is
// done in double, whose own error is far inside that margin; a point or corner that is not
// finite or too far away fails it and takes the plain rule.
bool clearlyOutside(const Vector3 (&c)[3], const Vector3& p) {
    double dx[3], dy[3], dd[3];
    for (int i = 0; i < 3; ++i) {
        dx[i] = static_cast<double>(c[i].x) - static_cast<double>(p.x);
        dy[i] = static_cast<double>(c[i].y) - static_cast<double>(p.y);
        dd[i] = dx[i] * dx[i] + dy[i] * dy[i];
        if (!(dd[i] >= 1e-6 && dd[i] <= 1e12)) return false;
    }
    const double farthest = std::max(dd[0], std::max(dd[1], dd[2]));
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const int k = (i + 2) % 3;
        const double ex = dx[j] - dx[i];
        const double ey = dy[j] - dy[i];
        // Cross products of the edge with the corners seen from p: p's side against the third corner's.
        const double sp = ex * -dy[i] - ey * -dx[i];
        const double sk = ex * (dy[k] - dy[i]) - ey * (dx[k] - dx[i]);
        if (!(sp * sk < 0.0)) continue;
        if (sp * sp >= 0.0009 * (ex * ex + ey * ey) * farthest) return true;
    }
    return false;
}

constexpr float kGoalLine = pitch::kHalfLength;
constexpr float kEdgeX = 0.95f * pitch::kHalfWidth;
constexpr float kEdgeY = 0.95f * pitch::kHalfLength;
constexpr float kDeepHalf = 20.0f;                    // marking starts this far into the own half
constexpr float kOwnEnd = 0.8f * pitch::kHalfLength;  // clearances only from here
static_assert(kEdgeX == 33.25f && kEdgeY == 49.875f && kOwnEnd == 42.0f);
constexpr float kPressureRadius = 3.5f;
constexpr float kMarkLimit = 10.0f;
constexpr float kInterceptCone = 0.157075f;
constexpr std::uint32_t kOffsideLookPeriod = 250;  // ms, full rules
constexpr std::uint64_t kKickOffPlaySteps = 600;   // the kick-off receiver's 3 s to play it back
// Aimed shots: never from 30 m or more; the value of a chance per radian of goal mouth seen.
constexpr float kLongestShot = 30.0f;
constexpr float kShotValuePerRadian = 32.0f;
constexpr float kChanceRange = 35.0f;  // a chance's value falls to nothing this far out
constexpr float kBlockedShot = 0.75f;
constexpr float kFreeKickShotRange = 30.0f;
constexpr float kBlockedLane = 10.0f;  // as the half-second pass value counts a blocked lane
constexpr float kSafePass = 3.0f;     // a pass worth less than this is no way out under pressure
constexpr float kOwnThird = pitch::kHalfLength - 35.0f;  // y this far into his own half (35 m from his goal line)
constexpr float kTightMarking = 2.5f;
// Sliding tackles: at speed, at the ball from 1.3 to 2.8 m, within 20 degrees, per 50 ms.
constexpr float kSlideMinSpeed = 3.0f;
constexpr float kSlideNearest = 1.3f;
constexpr float kSlideFarthest = 2.8f;
constexpr float kSlideCone = 0.35f;
constexpr float kSlideChance = 0.12f;
// Closing down: the closer holds this far goal-side of the ball and, within reach, steps in.
constexpr float kJockeyDistance = 1.4f;
constexpr float kStepInRange = 2.6f;
constexpr float kStepInChance = 0.08f;  // per 50 ms
constexpr float kLungeTime = 0.4f;
constexpr std::uint32_t kJockeyLookPeriod = 150;  // ms

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

// ---------------------------------------------------------------- copies

bool COutfieldPlayer::assignFrom(const CPlayer& o) {
    if (typeid(o) != typeid(COutfieldPlayer) || typeid(*this) != typeid(COutfieldPlayer)) return false;
    *this = static_cast<const COutfieldPlayer&>(o);
    return true;
}

void COutfieldPlayer::rebind(const Rebind& r) {
    CPlayer::rebind(r);
    r.in(markTarget);
}

// ---------------------------------------------------------------- roles and states

bool COutfieldPlayer::attacksUpwards() const { return team->plan->attacksUpwards; }

TeamPlan& COutfieldPlayer::plan() const { return *team->plan; }

void COutfieldPlayer::leaveRole() {
    TeamPlan& g = plan();
    switch (state) {
        case STATE_MARK:
            if (markTarget != nullptr) g.markingMap.erase(markTarget);
            break;
        case STATE_CHASE: g.chaser = nullptr; break;
        case STATE_PRESS: g.presser = nullptr; break;
        case STATE_COVER:
            if (g.cover == this) g.cover = nullptr;
            break;
        default: break;
    }
}

void COutfieldPlayer::setState(int s) {
    leaveRole();
    if (s == STATE_FORMATION) {
        state = STATE_FORMATION;
    } else if (s == STATE_CHASE) {
        TeamPlan& g = plan();
        if (g.chaser != nullptr && g.chaser != this) g.chaser->setState(STATE_FORMATION);
        g.chaser = this;
        state = STATE_CHASE;
    } else if (s == STATE_WITH_BALL) {
        state = STATE_WITH_BALL;
    }
}

void COutfieldPlayer::markOpponent(CPlayer* o) {
    leaveRole();
    plan().markingMap[o] = this;
    markTarget = o;
    state = STATE_MARK;
}

void COutfieldPlayer::resetToDefault() {
    leaveRole();
    state = STATE_FORMATION;
}

void COutfieldPlayer::coverCarrier() {
    leaveRole();
    plan().cover = this;
    state = STATE_COVER;
}

// A restart's fallback receiver may be the goalkeeper, who has no intercept state.
void COutfieldPlayer::receiveAt(CPlayer* f, const Vector3& p) {
    auto* o = asOutfield(f);
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
        // The last sample he reaches in time is the one kept, so look from the end.
        for (std::size_t i = path.size(); i-- > 0;) {
            if (static_cast<float>(i) * 0.05f > timeToReach(path[i])) {
                interceptPoint = path[i];
                break;
            }
        }
    }
}

// ---------------------------------------------------------------- queries

float COutfieldPlayer::offsideLine() const {
    const bool theyAttackUp = opponents->plan->attacksUpwards;
    float line = theyAttackUp ? 1000.0f : -1000.0f;
    for (std::size_t i = 1; i < opponents->size(); ++i) {
        const float y = opponents->player(i)->position.y;
        line = theyAttackUp ? std::min(line, y) : std::max(line, y);
    }
    return line;
}

bool COutfieldPlayer::offside(float margin) const {
    const float y = position.y;
    const float ballY = match->ball.position.y;
    // The line is only needed past the two cheap tests.
    if (attacksUpwards()) {
        if (y < 0.0f || y < ballY) return false;
        return margin > 0.0f ? y >= offsideLine() + margin : y >= offsideLine();
    }
    if (y > 0.0f || y > ballY) return false;
    return margin > 0.0f ? y <= offsideLine() - margin : y <= offsideLine();
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
    // As far as an opponent at top speed runs while the ball, at widthFactor m/s, covers the lane.
    const float halfWidth = kDefaultMovement.topSpeed * len / widthFactor;
    const Vector3 corners[3] = {apex, horizontal(b) + side * halfWidth, horizontal(b) - side * halfWidth};

    CPlayer* best = nullptr;
    float bestDistance = 0.0f;
    for (const auto& o : opponents->players) {
        const Vector3 p = horizontal(o->position);
        if (clearlyOutside(corners, p)) continue;
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

std::uint32_t COutfieldPlayer::offsideLookPeriod() const {
    const int ms = match->rules.offsideLookMs;
    return ms > 0 ? static_cast<std::uint32_t>(ms) : kOffsideLookPeriod;
}

float COutfieldPlayer::attackValue() const {
    // Under full rules team-mates misjudge a man just past the line as level.
    float v = offside(match->rules.offsideMisjudge) ? -100.0f : 0.0f;
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
    passValue = attackValue() + match->random.uniform(-1.5f, 1.5f);
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
        auto* o = asOutfield(r);
        if (o == nullptr) continue;
        float score = o->passValue;
        // Full rules: the lane as it is now, not as it was at the last half-second update.
        if (match->rules.freshPassLanes && o != this && laneBlocker(match->ball.position, o->position, 12.0f) != nullptr) {
            score -= kBlockedLane;
        }
        if (best.receiver == nullptr || score > best.score) best = {o, score, aim};
    }
    return best;
}

PassChoice COutfieldPlayer::bestCross() const {
    PassChoice best;
    for (int k = -2; k <= 2; ++k) {
        const int aim = wrapDirection(direction + k);
        CPlayer* r = kicks::crossReceiver(*team, match->ball.position, aim);
        auto* o = asOutfield(r);
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
        shot.power = 10.0f + 20.0f * match->random.unit();
    } else if (d < 15.0f) {
        shot.value += 6.5f;
        shot.power = 12.0f + 18.0f * match->random.unit();
        shot.spin = 0.5f + 0.5f * match->random.unit();
    } else if (d < 20.0f) {
        shot.value += 2.0f + 4.5f * match->random.unit();
        shot.power = 20.0f + 10.0f * match->random.unit();
        shot.spin = 0.5f + 0.5f * match->random.unit();
    } else if (d < 30.0f) {
        shot.value += 3.8f * match->random.unit();
        shot.power = 25.0f + 5.0f * match->random.unit();
        shot.spin = 0.3f * match->random.unit();
    } else {
        shot.value -= 100.0f;
        shot.power = 23.0f + 7.0f * match->random.unit();
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
        score += match->random.uniform(-3.0f, 3.0f);
        if (score > bestScore) {
            bestScore = score;
            bestTarget = target;
        }
    }
    shot.value += match->random.uniform(-2.0f, 2.0f);
    kicks::scatter(match->random, bestTarget, horizontalDistance(position, ball));
    shot.target = bestTarget;
    return shot;
}

void COutfieldPlayer::aiShot(const ShotChoice& shot) {
    if (match->rules.aimedShots) {
        shooting::openPlayShot(*this, shot.target, shot.power, shot.spin);
        return;
    }
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
        float score = match->random.uniform(-1.5f, 1.5f) + penalty;
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
    CPlay& m = *match;
    // The computer takes over a restart the human leaves untaken (full rules).
    if (m.isSelected(this) && !m.computerTakesRestart()) return;
    if (sliding()) return;
    TeamPlan& g = plan();
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

    // Under full rules a footballer sees that he stands offside only now and then.
    if (state != STATE_GO_TO_POINT && state != STATE_WITH_BALL &&
        (!m.rules.offside || match->clockMs % offsideLookPeriod() == 0) && offside()) {
        leaveRole();
        state = STATE_GO_TO_POINT;
        const float line = offsideLine();
        const float x = position.x + match->random.uniform(-2.0f, 2.0f);
        const float y = up ? line - match->random.uniform(0.0f, 1.5f) : line + match->random.uniform(0.0f, 1.5f);
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
            if (m.rules.closeDown && m.ballHolder != nullptr && !team->contains(m.ballHolder) &&
                !m.isEitherGoalkeeper(m.ballHolder)) {
                closeDownCarrier(*m.ballHolder);
                break;
            }
            steerTo(m.ball.position);
            if (m.ballHolder != nullptr && team->contains(m.ballHolder)) resetToDefault();
            break;
        case STATE_COVER: {
            const CPlayer* carrier = m.ballHolder;
            if (carrier == nullptr || team->contains(carrier) || g.cover != this) {
                resetToDefault();
                steerTo(homePosition);
                break;
            }
            const Vector3 spot = g.coverSpot(*carrier);
            steerTo({snapHalf(spot.x), snapHalf(spot.y), 0.0f});
            break;
        }
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
    CPlay& m = *match;
    const std::uint32_t ms = match->clockMs;
    const bool up = attacksUpwards();

    if (m.state != GAME_PLAY) {
        if (m.state != GAME_READY || (ms % 2000 != 0 && !m.computerTakesRestart())) return;
        if (m.restartKind == FREE_KICK || m.restartKind == INDIRECT_FREE_KICK) {
            takeFreeKick(m.restartKind == INDIRECT_FREE_KICK);
        } else if (m.restartKind == PENALTY) {
            takePenalty();
        } else if (m.restartKind == KICK_OFF) {
            kicks::pass(direction, *this, false);
        } else if (m.restartKind == CORNER && match->random.nextInt() % 7 != 6) {
            Vector3 p = PitchLandmarks::landmark(25, defendedEnd(up));  // the penalty spot attacked
            p.x += match->random.uniform(-10.0f, 10.0f);
            p.y += match->random.uniform(-6.0f, -1.0f);
            if (CPlayer* gm = nearestTeammate(p, false)) {
                const Vector3 target{gm->position.x, gm->position.y, gm->position.z + 0.1232f};
                const float elevation = match->random.uniform(0.2f, 0.22f) * kPi;
                const float spin = match->random.uniform(-1.5f, 1.5f);
                m.noteKick(*this);
                kick_planner::fixedElevation(m.ball, target, elevation, spin, 0.0f, 40.0f);
                kicks::kickEvent(*this, KickEventKind::Cross);
                kicks::passBookkeeping(m, EVENT_CROSS);
                if (m.rules.countAimedKicks) m.targetReceiver = gm;
            }
            leaveRole();
            state = STATE_FORMATION;
        } else {
            restartPass();
        }
        free = false;
        return;
    }

    // Full rules: the kick-off receiver plays it sideways or back.
    if (m.rules.kickOffBackPass && m.fullState.kickOffTeam == team) {
        if (m.steps - m.fullState.kickOffStep > kKickOffPlaySteps) {
            m.fullState.kickOffTeam = nullptr;
        } else {
            if (ms % 50 != 0) return;
            m.fullState.kickOffTeam = nullptr;
            const PassChoice back = bestBackPass();
            if (back.receiver != nullptr) {
                passedTo(back.receiver, kicks::pass(back.aim, *this, false));
                return;
            }
        }
    }

    const bool ahead = freeAhead();
    const bool atEdge = atEdgeFacingOut(direction);

    if (pressured() || atEdge) {
        if (ms % 50 != 0) return;
        const PassChoice p1 = bestPass();
        const PassChoice p2 = bestCross();
        ShotChoice shot = m.rules.aimedShots ? evaluateAimedShot() : evaluateShot();
        if (m.rules.aimedShots) {
            if (wantsAimedShot(shot, true)) {
                aiShot(shot);
                return;
            }
            shot.value = -100.0f;  // no shot now: the passes and the dribble decide
        }
        const float best = std::max(p1.score, p2.score);
        const float safe = m.rules.safePass > 0.0f ? m.rules.safePass : kSafePass;
        if (m.rules.clearances && best < safe && clearingNow()) {
            kicks::clear(*this);
            return;
        }
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
    ShotChoice shot = m.rules.aimedShots ? evaluateAimedShot() : evaluateShot();
    if (m.rules.aimedShots) {
        if (wantsAimedShot(shot, false)) {
            aiShot(shot);
            setDirection(bestDribbleDirection());
            return;
        }
        shot.value = -100.0f;
    }
    if ((match->random.uniform(6.0f, 8.0f) < shot.value && !ahead) || shot.value >= 8.0f) {
        aiShot(shot);
    } else if (match->random.nextInt() % 12 == 0) {
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


// ---------------------------------------------------------------- full rules

void COutfieldPlayer::passedTo(CPlayer* receiver, const Vector3& target) {
    receiveAt(receiver, target);
    leaveRole();
    state = STATE_FORMATION;
}

ShotChoice COutfieldPlayer::evaluateAimedShot() const {
    ShotChoice shot;
    const shooting::Chance c = shooting::chance(*this);
    shot.distance = c.distance;
    shot.blockers = c.blockers;
    if (c.distance >= kLongestShot) {
        shot.value = -100.0f;
        return shot;
    }
    // The more of the goal he sees and the nearer he is, the better; an opponent in the way costs.
    float value = kShotValuePerRadian * c.openAngle * (1.0f - c.distance / kChanceRange);
    for (int i = 0; i < c.blockers; ++i) value *= kBlockedShot;
    shot.value = value + match->random.uniform(-1.0f, 1.0f);
    shot.power = c.distance < 10.0f ? match->random.uniform(18.0f, 26.0f) : match->random.uniform(24.0f, 32.0f);
    Vector3 target = shooting::openTarget(*this);
    shooting::miss(*this, target, shooting::spread(*this));
    shot.target = target;
    return shot;
}

bool COutfieldPlayer::clearingNow() const {
    const float ownSide = attacksUpwards() ? position.y : -position.y;
    const float from = match->rules.clearFrom != 0.0f ? match->rules.clearFrom : kOwnThird;
    if (ownSide > -from) return false;
    const float tight = match->rules.clearMarking > 0.0f ? match->rules.clearMarking : kTightMarking;
    for (const auto& o : opponents->players) {
        if (horizontalDistance(o->position, position) < tight) return true;
    }
    return false;
}

bool COutfieldPlayer::wantsAimedShot(const ShotChoice& shot, bool pressed) const {
    const MatchRules& r = match->rules;
    if (shot.value >= (pressed ? r.pressedShotValue : r.shotValue)) return true;
    // In range, with at most one man in the way, he tries his luck now and then (decisions come
    // four times as often under pressure).
    return shot.blockers <= 1 && shot.distance < r.longShotRange &&
           match->random.unit() < (pressed ? r.longShotChance * 0.25f : r.longShotChance);
}

PassChoice COutfieldPlayer::bestBackPass() const {
    // Back first, to midfield; square only when nobody stands behind him.
    static constexpr int kBackUp[3] = {4, 5, 6}, kSquareUp[2] = {3, 7};
    static constexpr int kBackDown[3] = {8, 1, 2}, kSquareDown[2] = {7, 3};
    const bool up = attacksUpwards();
    PassChoice best;
    const auto consider = [&](std::span<const int> aims) {
        for (int aim : aims) {
            auto* o = asOutfield(kicks::passReceiver(*team, match->ball.position, aim));
            if (o == nullptr || o == this) continue;
            if (best.receiver == nullptr || o->passValue > best.score) best = {o, o->passValue, aim};
        }
    };
    consider(up ? std::span<const int>(kBackUp) : std::span<const int>(kBackDown));
    if (best.receiver == nullptr) consider(up ? std::span<const int>(kSquareUp) : std::span<const int>(kSquareDown));
    return best;
}

void COutfieldPlayer::closeDownCarrier(const CPlayer& carrier) {
    CPlay& m = *match;
    const Vector3& ball = m.ball.position;
    if (lungeTime > 0.0f) {
        lungeTime -= kStep;
        steerTo(ball);
        return;
    }
    // Goal-side of the ball, just out of reach, until he sees his moment to step in. He reads
    // the carrier's run only now and then, and a sharp turn costs him speed: a quick change of
    // direction can take the carrier past him.
    const bool look = match->clockMs % kJockeyLookPeriod == 0 || interceptPoint == Vector3{};
    if (look) {
        const Vector3 toGoal = horizontal(plan().ownGoal() - ball);
        const float len = horizontalLength(toGoal);
        interceptPoint = len > 0.0f ? ball + toGoal * (kJockeyDistance / len) : ball;
        interceptPoint.z = 0.0f;
    }
    const Vector3 before = heading;
    steerTo(interceptPoint);
    if (dot(before, heading) < movement().sharpTurn) speed *= movement().sharpTurnSpeedKept;
    if (match->clockMs % 50 != 0) return;
    const float d = horizontalDistance(position, ball);
    if (d > kStepInRange) return;
    if (m.rules.slidingTackles && d > kSlideNearest && match->random.unit() < kSlideChance * slideChanceHere()) {
        startSlide(horizontal(ball - position));
        return;
    }
    if (match->random.unit() < kStepInChance) lungeTime = kLungeTime;
    (void)carrier;
}

float COutfieldPlayer::slideChanceHere() const {
    // In his own area a defender may be told to stay on his feet more.
    const bool ownArea = PitchLandmarks::inBox(position, 2, 3, 0.0f, defendedEnd(attacksUpwards()));
    return ownArea ? match->rules.areaSlideShare : 1.0f;
}

void COutfieldPlayer::maybeSlide() {
    CPlay& m = *match;
    const CPlayer* carrier = m.ballHolder;
    if (carrier == nullptr || team->contains(carrier) || m.isEitherGoalkeeper(carrier)) return;
    if (match->clockMs % 50 != 0 || speed < kSlideMinSpeed) return;
    const Vector3 toBall = horizontal(m.ball.position - position);
    const float d = horizontalLength(toBall);
    if (d < kSlideNearest || d > kSlideFarthest) return;
    if (safeAcos(dot(heading, toBall / d)) > kSlideCone) return;
    float chance = kSlideChance;
    // In his own area a defender may be told to stay on his feet more.
    if (PitchLandmarks::inBox(position, 2, 3, 0.0f, defendedEnd(attacksUpwards()))) chance *= m.rules.areaSlideShare;
    if (match->random.unit() < chance) startSlide(toBall);
}

void COutfieldPlayer::restartPass() {
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

void COutfieldPlayer::takeFreeKick(bool indirect) {
    CPlay& m = *match;
    const float d = horizontalDistance(position, plan().attackedGoal());
    const float wide = std::fabs(m.ball.position.x);
    if (!indirect && d < kFreeKickShotRange && wide < 22.0f && match->random.unit() < (d < 24.0f ? 0.7f : 0.4f)) {
        Vector3 target = shooting::openTarget(*this);
        target.z = match->random.uniform(1.2f, 2.1f);
        shooting::freeKickShot(*this, target);
        return;
    }
    if (d < 40.0f && wide > 15.0f) {
        const PassChoice c = bestCross();
        if (c.receiver != nullptr) {
            passedTo(c.receiver, kicks::cross(c.aim, *this, false));
            return;
        }
    }
    restartPass();
}

void COutfieldPlayer::takePenalty() {
    const float r = match->random.unit();
    const float side = r < 0.1f ? 0.0f : (r < 0.55f ? -1.0f : 1.0f);
    const Vector3 goal = plan().attackedGoal();
    const Vector3 target{side * match->random.uniform(1.8f, 3.2f), goal.y, match->random.uniform(0.3f, 1.9f)};
    shooting::penaltyKick(*this, target);
}

}  // namespace flikka
