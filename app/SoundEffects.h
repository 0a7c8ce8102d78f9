#pragma once
// The game's sound effects and their files under sfx/, written by flikka-soundgen and loaded by
// the sound director: one list, so that the two cannot drift apart.
#include <cstddef>

namespace flikka {

enum class Sfx : int {
    KickSoft,
    KickHard,
    Bounce,
    Post,
    Crossbar,
    Net,
    KeeperCatch,
    WhistleShort,  // throw-in, corner, goal kick and the later rules' restarts
    WhistleLong,   // kick-off
    WhistleHalfTime,
    WhistleFullTime,
    Crowd,         // loop: the murmur of a match
    CrowdExcited,  // loop: the same crowd on its feet
    GoalRoar,
    Groan,
    MenuMove,
    MenuSelect,
    Count
};

inline constexpr std::size_t kSfxCount = static_cast<std::size_t>(Sfx::Count);

inline constexpr const char* kSfxFiles[kSfxCount] = {
    "kick_soft.wav", "kick_hard.wav", "bounce.wav",     "post.wav",          "crossbar.wav",  "net.wav",
    "catch.wav",     "whistle_short.wav", "whistle_long.wav", "whistle_half.wav", "whistle_full.wav",
    "crowd.wav",     "crowd_excited.wav", "goal_roar.wav",   "groan.wav",       "menu_move.wav", "menu_select.wav",
};

inline constexpr const char* sfxFile(Sfx s) { return kSfxFiles[static_cast<std::size_t>(s)]; }

}  // namespace flikka
