#include "replay/Recorder.h"

#include <cmath>

#include "sim/KeyState.h"
#include "match/Match.h"

namespace flikka::replay {

void MatchRecorder::beforeSetUp(const CMatch& m, const unsigned home[5], const unsigned away[5], float length,
                                int humanSide, float stepSeconds) {
    replay_ = Replay{};
    MatchSetUp& s = replay_.setUp;
    s.length = std::isfinite(length) && length > 0.0f ? static_cast<unsigned>(length) : 0u;
    for (int i = 0; i < 5; ++i) {
        s.home[i] = home[i];
        s.away[i] = away[i];
    }
    s.humanSide = humanSide;
    s.stepSeconds = stepSeconds;
    s.randomState = m.random.state();
    s.simulationMs = m.clockMs;
    s.switchTimer = m.humans[0].switchList.timer;
    s.keys = KeySnapshot::of(m.humans[0].keys);
    s.keys2 = KeySnapshot::of(m.humans[1].keys);
    hash_ = TrajectoryHash{};
    for (bool& b : lastSeen_) b = false;
    for (bool& b : lastSeen2_) b = false;
    recording_ = true;
    finished_ = false;
}

void MatchRecorder::afterSetUp(const CMatch& m) { replay_.setUp.rules = m.rules; }

void MatchRecorder::beforeStep(const CMatch& m, const StepInput& input) {
    if (!recording_) return;
    const auto changes = [&m](std::uint16_t slots, bool* seen, std::vector<KeyChange>& out) {
        for (int i = 0; i < KeyState::kSlots; ++i) {
            // As the match polls it: slot 8 never reads down.
            const bool down = i != SLOT_NONE && ((slots >> i) & 1u) != 0;
            if (down == seen[i]) continue;
            seen[i] = down;
            out.push_back({m.steps, i, down});
        }
    };
    if (m.humans[0].team != nullptr) changes(input.slots[0], lastSeen_, replay_.keys);
    if (m.humans[1].team != nullptr && humansIn(replay_.setUp.humanSide) == 2) {
        changes(input.slots[1], lastSeen2_, replay_.keys2);
    }
}

void MatchRecorder::afterStep(const CMatch& m, int result) {
    if (!recording_) return;
    hash_.add(m);
    if (result == 2) finished_ = true;
}

Replay MatchRecorder::snapshot(const CMatch& m) const {
    MatchRecorder copy = *this;
    return copy.finish(m);
}

Replay MatchRecorder::finish(const CMatch& m) {
    MatchOutcome& o = replay_.outcome;
    o.steps = m.steps;
    o.end = finished_ ? MatchEnd::FullTime : MatchEnd::Left;
    o.homeScore = m.homeScore;
    o.awayScore = m.awayScore;
    o.trajectoryHash = hash_.value();
    // A poll whose step never ran (the match was left in between) has nothing to replay.
    for (auto* keys : {&replay_.keys, &replay_.keys2}) {
        while (!keys->empty() && keys->back().step >= o.steps) keys->pop_back();
    }
    recording_ = false;
    return std::move(replay_);
}

}  // namespace flikka::replay
