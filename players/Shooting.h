#pragma once
// Full rules: where a shot is aimed and how far it goes astray. The error grows with the
// distance, with the pressure of the nearest opponent and with the angle between the body and
// the goal; dead balls (free kicks, penalties) are struck cleaner.
#include "sim/Vector3.h"

namespace flikka {

class CPlayer;

namespace shooting {

// How good a chance is: the goal mouth's visible angle (rad), the distance to the goal's centre,
// the opponents standing in the triangle from the ball to the posts (keepers not counted).
struct Chance {
    float distance = 0.0f;
    float openAngle = 0.0f;
    int blockers = 0;
};
Chance chance(const CPlayer& p);

// A point inside the goal the shooter attacks, on the side away from the keeper, mostly low.
Vector3 openTarget(const CPlayer& p);
// The spread (rad) of a shot by p now.
float spread(const CPlayer& p);
// Moves the target by a random error of the given spread over the shot's distance.
void miss(const CPlayer& p, Vector3& target, float spread);

// The kicks, each with the shot bookkeeping. `target` is where he means to put it.
void openPlayShot(CPlayer& p, Vector3 target, float power, float sideSpin);
void freeKickShot(CPlayer& p, Vector3 target);
void penaltyKick(CPlayer& p, Vector3 target);
// The human's shot with an aim (0 to 8) under full rules, whatever the situation.
void humanShot(int aim, CPlayer& p);

}  // namespace shooting
}  // namespace flikka
