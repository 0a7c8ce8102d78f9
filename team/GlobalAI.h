#pragma once
#include "team/Formation.h"

namespace flikka {

class CTeam;
class CMatch;
class COutfieldPlayer;

class CGlobalAI {
public:
    bool attacksUpwards = false;
    CTeam* team = nullptr;
    CMatch* match = nullptr;
    CFormation formation;
    float blockMinX = 0.0f, blockMinY = 0.0f, blockMaxX = 0.0f, blockMaxY = 0.0f;
    COutfieldPlayer* chaser = nullptr;
    COutfieldPlayer* presser = nullptr;
    COutfieldPlayer* cover = nullptr;  // full rules: between the carrier and our goal
    SerialMap<CPlayer, COutfieldPlayer*> markingMap;  // opponent -> own marker

    explicit CGlobalAI(CTeam* t) : team(t) {}
    virtual ~CGlobalAI() = default;

    virtual void teamStep(float) {}
    virtual void teamStep(int milliseconds) { teamStep(static_cast<float>(milliseconds) * 0.001f); }
    virtual void ownCorner(const Vector3& p);
    virtual void ownKickOff(const Vector3& p);
    virtual void ownGoalKick(const Vector3& p);
    virtual void ownThrowIn(const Vector3& p);
    virtual void ownSpecialRestart(const Vector3&) {}
    virtual void opponentsCorner(const Vector3& p);
    virtual void opponentsKickOff(const Vector3& p);
    virtual void opponentsGoalKick(const Vector3& p);
    virtual void opponentsThrowIn(const Vector3& p);
    virtual void opponentsSpecialRestart(const Vector3& p) { opponentsKickOff(p); }

    float sideSign() const { return attacksUpwards ? 1.0f : -1.0f; }

    void openPlay();
    // Full rules: the nearest footballer closes the opponents' carrier down, a second covers.
    void closeDown();
    // Full-rules restarts: free kicks (with a wall for the defending side) and penalties.
    void ownFreeKick(const Vector3& p, bool indirect);
    void opponentsFreeKick(const Vector3& p, bool indirect);
    void ownPenalty(const Vector3& p);
    void opponentsPenalty(const Vector3& p);
    // Where the cover stands against this carrier.
    Vector3 coverSpot(const CPlayer& carrier) const;
    // The centre of the goal this team attacks, and of the one it defends.
    Vector3 attackedGoal() const;
    Vector3 ownGoal() const;
    void sendChaserToLooseBall();
    void arrange(const Vector3& b, float width, float length, const Vector3& target, bool dynamic);
    void clearRoles();  // chaser, presser and marking map; at every new match
    CPlayer* opponentToMark(const CPlayer* f, float limit) const;
    CPlayer* carrierToPress(const CPlayer* f) const;

    void placeBall(const Vector3& p);
    void resetFootballers();
    void moveToHomes();
    void keeperToGoalLine();
    void compactKickOffBlock();  // full rules: narrow and short, outside the centre circle
    void makeTaker(CPlayer* p, const Vector3& at);
    // Nearest footballer of this team to p (horizontal); from squad position 0 or 1.
    CPlayer* nearestTo(const Vector3& p, bool withGoalkeeper) const;
    CTeam& otherTeam() const;
};

}  // namespace flikka
