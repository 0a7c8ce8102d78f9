#pragma once
// What a team's footballers read of its plan and claim in it: which way the side attacks, who
// chases the ball, presses the carrier, covers the lane to goal and marks whom. The team AI
// keeps the plan; footballers reach it through their team, never the AI itself.
#include "players/SerialMap.h"
#include "sim/Vector3.h"

namespace flikka {

class CPlay;
class Rebind;
class CPlayer;
class COutfieldPlayer;
class CTeam;

class TeamPlan {
public:
    bool attacksUpwards = false;
    CTeam* team = nullptr;
    CPlay* match = nullptr;
    COutfieldPlayer* chaser = nullptr;
    COutfieldPlayer* presser = nullptr;
    COutfieldPlayer* cover = nullptr;  // full rules: between the carrier and our goal
    SerialMap<CPlayer, COutfieldPlayer*> markingMap;  // opponent -> own marker

    float sideSign() const { return attacksUpwards ? 1.0f : -1.0f; }
    Vector3 attackedGoal() const;
    Vector3 ownGoal() const;
    CTeam& otherTeam() const;
    // Full rules: where the cover stands, goal-side of the opponents' carrier.
    Vector3 coverSpot(const CPlayer& carrier) const;
    // The nearest opponent within `limit` of f whom nobody marks yet, or null.
    CPlayer* opponentToMark(const CPlayer* f, float limit) const;
    // The opponents' carrier, when f stands goal-side of him, close and in the chaser's line.
    CPlayer* carrierToPress(const CPlayer* f) const;

    void rebind(const Rebind& r);  // after a copy of the match

protected:
    explicit TeamPlan(CTeam* t) : team(t) {}
    ~TeamPlan() = default;
};

}  // namespace flikka
