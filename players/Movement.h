#pragma once

namespace flikka {

// How a footballer runs. Running, his speed rises by `acceleration` a second up to topSpeed;
// told to stop, it falls by `deceleration`. The acceleration table (distance run from standstill
// after each step) follows from acceleration and topSpeed.
struct Movement {
    float topSpeed = 4.8f;       // m/s
    float acceleration = 12.0f;  // m/s per second
    float deceleration = 5.0f;   // m/s per second
    // Jockeying, a turn whose cosine is below sharpTurn (wider than 60 degrees) keeps only
    // sharpTurnSpeedKept of his speed.
    float sharpTurn = 0.5f;
    float sharpTurnSpeedKept = 0.5f;
};

// Everybody's figures while footballers have none of their own.
inline constexpr Movement kDefaultMovement{};

}  // namespace flikka
