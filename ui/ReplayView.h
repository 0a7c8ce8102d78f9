#pragma once
// The replays on screen: another match than the live one drawn by the match view, the "REPLAY"
// mark of a goal's instant replay, the bar of "watch replay" with its keys, and the page that
// says why a replay cannot be played.
#include <string>

namespace flikka {

class CGraphics;
class CMatch;

// The state "watch replay" shows in its bar.
struct ReplayBar {
    std::string speed;  // "half speed", "normal speed", "double speed"
    bool paused = false;
    bool skipping = false;
    bool ended = false;
};

inline constexpr const char* kReplayMark = "REPLAY";
inline constexpr const char* kReplayKeys = "H half  N normal  D double  Space pause  G next goal  Esc back";

// Draws m as the match view draws the live match, then gives the view its live match back.
void drawOtherMatch(CGraphics& g, CMatch& m);
// The mark over a goal's replay, with the keys that skip it.
void drawReplayMark(CGraphics& g, const std::string& skipHint);
void drawReplayBar(CGraphics& g, const ReplayBar& bar);
// Over the menu background: the file and its fault, and how to go back.
void drawReplayProblem(CGraphics& g, const std::string& message);

}  // namespace flikka
