#pragma once
#include <memory>
#include <string>
#include <vector>

#include "players/Player.h"

namespace flikka {

class CMatch;
class CGlobalAI;

class CTeam {
public:
    std::vector<std::unique_ptr<CPlayer>> players;  // 0 goalkeeper, 1..10 outfield
    std::unique_ptr<CGlobalAI> ai;
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
    CMatch* match = nullptr;

    CTeam();
    ~CTeam();
    CTeam(const CTeam&) = delete;
    CTeam& operator=(const CTeam&) = delete;

    // Destroys the squad and builds a new one from the five line counts (strikers first).
    void squadSetup(CMatch* m, CTeam* opponents, const unsigned counts[5]);
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
