#pragma once
// One frame of the match: camera, pitch, goals, footballers, ball, markers, overlays, fade.

namespace flikka {

class CGraphics;

// `running` false leaves the animations where they are (the match stands still under the menu).
void drawMatchFrame(CGraphics& g, bool running);

}  // namespace flikka
