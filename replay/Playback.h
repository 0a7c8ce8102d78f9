#pragma once
// Plays a recorded match back on a match object of its own, step by step as the game played it:
// the recorded generator state, clock and carried-over state restored, the key slots fed from
// the recorded changes through a scripted device.
#include <cstdint>

#include "replay/ReplayFile.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "sim/ScriptedKeyboard.h"
#include "match/TrajectoryHash.h"

namespace flikka::replay {

class Playback {
public:
    explicit Playback(Replay r);
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Gives the match the recorded generator state and clock and sets it up.
    void start();
    // One logic step with the recorded keys. Returns the match step's result.
    int step();
    // The recorded number of steps has run, or full time.
    bool finished() const { return finished_; }

    const Replay& replay() const { return replay_; }
    CMatch& match() { return match_; }
    const CMatch& match() const { return match_; }
    std::uint64_t trajectoryHash() const { return hash_.value(); }

private:
    Replay replay_;
    ScriptedKeyboard keyboard_;
    ScriptedKeyboard keyboard2_;
    CMatch match_;
    TrajectoryHash hash_;
    bool finished_ = false;
};

}  // namespace flikka::replay
