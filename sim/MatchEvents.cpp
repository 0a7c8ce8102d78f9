#include "sim/MatchEvents.h"

namespace flikka {

const char* eventKindName(MatchEventKind k) {
    switch (k) {
        case MatchEventKind::Kick: return "kick";
        case MatchEventKind::Possession: return "possession";
        case MatchEventKind::Bounce: return "bounce";
        case MatchEventKind::Post: return "post";
        case MatchEventKind::Crossbar: return "crossbar";
        case MatchEventKind::Net: return "net";
        case MatchEventKind::Goal: return "goal";
        case MatchEventKind::KeeperCatch: return "keeper_catch";
        case MatchEventKind::KeeperParry: return "keeper_parry";
        case MatchEventKind::KeeperDive: return "keeper_dive";
        case MatchEventKind::Whistle: return "whistle";
        case MatchEventKind::KickOff: return "kick_off";
        case MatchEventKind::HalfTime: return "half_time";
        case MatchEventKind::FullTime: return "full_time";
        case MatchEventKind::OutOfPlay: return "out_of_play";
        case MatchEventKind::Foul: return "foul";
        case MatchEventKind::FreeKick: return "free_kick";
        case MatchEventKind::Penalty: return "penalty";
        case MatchEventKind::Offside: return "offside";
    }
    return "unknown";
}

const char* kickEventKindName(KickEventKind k) {
    switch (k) {
        case KickEventKind::Pass: return "pass";
        case KickEventKind::Shot: return "shot";
        case KickEventKind::Cross: return "cross";
        case KickEventKind::Clearance: return "clearance";
        case KickEventKind::KeeperKick: return "keeper_kick";
        case KickEventKind::Throw: return "throw";
    }
    return "unknown";
}

}  // namespace flikka
