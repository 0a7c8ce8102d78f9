// Full rules: the sliding tackle and the foul a challenge can be. A challenge from behind, a
// slide that misses the ball and takes the man, or a late one, is likely to be whistled.
#include <algorithm>
#include <cmath>

#include "players/Player.h"
#include "players/Play.h"
#include "sim/Random.h"
#include "players/Team.h"

namespace flikka {

namespace {

constexpr float kSlideTime = 0.45f;        // seconds on the grass
constexpr float kSlideSpeed = 6.5f;        // m/s at the start of the slide
constexpr float kSlideDeceleration = 10.0f;
constexpr float kGetUpTime = 0.5f;
constexpr float kStunTime = 0.6f;          // a footballer brought down or knocked off the ball
constexpr float kFootReach = 0.6f;         // the leading foot, ahead of his body point
constexpr float kBallContact = 0.7f;
constexpr float kBallContactHeight = 0.6f;
constexpr float kBodyContact = 0.8f;
constexpr float kLateWindow = 0.6f;        // seconds after a carrier let the ball go
constexpr float kFromBehind = 2.1f;        // rad between the carrier's facing and the challenger
constexpr float kLooseTurn = 1.3f;         // a ball knocked loose goes off within this of his run

Vector3 flat(Vector3 v) {
    v.z = 0.0f;
    return v;
}

// True when `challenger` comes at `carrier`'s back.
bool fromBehind(const CPlayer& challenger, const CPlayer& carrier) {
    const Vector3 d = flat(challenger.position - carrier.position);
    const float len = horizontalLength(d);
    return len > 0.0f && safeAcos(dot(carrier.heading, d / len)) > kFromBehind;
}

float foulScale(const CPlay& m) { return m.rules.foulScale > 0.0f ? m.rules.foulScale : 1.0f; }

}  // namespace

bool CPlayer::challengeIsFoul(CPlayer* holder, bool wonBall) {
    if (match == nullptr || !match->rules.fouls || holder == nullptr) return false;
    const float pace = std::min(speed / movement().topSpeed, 1.0f);
    // Playing the ball makes a foul unlikely; going through the man from behind, likely.
    float chance = wonBall ? 0.01f + 0.02f * pace : 0.04f + 0.06f * pace;
    if (fromBehind(*this, *holder)) chance += wonBall ? 0.04f + 0.12f * pace : 0.08f + 0.25f * pace;
    chance *= foulScale(*match);
    if (match->random.unit() >= chance) return false;
    match->callFoul(this, holder);
    return true;
}

void CPlayer::knockLoose() {
    CPlay& m = *match;
    if (!(m.rules.looseTackleChance > 0.0f) || m.ballHolder != this) return;
    if (m.random.unit() >= m.rules.looseTackleChance) return;
    const float turn = m.random.uniform(-kLooseTurn, kLooseTurn);
    const float c = std::cos(turn), s = std::sin(turn);
    const Vector3 along(heading.x * c - heading.y * s, heading.x * s + heading.y * c, 0.0f);
    m.ball.kick(along * m.random.uniform(3.0f, 7.0f), 0.0f, 0.0f);
}

bool CPlayer::startSlide(const Vector3& along) {
    if (match == nullptr || !match->rules.slidingTackles || sliding() || stunTime > 0.0f || hasBall) return false;
    if (match->state != GAME_PLAY) return false;
    const float len = horizontalLength(along);
    if (!(len > 0.0f)) return false;
    slideHeading = Vector3(along.x / len, along.y / len, 0.0f);
    slideDirection = nearestDirection(slideHeading);
    heading = slideHeading;
    direction = slideDirection;
    slideTime = kSlideTime;
    speed = std::max(speed, kSlideSpeed);
    slidePlayedBall = false;
    slideMetPlayer = false;
    pendingKind = KICK_NONE;
    pendingTime = 0.0f;
    return true;
}

void CPlayer::slideStep(float dt) {
    CPlay& m = *match;
    // Nothing steers a slide: the AI and the keys may have turned him since the last step.
    heading = slideHeading;
    direction = slideDirection;
    slideTime -= dt;
    speed = std::max(0.0f, speed - kSlideDeceleration * dt);
    position += heading * (speed * dt);

    CBall& ball = m.ball;
    CPlayer* holder = m.ballHolder;
    const bool ballTheirs = holder == nullptr || (!team->contains(holder) && !m.isEitherGoalkeeper(holder));
    if (!slidePlayedBall && ballTheirs && ball.touchLockout <= 0.0f && ball.position.z < kBallContactHeight &&
        horizontalDistance(position + heading * kFootReach, ball.position) < kBallContact) {
        // He gets a foot to it and knocks it on, a little to one side.
        slidePlayedBall = true;
        if (holder != nullptr) {
            holder->stunTime = kStunTime;
            holder->speed = 0.0f;
        }
        m.setBallHolder(this);
        const float turn = m.random.uniform(-0.5f, 0.5f);
        const float c = std::cos(turn), s = std::sin(turn);
        const Vector3 along(heading.x * c - heading.y * s, heading.x * s + heading.y * c, 0.0f);
        ball.kick(along * m.random.uniform(4.0f, 8.0f), 0.0f, 0.0f);
    }

    if (!slideMetPlayer && opponents != nullptr) {
        const Vector3 body = position + heading * (kFootReach * 0.8f);
        for (std::size_t i = 1; i < opponents->size(); ++i) {
            CPlayer* o = opponents->player(i);
            if (horizontalDistance(body, o->position) >= kBodyContact) continue;
            const bool carrying = o->hasBall;
            const bool late = !carrying && m.lastToucher == o && o->sinceLastTouch < kLateWindow;
            if (!carrying && !late) continue;
            slideMetPlayer = true;
            float chance = late ? 0.7f : (slidePlayedBall ? 0.12f : 0.65f);
            if (fromBehind(*this, *o)) chance += 0.15f;
            chance = std::min(chance * foulScale(m), 0.95f);
            const bool foul = m.random.unit() < chance;
            if (foul) m.callFoul(this, o);
            o->stunTime = kStunTime;
            o->speed = 0.0f;
            o->moveMode = 0;
            // Not whistled: the man is down and the ball runs free.
            if (!foul && carrying && m.ballHolder == o) m.setBallHolder(nullptr);
            break;
        }
    }

    if (slideTime <= 0.0f) {
        slideTime = 0.0f;
        speed = 0.0f;
        moveMode = 0;
        stunTime = kGetUpTime;
    }
}

}  // namespace flikka
