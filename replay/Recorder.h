#pragma once
// Records a match as it is played: the set-up it starts from, the human's key slots after each
// poll (whatever device filled them), and the outcome. Reads the match, never changes it.
#include <cstdint>

#include "replay/ReplayFile.h"
#include "sim/TrajectoryHash.h"

namespace flikka {
class CMatch;
class KeyState;
}  // namespace flikka

namespace flikka::replay {

class MatchRecorder {
public:
    // Just before the new-match set-up: the generator, the clock and what the match object
    // carries over from the match before.
    // keys2 is player 2's key state (none: he has never played on this match object).
    void beforeSetUp(const CMatch& m, const KeyState& keys, const unsigned home[5], const unsigned away[5],
                     float length, int humanSide, float stepSeconds, const KeyState* keys2 = nullptr);
    // Just after it: the rules the match took.
    void afterSetUp(const CMatch& m);
    // After each key poll, before the user control: the slots that changed since the last poll.
    // keys2: player 2's slots, when two humans play.
    void afterPoll(const CMatch& m, const KeyState& keys, const KeyState* keys2 = nullptr);
    // After each match step.
    void afterStep(const CMatch& m, int result);

    bool recording() const { return recording_; }
    bool finished() const { return finished_; }  // full time reached
    // Ends the recording (full time or left) and hands the replay over.
    Replay finish(const CMatch& m);
    // The match so far, as if it had been left now; the recording goes on.
    Replay snapshot(const CMatch& m) const;

private:
    Replay replay_;
    TrajectoryHash hash_;
    bool lastSeen_[KeyState::kSlots] = {};
    bool lastSeen2_[KeyState::kSlots] = {};
    bool recording_ = false;
    bool finished_ = false;
};

}  // namespace flikka::replay
