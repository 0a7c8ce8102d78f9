#include "ui/StatisticsScreen.h"

namespace flikka {

// First cut: the page shows its background only.
void drawStatisticsPage(CGraphics&, int) {}

}  // namespace flikka
