#pragma once
// One frame of the match: camera, pitch, goals, footballers, ball, markers, overlays, fade.
#include <vector>

namespace flikka {

class CGraphics;
struct DrawItem;

// `running` false leaves the animations where they are (the match stands still under the menu).
void drawMatchFrame(CGraphics& g, bool running);

// The steps of a frame, exposed so tests can look at them one by one.

// Centres the camera on the ball holder, or the ball's ground point, keeping the view on the
// pitch image; an image no wider (higher) than the window keeps the camera at 0 on that axis.
void updateCamera(CGraphics& g);

// Painter's order: lower z first, then further up the pitch first, then the higher layer first.
bool drawsBefore(const DrawItem& a, const DrawItem& b);

// Appends the goal parts, the ball and the 22 footballers to the (empty) draw list.
void fillDrawList(CGraphics& g);

// Stable sort of the draw list with drawsBefore.
void sortDrawList(std::vector<DrawItem>& list);

}  // namespace flikka
