#pragma once
#include "sim/Vector3.h"

namespace flikka {

class CPlayer;
class CTeam;
class CMatch;

namespace kicks {

void shoot(int aim, CPlayer& p, bool queue);
Vector3 pass(int aim, CPlayer& p, bool queue);
Vector3 cross(int aim, CPlayer& p, bool queue);
void clear(CPlayer& p);

Vector3 goalTarget(const CPlayer& p, int aim);
void scatter(Vector3& target, float distance);
CPlayer* passReceiver(const CTeam& team, const Vector3& origin, int aim);
CPlayer* crossReceiver(const CTeam& team, const Vector3& origin, int aim);
Vector3 lead(const CPlayer& p, float factor);
Vector3 clampToPitch(const Vector3& p);

CTeam& possessingTeam(CMatch& m);
void shotBookkeeping(CMatch& m);
void passBookkeeping(CMatch& m, int event);

}  // namespace kicks
}  // namespace flikka
