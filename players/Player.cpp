#include "players/Player.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <stdexcept>
#include <typeinfo>

#include "players/Kicks.h"
#include "players/Play.h"
#include "players/Rebind.h"
#include "sim/Random.h"
#include "players/Team.h"

namespace flikka {

const Vector3 kDirectionTable[9] = {
    {0.0f, 0.0f, 0.0f},        {0.0f, 1.0f, 0.0f},         {-kDiagonal, kDiagonal, 0.0f},
    {-1.0f, 0.0f, 0.0f},       {-kDiagonal, -kDiagonal, 0.0f}, {0.0f, -1.0f, 0.0f},
    {kDiagonal, -kDiagonal, 0.0f}, {1.0f, 0.0f, 0.0f},     {kDiagonal, kDiagonal, 0.0f},
};

namespace {

constexpr float kStunTime = 0.6f;
constexpr float kDribbleReach = 0.4f;
constexpr float kReachAngle = 1.67075f;
constexpr float kArrivedDistance = 0.05f;
constexpr float kNoDirection = 0.01f;  // vectors shorter than this give no direction
constexpr float kQuickestReach = 0.3f;     // full rules: the reach for the fastest loose ball
constexpr float kReachLostPerSpeed = 0.06f;


bool nearZero(float len) { return len > -kNoDirection && len < kNoDirection; }

}  // namespace

namespace {

// The plain rule: the angle of each direction as acos of its dot product, the first smallest kept.
int nearestDirectionByAngle(const Vector3& u) {
    float best = 10.0f;
    int index = 1;
    for (int i = 1; i <= 8; ++i) {
        const float angle = safeAcos(dot(kDirectionTable[i], u));
        if (angle < best) {
            best = angle;
            index = i;
        }
    }
    return index;
}

}  // namespace

int nearestDirection(const Vector3& u) {
    // A sum of finite values is finite or overflows; either way the plain rule may answer.
    if (!std::isfinite(u.x + u.y + u.z)) return nearestDirectionByAngle(u);
    // The table holds only 0, +-1 and +-kDiagonal, so for a finite u each dot product is one of
    // these few sums (the zero terms add nothing; rounding is the same under negation).
    const float a = kDiagonal * u.x;
    const float b = kDiagonal * u.y;
    const float d1 = u.y, d2 = b - a, d3 = -u.x, d4 = -(a + b), d5 = -u.y, d6 = a - b, d7 = u.x, d8 = a + b;
    const float top =
        std::max(std::max(std::max(d1, d2), std::max(d3, d4)), std::max(std::max(d5, d6), std::max(d7, d8)));
    // acos (of the dot product clamped to [-1, 1]) falls with a slope of at least 1, so a
    // direction whose clamped dot product lies kHair below the largest has an angle at least
    // kHair larger; acosf is off by far less than half of kHair, so it can never win. When only
    // the largest dot product is that close, it is the choice; otherwise the plain rule settles
    // it (and its ties). Above -1, clamping changes no comparison with the bar. No branches in
    // the common case: which direction wins changes from footballer to footballer.
    constexpr float kHair = 1e-5f;
    const float bar = std::min(top, 1.0f) - kHair;
    const unsigned close = (static_cast<unsigned>(d1 >= bar) << 1) | (static_cast<unsigned>(d2 >= bar) << 2) |
                           (static_cast<unsigned>(d3 >= bar) << 3) | (static_cast<unsigned>(d4 >= bar) << 4) |
                           (static_cast<unsigned>(d5 >= bar) << 5) | (static_cast<unsigned>(d6 >= bar) << 6) |
                           (static_cast<unsigned>(d7 >= bar) << 7) | (static_cast<unsigned>(d8 >= bar) << 8);
    if (!(bar > -1.0f) || (close & (close - 1)) != 0) return nearestDirectionByAngle(u);
    return std::countr_zero(close);
}

namespace {

// The direction whose dot product with w leads all others by 1e-4 of |w| (see below), 0 when
// none does.
int clearDirection(const Vector3& w) {
    // The same few sums as nearestDirection's, of w instead of w / len. Each differs from len
    // times its counterpart by well under 1e-6 of |w|, so when the largest sum of w leads every
    // other by 1e-4 of |w| (the sum of the magnitudes is at least |w|), the largest dot product of
    // w / len leads by far more than nearestDirection's hair and is its answer. Otherwise the
    // division is made and nearestDirection decides. Most look-ups thus skip three divisions
    // that everything else waited for.
    //
    // The eight sums come in pairs of exact opposites (rounding is the same under negation):
    // (y, -y), (x, -x), (b - a, a - b), (a + b, -(a + b)); w is finite here. So their largest is
    // the largest magnitude of |x|, |y| and the diagonal pair's |b - a| and |a + b|, which are
    // |a| + |b| (rounded: `wide`) and ||a| - |b|| (`narrow`) in some order: |a + b| is the wide
    // one when a and b share a sign. The margin m is positive, so the bar lies below the
    // largest. A bar at or below 0 has all four sums of magnitude >= 0 above it: never a single
    // one. Above 0 only magnitudes can reach it, and exactly one must: that is the answer, the
    // sign choosing the member of its pair. The narrow one reaching it alone is impossible.
    const float a = kDiagonal * w.x;
    const float b = kDiagonal * w.y;
    const float ax = std::fabs(w.x);
    const float ay = std::fabs(w.y);
    const float wide = std::fabs(a) + std::fabs(b);
    const float narrow = std::fabs(std::fabs(a) - std::fabs(b));
    const float top = std::max(std::max(ax, ay), wide);
    const float bar = top - 1e-4f * (ax + ay + std::fabs(w.z));
    const int reaching = static_cast<int>(ax >= bar) + static_cast<int>(ay >= bar) + static_cast<int>(wide >= bar) +
                         static_cast<int>(narrow >= bar);
    if (!(bar > 0.0f) || reaching != 1) return 0;
    // Without branches: which direction wins changes from footballer to footballer.
    const int alongX = w.x > 0.0f ? 7 : 3;
    const int alongY = w.y > 0.0f ? 1 : 5;
    const bool sameSign = (a >= 0.0f) == (b >= 0.0f);
    const int diagonal = sameSign ? (a + b > 0.0f ? 8 : 4) : (b - a > 0.0f ? 2 : 6);
    const int axis = ax >= bar ? alongX : alongY;
    return ax >= bar || ay >= bar ? axis : diagonal;
}

}  // namespace

int nearestDirectionOf(const Vector3& w, float len) {
    // Outside [0.01, largest float] the error bound of clearDirection does not hold; divide as usual.
    if (!(len >= kNoDirection && len <= std::numeric_limits<float>::max())) return nearestDirection(w / len);
    const int d = clearDirection(w);
    return d != 0 ? d : nearestDirection(w / len);
}

int nearestDirectionOfSquare(const Vector3& w, float square) {
    // The root lies in [0.01, largest float] exactly when the square lies in
    // [kNoDirectionSquare, largest float] (the root of a finite square is finite); a NaN is in
    // neither. So the root is only taken where nearestDirectionOf divides.
    if (!(square >= kNoDirectionSquare && square <= std::numeric_limits<float>::max()))
        return nearestDirection(w / std::sqrt(square));
    const int d = clearDirection(w);
    return d != 0 ? d : nearestDirection(w / std::sqrt(square));
}

std::unique_ptr<CPlayer> CPlayer::clone() const {
    // A kind of footballer that forgot to override this would be copied as a plain one.
    if (typeid(*this) != typeid(CPlayer)) throw std::logic_error("a footballer of this kind cannot be copied");
    return std::make_unique<CPlayer>(*this);
}

bool CPlayer::assignFrom(const CPlayer& o) {
    if (typeid(*this) != typeid(CPlayer) || typeid(o) != typeid(CPlayer)) return false;
    *this = o;
    return true;
}

void CPlayer::rebind(const Rebind& r) {
    r.in(match);
    r.in(team);
    r.in(opponents);
}

CPlayer::CPlayer() {
    for (int i = 0; i < 9; ++i) directionVectors[i] = kDirectionTable[i];
    // Distance run from standstill after each step of full acceleration.
    const Movement& m = movement();
    float v = 0.0f;
    float d = 0.0f;
    do {
        v += m.acceleration * kStep;
        d += v * kStep;
        accelDistances.push_back(d);
    } while (v < m.topSpeed);
    setDirection(5);
}

void CPlayer::setDirection(int index) {
    if (!canMove || index < 0 || index > 8) return;
    if (index == 0) {
        moveMode = 0;
        return;
    }
    const bool neighbour = direction >= 1 && direction <= 8 &&
                           (index == wrapDirection(direction + 1) || index == wrapDirection(direction - 1));
    if (index != direction && !neighbour) speed = 0.0f;
    direction = index;
    heading = directionVectors[index];
    moveMode = 1;
}

void CPlayer::move(float dt) {
    const Movement& m = movement();
    if (moveMode == 0) {
        speed -= m.deceleration * dt;
        if (speed < 0.0f) speed = 0.0f;
    } else {
        speed += m.acceleration * dt;
        if (speed > m.topSpeed) speed = m.topSpeed;
    }
    position += heading * (speed * dt);
}

void CPlayer::update(float dt) {
    sinceLastTouch += dt;

    stunTime -= dt;
    if (stunTime < 0.0f) stunTime = 0.0f;
    if (stunTime > 0.0f) return;
    if (slideTime > 0.0f) {
        slideStep(dt);
        return;
    }

    if (pendingKind != KICK_NONE) {
        pendingTime -= dt;
        if (pendingTime <= 0.0f) {
            pendingTime = 0.0f;
            pendingKind = KICK_NONE;
        }
    }

    move(dt);

    if (hasBall && !setPiece && match != nullptr) {
        const Vector3 point{position.x + kDribbleReach * heading.x, position.y + kDribbleReach * heading.y,
                            kBallRadius + kDribbleReach * heading.z};
        match->ball.carry(point);
    }

    tryTakeBall();
}

void CPlayer::tryTakeBall() {
    if (match == nullptr) return;
    const CBall& ball = match->ball;
    CPlayer* holder = match->ballHolder;

    if (ball.touchLockout > 0.0f) return;
    if (match->isEitherGoalkeeper(holder)) return;
    if (holder != nullptr && match->state != GAME_PLAY) return;
    if (hasBall) return;
    Vector3 v = ball.position - position;
    v.z = 0.0f;
    // sqrt is correctly rounded and monotonic, so a square above 17/16 has a root of at least
    // 1.03: most footballers are far from the ball and need no root at all.
    const float reachSquared = v.x * v.x + v.y * v.y;
    if (reachSquared > 1.0625f) return;
    const float reach = std::sqrt(reachSquared);  // horizontalLength(v)
    if (reach > 1.0f) return;
    if (holder == nullptr && match->rules.controlSpeed > 0.0f && tooQuickToReach(reach)) return;
    if (ball.position.z > 2.0f) return;
    if (sinceLastTouch < 0.3f) return;
    if (holder != nullptr && team != nullptr && team->contains(holder)) return;

    // v is deliberately not normalised: near the ball almost any facing reaches it.
    const bool reaches = reach == 0.0f || safeAcos(dot(heading, v)) < kReachAngle;
    if (reaches) {
        if (holder != nullptr && (match->random.nextInt() % 4 == 3 || carrierEscapes())) {
            // Lost challenge: the challenger is left standing.
            challengeIsFoul(holder, false);
            moveMode = 0;
            speed = 0.0f;
            stunTime = kStunTime;
            return;
        }
        if (holder != nullptr && challengeIsFoul(holder, true)) {
            moveMode = 0;
            speed = 0.0f;
            stunTime = kStunTime;
            return;
        }
        if (holder != nullptr) {
            holder->moveMode = 0;
            holder->speed = 0.0f;
            holder->stunTime = kStunTime;
        }
        match->setBallHolder(this);
        if (holder != nullptr) knockLoose();
    }

    if (pendingTime > 0.0f) playPendingKick();
}

void CPlayer::playPendingKick() {
    switch (pendingKind) {
        case KICK_SHOT: kicks::shoot(pendingAim, *this, false); break;
        case KICK_PASS: kicks::pass(pendingAim, *this, false); break;
        case KICK_CROSS: kicks::cross(pendingAim, *this, false); break;
        default: break;  // a through pass is only ever stored
    }
    pendingKind = KICK_NONE;
    pendingTime = 0.0f;
}

void CPlayer::setHasBall(bool b) {
    if (hasBall && !b) sinceLastTouch = 0.0f;
    hasBall = b;
}

bool CPlayer::steerTo(const Vector3& target) {
    // The horizontal distance to the target: position - target is exactly -(target - position),
    // so its square is the same. The arrival test reads the square (see kArrivedSquare), so
    // nothing waits for the root.
    const Vector3 full = target - position;
    const float square = full.x * full.x + full.y * full.y;
    if (square < kArrivedSquare) {
        position = {target.x, target.y, 0.0f};
        moveMode = 0;
        speed = 0.0f;
        return true;
    }
    // faceToward and setTravelDirection in one: both look up the direction of the same vector
    // to the target, each under its own guard (not near zero, finite), so one look-up serves
    // both. The guards read the squares too: the flat root is at least 0.05 here (or NaN), so
    // facing's guard holds exactly when the square is finite. The whole square is
    // dot(full, full), whose first two terms are `square`; its root is length(full), at least 0
    // or NaN, so travelling's guard holds exactly when it lies in [kNoDirectionSquare, largest float].
    const float flat = std::sqrt(square);
    const float whole = square + full.z * full.z;
    const bool faces = square <= std::numeric_limits<float>::max();
    const bool travels = whole >= kNoDirectionSquare && whole <= std::numeric_limits<float>::max();
    if (faces || travels) {
        const int d = nearestDirectionOfSquare(full, whole);
        if (faces) {
            direction = d;
            heading = {full.x / flat, full.y / flat, 0.0f};
        }
        if (travels) travelDirection = d;
    }
    moveMode = 1;
    return false;
}

void CPlayer::faceToward(const Vector3& target) {
    const float dx = target.x - position.x;
    const float dy = target.y - position.y;
    const float flat = std::sqrt(dx * dx + dy * dy);
    if (nearZero(flat) || !std::isfinite(flat)) return;
    const Vector3 full{dx, dy, target.z - position.z};
    direction = nearestDirectionOf(full, length(full));
    heading = {dx / flat, dy / flat, 0.0f};
}

void CPlayer::setTravelDirection(const Vector3& w) {
    const float len = length(w);
    if (nearZero(len) || !std::isfinite(len)) return;
    travelDirection = nearestDirectionOf(w, len);
}

float CPlayer::timeToReach(const Vector3& p) const {
    const float d = distance(position, p);
    const float t0 = static_cast<float>(accelDistances.size() + 1) * 0.005f;
    const float last = accelDistances.empty() ? 0.0f : accelDistances.back();
    if (last > d) return t0;
    return t0 + (d - last) / movement().topSpeed;
}

bool CPlayer::carrierEscapes() const {
    const float keep = match->rules.tackleSuccess;
    return keep > 0.0f && match->random.unit() >= keep;
}

bool CPlayer::tooQuickToReach(float reach) const {
    const float over = match->ball.speed() - match->rules.controlSpeed;
    return over > 0.0f && reach > std::max(kQuickestReach, 1.0f - over * kReachLostPerSpeed);
}

bool CPlayer::isGoalkeeper() const { return team != nullptr && team->goalkeeper() == this; }

int CPlayer::squadIndex() const { return team != nullptr ? team->indexOf(this) : -1; }

}  // namespace flikka
