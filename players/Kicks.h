#pragma once
#include "sim/MatchEvents.h"
#include "sim/Vector3.h"

namespace flikka {

class CPlayer;
class CTeam;
class CPlay;

class Random;

namespace kicks {

void shoot(int aim, CPlayer& p, bool queue);
Vector3 pass(int aim, CPlayer& p, bool queue);
Vector3 cross(int aim, CPlayer& p, bool queue);
void clear(CPlayer& p);

Vector3 goalTarget(const CPlayer& p, int aim);
void scatter(Random& random, Vector3& target, float distance);
CPlayer* passReceiver(const CTeam& team, const Vector3& origin, int aim);
CPlayer* crossReceiver(const CTeam& team, const Vector3& origin, int aim);
Vector3 lead(const CPlayer& p, float factor);
Vector3 clampToPitch(const Vector3& p);

CTeam& possessingTeam(CPlay& m);
// Reports the kick the ball has just been given by p; called right after the planner kicked.
void kickEvent(const CPlayer& p, KickEventKind kind);
void shotBookkeeping(CPlay& m);
void passBookkeeping(CPlay& m, int event);

}  // namespace kicks
}  // namespace flikka
