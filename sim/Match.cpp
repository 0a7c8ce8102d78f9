#include "sim/Match.h"

#include "team/GlobalAI.h"

namespace flikka {

std::uint32_t& simulationMilliseconds() {
    static std::uint32_t ms = 0;
    return ms;
}

CMatch::CMatch(KeyState* keyState) : ball(this), keys(keyState) {}
CMatch::~CMatch() {}
void CMatch::newMatch(const unsigned[5], const unsigned[5], float, int) {}
int CMatch::matchStep(float) { return 0; }
unsigned CMatch::matchMinute() const { return 0; }
void CMatch::setBallHolder(CPlayer*) {}
bool CMatch::awayTouchedLast() const { return false; }
void CMatch::select(CPlayer*) {}
bool CMatch::claimPoint(float, float) { return true; }
void CMatch::markFootballersFree() {}
void CMatch::notifyAll(int) {}
void CMatch::refereeCheck() {}
void CMatch::addDebugMarker(float, float) {}

}  // namespace flikka
