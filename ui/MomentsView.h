#pragma once
// The moments a player must see, drawn over the match: the prompt when his side takes a
// restart, the goal banner, and the card at half time and full time.
#include <string>

#include "platform/Platform.h"

namespace flikka {

class CGraphics;
class CMatch;
class MatchMoments;

// "press <key> to <action>" for the restart the human's side stands ready to take, with the key
// named from his current bindings; empty when nothing waits for him. When two play, the taker's
// player is named first: "player 2: press H to kick off".
struct RestartPrompt {
    std::string key;
    const char* action = nullptr;
    int player = 0;  // 1 or 2 when two humans play, else 0
    bool shown() const { return action != nullptr; }
    std::string who() const { return player == 0 ? std::string() : "player " + std::to_string(player) + ": "; }
    std::string text() const { return who() + "press " + key + " to " + action; }
};
RestartPrompt restartPrompt(const CMatch& m);

// Tops of the three panels in the window, for the drawing and for tests.
int promptTop(const CGraphics& g);
int bannerTop(const CGraphics& g);
int cardTop(CGraphics& g);

void drawRestartPrompt(CGraphics& g);
void drawGoalBanner(CGraphics& g, const MatchMoments& moments);
void drawTimeCard(CGraphics& g, const MatchMoments& moments);

// Enter, the pass key (either player's when two play) or the pad's pass button, pressed: the card
// gives way to the menu.
bool dismissesCard(const platform::KeyEvent& e, bool twoPlayers = false);

}  // namespace flikka
