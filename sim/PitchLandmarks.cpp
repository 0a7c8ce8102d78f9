#include "sim/PitchLandmarks.h"

#include "sim/PitchGeometry.h"

namespace flikka {

namespace {
using namespace pitch;
constexpr float kGoalAreaEdge = kHalfLength - kGoalAreaDepth;
constexpr float kPenaltyAreaEdge = kHalfLength - kPenaltyAreaDepth;
constexpr float kPenaltySpotY = kHalfLength - kPenaltySpotDistance;
constexpr float kNoHeightLimit = 1000.0f;
constexpr float kHandlingHeight = 2.8f;  // a keeper may handle the ball up to here
// The goal mouth with room round the frame: a ball in it is on its way into the goal.
constexpr float kMouthHalfWidth = 4.5f, kMouthHalfDepth = 0.5f, kMouthHeight = 2.74f;

// Boxes are stored as (low corner, high corner). 0 .. 12 lie at the lower end, 13 .. 25 are
// the same places at the upper end, 26 is the centre spot.
const Vector3 kStored[PitchLandmarks::kCount] = {
    {-kGoalAreaHalfWidth, -kHalfLength, 0.0f},
    {kGoalAreaHalfWidth, -kGoalAreaEdge, kNoHeightLimit},
    {-kPenaltyAreaHalfWidth, -kHalfLength, 0.0f},
    {kPenaltyAreaHalfWidth, -kPenaltyAreaEdge, kNoHeightLimit},
    {-kPenaltyAreaHalfWidth, -kHalfLength, 0.0f},
    {kPenaltyAreaHalfWidth, -kPenaltyAreaEdge, kHandlingHeight},
    {-kHalfWidth, -kHalfLength, 0.0f},
    {kHalfWidth, -kHalfLength, 0.0f},
    {-kGoalHalfWidth, -kHalfLength, 0.0f},
    {kGoalHalfWidth, -kHalfLength, 0.0f},
    {-kMouthHalfWidth, -(kHalfLength + kMouthHalfDepth), 0.0f},
    {kMouthHalfWidth, -(kHalfLength - kMouthHalfDepth), kMouthHeight},
    {0.0f, -kPenaltySpotY, 0.0f},
    {-kGoalAreaHalfWidth, kGoalAreaEdge, 0.0f},
    {kGoalAreaHalfWidth, kHalfLength, kNoHeightLimit},
    {-kPenaltyAreaHalfWidth, kPenaltyAreaEdge, 0.0f},
    {kPenaltyAreaHalfWidth, kHalfLength, kNoHeightLimit},
    {-kPenaltyAreaHalfWidth, kPenaltyAreaEdge, 0.0f},
    {kPenaltyAreaHalfWidth, kHalfLength, kHandlingHeight},
    {-kHalfWidth, kHalfLength, 0.0f},
    {kHalfWidth, kHalfLength, 0.0f},
    {-kGoalHalfWidth, kHalfLength, 0.0f},
    {kGoalHalfWidth, kHalfLength, 0.0f},
    {-kMouthHalfWidth, kHalfLength - kMouthHalfDepth, 0.0f},
    {kMouthHalfWidth, kHalfLength + kMouthHalfDepth, kMouthHeight},
    {0.0f, kPenaltySpotY, 0.0f},
    {0.0f, 0.0f, 0.0f},
};
}  // namespace

const Vector3& PitchLandmarks::stored(int index) { return kStored[index]; }

int PitchLandmarks::partner(int index) {
    // Pairs (0,1) .. (10,11) and (13,14) .. (23,24); 12, 25 and 26 stand alone.
    if (index == 12 || index == 25 || index == 26) return index;
    if (index < 12) return index ^ 1;
    return ((index - 13) ^ 1) + 13;
}

Vector3 PitchLandmarks::landmark(int index, PitchEnd ownEnd) {
    const Vector3& p = kStored[index];
    if (ownEnd == PitchEnd::Lower) return p;
    // The other end: y comes from the partner so each box keeps low <= high.
    return {p.x, -kStored[partner(index)].y, p.z};
}

bool PitchLandmarks::inBox(const Vector3& p, int loIndex, int hiIndex, float widen, PitchEnd ownEnd) {
    const Vector3 lo = landmark(loIndex, ownEnd);
    const Vector3 hi = landmark(hiIndex, ownEnd);
    return p.x >= lo.x - widen && p.x <= hi.x + widen && p.y >= lo.y - widen && p.y <= hi.y + widen &&
           p.z >= lo.z - widen && p.z <= hi.z + widen;
}

}  // namespace flikka
