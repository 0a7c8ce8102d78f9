#include "team/Goalkeeper.h"

namespace flikka {

void CGoalkeeper::think() {}
void CGoalkeeper::notify(int) {}
void CGoalkeeper::update(float dt) { CPlayer::update(dt); }
int CGoalkeeper::spriteDirection() const { return direction; }
void CGoalkeeper::tryTakeBall() {}
void CGoalkeeper::setHasBall(bool b) { CPlayer::setHasBall(b); }
void CGoalkeeper::setDiveAngle(float a) { diveAngle = a; }
void CGoalkeeper::dive(const Vector3&, float) {}
float CGoalkeeper::sideSign() const { return 1.0f; }
bool CGoalkeeper::mayHandle() const { return false; }
void CGoalkeeper::clearDiveRecord() {}
void CGoalkeeper::diveStepOnce() {}
void CGoalkeeper::catchTest() {}
void CGoalkeeper::parry(float) {}
void CGoalkeeper::clearWithFoot() {}
void CGoalkeeper::distribute() {}
bool CGoalkeeper::isHomeKeeper() const { return false; }

}  // namespace flikka
