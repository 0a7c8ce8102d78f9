#include "replay/GoalReplay.h"

#include "replay/Playback.h"
#include "match/Match.h"
#include "team/GlobalAI.h"

namespace flikka::replay {

GoalReplay::GoalReplay() : frames_(kFrames) {}

GoalReplay::~GoalReplay() = default;

void GoalReplay::observe(const CMatch& m, int result) {
    frames_.push(MatchFrame::of(m));
    if (armed_) --delay_;
    for (const MatchEvent& e : m.events) {
        if (e.kind == MatchEventKind::Goal) {
            armed_ = true;
            stopped_ = false;
            delay_ = kDelaySteps;
        }
    }
    if (armed_ && result != 0) stopped_ = true;
}

void GoalReplay::reset() {
    frames_.clear();
    armed_ = false;
    stopped_ = false;
    showing_ = false;
}

void GoalReplay::start(const CMatch& live) {
    armed_ = false;
    stopped_ = false;
    if (frames_.size() == 0) return;
    // A match of its own, only posed: it never steps, and draws from its own generator if at all.
    display_ = std::make_unique<CMatch>();
    display_->console = nullptr;
    unsigned home[5], away[5];
    for (int i = 0; i < 5; ++i) {
        home[i] = live.homeAi.formation.lineCounts[i];
        away[i] = live.awayAi.formation.lineCounts[i];
    }
    display_->newMatch(home, away, live.matchLength, HUMAN_NONE, live.rules);
    display_->home.name = live.home.name;
    display_->away.name = live.away.name;
    cursor_ = 0;
    showing_ = true;
    frames_.at(0).pose(*display_);
}

bool GoalReplay::tick() {
    if (!showing_) return false;
    ++cursor_;
    const std::size_t frame = cursor_ / kTicksPerFrame;
    if (frame >= frames_.size()) {
        stop();
        return false;
    }
    if (cursor_ % kTicksPerFrame == 0) frames_.at(frame).pose(*display_);
    return true;
}

void GoalReplay::stop() { showing_ = false; }

}  // namespace flikka::replay
