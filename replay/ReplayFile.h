#pragma once
// A recorded match: everything that shapes play at its new-match set-up, the human's key-slot
// changes by step, and what came of it. Read and written in the small versioned binary format
// of docs/replay-format.md. A file that cannot be a replay is refused with the reason; the
// decoder never trusts a length or a count it has not checked against the bytes it holds.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/KeyState.h"
#include "sim/MatchRules.h"
#include "sim/ScriptedKeyboard.h"

namespace flikka::replay {

// 2 added player 2: the two-player sides, his carried-over key state and his key record.
inline constexpr std::uint16_t kFormatVersion = 2;
// No real match comes near these; past them a file is refused rather than played for days.
inline constexpr std::uint64_t kMaxSteps = 100'000'000;
inline constexpr std::uint32_t kMaxFileBytes = 32u * 1024u * 1024u;

// The key state the match inherits from the one before it on the same match object.
struct KeySnapshot {
    bool previous[KeyState::kSlots] = {};
    bool current[KeyState::kSlots] = {};
    bool locked[KeyState::kSlots] = {};
    float heldTime[KeyState::kSlots] = {};

    static KeySnapshot of(const KeyState& k);
    void restore(KeyState& k) const;
};

struct MatchSetUp {
    MatchRules rules;
    unsigned length = 300;  // seconds
    unsigned home[5] = {2, 0, 4, 0, 4};
    unsigned away[5] = {2, 0, 4, 0, 4};
    int humanSide = 2;  // HUMAN_NONE
    // The logic step the match was played with: the game's and the headless runner's differ in
    // the last bit, and every bit counts.
    float stepSeconds = 0.005f;
    // The generator and the simulation clock are never reset between matches.
    std::uint32_t randomState = 0;
    std::uint32_t simulationMs = 0;
    // Carried over on the match object: the switch list's timer and the key state.
    float switchTimer = 0.0f;
    KeySnapshot keys;
    KeySnapshot keys2;  // player 2's; all up in a version 1 file
};

enum class MatchEnd : std::uint8_t { FullTime = 0, Left = 1 };

struct MatchOutcome {
    std::uint64_t steps = 0;
    MatchEnd end = MatchEnd::FullTime;
    int homeScore = 0;
    int awayScore = 0;
    std::uint64_t trajectoryHash = 0;
};

struct Replay {
    MatchSetUp setUp;
    // The first human's device-level slot changes; the step counts from the new match.
    std::vector<KeyChange> keys;
    // Player 2's, when two humans play.
    std::vector<KeyChange> keys2;
    MatchOutcome outcome;
};

std::string encode(const Replay& r);

// Fills out and returns true, or leaves a one-line reason in problem and returns false.
bool decode(const std::string& bytes, Replay& out, std::string& problem);

// Reads and decodes a file; the message names the file and what is wrong with it.
bool loadFile(const std::string& path, Replay& out, std::string& message);

}  // namespace flikka::replay
