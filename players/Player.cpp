#include "players/Player.h"

namespace flikka {

const Vector3 kDirectionTable[9] = {};

int nearestDirection(const Vector3&) { return 1; }

CPlayer::CPlayer() {}
void CPlayer::update(float) {}
void CPlayer::tryTakeBall() {}
void CPlayer::setHasBall(bool b) { hasBall = b; }
void CPlayer::setDirection(int) {}
bool CPlayer::steerTo(const Vector3&) { return false; }
void CPlayer::faceToward(const Vector3&) {}
void CPlayer::setTravelDirection(const Vector3&) {}
float CPlayer::timeToReach(const Vector3&) const { return 0.0f; }
void CPlayer::move(float) {}
void CPlayer::playPendingKick() {}
bool CPlayer::isGoalkeeper() const { return false; }
int CPlayer::squadIndex() const { return -1; }

}  // namespace flikka
