// The match's part of the full rules: fouls and offsides called by the referee, what play
// remembers as it resumes, and the human's automatic switch. Nothing here runs under classic.
#include <algorithm>
#include <cmath>

#include "players/Player.h"
#include "match/Match.h"
#include "sim/PitchGeometry.h"
#include "sim/PitchLandmarks.h"
#include "players/Team.h"
#include "team/GlobalAI.h"

namespace flikka {

namespace {

// Free kicks are taken at least half a metre inside the lines.
constexpr float kRestartMarginX = pitch::kHalfWidth - 0.5f;
constexpr float kRestartMarginY = pitch::kHalfLength - 0.5f;
constexpr float kSwitchMargin = 0.3f;     // seconds a new footballer must gain to take control
constexpr float kLookAhead = 0.5f;        // where the carrier will be, seconds ahead

// Landmarks of a side's own end: the penalty area (2, 3) and the penalty spot (12).
constexpr int kAreaLo = 2;
constexpr int kAreaHi = 3;
constexpr int kPenaltySpot = 12;

}  // namespace





bool CMatch::refereeCalls() {
    FullRulesState& f = fullState;
    if (f.call == FullRulesState::CALL_NONE || f.offender == nullptr) return false;
    CTeam& offenders = teamOf(f.offender);
    CTeam& awarded = &offenders == &home ? away : home;
    const std::int8_t awardedSide = &awarded == &home ? SIDE_HOME : SIDE_AWAY;
    Vector3 spot{std::clamp(f.callSpot.x, -kRestartMarginX, kRestartMarginX),
                 std::clamp(f.callSpot.y, -kRestartMarginY, kRestartMarginY), kBallRadius};
    int kind = FREE_KICK;

    MatchEvent call;
    call.player = f.offender;
    call.where = f.callSpot;
    if (f.call == FullRulesState::CALL_FOUL) {
        print("foul\n");
        call.kind = MatchEventKind::Foul;
        emit(call);
        ++offenders.fouls;
        const PitchEnd offendersEnd = defendedEnd(offenders.plan->attacksUpwards);
        MatchEvent award;
        award.side = awardedSide;
        if (PitchLandmarks::inBox(f.callSpot, kAreaLo, kAreaHi, 0.0f, offendersEnd)) {
            kind = PENALTY;
            spot = PitchLandmarks::landmark(kPenaltySpot, offendersEnd);
            spot.z = kBallRadius;
            print("penalty\n");
            award.kind = MatchEventKind::Penalty;
            ++awarded.penalties;
        } else {
            print("free kick\n");
            award.kind = MatchEventKind::FreeKick;
            ++awarded.freeKicks;
        }
        award.where = spot;
        emit(award);
    } else {
        print("offside\n");
        call.kind = MatchEventKind::Offside;
        emit(call);
        ++offenders.offsides;
        ++awarded.freeKicks;
        kind = INDIRECT_FREE_KICK;
    }
    restartKind = kind;
    restartPoint = spot;
    homeTakesRestart = &awarded == &home;
    state = GAME_OUT_OF_PLAY;
    stateTimer = 2.0f;
    f.clearPlay();
    return true;
}

void CMatch::playResumed(int kind) {
    fullState.readySteps = 0;
    if (kind == KICK_OFF && rules.kickOffBackPass) {
        fullState.kickOffTeam = &takingTeam();
        fullState.kickOffStep = steps;
    }
}


void CMatch::automaticSwitch() {
    FullRulesState& f = fullState;
    const CTeam* holders = ballHolder != nullptr ? &teamOf(ballHolder) : nullptr;
    const bool gained = holders != nullptr && holders != f.lastHolderTeam;
    if (holders != nullptr) f.lastHolderTeam = holders;
    // The humans who defend: a footballer selected, the other side carrying the ball.
    const auto defends = [&](const HumanControl& h) {
        return h.team != nullptr && h.selected != nullptr && holders != nullptr && holders != h.team;
    };
    bool anyDefends = false;
    for (const HumanControl& h : humans) anyDefends = anyDefends || defends(h);
    if (!anyDefends || state != GAME_PLAY || isEitherGoalkeeper(ballHolder)) return;
    if (!gained && steps - f.lastAutoSwitch < static_cast<std::uint64_t>(rules.autoSwitchSteps)) return;
    f.lastAutoSwitch = steps;

    // Best placed: the quickest to where the carrier is about to be.
    const CPlayer& carrier = *ballHolder;
    const Vector3 ahead =
        carrier.position + carrier.heading * (std::min(carrier.speed, carrier.movement().topSpeed) * kLookAhead);
    for (HumanControl& h : humans) {
        if (!defends(h)) continue;
        CPlayer* best = nullptr;
        float bestTime = 0.0f;
        float selectedTime = 1000.0f;
        for (std::size_t i = 1; i < h.team->size(); ++i) {
            CPlayer* p = h.team->player(i);
            const float t = p->timeToReach(ahead) + p->stunTime;
            if (p == h.selected) selectedTime = t;
            if (best == nullptr || t < bestTime) {
                best = p;
                bestTime = t;
            }
        }
        // When the other human of the side already plays the best placed, this one stays.
        if (best != nullptr && best != h.selected && !heldByOtherHuman(h, best) && bestTime < selectedTime - kSwitchMargin) {
            selectFor(h, best);
        }
    }
}

}  // namespace flikka
