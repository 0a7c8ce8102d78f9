#pragma once
#include "sim/Vector3.h"

namespace flikka {

enum class PitchEnd : bool { Lower, Upper };  // the goal lines at y < 0 and y > 0

// A side attacking upwards defends the lower end.
constexpr PitchEnd defendedEnd(bool attacksUpwards) { return attacksUpwards ? PitchEnd::Lower : PitchEnd::Upper; }

// 27 pitch points: 0 .. 12 are places at one end (goal area, penalty area, handling box, goal
// line, posts, goal mouth, penalty spot), 13 .. 25 the same places at the other end, 26 the
// centre spot. A look-up names `ownEnd`, the end 0 .. 12 are to lie at; the table stores them
// at the lower end.
class PitchLandmarks {
public:
    static constexpr int kCount = 27;

    static Vector3 landmark(int index, PitchEnd ownEnd);
    static int partner(int index);
    static const Vector3& stored(int index);

    // Ball-in-box test: lo/hi from two landmarks, every side widened by `widen`, bounds included.
    static bool inBox(const Vector3& p, int loIndex, int hiIndex, float widen, PitchEnd ownEnd);
};

}  // namespace flikka
