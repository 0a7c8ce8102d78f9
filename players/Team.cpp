#include "players/Team.h"

#include <cmath>
#include <utility>

#include "players/OutfieldPlayer.h"
#include "players/Play.h"
#include "players/Rebind.h"
#include "players/Goalkeeper.h"

namespace flikka {

namespace {
constexpr std::size_t kOutfieldCount = 10;
}

Squad::Squad(const Squad& o) : std::vector<std::unique_ptr<CPlayer>>() {
    reserve(o.size());
    for (const auto& p : o) push_back(p != nullptr ? p->clone() : nullptr);
}

Squad& Squad::operator=(const Squad& o) {
    if (this == &o) return *this;
    resize(o.size());
    for (std::size_t i = 0; i < o.size(); ++i) {
        auto& mine = (*this)[i];
        if (o[i] == nullptr) {
            mine.reset();
        } else if (mine == nullptr || !mine->assignFrom(*o[i])) {
            mine = o[i]->clone();
        }
    }
    return *this;
}

CTeam::CTeam() = default;

CTeam::~CTeam() {
    for (auto& p : players) p.reset();
    players.clear();
    byDistance_.clear();
    sortPending_ = false;
    byDistanceFirst_ = nullptr;
}

void CTeam::rebind(const Rebind& r) {
    r.in(match);
    for (auto& p : players) {
        if (p != nullptr) p->rebind(r);
    }
    for (CPlayer*& p : byDistance_) r.in(p);
    r.in(byDistanceFirst_);
}

void CTeam::newSquad(CPlay* m, CTeam* opponents) {
    // The distance list refers to the old squad: empty it with the squad, so that nothing
    // dangles even when the formation of the new one turns out to be invalid.
    byDistance_.clear();
    sortPending_ = false;
    byDistanceFirst_ = nullptr;
    for (auto& p : players) p.reset();
    players.clear();

    match = m;
    players.push_back(std::make_unique<CGoalkeeper>());
    for (std::size_t i = 0; i < kOutfieldCount; ++i) players.push_back(std::make_unique<COutfieldPlayer>());
    for (auto& p : players) {
        if (m != nullptr) p->serial = m->newSerial();
        p->match = m;
        p->team = this;
        p->opponents = opponents;
    }
}

void CTeam::rebuildByDistance() {
    const std::size_t n = players.size();
    distances_.assign(n, 0.0f);
    float* dist = distances_.data();
    bool nan = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (match != nullptr) dist[i] = horizontalDistance(players[i]->position, match->ball.position);
        nan = nan || std::isnan(dist[i]);
    }
    if (!nan) {
        // The order's first place: the nearest, the first in squad order on a tie.
        std::size_t first = 0;
        for (std::size_t i = 1; i < n; ++i) {
            if (dist[i] < dist[first]) first = i;
        }
        byDistanceFirst_ = n > 0 ? players[first].get() : nullptr;
        sortPending_ = true;
        return;
    }
    sortPending_ = false;
    byDistance_.clear();
    for (std::size_t i = 0; i < n; ++i) byDistance_.push_back(players[i].get());
    // A distance that is not a number orders nothing; keep exactly what the bubble sort made of it.
    // Bubble sort, swapping only when the later one is strictly nearer: ties keep squad order.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (std::size_t j = 0; j + 1 < n; ++j) {
            if (dist[j + 1] < dist[j]) {
                std::swap(dist[j], dist[j + 1]);
                std::swap(byDistance_[j], byDistance_[j + 1]);
                swapped = true;
            }
        }
    }
    byDistanceFirst_ = n > 0 ? byDistance_[0] : nullptr;
}

const std::vector<CPlayer*>& CTeam::byDistance() const {
    if (!sortPending_) return byDistance_;
    sortPending_ = false;
    const std::size_t n = distances_.size();
    const float* dist = distances_.data();
    // By distance, ties in squad order: a strict total order, so any sort gives the one order
    // the bubble sort makes, whatever order it starts from. Footballers move little in a step,
    // so the last order is nearly sorted already and the insertion sort barely moves anyone.
    if (distanceOrder.size() != n) {
        distanceOrder.resize(n);
        for (std::size_t i = 0; i < n; ++i) distanceOrder[i] = i;
    }
    for (std::size_t i = 1; i < n; ++i) {
        const std::size_t k = distanceOrder[i];
        const float d = dist[k];
        std::size_t j = i;
        for (; j > 0; --j) {
            const std::size_t before = distanceOrder[j - 1];
            if (!(d < dist[before] || (d == dist[before] && k < before))) break;
            distanceOrder[j] = before;
        }
        distanceOrder[j] = k;
    }
    byDistance_.resize(n);
    for (std::size_t i = 0; i < n; ++i) byDistance_[i] = players[distanceOrder[i]].get();
    return byDistance_;
}

void CTeam::resetCounters() {
    shots = 0;
    shotsOnGoal = 0;
    passes = 0;
    successfulPasses = 0;
    cornersFor = 0;
    throwInsFor = 0;
    possessionTime = 0.0f;
    fouls = 0;
    offsides = 0;
    freeKicks = 0;
    penalties = 0;
}

bool CTeam::contains(const CPlayer* p) const { return p != nullptr && indexOf(p) >= 0; }

int CTeam::indexOf(const CPlayer* p) const {
    for (std::size_t i = 0; i < players.size(); ++i) {
        if (players[i].get() == p) return static_cast<int>(i);
    }
    return -1;
}

CPlayer* CTeam::nearestTo(const Vector3& p, bool withGoalkeeper) const {
    CPlayer* best = nullptr;
    float bestDistance = 0.0f;
    for (std::size_t i = withGoalkeeper ? 0 : 1; i < players.size(); ++i) {
        CPlayer* f = players[i].get();
        const float d = horizontalDistance(f->position, p);
        if (best == nullptr || d < bestDistance) {
            best = f;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace flikka
