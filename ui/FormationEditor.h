#pragma once
// The two formation pages of a new game (home, then away).

namespace flikka {

class CGraphics;

// Draws the home or away formation page; `top` is the top edge of the menu background.
void drawFormationPage(CGraphics& g, bool home, int top);

}  // namespace flikka
