#pragma once
#include <memory>
#include <string>
#include <vector>

#include "players/Player.h"

namespace flikka {

class CPlay;
class Rebind;
class TeamPlan;

// A side's footballers, owned. A copy clones each one (his pointers name the original match
// until the match rebinds them); an assignment reuses the footballers already there where the
// kinds agree, so restoring a snapshot of the same match allocates nothing.
class Squad : public std::vector<std::unique_ptr<CPlayer>> {
public:
    Squad() = default;
    Squad(const Squad& o);
    Squad& operator=(const Squad& o);
    Squad(Squad&&) = default;
    Squad& operator=(Squad&&) = default;
    ~Squad() = default;
};

class CTeam {
public:
    Squad players;  // 0 goalkeeper, 1..10 outfield
    std::string name = "Noname Utd.";
    std::string shortName = "NNU";
    int shots = 0;
    int shotsOnGoal = 0;
    int passes = 0;
    int successfulPasses = 0;
    int cornersFor = 0;
    int throwInsFor = 0;
    float possessionTime = 0.0f;
    // Full rules only (always 0 under classic): fouls committed, times caught offside, free
    // kicks and penalties awarded to the side.
    int fouls = 0;
    int offsides = 0;
    int freeKicks = 0;
    int penalties = 0;
    CPlay* match = nullptr;
    // The side's plan as its AI keeps it (which way it attacks, who chases, presses, covers and
    // marks): what its footballers read of the team AI. The match owns the AI.
    TeamPlan* plan = nullptr;

    CTeam();
    ~CTeam();
    // Copies keep pointers into the original (the footballers' too) until rebind.
    CTeam(const CTeam&) = default;
    CTeam& operator=(const CTeam&) = default;
    void rebind(const Rebind& r);

    // Destroys the squad and builds a new one of a goalkeeper and ten outfield footballers, each
    // with his serial from the match, playing against `opponents`.
    void newSquad(CPlay* m, CTeam* opponents);
    // Takes the footballers' horizontal distances to the ball for byDistance.
    void rebuildByDistance();
    // The squad nearest the ball first, ties in squad order, as at the last rebuildByDistance;
    // empty before the first one after a squad set-up.
    const std::vector<CPlayer*>& byDistance() const;
    // byDistance().front(), null when it is empty.
    CPlayer* nearestByDistance() const { return byDistanceFirst_; }
    void resetCounters();

    CPlayer* goalkeeper() const { return players.empty() ? nullptr : players[0].get(); }
    CPlayer* player(std::size_t i) const { return players[i].get(); }
    std::size_t size() const { return players.size(); }
    bool contains(const CPlayer* p) const;
    int indexOf(const CPlayer* p) const;  // -1 when not in the squad
    // Footballer horizontally nearest to p, from squad position 0 or 1; the first on ties.
    CPlayer* nearestTo(const Vector3& p, bool withGoalkeeper) const;

private:
    // The order is only needed now and then (the first place every step), so rebuildByDistance
    // keeps the distances and byDistance sorts them when asked.
    mutable std::vector<CPlayer*> byDistance_;
    mutable std::vector<std::size_t> distanceOrder;  // squad places in byDistance's last order
    std::vector<float> distances_;                   // as at the last rebuild
    mutable bool sortPending_ = false;
    CPlayer* byDistanceFirst_ = nullptr;
};

}  // namespace flikka
