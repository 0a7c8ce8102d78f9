#include "sim/Team.h"

#include "team/GlobalAI.h"

namespace flikka {

CTeam::CTeam() : ai(std::make_unique<CGlobalAI>(this)) {}
CTeam::~CTeam() {}
void CTeam::squadSetup(CMatch*, CTeam*, const unsigned[5]) {}
void CTeam::rebuildByDistance() {}
void CTeam::resetCounters() {}
bool CTeam::contains(const CPlayer*) const { return false; }
int CTeam::indexOf(const CPlayer*) const { return -1; }

}  // namespace flikka
