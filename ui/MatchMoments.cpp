#include "ui/MatchMoments.h"

#include "players/Player.h"

namespace flikka {

void MatchMoments::reset() {
    goals_.clear();
    bannerSteps_ = 0;
    card_ = TimeCard::None;
}

void MatchMoments::afterStep(const std::vector<MatchEvent>& events) {
    if (bannerSteps_ > 0) --bannerSteps_;
    for (const MatchEvent& e : events) {
        switch (e.kind) {
            case MatchEventKind::Goal: {
                GoalMoment g;
                // The footballer lives only until the next new match: keep his name.
                if (e.player != nullptr) g.scorer = e.player->name;
                g.minute = e.minute;
                g.side = e.side;
                g.ownGoal = e.ownGoal;
                g.homeGoals = homeGoals() + (e.side == SIDE_HOME ? 1 : 0);
                g.awayGoals = awayGoals() + (e.side == SIDE_AWAY ? 1 : 0);
                goals_.push_back(g);
                bannerSteps_ = kBannerSteps;
                break;
            }
            case MatchEventKind::HalfTime:
                card_ = TimeCard::HalfTime;
                bannerSteps_ = 0;
                break;
            case MatchEventKind::FullTime:
                card_ = TimeCard::FullTime;
                bannerSteps_ = 0;
                break;
            default: break;
        }
    }
}

std::string scorerText(const GoalMoment& g) {
    std::string text = g.scorer.empty() ? std::string("goal") : g.scorer;
    text += " " + std::to_string(g.minute) + " min";
    if (g.ownGoal) text += " (own goal)";
    return text;
}

}  // namespace flikka
