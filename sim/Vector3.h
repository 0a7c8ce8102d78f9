#pragma once
// The one vector type of the simulation, and the angle approximations the game uses throughout.
#include <cmath>
#include <cstdint>

namespace flikka {

constexpr float kPi = 3.1415f;
constexpr float kHalfPi = 1.57075f;
constexpr float kQuarterPi = 0.785375f;
constexpr float kTwoPi = 6.283f;
constexpr float kBallRadius = 0.1132f;
constexpr float kStep = 0.005f;  // seconds per match step

struct Vector3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    constexpr Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr Vector3 operator/(float s) const { return {x / s, y / s, z / s}; }
    constexpr Vector3 operator-() const { return {-x, -y, -z}; }
    Vector3& operator+=(const Vector3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vector3& operator-=(const Vector3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    Vector3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    constexpr bool operator==(const Vector3& o) const = default;
};

inline constexpr Vector3 operator*(float s, const Vector3& v) { return v * s; }

inline constexpr Vector3 kZeroVector{0.0f, 0.0f, 0.0f};
inline constexpr Vector3 kUpVector{0.0f, 0.0f, 1.0f};

inline float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(const Vector3& a) { return std::sqrt(dot(a, a)); }
inline float lengthSquared(const Vector3& a) { return dot(a, a); }
inline float horizontalLength(const Vector3& a) { return std::sqrt(a.x * a.x + a.y * a.y); }
inline float horizontalDistance(const Vector3& a, const Vector3& b) { return horizontalLength(a - b); }
inline float distance(const Vector3& a, const Vector3& b) { return length(a - b); }

// The half-metre grid of the team AI's points: the nearest half metre, halves rounded up, i.e.
// floor(2v + 0.5) / 2. Inside +-2^23 the truncation to an integer is exact, and one step down
// where it rounded up gives the floor; 2v + 0.5 is never -0 (x + 0.5 rounds to +0), so even the
// sign of a zero is floor's. Cheaper than the library floor, which every footballer's points
// take each step.
inline float snapHalf(float v) {
    const float t = 2.0f * v + 0.5f;
    if (std::fabs(t) < 8388608.0f) {
        const float i = static_cast<float>(static_cast<std::int32_t>(t));
        return (i > t ? i - 1.0f : i) / 2.0f;
    }
    return std::floor(t) / 2.0f;
}

// No guard against a zero vector: callers test first.
inline void normalise(Vector3& a) { a = a / length(a); }
inline Vector3 normalised(const Vector3& a) { return a / length(a); }

// Strict on both sides: a difference of exactly eps is not equal.
inline bool approxEqual(const Vector3& a, const Vector3& b, float eps) {
    return b.x - eps < a.x && a.x < b.x + eps && b.y - eps < a.y && a.y < b.y + eps &&
           b.z - eps < a.z && a.z < b.z + eps;
}

// Reflects v at the plane with unit normal n, in place.
inline void reflect(Vector3& v, const Vector3& n) { v -= n * (2.0f * dot(v, n)); }

// acos that never returns NaN for a dot product rounded past +-1.
inline float safeAcos(float c) { return std::acos(c < -1.0f ? -1.0f : (c > 1.0f ? 1.0f : c)); }

// Angle of the horizontal part, 0 along +x growing towards +y, in [0, 6.283).
// Undefined for a vector without horizontal part; callers must not ask.
float bearing(const Vector3& a);

// Unit vector with a's horizontal direction and elevation theta.
Vector3 withElevation(const Vector3& a, float theta);

// 3x3 rotation by theta about unit axis k, kept in a 4x4 identity-initialised array.
struct RotationMatrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};
RotationMatrix rotationMatrix(const Vector3& k, float theta);
void applyRotation(const RotationMatrix& r, Vector3& v);  // in place

inline bool isFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace flikka
