#include "players/Play.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "players/Player.h"
#include "players/Rebind.h"
#include "players/TeamPlan.h"

namespace flikka {

namespace {

constexpr float kNearCentreLine = 20.0f;

template <class F>
void forEachFootballer(CTeam& t, F f) {
    for (std::size_t i = 0; i < t.size(); ++i) f(*t.player(i));
}

}  // namespace

int humansIn(int humanSide) {
    switch (humanSide) {
        case HUMAN_HOME:
        case HUMAN_AWAY: return 1;
        case HUMAN_BOTH:
        case HUMAN_HOME_TWO: return 2;
        default: return 0;
    }
}

CPlay::CPlay() : ball(this), console(&std::cout) {
    humans[1].number = 2;
    home.name = "Supermen Utd";
    away.name = "Lilac City";
    home.match = this;
    away.match = this;
}

void CPlay::rebind(const Rebind& r) {
    for (HumanControl& h : humans) {
        r.in(h.team);
        r.in(h.selected);
        for (CPlayer*& c : h.switchList.candidates) r.in(c);
    }
    r.in(ball.match);
    home.rebind(r);
    away.rebind(r);
    r.in(targetReceiver);
    r.in(lastToucher);
    r.in(ballHolder);
    FullRulesState& f = fullState;
    r.in(f.offender);
    r.in(f.offsideTeam);
    for (const CPlayer*& p : f.offsidePlayers) p = r(p);
    r.in(f.kickOffTeam);
    r.in(f.indirectTaker);
    r.in(f.lastHolderTeam);
    for (MatchEvent& e : events) e.player = r(e.player);
}

unsigned CPlay::matchMinute() const {
    const float minute = std::ceil((5400.0f / matchLength) * elapsed / 60.0f);
    // A zero length gives an infinite minute (or NaN): the match is simply over.
    if (!(minute < 4.0e9f)) return 4000000000u;
    if (minute < 0.0f) return 0;
    return static_cast<unsigned>(minute);
}

bool CPlay::fullTime() const {
    return matchMinute() > 90 && (std::fabs(ball.position.y) < kNearCentreLine || matchMinute() > 95);
}

void CPlay::setBallHolder(CPlayer* p) {
    // Handing the ball back to the footballer who last had it (a reset at a restart, his own
    // kick caught again) changes nobody's possession.
    const CPlayer* previous = ballHolder != nullptr ? ballHolder : lastToucher;
    if (p != nullptr && p != previous) {
        emit({.kind = MatchEventKind::Possession, .player = p, .where = ball.position});
    }
    if (lastToucher == nullptr) lastToucher = p;
    if (ballHolder != nullptr) {
        ballHolder->setHasBall(false);
        lastToucher = ballHolder;
    }
    if (p != nullptr) {
        if (rules.full()) possessionUnderFullRules(p);
        p->setHasBall(true);
        ballHolder = p;
        if (p == targetReceiver) ++teamOf(p).successfulPasses;
        targetReceiver = nullptr;
        notifyAll(EVENT_POSSESSION);
        select(p);
    } else {
        ballHolder = nullptr;
        notifyAll(EVENT_BALL_FREE);
    }
}

bool CPlay::awayTouchedLast() const {
    if (ballHolder != nullptr) return away.contains(ballHolder);
    if (lastToucher == nullptr) return true;
    return away.contains(lastToucher);
}

void CPlay::select(CPlayer* p) {
    if (p == nullptr) return;
    HumanControl* taker = humanOf(p);
    if (taker == nullptr) {
        float nearest = 0.0f;
        for (HumanControl& h : humans) {
            if (h.team == nullptr || !h.team->contains(p)) continue;
            // Somebody with no footballer yet comes first; else the nearer (player 1 on a tie).
            const float d = h.selected == nullptr ? -1.0f : distance(h.selected->position, p->position);
            if (taker == nullptr || d < nearest) {
                taker = &h;
                nearest = d;
            }
        }
    }
    if (taker != nullptr) selectFor(*taker, p);
}

void CPlay::selectFor(HumanControl& h, CPlayer* p) {
    if (h.team == nullptr || p == nullptr || isEitherGoalkeeper(p) || !h.team->contains(p)) return;
    if (heldByOtherHuman(h, p)) return;
    if (h.selected != nullptr && h.selected->canMove) h.selected->moveMode = 0;
    h.selected = p;
    // A second human on the side who has nobody yet takes the first free footballer he is offered.
    for (HumanControl& o : humans) {
        if (&o == &h || o.team != h.team || o.selected != nullptr) continue;
        for (CPlayer* c : o.switchList.candidates) {
            if (humanOf(c) == nullptr) {
                o.selected = c;
                break;
            }
        }
    }
}

void CPlay::selectReceiver(const CPlayer& kicker, CPlayer* receiver) {
    if (!hasHuman(kicker.team)) return;
    if (HumanControl* h = humanOf(&kicker)) {
        selectFor(*h, receiver);
    } else {
        select(receiver);
    }
}

HumanControl* CPlay::humanOf(const CPlayer* p) {
    if (p == nullptr) return nullptr;
    for (HumanControl& h : humans) {
        if (h.selected == p) return &h;
    }
    return nullptr;
}

const HumanControl* CPlay::humanOf(const CPlayer* p) const {
    if (p == nullptr) return nullptr;
    for (const HumanControl& h : humans) {
        if (h.selected == p) return &h;
    }
    return nullptr;
}

bool CPlay::heldByOtherHuman(const HumanControl& h, const CPlayer* p) const {
    const HumanControl* o = humanOf(p);
    return o != nullptr && o != &h;
}

bool CPlay::hasHuman(const CTeam* t) const {
    if (t == nullptr) return false;
    for (const HumanControl& h : humans) {
        if (h.team == t) return true;
    }
    return false;
}

int CPlay::humanCount() const {
    int n = 0;
    for (const HumanControl& h : humans) n += h.team != nullptr ? 1 : 0;
    return n;
}

bool CPlay::claimPoint(float x, float y) {
    // A point that is not a number cannot be claimed (nor ordered in the set).
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    const float rx = std::floor(2.0f * x + 0.5f) / 2.0f;
    const float ry = std::floor(2.0f * y + 0.5f) / 2.0f;
    return claimSet.insert(rx, ry);
}

void CPlay::markFootballersFree() {
    forEachFootballer(home, [](CPlayer& p) { p.canMove = true; });
    forEachFootballer(away, [](CPlayer& p) { p.canMove = true; });
}

void CPlay::notifyAll(int event) {
    forEachFootballer(home, [event](CPlayer& p) { p.notify(event); });
    forEachFootballer(away, [event](CPlayer& p) { p.notify(event); });
}

void CPlay::addDebugMarker(float x, float y) {
    if (debugMarkers != nullptr) debugMarkers->addDebugMarker(x, y);
}

void CPlay::print(const char* text) const {
    if (console == nullptr) return;
    *console << text;
    console->flush();
}

void CPlay::emit(MatchEvent e) {
    e.minute = matchMinute();
    if (e.player != nullptr) {
        e.playerIndex = teamOf(e.player).indexOf(e.player);
        if (e.side == SIDE_NONE) e.side = isHome(e.player) ? SIDE_HOME : SIDE_AWAY;
    }
    events.push_back(e);
}

void CPlay::callFoul(CPlayer* offender, const CPlayer* victim) {
    if (!rules.fouls || offender == nullptr || victim == nullptr) return;
    if (state != GAME_PLAY || fullState.call != FullRulesState::CALL_NONE) return;
    fullState.call = FullRulesState::CALL_FOUL;
    fullState.offender = offender;
    fullState.callSpot = victim->position;
}

bool CPlay::offsidePosition(const CPlayer& p) const {
    const CTeam& own = home.contains(&p) ? home : away;
    const CTeam& other = &own == &home ? away : home;
    const float s = own.plan->attacksUpwards ? 1.0f : -1.0f;
    const float y = p.position.y * s;  // towards the goal the side attacks
    // In the opponents' half (the halfway line is not) and nearer their goal line than the ball.
    if (y <= 0.0f || y <= ball.position.y * s) return false;
    // ... and than the second-last opponent, the keeper counted; level is onside.
    float last = -1000.0f, secondLast = -1000.0f;
    for (const auto& o : other.players) {
        const float oy = o->position.y * s;
        if (oy > last) {
            secondLast = last;
            last = oy;
        } else if (oy > secondLast) {
            secondLast = oy;
        }
    }
    return y > secondLast;
}

void CPlay::noteKick(const CPlayer& kicker) {
    if (!rules.offside) return;
    fullState.offsideTeam = nullptr;
    fullState.offsidePlayers.clear();
    // No offside straight from a throw-in, a goal kick or a corner.
    if (state == GAME_READY && (restartKind == THROW_IN || restartKind == GOAL_KICK || restartKind == CORNER)) return;
    const CTeam& side = home.contains(&kicker) ? home : away;
    for (const auto& f : side.players) {
        if (f.get() != &kicker && offsidePosition(*f)) fullState.offsidePlayers.push_back(f.get());
    }
    if (!fullState.offsidePlayers.empty()) fullState.offsideTeam = &side;
}

void CPlay::possessionUnderFullRules(CPlayer* p) {
    FullRulesState& f = fullState;
    // The pass is over once anybody has the ball: called if it found a footballer who stood offside.
    if (f.offsideTeam != nullptr) {
        const bool offside = std::find(f.offsidePlayers.begin(), f.offsidePlayers.end(), p) != f.offsidePlayers.end();
        if (offside && state == GAME_PLAY && f.call == FullRulesState::CALL_NONE) {
            f.call = FullRulesState::CALL_OFFSIDE;
            f.offender = p;
            f.callSpot = p->position;
        }
        f.offsideTeam = nullptr;
        f.offsidePlayers.clear();
    }
    if (f.indirectTaker != nullptr && p != f.indirectTaker) f.indirectTaker = nullptr;
    if (f.kickOffTeam != nullptr && !f.kickOffTeam->contains(p)) f.kickOffTeam = nullptr;
}

bool CPlay::computerTakesRestart() const {
    return rules.idleRestartSteps > 0 && state == GAME_READY && hasHuman(homeTakesRestart ? &home : &away) &&
           fullState.readySteps >= static_cast<std::uint64_t>(rules.idleRestartSteps);
}

}  // namespace flikka
