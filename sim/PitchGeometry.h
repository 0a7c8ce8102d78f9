#pragma once

// The pitch's measures in metres: x across (touch lines at +-kHalfWidth), y along (goal lines at
// +-kHalfLength), z up. The two ends are mirror images in y, so each measure is given once.
namespace flikka::pitch {

inline constexpr float kHalfLength = 52.5f;
inline constexpr float kHalfWidth = 35.0f;
inline constexpr float kCentreCircleRadius = 9.15f;

// The goal: centre to either post, the bar's height, and how far behind the line the net ends.
inline constexpr float kGoalHalfWidth = 3.66f;
inline constexpr float kCrossbarHeight = 2.44f;
inline constexpr float kNetDepth = 1.0f;

// The boxes and the penalty spot, measured from the goal line.
inline constexpr float kPenaltyAreaDepth = 16.5f;
inline constexpr float kPenaltyAreaHalfWidth = 20.0f;
inline constexpr float kGoalAreaDepth = 5.5f;
inline constexpr float kGoalAreaHalfWidth = 8.875f;
inline constexpr float kPenaltySpotDistance = 11.0f;

}  // namespace flikka::pitch
