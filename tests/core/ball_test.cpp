#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>

#include "sim/KeyState.h"
#include "players/Player.h"
#include "players/Ball.h"
#include "match/Match.h"

using namespace flikka;

namespace {

constexpr float kDt = 0.005f;

CBall ballAt(const Vector3& p, const Vector3& v, bool airborne, CMatch* m = nullptr) {
    CBall b(m);
    b.position = p;
    b.velocity = v;
    b.airborne = airborne;
    return b;
}

// Distance of point p from the segment a..b.
float segmentDistance(const Vector3& p, const Vector3& a, const Vector3& b) {
    const Vector3 d = b - a;
    float t = dot(p - a, d) / dot(d, d);
    t = std::fmax(0.0f, std::fmin(1.0f, t));
    return distance(p, a + d * t);
}

// Smallest distance of the ball centre from any post or crossbar of either goal.
float frameDistance(const Vector3& p) {
    float best = 1e9f;
    for (float s : {1.0f, -1.0f}) {
        const float y = 52.5f * s;
        best = std::fmin(best, segmentDistance(p, {-3.66f, y, -1.0f}, {-3.66f, y, 2.44f}));
        best = std::fmin(best, segmentDistance(p, {3.66f, y, -1.0f}, {3.66f, y, 2.44f}));
        best = std::fmin(best, segmentDistance(p, {-3.66f, y, 2.44f}, {3.66f, y, 2.44f}));
    }
    return best;
}

struct Flight {
    float closest = 1e9f;  // nearest approach to a bar axis
    bool finite = true;
};

Flight fly(CBall& b, int steps) {
    Flight f;
    for (int i = 0; i < steps; ++i) {
        b.step(kDt);
        f.closest = std::fmin(f.closest, frameDistance(b.position));
        f.finite = f.finite && isFinite(b.position) && isFinite(b.velocity);
    }
    return f;
}

bool sameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

// The step written out plainly, every axis built and normalised (frames left out): the
// reference for the shortcuts the real step takes.
void plainStep(CBall& b, float dt) {
    b.touchLockout -= dt;
    if (b.touchLockout < 0.0f) b.touchLockout = 0.0f;
    if (lengthSquared(b.velocity) <= 0.02f) {
        b.velocity = kZeroVector;
        return;
    }
    const Vector3 u = normalised(b.velocity);
    Vector3 s{u.y, -u.x, 0.0f};
    if (approxEqual(s, kZeroVector, 0.01f)) s = {0.0f, 1.0f, 0.0f};
    Vector3 t = cross(s, u);
    if (lengthSquared(s) > 0.0f) normalise(s); else b.sideSpin = 0.0f;
    if (lengthSquared(t) > 0.0f) normalise(t); else b.topSpin = 0.0f;
    if (!b.kinematic) {
        if (b.airborne) {
            b.velocity.z += -9.81f * dt;
            if (lengthSquared(b.velocity) > lengthSquared(s)) {
                b.velocity += (s * b.sideSpin + t * b.topSpin) * (4.0f * dt);
            }
        } else {
            const Vector3 f = b.velocity * (0.5f * dt);
            b.sideSpin = b.sideSpin - dt * b.sideSpin;
            b.velocity = b.velocity - f + s * (4.0f * dt * b.sideSpin);
        }
    }
    b.position += b.velocity * dt;
    b.bounced = false;
    if (b.airborne && b.position.z <= kBallRadius) {
        reflect(b.velocity, kUpVector);
        b.position.z = kBallRadius;
        b.bounced = true;
        b.topSpin *= 0.512f;
        b.sideSpin *= 0.512f;
        b.velocity *= 0.8f * std::cos(u.z);
    }
}

bool sameBits(const Vector3& a, const Vector3& b) {
    return std::bit_cast<std::uint32_t>(a.x) == std::bit_cast<std::uint32_t>(b.x) &&
           std::bit_cast<std::uint32_t>(a.y) == std::bit_cast<std::uint32_t>(b.y) &&
           std::bit_cast<std::uint32_t>(a.z) == std::bit_cast<std::uint32_t>(b.z);
}

class BallInMatch : public ::testing::Test {
protected:
    CMatch match;
};

class BallInSetUpMatch : public BallInMatch {
protected:
    void SetUp() override {
        const unsigned c[5] = {2, 0, 4, 0, 4};
        match.newMatch(c, c, 300, HUMAN_NONE);
    }
};

}  // namespace

TEST(BallStep, StopRuleAndRollingResistance) {
    CBall slow = ballAt({1.0f, 2.0f, kBallRadius}, {0.14f, 0.0f, 0.0f}, false);
    slow.touchLockout = 0.003f;
    slow.step(kDt);
    EXPECT_EQ(slow.velocity, kZeroVector);
    EXPECT_EQ(slow.position, Vector3(1.0f, 2.0f, kBallRadius));  // stops dead, does not move
    EXPECT_EQ(slow.touchLockout, 0.0f);                            // counted down, never negative

    CBall rolling = ballAt({1.0f, 2.0f, kBallRadius}, {0.0f, 0.15f, 0.0f}, false);
    rolling.touchLockout = 0.5f;
    rolling.step(kDt);
    EXPECT_NEAR(rolling.velocity.y, 0.15f * 0.9975f, 1e-7f);  // 0.25 % per step
    EXPECT_NEAR(rolling.position.y, 2.0f + 0.15f * 0.9975f * kDt, 1e-6f);
    EXPECT_EQ(rolling.position.z, kBallRadius);
    EXPECT_NEAR(rolling.touchLockout, 0.495f, 1e-6f);

    // A rolling ball stays on its height: no gravity acts on it.
    CBall fast = ballAt({0.0f, 0.0f, kBallRadius}, {10.0f, 0.0f, 0.0f}, false);
    for (int i = 0; i < 2000; ++i) fast.step(kDt);
    EXPECT_EQ(fast.position.z, kBallRadius);
    EXPECT_FALSE(fast.bounced);
    EXPECT_EQ(fast.velocity, kZeroVector);  // came to rest within 10 s
}

TEST(BallStep, HeldInTheAirStaysAndFallingBallBounces) {
    CBall held = ballAt({5.0f, 5.0f, 2.0f}, kZeroVector, true);
    for (int i = 0; i < 100; ++i) held.step(kDt);
    EXPECT_EQ(held.position, Vector3(5.0f, 5.0f, 2.0f));

    CBall falling = ballAt({0.0f, 0.0f, 0.12f}, {0.0f, 0.0f, -5.0f}, true);
    falling.sideSpin = 1.0f;
    falling.topSpin = -2.0f;
    falling.step(kDt);
    EXPECT_TRUE(falling.bounced);
    EXPECT_EQ(falling.position.z, kBallRadius);
    // (5 + 9.81 * 0.005) * 0.8 * cos(-1): the direction's z used as an angle.
    EXPECT_NEAR(falling.velocity.z, 5.04905f * 0.8f * std::cos(-1.0f), 1e-4f);
    EXPECT_NEAR(falling.velocity.z, 2.18f, 0.01f);
    EXPECT_FLOAT_EQ(falling.sideSpin, 0.512f);
    EXPECT_FLOAT_EQ(falling.topSpin, -1.024f);
    falling.step(kDt);
    EXPECT_FALSE(falling.bounced);  // cleared by the next step in the air

    // A lofted ball bounces lower and lower and comes to rest on the ground.
    CBall lob = ballAt({0.0f, 0.0f, kBallRadius}, {10.0f, 0.0f, 10.0f}, true);
    int bounces = 0;
    for (int i = 0; i < 2000; ++i) {
        lob.step(kDt);
        bounces += lob.bounced ? 1 : 0;
    }
    EXPECT_GT(bounces, 3);
    EXPECT_EQ(lob.velocity, kZeroVector);
    EXPECT_LT(lob.position.z, 0.2f);
}

TEST(BallStep, SpinCurlsAndLiftsOnlyAboveOneMetrePerSecond) {
    // Flying along +x: the side axis is -y, the second axis is +z.
    CBall curl = ballAt({0.0f, 0.0f, 5.0f}, {20.0f, 0.0f, 0.0f}, true);
    curl.sideSpin = 1.0f;
    curl.step(kDt);
    EXPECT_NEAR(curl.velocity.y, -4.0f * kDt, 1e-6f);
    EXPECT_NEAR(curl.velocity.z, -9.81f * kDt, 1e-6f);

    CBall lift = ballAt({0.0f, 0.0f, 5.0f}, {20.0f, 0.0f, 0.0f}, true);
    lift.topSpin = 3.0f;
    lift.step(kDt);
    EXPECT_NEAR(lift.velocity.z, (-9.81f + 12.0f) * kDt, 1e-5f);

    CBall slow = ballAt({0.0f, 0.0f, 5.0f}, {0.5f, 0.0f, 0.0f}, true);
    slow.sideSpin = 5.0f;
    slow.step(kDt);
    EXPECT_EQ(slow.velocity.y, 0.0f);

    // Rolling: the side spin decays by dt of itself and acts with the new value; top spin is idle.
    CBall roll = ballAt({0.0f, 0.0f, kBallRadius}, {10.0f, 0.0f, 0.0f}, false);
    roll.sideSpin = 2.0f;
    roll.topSpin = 2.0f;
    roll.step(kDt);
    EXPECT_FLOAT_EQ(roll.sideSpin, 2.0f * (1.0f - kDt));
    EXPECT_NEAR(roll.velocity.y, -4.0f * kDt * 2.0f * (1.0f - kDt), 1e-6f);
    EXPECT_FLOAT_EQ(roll.velocity.x, 10.0f * 0.9975f);
    EXPECT_EQ(roll.velocity.z, 0.0f);

    // A vertical flight has a fallback side axis and prints nothing.
    std::ostringstream out;
    CMatch notes;
    notes.console = &out;
    CBall up = ballAt({0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 8.0f}, true, &notes);
    up.sideSpin = 1.0f;
    up.step(kDt);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NEAR(up.velocity.y, 4.0f * kDt, 1e-6f);
}

TEST(BallKick, AirborneOnlyFromOneCentimetrePerSecondUpOrDown) {
    CBall b;
    b.kick({10.0f, 0.0f, 0.005f}, 0.5f, 0.25f);
    EXPECT_FALSE(b.airborne);
    EXPECT_EQ(b.sideSpin, 0.5f);
    EXPECT_EQ(b.topSpin, 0.25f);
    bool anyBounce = false;
    for (int i = 0; i < 400; ++i) {
        b.step(kDt);
        anyBounce = anyBounce || b.bounced;
    }
    EXPECT_FALSE(anyBounce);
    EXPECT_GE(b.position.z, 0.1232f);  // no gravity pulled it down
    EXPECT_LT(b.position.z, 0.1232f + 0.01f);

    b.kick({10.0f, 0.0f, 0.01f}, 0.0f, 0.0f);
    EXPECT_TRUE(b.airborne);
    b.kick({10.0f, 0.0f, -0.01f}, 0.0f, 0.0f);
    EXPECT_TRUE(b.airborne);
    b.kick({10.0f, 0.0f, 0.0f}, 0.0f, 0.0f);
    EXPECT_FALSE(b.airborne);  // a kick along the ground makes it roll again
}

TEST_F(BallInMatch, BackNetTakesSeventyPercentAndTouchingSurfacesRespectDirection) {
    // A shot through the middle of the upper goal mouth.
    CBall shot = ballAt({0.0f, 50.0f, 1.0f}, {0.0f, 25.0f, 0.0f}, true, &match);
    bool hitNet = false;
    for (int i = 0; i < 100 && !hitNet; ++i) {
        const Vector3 before = shot.velocity + Vector3{0.0f, 0.0f, -9.81f * kDt};
        shot.step(kDt);
        if (shot.velocity.y < 0.0f) {
            hitNet = true;
            EXPECT_NEAR(length(shot.velocity), 0.3f * length(before), 1e-3f);
            EXPECT_NEAR(shot.position.y, 53.5f - kBallRadius - 0.01f, 1e-4f);
        }
    }
    EXPECT_TRUE(hitNet);
    EXPECT_GT(shot.position.y, 52.5f);  // stays in the goal

    // Kicked for real, the prediction finds the shot crossing the away goal line (the away side
    // defends the upper end in the first half) and follows the rebound off the net.
    CBall kicked = ballAt({0.0f, 50.0f, 1.0f}, kZeroVector, false, &match);
    kicked.kick({0.0f, 25.0f, 0.5f}, 0.0f, 0.0f);
    EXPECT_TRUE(kicked.event(EV_AWAY_GOAL_LINE).found);
    EXPECT_FALSE(kicked.event(EV_HOME_GOAL_LINE).found);
    EXPECT_NEAR(kicked.event(EV_AWAY_GOAL_LINE).time, (52.5f - kBallRadius - 50.0f) / 25.0f, 0.006f);
    float deepest = -100.0f;
    for (const Vector3& p : kicked.path) deepest = std::fmax(deepest, p.y);
    EXPECT_LT(deepest, 53.5f - kBallRadius);
    EXPECT_GT(deepest, 53.0f);
    EXPECT_LT(kicked.path.back().y, deepest);  // came back off the net

    // The same in the lower goal, mirrored.
    CBall low = ballAt({1.0f, -50.0f, 0.5f}, {0.0f, -25.0f, 0.0f}, true, &match);
    for (int i = 0; i < 100 && low.velocity.y < 0.0f; ++i) low.step(kDt);
    EXPECT_GT(low.velocity.y, 0.0f);
    EXPECT_LT(low.velocity.y, 25.0f * 0.31f);
    EXPECT_NEAR(low.position.y, -53.5f + kBallRadius + 0.01f, 1e-4f);

    // Exactly touching the inside of the back net.
    const float touchY = 53.5f + (-1.0f * kBallRadius);
    CBall away = ballAt({0.0f, touchY, 1.0f}, {0.0f, -5.0f, 0.0f}, true, &match);
    away.kinematic = true;
    FrameHit none;
    away.goalFrameCollisions(none);
    EXPECT_EQ(none.time, 1000.0f);
    away.step(kDt);
    EXPECT_EQ(away.velocity, Vector3(0.0f, -5.0f, 0.0f));
    EXPECT_NEAR(away.position.y, touchY - 5.0f * kDt, 1e-5f);

    CBall into = ballAt({0.0f, touchY, 1.0f}, {0.0f, 5.0f, 0.0f}, true, &match);
    into.kinematic = true;
    FrameHit hit;
    into.goalFrameCollisions(hit);
    EXPECT_EQ(hit.time, 0.0f);
    EXPECT_EQ(hit.normal, Vector3(0.0f, -1.0f, 0.0f));
    EXPECT_FLOAT_EQ(hit.restitution, 0.3f);
    into.step(kDt);
    EXPECT_FLOAT_EQ(into.velocity.y, -1.5f);
    EXPECT_NEAR(into.position.y, touchY - 0.01f, 1e-6f);

    // Without a match the frames are not there.
    CBall free = ballAt({0.0f, 50.0f, 1.0f}, {0.0f, 25.0f, 0.0f}, true);
    for (int i = 0; i < 100; ++i) free.step(kDt);
    EXPECT_GT(free.position.y, 54.0f);
}

TEST_F(BallInMatch, OutsideOfTheNetReflectsFully) {
    // From behind the upper goal towards the back of the net.
    CBall b = ballAt({0.0f, 56.0f, 1.0f}, {0.0f, -20.0f, 0.0f}, true, &match);
    b.kinematic = true;
    for (int i = 0; i < 100 && b.velocity.y < 0.0f; ++i) b.step(kDt);
    EXPECT_FLOAT_EQ(b.velocity.y, 20.0f);
    EXPECT_NEAR(b.position.y, 53.5f + kBallRadius + 0.01f, 1e-4f);

    // Onto the roof from above.
    CBall r = ballAt({0.0f, 53.0f, 4.0f}, {0.0f, 0.0f, -10.0f}, true, &match);
    r.kinematic = true;
    for (int i = 0; i < 100 && r.velocity.z < 0.0f; ++i) r.step(kDt);
    EXPECT_FLOAT_EQ(r.velocity.z, 10.0f);
    EXPECT_NEAR(r.position.z, 2.44f + kBallRadius + 0.01f, 1e-4f);
}

TEST_F(BallInMatch, PostsBounceBallsBackFromEveryDirection) {
    // A shot at the right post at 1 m height: the posts reach down to the ground.
    CBall front = ballAt({3.66f, 50.0f, 1.0f}, {0.0f, 20.0f, 0.0f}, true, &match);
    Flight f = fly(front, 40);
    EXPECT_LT(front.velocity.y, 0.0f);
    EXPECT_LT(front.position.y, 52.5f);
    EXPECT_GT(f.closest, 0.1732f - 1e-3f);
    EXPECT_NEAR(std::fabs(front.velocity.y), 16.0f, 0.1f);  // restitution 0.8

    // A rolling ball at the foot of the left post of the lower goal.
    CBall foot = ballAt({-3.66f, -45.0f, kBallRadius}, {0.0f, -15.0f, 0.0f}, false, &match);
    f = fly(foot, 200);
    EXPECT_GT(foot.velocity.y, 0.0f);
    EXPECT_GT(foot.position.y, -52.5f);
    EXPECT_GT(f.closest, 0.1732f - 1e-3f);
    EXPECT_FALSE(foot.airborne);

    // From inside the goal mouth sideways, and from outside the goal.
    CBall side = ballAt({0.0f, 52.5f, 1.0f}, {20.0f, 0.0f, 0.0f}, true, &match);
    side.kinematic = true;
    f = fly(side, 40);
    EXPECT_LT(side.velocity.x, 0.0f);
    EXPECT_GT(f.closest, 0.1732f - 1e-3f);
    CBall outside = ballAt({6.0f, 52.5f, 1.0f}, {-20.0f, 0.0f, 0.0f}, true, &match);
    outside.kinematic = true;
    f = fly(outside, 40);
    EXPECT_GT(outside.velocity.x, 0.0f);
    EXPECT_GT(f.closest, 0.1732f - 1e-3f);

    // A glancing hit off the outside of the post is deflected wide, not through.
    CBall glance = ballAt({3.76f, 48.0f, 1.0f}, {0.0f, 20.0f, 0.0f}, true, &match);
    glance.kinematic = true;
    f = fly(glance, 60);
    EXPECT_GT(glance.velocity.x, 1.0f);
    EXPECT_GT(f.closest, 0.1732f - 1e-3f);
}

TEST_F(BallInMatch, PostTopAndCrossbarBounceBallsOut) {
    // Dropped onto the top of a post: the end cap throws it back up.
    CBall top = ballAt({3.66f, 52.5f, 5.0f}, {0.0f, 0.0f, -8.0f}, true, &match);
    top.kinematic = true;
    for (int i = 0; i < 200 && top.velocity.z < 0.0f; ++i) top.step(kDt);
    EXPECT_FLOAT_EQ(top.velocity.z, 8.0f * 0.8f);
    EXPECT_NEAR(top.position.z, 2.44f + 0.2864f + 0.01f, 1e-3f);

    // Straight at the crossbar: back into the field.
    CBall bar = ballAt({0.0f, 45.0f, 2.44f}, {0.0f, 25.0f, 0.0f}, true, &match);
    bar.kinematic = true;
    Flight f = fly(bar, 100);
    EXPECT_LT(bar.velocity.y, 0.0f);
    EXPECT_NEAR(bar.velocity.y, -20.0f, 1e-3f);
    EXPECT_GT(f.closest, 0.1732f - 1e-3f);

    // Under the crossbar's middle: deflected down into the goal; over it: up and over.
    CBall under = ballAt({1.0f, 45.0f, 2.34f}, {0.0f, 25.0f, 0.0f}, true, &match);
    under.kinematic = true;
    f = fly(under, 62);
    EXPECT_LT(under.velocity.y, 0.0f);
    EXPECT_LT(under.velocity.z, -15.0f);
    EXPECT_GT(f.closest, 0.1732f - 1e-3f);
    CBall over = ballAt({-1.0f, -45.0f, 2.54f}, {0.0f, -25.0f, 0.0f}, true, &match);
    over.kinematic = true;
    f = fly(over, 100);
    EXPECT_GT(over.velocity.z, 0.0f);
    EXPECT_GT(f.closest, 0.1732f - 1e-3f);

    // Dropped onto the crossbar from above.
    CBall drop = ballAt({-2.0f, 52.5f, 6.0f}, {0.0f, 0.0f, -5.0f}, true, &match);
    for (int i = 0; i < 300 && drop.velocity.z < 0.0f; ++i) drop.step(kDt);
    EXPECT_GT(drop.velocity.z, 0.0f);
    EXPECT_GT(drop.position.z, 2.44f + 0.1732f);
}

TEST_F(BallInMatch, RandomShotsAtTheFrameNeverPassThroughABar) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int deflected = 0;
    for (int n = 0; n < 400; ++n) {
        const float end = unit(rng) < 0.5f ? 1.0f : -1.0f;
        // Aim at a random point on a post or the crossbar from a random spot in front.
        Vector3 aim;
        const float pick = unit(rng);
        if (pick < 0.33f) {
            aim = {-3.66f, 52.5f * end, 2.44f * unit(rng)};
        } else if (pick < 0.66f) {
            aim = {3.66f, 52.5f * end, 2.44f * unit(rng)};
        } else {
            aim = {-3.66f + 7.32f * unit(rng), 52.5f * end, 2.44f};
        }
        aim += Vector3{0.6f * (unit(rng) - 0.5f), 0.0f, 0.6f * (unit(rng) - 0.5f)};
        const Vector3 from{-15.0f + 30.0f * unit(rng), end * (35.0f + 15.0f * unit(rng)), 0.2f + 3.0f * unit(rng)};
        const float speed = 5.0f + 35.0f * unit(rng);
        CBall b = ballAt(from, normalised(aim - from) * speed, true, &match);
        b.kinematic = unit(rng) < 0.5f;
        const Flight f = fly(b, 600);
        EXPECT_TRUE(f.finite);
        EXPECT_GT(f.closest, 0.1732f - 1e-3f) << "shot " << n;
        if (b.velocity.y * end < 0.0f || f.closest < 0.5f) ++deflected;
    }
    EXPECT_GT(deflected, 100);
}

TEST_F(BallInSetUpMatch, CarryMovesOrIsBlockedByThePost) {
    CBall& ball = match.ball;
    ball.position = {10.0f, 10.0f, kBallRadius};
    ball.velocity = {1.0f, 2.0f, 0.0f};
    EXPECT_TRUE(ball.carry({10.3f, 10.4f, kBallRadius}));
    EXPECT_EQ(ball.position, Vector3(10.3f, 10.4f, kBallRadius));
    EXPECT_EQ(ball.velocity, Vector3(1.0f, 2.0f, 0.0f));  // untouched by a carry

    CPlayer* holder = match.home.player(3);
    match.setBallHolder(holder);
    ASSERT_EQ(match.ballHolder, holder);
    ball.position = {3.66f, 52.0f, kBallRadius};
    ball.airborne = false;
    EXPECT_FALSE(ball.carry({3.66f, 52.6f, kBallRadius}));
    EXPECT_EQ(match.ballHolder, nullptr);
    EXPECT_FALSE(holder->hasBall);
    EXPECT_NEAR(ball.velocity.y, -10.0f, 1e-4f);
    EXPECT_NEAR(ball.position.y, 52.5f - 0.1732f - 0.01f, 1e-3f);
    EXPECT_FALSE(ball.airborne);

    // Carried upwards into the post at hand height: released with upward speed, the ball must
    // fly and fall back, not drift up for ever.
    match.setBallHolder(holder);
    ball.position = {-3.66f, -52.0f, 1.0f};
    EXPECT_FALSE(ball.carry({-3.66f, -52.6f, 1.3f}));
    EXPECT_GT(ball.velocity.z, 1.0f);
    EXPECT_TRUE(ball.airborne);
    float highest = ball.position.z;
    for (int i = 0; i < 1000; ++i) {
        ball.step(kDt);
        highest = std::fmax(highest, ball.position.z);
    }
    EXPECT_LT(highest, 3.0f);
    EXPECT_LT(ball.position.z, 0.2f);
}

TEST_F(BallInMatch, RollingBallKnockedByTheCrossbarFlies) {
    // A ball released at crossbar height without flight (as a carried ball can be) meets the bar
    // above its axis and is thrown upwards: it must start to fall under gravity.
    CBall b = ballAt({0.5f, 48.0f, 2.55f}, {0.0f, 15.0f, 0.0f}, false, &match);
    for (int i = 0; i < 100 && b.velocity.y > 0.0f; ++i) b.step(kDt);
    EXPECT_LT(b.velocity.y, 0.0f);
    EXPECT_TRUE(b.airborne);
    EXPECT_GT(b.velocity.z, 5.0f);
    bool bounced = false;
    for (int i = 0; i < 2000; ++i) {
        b.step(kDt);
        bounced = bounced || b.bounced;
    }
    EXPECT_TRUE(bounced);
    EXPECT_LT(b.position.z, 0.2f);
    EXPECT_EQ(b.velocity, kZeroVector);
}

TEST_F(BallInSetUpMatch, PredictionFindsGoalLineEventsForEitherHalf) {
    CBall& ball = match.ball;
    const CPlayer* awayKeeper = match.away.goalkeeper();
    ASSERT_NE(awayKeeper, nullptr);
    match.setBallHolder(match.home.player(9));
    ball.position = {1.0f, 30.0f, kBallRadius};
    // A hard low shot at the upper goal, which the away side defends in the first half.
    ball.kick({0.0f, 30.0f, 4.0f}, 0.0f, 0.0f);
    EXPECT_EQ(match.ballHolder, nullptr);
    EXPECT_TRUE(ball.event(EV_AWAY_GOAL_LINE).found);
    EXPECT_FALSE(ball.event(EV_HOME_GOAL_LINE).found);
    EXPECT_FALSE(ball.event(EV_HOME_KEEPER_LINE).found);
    const PredictionEvent& line = ball.event(EV_AWAY_GOAL_LINE);
    EXPECT_NEAR(line.time, (52.5f - kBallRadius - 30.0f) / 30.0f, 0.01f);
    EXPECT_NEAR(std::fmod(line.time - 0.0025f + 1e-4f, 0.005f), 1e-4f, 2e-5f);  // half a step late
    // The keeper line 0.25 m in front of him, in his penalty area.
    const PredictionEvent& keeperLine = ball.event(EV_AWAY_KEEPER_LINE);
    ASSERT_TRUE(keeperLine.found);
    EXPECT_LT(keeperLine.time, line.time);
    // Recorded where the copy was at the start of the crossing step: at most one step short.
    const float keeperPlane = awayKeeper->position.y - 0.25f - kBallRadius;
    EXPECT_LE(keeperLine.point.y, keeperPlane);
    EXPECT_GT(keeperLine.point.y, keeperPlane - 30.0f * 0.005f);
    EXPECT_LE(line.point.y, 52.5f - kBallRadius);
    EXPECT_GT(line.point.y, 52.5f - kBallRadius - 30.0f * 0.005f);
    // The path: one sample every tenth step from the kick point on.
    ASSERT_FALSE(ball.path.empty());
    EXPECT_EQ(ball.path.front(), Vector3(1.0f, 30.0f, kBallRadius));
    EXPECT_GT(ball.path.size(), 3u);
    EXPECT_NEAR(ball.path[1].y, 30.0f + 30.0f * 0.05f, 0.01f);
    EXPECT_EQ(ball.position, Vector3(1.0f, 30.0f, kBallRadius));  // the match ball itself did not move

    // After half time the home side defends the upper end: the same shot is at the home goal.
    match.secondHalf = true;
    ball.kick({0.0f, 30.0f, 4.0f}, 0.0f, 0.0f);
    EXPECT_TRUE(ball.event(EV_HOME_GOAL_LINE).found);
    EXPECT_FALSE(ball.event(EV_AWAY_GOAL_LINE).found);

    // A shot high over the bar crosses the crossbar-height plane but not the goal line event.
    match.secondHalf = false;
    ball.kick({0.0f, 18.0f, 9.0f}, 0.0f, 0.0f);
    EXPECT_FALSE(ball.event(EV_AWAY_GOAL_LINE).found);
    for (const Vector3& p : ball.path) EXPECT_TRUE(isFinite(p));
}

TEST_F(BallInSetUpMatch, GoalkeeperReachKeepsTheSecondSampleHeCanReach) {
    CBall& ball = match.ball;
    const CPlayer* keeper = match.away.goalkeeper();
    // A slow ball rolled into the away handling box from its edge.
    ball.position = {keeper->position.x + 3.0f, 37.0f, kBallRadius};
    ball.kick({0.0f, 4.0f, 0.0f}, 0.0f, 0.0f);
    const PredictionEvent& reach = ball.event(EV_AWAY_KEEPER_REACH);
    ASSERT_TRUE(reach.found);
    EXPECT_NE(reach.bestTime, 1000.0f);
    EXPECT_EQ(reach.bestTime, reach.time);
    EXPECT_GE(reach.time, keeper->timeToReach(reach.point));
    EXPECT_GE(reach.point.y, 36.0f - kBallRadius);
    EXPECT_FALSE(ball.event(EV_HOME_KEEPER_REACH).found);
    EXPECT_EQ(ball.event(EV_HOME_KEEPER_REACH).bestTime, -1.0f);
}

TEST_F(BallInSetUpMatch, PredictionEndsForAFlightThatNeverLands) {
    // Top spin that balances gravity keeps a flat flight in the air for ever; the prediction
    // must still end (after 20 s of flight, one path point every 0.05 s).
    CBall& ball = match.ball;
    ball.position = {0.0f, -20.0f, 1.0f};
    ball.kick({0.0f, 20.0f, 0.01f}, 0.0f, 9.81f / 4.0f);
    EXPECT_LE(ball.path.size(), 20.0f / 0.05f + 1);
    EXPECT_GE(ball.path.size(), 20.0f / 0.05f - 1);
    for (const Vector3& p : ball.path) EXPECT_TRUE(isFinite(p));
    // A kick that leaves the ball at rest predicts nothing and does not hang either.
    ball.kick(kZeroVector, 0.0f, 0.0f);
    EXPECT_TRUE(ball.path.empty());
}

TEST_F(BallInMatch, FrameCullingIsBitIdentical) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int touchedFrame = 0;
    for (int n = 0; n < 300; ++n) {
        const float end = unit(rng) < 0.5f ? 1.0f : -1.0f;
        const Vector3 from{-30.0f + 60.0f * unit(rng), end * (20.0f + 30.0f * unit(rng)), 0.1132f + 2.0f * unit(rng)};
        const Vector3 aim{-6.0f + 12.0f * unit(rng), end * (51.0f + 4.0f * unit(rng)), 3.0f * unit(rng)};
        const float speed = 3.0f + 40.0f * unit(rng);
        CBall culled = ballAt(from, normalised(aim - from) * speed, unit(rng) < 0.8f, &match);
        culled.sideSpin = 2.0f * unit(rng) - 1.0f;
        culled.topSpin = 2.0f * unit(rng) - 1.0f;
        CBall full = culled;
        full.frameCulling = false;
        CBall noFrames = culled;
        noFrames.frameCollisions = false;
        bool same = true;
        for (int i = 0; i < 1500 && same; ++i) {
            culled.step(kDt);
            full.step(kDt);
            noFrames.step(kDt);
            same = sameBits(culled.position, full.position) && sameBits(culled.velocity, full.velocity) &&
                   culled.sideSpin == full.sideSpin && culled.topSpin == full.topSpin &&
                   culled.airborne == full.airborne;
        }
        EXPECT_TRUE(same) << "flight " << n;
        if (!sameBits(culled.position, noFrames.position)) ++touchedFrame;
    }
    EXPECT_GT(touchedFrame, 50);  // many flights really met a net or the frame
}

TEST(BallStep, ShortcutsGiveTheBitsOfThePlainStep) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    // Components drawn to include exact zeros of both signs, which the shortcuts must respect.
    auto component = [&](float scale) {
        const float r = unit(rng);
        if (r < 0.15f) return 0.0f;
        if (r < 0.3f) return -0.0f;
        return scale * (2.0f * unit(rng) - 1.0f);
    };
    auto spin = [&] {
        const float r = unit(rng);
        if (r < 0.4f) return 0.0f;
        if (r < 0.5f) return -0.0f;
        return 4.0f * unit(rng) - 2.0f;
    };
    int steps = 0;
    for (int n = 0; n < 3000; ++n) {
        CBall fast;
        fast.position = {component(30.0f), component(50.0f), 0.1132f + 3.0f * unit(rng)};
        fast.velocity = {component(30.0f), component(30.0f), component(15.0f)};
        fast.airborne = unit(rng) < 0.6f;
        fast.kinematic = unit(rng) < 0.1f;
        fast.sideSpin = spin();
        fast.topSpin = spin();
        CBall plain = fast;
        bool same = true;
        for (int i = 0; i < 400 && same; ++i, ++steps) {
            fast.step(kDt);
            plainStep(plain, kDt);
            same = sameBits(fast.position, plain.position) && sameBits(fast.velocity, plain.velocity) &&
                   sameBits(fast.sideSpin, plain.sideSpin) && sameBits(fast.topSpin, plain.topSpin) &&
                   fast.bounced == plain.bounced;
        }
        EXPECT_TRUE(same) << "flight " << n;
    }
    EXPECT_GT(steps, 1000000);
}
