#pragma once
// What the screen remembers of a match, learnt only from its event stream: the goals with
// their scorers and minutes (for the goal banner and the half- and full-time cards), how long
// the banner still shows, and which card stands over the frozen match.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/MatchEvents.h"

namespace flikka {

struct GoalMoment {
    std::string scorer;  // empty when nobody had touched the ball
    unsigned minute = 0;
    std::int8_t side = SIDE_NONE;  // the side credited
    bool ownGoal = false;
    int homeGoals = 0;  // the score after this goal
    int awayGoals = 0;
};

enum class TimeCard { None, HalfTime, FullTime };

class MatchMoments {
public:
    // About 2.5 s of match steps: over the fade that follows the goal and a little beyond.
    static constexpr int kBannerSteps = 500;

    void reset();
    // The events handed out after one match step; called once for every step.
    void afterStep(const std::vector<MatchEvent>& events);

    const std::vector<GoalMoment>& goals() const { return goals_; }
    int homeGoals() const { return goals_.empty() ? 0 : goals_.back().homeGoals; }
    int awayGoals() const { return goals_.empty() ? 0 : goals_.back().awayGoals; }

    // The latest goal while its banner shows, else null.
    const GoalMoment* banner() const { return bannerSteps_ > 0 && !goals_.empty() ? &goals_.back() : nullptr; }

    TimeCard card() const { return card_; }
    void dismissCard() { card_ = TimeCard::None; }

private:
    std::vector<GoalMoment> goals_;
    int bannerSteps_ = 0;
    TimeCard card_ = TimeCard::None;
};

// "Mason 27 min", or "Conti 34 min (own goal)".
std::string scorerText(const GoalMoment& g);

}  // namespace flikka
