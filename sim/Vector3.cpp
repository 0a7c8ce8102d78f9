#include "sim/Vector3.h"

namespace flikka {

float bearing(const Vector3& a) {
    const float h = safeAcos(a.x / horizontalLength(a));
    return a.y < 0.0f ? kTwoPi - h : h;
}

Vector3 withElevation(const Vector3& a, float theta) {
    const float hl = horizontalLength(a);
    const float c = std::cos(theta);
    return {a.x / hl * c, a.y / hl * c, std::sin(theta)};
}

RotationMatrix rotationMatrix(const Vector3& k, float theta) {
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    const float t = 1.0f - c;
    RotationMatrix r;
    r.m[0][0] = c + k.x * k.x * t;
    r.m[0][1] = k.x * k.y * t - s * k.z;
    r.m[0][2] = k.x * k.z * t + s * k.y;
    r.m[1][0] = k.x * k.y * t + s * k.z;
    r.m[1][1] = c + k.y * k.y * t;
    r.m[1][2] = k.y * k.z * t - s * k.x;
    r.m[2][0] = k.x * k.z * t - s * k.y;
    r.m[2][1] = k.y * k.z * t + s * k.x;
    r.m[2][2] = c + k.z * k.z * t;
    return r;
}

void applyRotation(const RotationMatrix& r, Vector3& v) {
    const Vector3 in = v;
    v.x = r.m[0][0] * in.x + r.m[0][1] * in.y + r.m[0][2] * in.z;
    v.y = r.m[1][0] * in.x + r.m[1][1] * in.y + r.m[1][2] * in.z;
    v.z = r.m[2][0] * in.x + r.m[2][1] * in.y + r.m[2][2] * in.z;
}

}  // namespace flikka
