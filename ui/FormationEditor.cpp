#include "ui/FormationEditor.h"

namespace flikka {

// First cut: the page shows its background only.
void drawFormationPage(CGraphics&, bool, int) {}

}  // namespace flikka
