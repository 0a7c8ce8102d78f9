#pragma once
#include "sim/Vector3.h"

namespace flikka {

// 27 pitch points; the mirror flag chooses which end a look-up means.
class PitchLandmarks {
public:
    static constexpr int kCount = 27;

    bool mirror = true;

    Vector3 landmark(int index) const;
    static int partner(int index);
    static const Vector3& stored(int index);

    // Ball-in-box test: lo/hi from two landmarks, every side widened by `widen`, bounds included.
    bool inBox(const Vector3& p, int loIndex, int hiIndex, float widen) const;
};

}  // namespace flikka
