#pragma once
// What happened in a match step, for everything outside the simulation: sound, banners,
// statistics, replays and the headless runner's --events. The match appends events while it
// steps and hands them out after the step; nothing reacts inside the step.
#include <cstdint>
#include <vector>

#include "sim/Vector3.h"

namespace flikka {

class CPlayer;

enum class MatchEventKind : std::uint8_t {
    Kick,          // kickKind, strength (m/s), player, where
    Possession,    // player gained the ball, where; not when it comes back to whoever had it last
    Bounce,        // strength: the speed into the ground (a settling ball's touch-downs are left out)
    Post,          // strength: speed at the hit
    Crossbar,
    Net,           // inside or outside of the net
    Goal,          // player: the last toucher (scorer), ownGoal, side: the side credited, where: x, z on the line
    KeeperCatch,   // player, strength: the ball's speed
    KeeperParry,
    KeeperDive,    // where: the point he dives at
    Whistle,       // restartKind and side taking it, where: the restart point (a restart is set up)
    KickOff,       // side kicking off; with the kick-off's whistle
    HalfTime,
    FullTime,      // once, at the step that first reports full time
    OutOfPlay,     // restartKind that follows, side taking it, where the ball left (goals excepted)
    // Later rules.
    Foul,
    FreeKick,
    Penalty,
    Offside,
};

// How a kick was meant, as sound and statistics tell them apart.
enum class KickEventKind : std::uint8_t { Pass, Shot, Cross, Clearance, KeeperKick, Throw };

enum EventSide : std::int8_t { SIDE_NONE = -1, SIDE_HOME = 0, SIDE_AWAY = 1 };

struct MatchEvent {
    MatchEventKind kind = MatchEventKind::Kick;
    std::uint64_t step = 0;  // match steps since the new match; stamped when handed out
    unsigned minute = 0;
    std::int8_t side = SIDE_NONE;
    // Valid until the next new match; squad index alongside for files and text.
    const CPlayer* player = nullptr;
    int playerIndex = -1;
    KickEventKind kickKind = KickEventKind::Pass;
    int restartKind = 0;
    bool ownGoal = false;
    float strength = 0.0f;
    Vector3 where{};
};

const char* eventKindName(MatchEventKind k);
const char* kickEventKindName(KickEventKind k);

}  // namespace flikka
