#pragma once
// The statistics page: both teams' counters of the current match.
#include <array>
#include <string>

namespace flikka {

class CGraphics;

// `top` is the top edge of the menu background.
void drawStatisticsPage(CGraphics& g, int top);

// "M:SS (P.P%)" for a whole number of seconds and a share between 0 and 1.
std::string possessionText(long wholeSeconds, double share);

// Both sides' possession texts: the times are rounded to whole seconds first, and the shares
// are formed from the rounded times (both 0 when neither side has had the ball).
std::array<std::string, 2> possessionTexts(float homeSeconds, float awaySeconds);

}  // namespace flikka
