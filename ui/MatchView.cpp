#include "ui/MatchView.h"

#include "ui/Graphics.h"

namespace flikka {

// First cut: the pitch seen from the centre spot.
void drawMatchFrame(CGraphics& g, bool) {
    g.setCamera(0.0f, 0.0f);
    g.pitch().draw(g.worldToScreenX(0.0f) - static_cast<float>(g.halfPitchWidth()),
                   g.worldToScreenY(0.0f) - static_cast<float>(g.halfPitchHeight()));
}

}  // namespace flikka
