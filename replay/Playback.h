#pragma once
// Plays a recorded match back on a match object of its own, step by step as the game played it:
// the recorded generator state, clock and carried-over state restored, the key slots fed from
// the recorded changes through a scripted device.
#include <cstdint>

#include "replay/ReplayFile.h"
#include "sim/KeyState.h"
#include "sim/Match.h"
#include "sim/ScriptedKeyboard.h"
#include "sim/TrajectoryHash.h"

namespace flikka::replay {

class Playback {
public:
    explicit Playback(Replay r);
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Sets the generator and the simulation clock (globals: callers that must keep them save and
    // restore them around the playback) and sets the match up.
    void start();
    // One logic step: key poll, user control, match step. Returns the match step's result.
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
    KeyState keys_;
    ScriptedKeyboard keyboard2_;
    KeyState keys2_;
    CMatch match_;
    TrajectoryHash hash_;
    bool finished_ = false;
};

// The generator and the simulation clock, kept across something that plays a match of its own.
class SimulationGlobalsGuard {
public:
    SimulationGlobalsGuard();
    ~SimulationGlobalsGuard();
    SimulationGlobalsGuard(const SimulationGlobalsGuard&) = delete;
    SimulationGlobalsGuard& operator=(const SimulationGlobalsGuard&) = delete;

private:
    std::uint32_t random_;
    std::uint32_t ms_;
};

}  // namespace flikka::replay
