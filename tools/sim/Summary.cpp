#include "tools/sim/Summary.h"

#include <algorithm>
#include <cmath>

#include "match/Match.h"

namespace flikka {

namespace {

constexpr float kStepSeconds = 0.005f;
// Match steps (15 s) after the scorer's kick-off was taken; the figure in open play only is given too.
constexpr unsigned long long kQuickGoalSteps = 3000;
constexpr float kLongSpellMinutes = 10.0f;
constexpr float kLongCarry = 50.0f;
// A goal in a top corner: higher than 1.5 m and more than 2.5 m from the middle of the goal.
constexpr float kTopCornerHeight = 1.5f;
constexpr float kTopCornerSide = 2.5f;

double share(long part, long whole) { return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0; }
double perMatch(long n, long matches) { return matches > 0 ? static_cast<double>(n) / static_cast<double>(matches) : 0.0; }

}  // namespace

void MatchSummary::startMatch(const CMatch& m) {
    started_ = true;
    lastState_ = m.state;
    lastSecondHalf_ = m.secondHalf;
    spellSteps_ = longestSpell_ = 0;
    sinceKickOff_ = 0;
    stepsSinceKickOff_ = 0;
    kickOffTaken_ = false;
    kickOffSide_ = -1;
    holder_ = nullptr;
    matchLength_ = m.matchLength > 0.0f ? m.matchLength : 300.0f;
}

void MatchSummary::observe(const CMatch& m) {
    if (!started_) startMatch(m);

    if (m.state == GAME_PLAY) {
        ++spellSteps_;
        ++sinceKickOff_;
        longestSpell_ = std::max(longestSpell_, spellSteps_);
    } else {
        spellSteps_ = 0;
    }
    // Match steps run from the moment the kick-off is taken, through every stoppage after it.
    if (kickOffTaken_) ++stepsSinceKickOff_;
    else if (m.state == GAME_PLAY && kickOffSide_ >= 0) kickOffTaken_ = true;
    if (lastState_ == GAME_PLAY && m.state == GAME_OUT_OF_PLAY && m.secondHalf == lastSecondHalf_) ++t_.stoppages;

    // Goals and kick-offs as the match reports them.
    for (const MatchEvent& e : m.events) {
        if (e.kind == MatchEventKind::KickOff) {
            kickOffSide_ = e.side;
            sinceKickOff_ = 0;
            stepsSinceKickOff_ = 0;
            kickOffTaken_ = false;
        } else if (e.kind == MatchEventKind::Goal) {
            if (e.where.z > kTopCornerHeight && std::fabs(e.where.x) > kTopCornerSide) ++t_.topCornerGoals;
            if (e.side == kickOffSide_ && sinceKickOff_ <= kQuickGoalSteps) ++t_.quickKickOffGoals;
            if (e.side == kickOffSide_ && kickOffTaken_ && stepsSinceKickOff_ <= kQuickGoalSteps) ++t_.quickKickOffGoalsSteps;
        }
    }

    if (m.ballHolder != holder_) {
        if (holder_ != nullptr) {
            const float dx = holder_->position.x - gainX_;
            const float dy = holder_->position.y - gainY_;
            t_.carries.push_back(std::sqrt(dx * dx + dy * dy));
        }
        holder_ = m.ballHolder;
        if (holder_ != nullptr) {
            gainX_ = holder_->position.x;
            gainY_ = holder_->position.y;
        }
    }

    lastState_ = m.state;
    lastSecondHalf_ = m.secondHalf;
}

void MatchSummary::endMatch(const CMatch& m) {
    ++t_.matches;
    t_.goals += m.homeScore + m.awayScore;
    t_.homeGoals += m.homeScore;
    t_.awayGoals += m.awayScore;
    if (m.homeScore == 0 && m.awayScore == 0) ++t_.goallessDraws;
    if (m.homeScore > 0) ++t_.matchesHomeScored;
    if (m.homeScore > m.awayScore) t_.homePoints += 3;
    else if (m.homeScore < m.awayScore) t_.awayPoints += 3;
    else {
        t_.homePoints += 1;
        t_.awayPoints += 1;
    }
    for (const CTeam* team : {&m.home, &m.away}) {
        t_.shots += team->shots;
        t_.shotsOnGoal += team->shotsOnGoal;
        t_.passes += team->passes;
        t_.successfulPasses += team->successfulPasses;
        t_.fouls += team->fouls;
        t_.penalties += team->penalties;
        t_.offsides += team->offsides;
        t_.freeKicks += team->freeKicks;
    }
    const float minutes = static_cast<float>(longestSpell_) * kStepSeconds * 90.0f / matchLength_;
    t_.longestSpells.push_back(minutes);
    if (minutes <= kLongSpellMinutes) ++t_.matchesWithoutLongSpell;
    started_ = false;
}

void MatchSummary::print(std::FILE* out) const {
    const long n = t_.matches;
    std::vector<float> spells = t_.longestSpells;
    std::sort(spells.begin(), spells.end());
    std::vector<float> carries = t_.carries;
    std::sort(carries.begin(), carries.end());
    long shortCarries = 0;
    for (float c : carries) shortCarries += c < kLongCarry ? 1 : 0;
    const auto pick = [](const std::vector<float>& v, double q) {
        if (v.empty()) return 0.0;
        const std::size_t i = std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())));
        return static_cast<double>(v[i]);
    };

    std::fprintf(out, "%-36s%ld\n", "matches", n);
    std::fprintf(out, "%-36s%.2f\n", "goals per match", perMatch(t_.goals, n));
    std::fprintf(out, "%-36s%.1f %%\n", "goalless draws", share(t_.goallessDraws, n));
    std::fprintf(out, "%-36s%.1f\n", "shots per match", perMatch(t_.shots, n));
    std::fprintf(out, "%-36s%.1f %%\n", "shots on target", share(t_.shotsOnGoal, t_.shots));
    std::fprintf(out, "%-36s%.1f %%\n", "top-corner goals", share(t_.topCornerGoals, t_.goals));
    std::fprintf(out, "%-36s%.1f %%\n", "goals within 15 s of own kick-off", share(t_.quickKickOffGoalsSteps, t_.goals));
    std::fprintf(out, "%-36s%.1f %%\n", "  the same, open play counted only", share(t_.quickKickOffGoals, t_.goals));
    std::fprintf(out, "%-36s%.1f %%\n", "pass completion", share(t_.successfulPasses, t_.passes));
    std::fprintf(out, "%-36s%.1f\n", "passes per match", perMatch(t_.passes, n));
    std::fprintf(out, "%-36s%.1f %%\n", "matches without a spell > 10 min", share(t_.matchesWithoutLongSpell, n));
    std::fprintf(out, "%-36s%.1f / %.1f game min\n", "longest spell, median / max", pick(spells, 0.5),
                 spells.empty() ? 0.0 : static_cast<double>(spells.back()));
    std::fprintf(out, "%-36s%.1f\n", "stoppages per match", perMatch(t_.stoppages, n));
    std::fprintf(out, "%-36s%.2f\n", "fouls per match", perMatch(t_.fouls, n));
    std::fprintf(out, "%-36s%.2f\n", "free kicks per match", perMatch(t_.freeKicks, n));
    std::fprintf(out, "%-36s%.2f\n", "penalties per match", perMatch(t_.penalties, n));
    std::fprintf(out, "%-36s%.2f\n", "offsides per match", perMatch(t_.offsides, n));
    std::fprintf(out, "%-36s%.2f %%\n", "carries under 50 m", share(shortCarries, static_cast<long>(carries.size())));
    std::fprintf(out, "%-36s%.1f / %.1f m\n", "carry 99th percentile / longest", pick(carries, 0.99),
                 carries.empty() ? 0.0 : static_cast<double>(carries.back()));
    std::fprintf(out, "%-36s%.2f / %.2f\n", "home goals / away goals per match", perMatch(t_.homeGoals, n), perMatch(t_.awayGoals, n));
    std::fprintf(out, "%-36s%ld of %ld matches\n", "home scored in", t_.matchesHomeScored, n);
    std::fprintf(out, "%-36s%.2f / %.2f\n", "points per game home / away", perMatch(t_.homePoints, n), perMatch(t_.awayPoints, n));
}

}  // namespace flikka
