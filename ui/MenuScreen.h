#pragma once
// The menu as the player sees it: the current page as a centred item list, or one of the
// special pages (formation editor, statistics, about).
#include <string>

namespace flikka {

class CGraphics;
class CMenu;
class CMenuNode;

// Draws the current page; with `noMatchBehind` the pitch image is the background.
void drawMenuScreen(CGraphics& g, bool noMatchBehind);

// The about page on the large menu background whose top edge is `top`.
void drawAboutPage(CGraphics& g, int top);

// The text an item shows: its choice label, "< label >" when selected with two or more
// choices, the bound key's name for key items, "???" while its key is being captured.
std::string menuItemText(const CMenu& menu, const CMenuNode& item, bool selected);

// Top edge of item line `line` (the first visible item is on line 2) on a page whose
// background's top edge is `top`.
int menuItemTop(CGraphics& g, int top, int line);

}  // namespace flikka
