#pragma once
// The statistics page: both teams' counters of the current match.

namespace flikka {

class CGraphics;

// `top` is the top edge of the menu background.
void drawStatisticsPage(CGraphics& g, int top);

}  // namespace flikka
