#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

#include "sim/KeyState.h"
#include "players/Ball.h"
#include "players/KickPlanner.h"
#include "match/Match.h"

using namespace flikka;
namespace kp = flikka::kick_planner;

namespace {

constexpr float kDt = 0.005f;

CBall ballAt(const Vector3& p) {
    CBall b;
    b.position = p;
    return b;
}

// Flies a copy of a kicked ball (no match) until it has started to descend and is at or below
// `height`: where a probe of the planner would have ended.
Vector3 landing(const CBall& kicked, float height) {
    CBall b;
    b.position = kicked.position;
    b.kick(kicked.velocity, kicked.sideSpin, kicked.topSpin);
    bool descending = false;
    for (int i = 0; i < 4000; ++i) {
        b.step(kDt);
        if (b.velocity.z <= 0.0f) descending = true;
        if (descending && b.position.z <= height) break;
    }
    return b.position;
}

float elevationOf(const Vector3& v) { return std::asin(v.z / length(v)); }

// The fixed-speed search written out plainly, every probe flown to its end: the reference for
// the planner, which stops probes early where the outcome is already settled.
Vector3 plainFixedSpeedVelocity(const Vector3& from, const Vector3& target, float side, float speed) {
    const float d = horizontalDistance(from, target);
    float low = 0.0f, high = 0.785375f, theta = 0.0f;
    Vector3 end;
    for (int i = 0;; ++i) {
        theta = (low + high) / 2.0f;
        CBall probe;
        probe.position = {0.0f, 0.0f, 0.1232f};
        probe.kick(Vector3{std::cos(theta), 0.0f, std::sin(theta)} * speed, side, 0.0f);
        probe.step(kDt);
        float elapsed = kDt;
        bool bounced = probe.bounced;
        while (elapsed <= 10.0f) {
            if (horizontalLength(probe.position) >= d || probe.speed() < 0.01f) break;
            probe.step(kDt);
            elapsed += kDt;
            bounced = bounced || probe.bounced;
        }
        end = probe.position;
        if ((!bounced && std::fabs(end.z - target.z) < 0.049999997f) || i == 19) break;
        if (end.z < target.z || bounced) low = theta; else high = theta;
    }
    const float a = std::acos(std::fmin(1.0f, end.x / horizontalLength(end)));
    const float aim = side > 0.0f ? a : -a;
    const float face = bearing(target - from);
    const float x1 = std::cos(aim), y1 = std::sin(aim), c = std::cos(face), s = std::sin(face);
    return withElevation({x1 * c - y1 * s, x1 * s + y1 * c, 0.0f}, theta) * speed;
}

}  // namespace

TEST(GroundPass, LaunchesAtArrivalSpeedPlusDistance) {
    CBall ball = ballAt({5.0f, -10.0f, kBallRadius});
    const Vector3 target{5.0f + 6.0f, -10.0f + 8.0f, kBallRadius};  // 10 m away
    const float flight = kp::groundPass(ball, target, 6.0f);
    EXPECT_NEAR(ball.speed(), 16.0f, 0.3f);
    EXPECT_EQ(ball.velocity.z, 0.0f);
    EXPECT_FALSE(ball.airborne);
    EXPECT_NEAR(ball.velocity.x / ball.velocity.y, 0.75f, 1e-5f);
    EXPECT_EQ(ball.sideSpin, 0.0f);
    // The last probe ran from ~16 down to 6.01 m/s: 2 ln(16 / 6) s, in whole steps.
    EXPECT_NEAR(flight, 2.0f * std::log(16.0f / 6.01f), 0.05f);
    EXPECT_NEAR(std::fmod(flight + 1e-4f, kDt), 1e-4f, 1e-4f);
    EXPECT_EQ(ball.position, Vector3(5.0f, -10.0f, kBallRadius));  // a kick does not move the ball

    // A pass to the ball's own spot has no direction: no NaN, the ball stays.
    CBall self = ballAt({1.0f, 1.0f, kBallRadius});
    kp::groundPass(self, {1.0f, 1.0f, 0.5f}, 6.0f);
    EXPECT_TRUE(isFinite(self.velocity));
    EXPECT_EQ(self.velocity, kZeroVector);
}

TEST(FixedElevation, HitsTheTargetDistanceOrEndsNearTheHighestSpeed) {
    CBall ball = ballAt({0.0f, 0.0f, kBallRadius});
    const Vector3 target{0.0f, 25.0f, 0.5f};
    kp::fixedElevation(ball, target, 0.5f, 0.0f, 3.0f, 40.0f);
    EXPECT_NEAR(elevationOf(ball.velocity), 0.5f, 1e-5f);
    EXPECT_NEAR(ball.velocity.x, 0.0f, 1e-4f);
    EXPECT_TRUE(ball.airborne);
    const Vector3 end = landing(ball, 0.5f);
    EXPECT_NEAR(horizontalLength(end), 25.0f, 0.2f);

    // Out of reach: 20 probes, every one short, end just under the highest speed.
    CBall far = ballAt({0.0f, 0.0f, kBallRadius});
    kp::fixedElevation(far, {0.0f, 400.0f, 0.0f}, 0.3f, 0.0f, 0.0f, 30.0f);
    EXPECT_GT(far.speed(), 29.999f);
    EXPECT_LT(far.speed(), 30.0f);
}

TEST(FixedElevation, SideSpinAimsAgainstTheCurl) {
    const Vector3 from{0.0f, 0.0f, kBallRadius};
    const Vector3 target{0.0f, 30.0f, kBallRadius};
    CBall plain = ballAt(from);
    kp::fixedElevation(plain, target, 0.3f, 0.0f, 0.0f, 40.0f);
    CBall curl = ballAt(from);
    kp::fixedElevation(curl, target, 0.3f, 1.0f, 0.0f, 40.0f);
    CBall hook = ballAt(from);
    kp::fixedElevation(hook, target, 0.3f, -1.0f, 0.0f, 40.0f);

    const float straight = bearing(target - from);
    EXPECT_NEAR(bearing(plain.velocity), straight, 1e-4f);
    // Positive side spin curls clockwise, so the launch turns anticlockwise; negative the other way.
    EXPECT_GT(bearing(curl.velocity), straight + 0.01f);
    EXPECT_LT(bearing(hook.velocity), straight - 0.01f);
    EXPECT_EQ(curl.sideSpin, 1.0f);
    EXPECT_EQ(curl.topSpin, 0.0f);

    // The curling flight comes down on the line to the target.
    const Vector3 end = landing(curl, kBallRadius);
    EXPECT_NEAR(end.x, 0.0f, 0.05f);
    EXPECT_NEAR(end.y, 30.0f, 0.3f);
    // Without the correction it would have landed well off the line.
    CBall uncorrected = ballAt(from);
    uncorrected.kick(plain.velocity, 1.0f, 0.0f);
    EXPECT_GT(std::fabs(landing(uncorrected, kBallRadius).x), 0.5f);
}

TEST(FixedSpeed, FindsTheElevationOrEndsNearTheQuarterTurn) {
    // Strong enough: the ball passes the target within 5 cm of its height, without a bounce.
    CBall ball = ballAt({0.0f, 0.0f, kBallRadius});
    kp::fixedSpeed(ball, {0.0f, 20.0f, 1.5f}, 0.0f, 20.0f);
    EXPECT_NEAR(ball.speed(), 20.0f, 1e-4f);
    const float theta = elevationOf(ball.velocity);
    EXPECT_GT(theta, 0.0f);
    EXPECT_LT(theta, 0.4f);
    CBall copy;
    copy.position = ball.position;
    copy.kick(ball.velocity, 0.0f, 0.0f);
    while (copy.position.y < 20.0f) copy.step(kDt);
    EXPECT_NEAR(copy.position.z, 1.5f, 0.06f);

    // Too weak at any elevation: every probe rolls out short and the search keeps raising.
    CBall weak = ballAt({0.0f, 0.0f, kBallRadius});
    kp::fixedSpeed(weak, {50.0f, 0.0f, kBallRadius}, 0.0f, 5.0f);
    EXPECT_NEAR(elevationOf(weak.velocity), 0.785375f, 1e-4f);
    EXPECT_NEAR(weak.speed(), 5.0f, 1e-5f);
    EXPECT_GT(weak.velocity.x, 0.0f);
}

TEST(FixedSpeed, EarlyStoppedProbesGiveTheBitsOfThePlainSearch) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int n = 0; n < 60; ++n) {
        const Vector3 from{-30.0f + 60.0f * unit(rng), -50.0f + 100.0f * unit(rng), kBallRadius};
        const Vector3 target{-30.0f + 60.0f * unit(rng), -50.0f + 100.0f * unit(rng), 2.5f * unit(rng)};
        const float side = unit(rng) < 0.3f ? 0.0f : 2.0f * unit(rng) - 1.0f;
        const float speed = 5.0f + 35.0f * unit(rng);
        CBall ball = ballAt(from);
        kp::fixedSpeed(ball, target, side, speed);
        const Vector3 plain = plainFixedSpeedVelocity(from, target, side, speed);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(ball.velocity.x), std::bit_cast<std::uint32_t>(plain.x)) << n;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(ball.velocity.y), std::bit_cast<std::uint32_t>(plain.y)) << n;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(ball.velocity.z), std::bit_cast<std::uint32_t>(plain.z)) << n;
    }
}

TEST(LoftedKick, RollOutOnlyForTargetsOnTheGround) {
    const Vector3 from{0.0f, 0.0f, kBallRadius};
    // A target 0.1232 above the ground: the roll-out flag makes no difference.
    CBall a = ballAt(from), b = ballAt(from);
    kp::lofted(a, {0.0f, 30.0f, 0.1232f}, 0.47122502f, 0.0f, 1.0f, 40.0f, true);
    kp::lofted(b, {0.0f, 30.0f, 0.1232f}, 0.47122502f, 0.0f, 1.0f, 40.0f, false);
    EXPECT_EQ(a.velocity, b.velocity);
    EXPECT_NEAR(elevationOf(a.velocity), 0.47122502f, 1e-5f);
    const Vector3 end = landing(a, 0.1232f);
    EXPECT_NEAR(end.y, 30.0f, 0.3f);

    // On the ground with the flag: the ball is meant to come to rest there, so it is kicked softer.
    CBall c = ballAt(from);
    kp::lofted(c, {0.0f, 30.0f, 0.0f}, 0.47122502f, 0.0f, 1.0f, 40.0f, true);
    EXPECT_LT(c.speed(), a.speed() - 0.5f);
    CBall rest;
    rest.position = c.position;
    rest.kick(c.velocity, 0.0f, 0.0f);
    for (int i = 0; i < 4000; ++i) rest.step(kDt);
    EXPECT_NEAR(rest.position.y, 30.0f, 0.3f);
    EXPECT_EQ(c.topSpin, 0.0f);

    // Top spin travels with the kick.
    CBall d = ballAt(from);
    kp::lofted(d, {0.0f, 20.0f, 1.0f}, 0.3f, 0.5f, 1.0f, 40.0f, false);
    EXPECT_EQ(d.topSpin, 0.5f);
    EXPECT_EQ(d.sideSpin, 0.0f);
}

TEST(KickPlanner, ProbesThatUsedToHangEnd) {
    // The target is the ball's own spot: the search lowers the speed until the probe is held
    // still in the air by the stop rule, above its target height.
    CBall same = ballAt({2.0f, 3.0f, kBallRadius});
    kp::fixedElevation(same, {2.0f, 3.0f, kBallRadius}, 0.785375f, 0.0f, 0.0f, 40.0f);
    EXPECT_TRUE(isFinite(same.velocity));
    EXPECT_LT(same.speed(), 0.5f);

    // A target below the ball's resting height is never reached from above.
    CBall low = ballAt({0.0f, 0.0f, kBallRadius});
    kp::lofted(low, {0.0f, 20.0f, 0.05f}, 0.4f, 0.0f, 1.0f, 40.0f, false);
    EXPECT_TRUE(isFinite(low.velocity));
    EXPECT_GT(low.speed(), 1.0f);

    // Straight above the ball: no horizontal direction to aim along.
    CBall up = ballAt({0.0f, 0.0f, kBallRadius});
    kp::lofted(up, {0.0f, 0.0f, 3.0f}, 0.4f, 0.0f, 1.0f, 40.0f, false);
    EXPECT_TRUE(isFinite(up.velocity));
    CBall upSpin = ballAt({0.0f, 0.0f, kBallRadius});
    kp::fixedSpeed(upSpin, {0.0f, 0.0f, 3.0f}, 1.0f, 10.0f);
    EXPECT_TRUE(isFinite(upSpin.velocity));

    // A spin strong enough to lift the probe for ever.
    CBall lift = ballAt({0.0f, 0.0f, kBallRadius});
    kp::lofted(lift, {0.0f, 20.0f, 1.0f}, 0.4f, 5.0f, 1.0f, 40.0f, false);
    EXPECT_TRUE(isFinite(lift.velocity));

    // A negative arrival speed can never be undercut by a ball at rest.
    CBall neg = ballAt({0.0f, 0.0f, kBallRadius});
    kp::groundPass(neg, {10.0f, 0.0f, kBallRadius}, -1.0f);
    EXPECT_TRUE(isFinite(neg.velocity));
}

TEST(KickPlanner, KicksTheMatchBallAndReleasesTheHolder) {
    CMatch m;
    const unsigned c[5] = {2, 0, 4, 0, 4};
    m.newMatch(c, c, 300, HUMAN_NONE);
    CPlayer* p = m.home.player(5);
    m.setBallHolder(p);
    m.ball.position = {0.0f, 30.0f, kBallRadius};
    kp::fixedSpeed(m.ball, {0.0f, 52.5f, 1.0f}, 0.0f, 25.0f);
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_FALSE(p->hasBall);
    EXPECT_TRUE(m.ball.event(EV_AWAY_GOAL_LINE).found);  // planned as a shot on target
    EXPECT_FALSE(m.ball.path.empty());
}
