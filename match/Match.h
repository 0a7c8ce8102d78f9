#pragma once
// A match: its play (ball, squads, score, rules, generator and clock), the two team AIs, and the
// step that runs them all in a fixed order.
#include "players/Play.h"
#include "team/GlobalAI.h"

namespace flikka {

class CMatch : public CPlay {
public:
    CGlobalAI homeAi;
    CGlobalAI awayAi;

    CMatch();
    ~CMatch();
    // A copy steps exactly as the original would: everything that shapes play is copied, and
    // every reference inside the match is rebound to the copy's own. What the match reports to
    // (the console, the debug markers) belongs to the object, not to the play: a copy starts
    // silent, and an assignment keeps the destination's. Restoring a snapshot of the same match
    // by assignment reuses its storage.
    CMatch(const CMatch& o);
    CMatch& operator=(const CMatch& o);

    // Counts: strikers, attacking midfielders, midfielders, defensive midfielders, defenders.
    void newMatch(const unsigned homeCounts[5], const unsigned awayCounts[5], float length, int humanSide,
                  const MatchRules& matchRules = MatchRules::classic());
    // One tick, and the only way input reaches the match: each playing human's key slots, his
    // control of his footballer, then the match step. 0 play on, 1 half time, 2 full time.
    // dt is the logic step; only a replay recorded with another passes its own.
    int step(const StepInput& input, float dt = kStep);
    // The match step alone, with no human input (the computer sides, set-up tests).
    int matchStep(float dt);

    // The AI of a side of this match.
    CGlobalAI& aiOf(const CTeam& t) { return &t == &home ? homeAi : awayAi; }
    const CGlobalAI& aiOf(const CTeam& t) const { return &t == &home ? homeAi : awayAi; }

    void refereeCheck();
    // The goal event of a ball just over the line at lineY; the score has been counted.
    void reportGoal(bool homeCredited, float lineY);

private:
    void rebindFrom(const CMatch& o);
    int stepStages(float dt);  // the step's stages in their fixed order
    // Full rules: the calls of the step (true when play stopped), play resuming, the switch.
    bool refereeCalls();
    void playResumed(int kind);
    void automaticSwitch();
};

}  // namespace flikka
