#pragma once
// The two formation pages of a new game (home, then away).
#include <string>

#include "platform/Platform.h"

namespace flikka {

class CGraphics;

// Draws the home or away formation page; `top` is the top edge of the menu background.
// "next" shows grey while the page's confirm item is hidden (a formation that is not ten
// outfield footballers).
void drawFormationPage(CGraphics& g, bool home, int top);

// What the page says about a formation given as counts of ST, AM, M, DM and D.
struct FormationVerdict {
    std::string message;
    platform::Color color = 0xFFFFFFFF;
    bool confirmVisible = true;
};
FormationVerdict judgeFormation(const unsigned counts[5]);

// "next": grey while it cannot be chosen, red when selected, white otherwise.
platform::Color nextLabelColor(bool confirmVisible, bool confirmSelected);

// "<team> (user controlled)" or "<team> (computer)"; `controlChoice` is the new-game page's
// choice (0 home team vs CPU, 1 away team vs CPU, 2 CPU vs CPU).
std::string formationHeader(const std::string& teamName, bool home, int controlChoice);

}  // namespace flikka
