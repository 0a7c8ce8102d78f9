#include "players/OutfieldPlayer.h"

#include "sim/Match.h"
#include "team/GlobalAI.h"

namespace flikka {

void COutfieldPlayer::think() {}
void COutfieldPlayer::notify(int) {}
void COutfieldPlayer::setHasBall(bool b) { CPlayer::setHasBall(b); }
void COutfieldPlayer::leaveRole() {}
void COutfieldPlayer::setState(int) {}
void COutfieldPlayer::markOpponent(CPlayer*) {}
void COutfieldPlayer::resetToDefault() {}
void COutfieldPlayer::receiveAt(CPlayer*, const Vector3&) {}
bool COutfieldPlayer::attacksUpwards() const { return true; }
CGlobalAI& COutfieldPlayer::ai() const { return *team->ai; }
float COutfieldPlayer::offsideLine() const { return 0.0f; }
bool COutfieldPlayer::offside() const { return false; }
bool COutfieldPlayer::pressured() const { return false; }
bool COutfieldPlayer::freeAhead() const { return true; }
bool COutfieldPlayer::opponentBehind() const { return false; }
bool COutfieldPlayer::nearLineWithSpace() const { return false; }
bool COutfieldPlayer::atEdgeFacingOut(int) const { return false; }
CPlayer* COutfieldPlayer::laneBlocker(const Vector3&, const Vector3&, float) const { return nullptr; }
CPlayer* COutfieldPlayer::nearestTeammate(const Vector3&, bool) const { return nullptr; }
float COutfieldPlayer::attackValue() const { return 0.0f; }
void COutfieldPlayer::updatePassValue() {}
PassChoice COutfieldPlayer::bestPass() const { return {}; }
PassChoice COutfieldPlayer::bestCross() const { return {}; }
ShotChoice COutfieldPlayer::evaluateShot() const { return {}; }
void COutfieldPlayer::aiShot(const ShotChoice&) {}
int COutfieldPlayer::bestDribbleDirection() const { return direction; }
void COutfieldPlayer::onBallDecision() {}

}  // namespace flikka
