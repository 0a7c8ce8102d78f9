#pragma once
// A team's AI: its formation and block, the restarts it sets up, and the plan (roles and
// marking) its footballers read.
#include "players/TeamPlan.h"
#include "team/Formation.h"

namespace flikka {

class CTeam;
class COutfieldPlayer;

class CGlobalAI : public TeamPlan {
public:
    CFormation formation;
    float blockMinX = 0.0f, blockMinY = 0.0f, blockMaxX = 0.0f, blockMaxY = 0.0f;

    explicit CGlobalAI(CTeam* t) : TeamPlan(t) {}
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

    void openPlay();
    // Full rules: the nearest footballer closes the opponents' carrier down, a second covers.
    void closeDown();
    // Full-rules restarts: free kicks (with a wall for the defending side) and penalties.
    void ownFreeKick(const Vector3& p, bool indirect);
    void opponentsFreeKick(const Vector3& p, bool indirect);
    void ownPenalty(const Vector3& p);
    void opponentsPenalty(const Vector3& p);
    // Where the cover stands against this carrier.
    // The centre of the goal this team attacks, and of the one it defends.
    void sendChaserToLooseBall();
    void arrange(const Vector3& b, float width, float length, const Vector3& target, bool dynamic);
    void rebind(const Rebind& r);  // after a copy of the match
    void clearRoles();  // chaser, presser and marking map; at every new match
    // A new squad for the team, against `opponents`, in the formation of the five line counts
    // (strikers first); throws "11 players needed" for counts that make no formation.
    void setUpSquad(CTeam* opponents, const unsigned counts[5]);

    void placeBall(const Vector3& p);
    void resetFootballers();
    void moveToHomes();
    void keeperToGoalLine();
    void compactKickOffBlock();  // full rules: narrow and short, outside the centre circle
    void makeTaker(CPlayer* p, const Vector3& at);
    // Nearest footballer of this team to p (horizontal); from squad position 0 or 1.
    CPlayer* nearestTo(const Vector3& p, bool withGoalkeeper) const;
};

}  // namespace flikka
