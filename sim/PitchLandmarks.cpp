#include "sim/PitchLandmarks.h"

namespace flikka {

namespace {
// Boxes are stored as (low corner, high corner); z 1000 means no height limit.
const Vector3 kStored[PitchLandmarks::kCount] = {
    {-8.875f, -52.5f, 0.0f},  {8.875f, -47.0f, 1000.0f}, {-20.0f, -52.5f, 0.0f},   {20.0f, -36.0f, 1000.0f},
    {-20.0f, -52.5f, 0.0f},   {20.0f, -36.0f, 2.8f},     {-35.0f, -52.5f, 0.0f},   {35.0f, -52.5f, 0.0f},
    {-3.66f, -52.5f, 0.0f},   {3.66f, -52.5f, 0.0f},     {-4.5f, -53.0f, 0.0f},    {4.5f, -52.0f, 2.74f},
    {0.0f, -41.5f, 0.0f},     {-8.875f, 47.0f, 0.0f},    {8.875f, 52.5f, 1000.0f}, {-20.0f, 36.0f, 0.0f},
    {20.0f, 52.5f, 1000.0f},  {-20.0f, 36.0f, 0.0f},     {20.0f, 52.5f, 2.8f},     {-35.0f, 52.5f, 0.0f},
    {35.0f, 52.5f, 0.0f},     {-3.66f, 52.5f, 0.0f},     {3.66f, 52.5f, 0.0f},     {-4.5f, 52.0f, 0.0f},
    {4.5f, 53.0f, 2.74f},     {0.0f, 41.5f, 0.0f},       {0.0f, 0.0f, 0.0f},
};
}  // namespace

const Vector3& PitchLandmarks::stored(int index) { return kStored[index]; }

int PitchLandmarks::partner(int index) {
    // Pairs (0,1) .. (10,11) and (13,14) .. (23,24); 12, 25 and 26 stand alone.
    if (index == 12 || index == 25 || index == 26) return index;
    if (index < 12) return index ^ 1;
    return ((index - 13) ^ 1) + 13;
}

Vector3 PitchLandmarks::landmark(int index) const {
    const Vector3& p = kStored[index];
    if (mirror) return p;
    // The other end: y comes from the partner so each box keeps low <= high.
    return {p.x, -kStored[partner(index)].y, p.z};
}

bool PitchLandmarks::inBox(const Vector3& p, int loIndex, int hiIndex, float widen) const {
    const Vector3 lo = landmark(loIndex);
    const Vector3 hi = landmark(hiIndex);
    return p.x >= lo.x - widen && p.x <= hi.x + widen && p.y >= lo.y - widen && p.y <= hi.y + widen &&
           p.z >= lo.z - widen && p.z <= hi.z + widen;
}

}  // namespace flikka
