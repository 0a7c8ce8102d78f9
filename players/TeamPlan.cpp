#include "players/TeamPlan.h"

#include <algorithm>
#include <cmath>

#include "players/Play.h"
#include "players/OutfieldPlayer.h"
#include "players/Rebind.h"
#include "sim/PitchGeometry.h"

namespace flikka {

namespace {

using pitch::kHalfLength;
// A second footballer may attack the carrier from the front when the chaser runs after him
// within this angle.
constexpr float kPressAngle = 0.7953749988228083f;

}  // namespace

void TeamPlan::rebind(const Rebind& r) {
    r.in(team);
    r.in(match);
    r.in(chaser);
    r.in(presser);
    r.in(cover);
    markingMap.rebindKeys([&r](const CPlayer* p) -> const CPlayer* { return r(p); });
    for (auto& item : markingMap) r.in(item.second);
}

Vector3 TeamPlan::attackedGoal() const { return {0.0f, sideSign() * kHalfLength, 0.0f}; }
Vector3 TeamPlan::ownGoal() const { return {0.0f, -sideSign() * kHalfLength, 0.0f}; }

CTeam& TeamPlan::otherTeam() const { return team == &match->home ? match->away : match->home; }

Vector3 TeamPlan::coverSpot(const CPlayer& carrier) const {
    const Vector3 toGoal{ownGoal().x - carrier.position.x, ownGoal().y - carrier.position.y, 0.0f};
    const float len = horizontalLength(toGoal);
    if (len <= 0.0f) return carrier.position;
    return carrier.position + toGoal * (std::min(match->rules.coverDistance, len * 0.5f) / len);
}

CPlayer* TeamPlan::opponentToMark(const CPlayer* f, float limit) const {
    const CTeam& other = otherTeam();
    CPlayer* best = nullptr;
    float bestDistance = 1000.0f;
    for (std::size_t i = 1; i < other.size(); ++i) {
        CPlayer* o = other.player(i);
        const Vector3 v = o->position - f->position;
        const float squared = v.x * v.x + v.y * v.y;
        // sqrt is correctly rounded and monotonic, and limit is a float whose square is exact in
        // double: a square at or above it has a root of at least limit. Most opponents are that
        // far and need no root.
        if (static_cast<double>(squared) >= static_cast<double>(limit) * static_cast<double>(limit)) continue;
        const float d = std::sqrt(squared);  // horizontalDistance(o->position, f->position)
        if (d < limit && d < bestDistance && markingMap.find(o) == markingMap.end()) {
            best = o;
            bestDistance = d;
        }
    }
    return best;
}

CPlayer* TeamPlan::carrierToPress(const CPlayer* f) const {
    // Every test is free of side effects: the two role checks, the cheapest, go first.
    if (chaser == nullptr || presser != nullptr) return nullptr;
    CPlayer* carrier = match->ballHolder;
    if (carrier == nullptr || !otherTeam().contains(carrier)) return nullptr;
    if (match->isEitherGoalkeeper(carrier)) return nullptr;
    const bool goalSide = attacksUpwards ? f->position.y < carrier->position.y : f->position.y > carrier->position.y;
    if (!goalSide) return nullptr;
    const float dy = std::fabs(carrier->position.y - f->position.y);
    if (dy > 10.0f) return nullptr;
    if (std::fabs(carrier->position.x - f->position.x) > dy) return nullptr;
    const Vector3& cv = carrier->directionVectors[carrier->direction];
    const Vector3& hv = chaser->directionVectors[chaser->direction];
    if (!(safeAcos(dot(cv, hv)) < kPressAngle)) return nullptr;
    return carrier;
}

}  // namespace flikka
