#pragma once
// Records a match as it is played: the set-up it starts from, the humans' key slots of each
// step's input (whatever device filled them), and the outcome. Reads the match, never changes it.
#include <cstdint>

#include "replay/ReplayFile.h"
#include "match/TrajectoryHash.h"

namespace flikka {
class CMatch;
struct StepInput;
}  // namespace flikka

namespace flikka::replay {

class MatchRecorder {
public:
    // Just before the new-match set-up: the generator, the clock and what the match object
    // carries over from the match before (the humans' key states among it).
    void beforeSetUp(const CMatch& m, const unsigned home[5], const unsigned away[5], float length, int humanSide,
                     float stepSeconds);
    // Just after it: the rules the match took.
    void afterSetUp(const CMatch& m);
    // Before each step with the step's input: the slots of each playing human that changed
    // since his last step.
    void beforeStep(const CMatch& m, const StepInput& input);
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
