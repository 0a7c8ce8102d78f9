#include "replay/Recorder.h"

#include <cmath>

#include "sim/KeyState.h"
#include "sim/Match.h"

namespace flikka::replay {

void MatchRecorder::beforeSetUp(const CMatch& m, const KeyState& keys, const unsigned home[5], const unsigned away[5],
                                float length, int humanSide, float stepSeconds, const KeyState* keys2) {
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
    s.keys = KeySnapshot::of(keys);
    if (keys2 != nullptr) s.keys2 = KeySnapshot::of(*keys2);
    hash_ = TrajectoryHash{};
    for (bool& b : lastSeen_) b = false;
    for (bool& b : lastSeen2_) b = false;
    recording_ = true;
    finished_ = false;
}

void MatchRecorder::afterSetUp(const CMatch& m) { replay_.setUp.rules = m.rules; }

void MatchRecorder::afterPoll(const CMatch& m, const KeyState& keys, const KeyState* keys2) {
    if (!recording_) return;
    const auto changes = [&m](const KeyState& k, bool* seen, std::vector<KeyChange>& out) {
        for (int i = 0; i < KeyState::kSlots; ++i) {
            if (k.current[i] == seen[i]) continue;
            seen[i] = k.current[i];
            out.push_back({m.steps, i, k.current[i]});
        }
    };
    changes(keys, lastSeen_, replay_.keys);
    if (keys2 != nullptr && humansIn(replay_.setUp.humanSide) == 2) changes(*keys2, lastSeen2_, replay_.keys2);
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
