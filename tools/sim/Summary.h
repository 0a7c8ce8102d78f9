#pragma once
// Football figures over a run of matches (flikka-sim --summary): goals, shots, passes,
// stoppages, spells of play, carries, fouls and the like, watched step by step from outside the
// match, the way a statistician watches a game.
#include <cstdio>
#include <vector>

namespace flikka {

class CMatch;
class CPlayer;

class MatchSummary {
public:
    // Call after every match step of a match, and once more at its end.
    void observe(const CMatch& m);
    void endMatch(const CMatch& m);
    void print(std::FILE* out) const;

private:
    struct Totals {
        long matches = 0;
        long goals = 0;
        long goallessDraws = 0;
        long shots = 0, shotsOnGoal = 0;
        long passes = 0, successfulPasses = 0;
        long topCornerGoals = 0;
        long quickKickOffGoals = 0;      // within 3,000 steps of play (GAME_PLAY) of the kick-off
        long quickKickOffGoalsSteps = 0; // within 3,000 match steps of it, stoppages counted
        long stoppages = 0;
        long matchesWithoutLongSpell = 0;
        long fouls = 0, penalties = 0, offsides = 0, freeKicks = 0;
        long homePoints = 0, awayPoints = 0;
        long matchesHomeScored = 0;
        long homeGoals = 0, awayGoals = 0;
        std::vector<float> carries;        // metres, one per possession
        std::vector<float> longestSpells;  // game minutes, one per match
    };

    void startMatch(const CMatch& m);

    Totals t_;
    // Per match.
    bool started_ = false;
    int lastState_ = -1;
    bool lastSecondHalf_ = false;
    unsigned long long spellSteps_ = 0, longestSpell_ = 0;
    unsigned long long sinceKickOff_ = 0;  // steps of play since the last kick-off
    unsigned long long stepsSinceKickOff_ = 0;  // match steps since it was taken
    bool kickOffTaken_ = false;
    int kickOffSide_ = -1;                 // its side, as the events name sides
    const CPlayer* holder_ = nullptr;
    float gainX_ = 0.0f, gainY_ = 0.0f;
    float matchLength_ = 300.0f;
};

}  // namespace flikka
