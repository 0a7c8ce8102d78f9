#pragma once
#include "sim/Vector3.h"

namespace flikka {

class CBall;

// Four solvers that search a launch velocity with a private probe ball, then kick `ball`.
namespace kick_planner {

void fixedElevation(CBall& ball, const Vector3& target, float elevation, float sideSpin, float lowSpeed,
                    float highSpeed);
void fixedSpeed(CBall& ball, const Vector3& target, float sideSpin, float speed);
float groundPass(CBall& ball, const Vector3& target, float arrivalSpeed);  // returns flight time of last probe
void lofted(CBall& ball, const Vector3& target, float elevation, float topSpin, float lowSpeed, float highSpeed,
            bool rollOut);

}  // namespace kick_planner
}  // namespace flikka
