#include "sim/Ball.h"

namespace flikka {

void CBall::step(float) {}
void CBall::kick(const Vector3& v, float side, float top) {
    velocity = v;
    sideSpin = side;
    topSpin = top;
}
void CBall::predict() {}
bool CBall::carry(const Vector3& point) {
    position = point;
    return true;
}
void CBall::goalFrameCollisions(FrameHit&) const {}

}  // namespace flikka
