#pragma once
// The overlays of a match frame: head-up display, radar, and the debug view (tactical radar,
// goalkeeper target markers, match-state text, footballers' labels and pass-value bars).
#include <string>

#include "platform/Platform.h"
#include "players/OutfieldPlayer.h"

namespace flikka {

class CGraphics;
class CMatch;
class CPlayer;
class CTeam;

// All overlays in their order; the radar and the debug view follow the settings of this frame.
void drawOverlays(CGraphics& g);

void drawHud(CGraphics& g);

// Who plays a side from the keys: "player 1", "player 2", "players 1 and 2", or "CPU".
std::string humanPlayersText(const CMatch& m, const CTeam& side);
// Human n's colour (1 gold, 2 cyan).
platform::Color humanColour(int human);
void drawRadar(CGraphics& g);
void drawDebugRadar(CGraphics& g);
void drawDebugMarkers(CGraphics& g);  // with the match-state text
void drawDebugLabels(CGraphics& g);

// "inj" past minute 45 of the first half or minute 90 of the second, else "<m> min".
std::string clockText(unsigned minute, bool secondHalf);

// "GAME_PLAY", "GAME_OUT_OF_PLAY", "GAME_READY", or "GAME_???" for anything else.
const char* matchStateName(int state);

// The debug label of an outfield AI state ("REC", "POS", ...); empty for values without one.
const char* aiStateShortName(int state);

// The two-line debug label: "<slot label>, <state>" then the name.
std::string debugLabelText(const std::string& slotLabel, int state, const std::string& name);

// The best pass from the footballer's facing, for any footballer, keepers included: over the
// aims direction - 2 ... direction + 2 (cyclic) the receiver nearest the ball in that aim, the
// highest pass value winning and the earliest aim on ties. No receiver: score -1000.
PassChoice bestPassFor(const CMatch& m, const CPlayer& holder);

// A pitch point on the radar, relative to its top-left corner (upper goal at the top).
float radarX(float x, float pixelsPerMetre);
float radarY(float y, float pixelsPerMetre);

}  // namespace flikka
