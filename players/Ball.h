#pragma once
#include <vector>

#include "sim/Vector3.h"

namespace flikka {

class CPlay;

// Constants of the flight, shared with the kick planner's quick probe flights.
namespace ball_physics {
inline constexpr float kGravity = 9.81f;
inline constexpr float kStopSpeedSquared = 0.02f;  // a slower ball stops dead
inline constexpr float kSpinGain = 4.0f;
inline constexpr float kAirborneVz = 0.01f;  // the least vertical speed of a kick that flies
}  // namespace ball_physics

struct PredictionEvent {
    bool found = false;
    Vector3 point{};
    float time = 0.0f;
    float bestTime = -1.0f;  // used by the goalkeeper-reach events only
    void clear() { *this = PredictionEvent{}; }
};

struct FrameHit {
    Vector3 normal{};
    float time = 1000.0f;
    float restitution = 1.0f;
};

// Prediction event numbers as the AI uses them (events[n - 1] holds event n).
enum PredictionEventId {
    EV_HOME_KEEPER_LINE = 1,
    EV_AWAY_KEEPER_LINE = 2,
    EV_HOME_CROSSBAR_HEIGHT = 3,
    EV_AWAY_CROSSBAR_HEIGHT = 4,
    EV_HOME_GOAL_LINE = 5,
    EV_AWAY_GOAL_LINE = 6,
    EV_HOME_KEEPER_REACH = 7,
    EV_AWAY_KEEPER_REACH = 8,
};

class CBall {
public:
    Vector3 velocity{};
    Vector3 position{0.0f, 0.0f, 0.1232f};
    std::vector<Vector3> path;
    bool bounced = false;
    float touchLockout = 0.0f;
    CPlay* match = nullptr;
    PredictionEvent events[8];
    bool frameCollisions = true;
    bool kinematic = false;
    bool airborne = false;
    float sideSpin = 0.0f;
    float topSpin = 0.0f;
    // Skip the goal-frame search in steps whose sweep is far from both goals. The results are
    // bit-identical either way; the switch exists so a test can prove it.
    bool frameCulling = true;
    // Skip the prediction's plane tests whose plane is out of reach this step; bit-identical
    // either way, the switch again for a test.
    bool planeCulling = true;

    CBall() = default;
    explicit CBall(CPlay* m) : match(m) {}

    const PredictionEvent& event(int id) const { return events[id - 1]; }
    PredictionEvent& event(int id) { return events[id - 1]; }

    void step(float dt);
    void kick(const Vector3& v, float side, float top);
    void predict();
    bool carry(const Vector3& point);
    void goalFrameCollisions(FrameHit& hit) const;  // both goals, earliest hit kept (never culled)

    float speed() const { return length(velocity); }
    // The match's own ball, as opposed to a prediction copy or a planner's probe: only it
    // reports bounces and hits.
    bool isMatchBall() const;

private:
    // True when a step without the flight axes gives exactly the bits of the full step.
    bool spinFreeStepExact(float speedSquared) const;
};

}  // namespace flikka
