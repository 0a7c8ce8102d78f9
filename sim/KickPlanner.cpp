#include "sim/KickPlanner.h"

#include "sim/Ball.h"

namespace flikka::kick_planner {

void fixedElevation(CBall&, const Vector3&, float, float, float, float) {}
void fixedSpeed(CBall&, const Vector3&, float, float) {}
float groundPass(CBall&, const Vector3&, float) { return 0.0f; }
void lofted(CBall&, const Vector3&, float, float, float, float, bool) {}

}  // namespace flikka::kick_planner
