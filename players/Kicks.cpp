#include "players/Kicks.h"

#include "sim/Match.h"

namespace flikka::kicks {

void shoot(int, CPlayer&, bool) {}
Vector3 pass(int, CPlayer&, bool) { return kZeroVector; }
Vector3 cross(int, CPlayer&, bool) { return kZeroVector; }
void clear(CPlayer&) {}
Vector3 goalTarget(const CPlayer&, int) { return kZeroVector; }
void scatter(Vector3&, float) {}
CPlayer* passReceiver(const CTeam&, const Vector3&, int) { return nullptr; }
CPlayer* crossReceiver(const CTeam&, const Vector3&, int) { return nullptr; }
Vector3 lead(const CPlayer&, float) { return kZeroVector; }
Vector3 clampToPitch(const Vector3& p) { return p; }
CTeam& possessingTeam(CMatch& m) { return m.away; }
void shotBookkeeping(CMatch&) {}
void passBookkeeping(CMatch&, int) {}

}  // namespace flikka::kicks
