#pragma once
// The game's images, drawn in code.
#include <string>
#include <vector>

#include "tools/artgen/Raster.h"

namespace flikka::artgen {

constexpr float kPixelsPerMetre = 16.0f;
constexpr float kMarginMetres = 5.0f;  // grass around the lines

struct NamedImage {
    std::string file;  // name inside gfx/
    PixelBuffer image;
    int expectedFrames = 1;  // what the game's frame cutter must find; 0 = not cut (surface)
};

PixelBuffer pitch();
PixelBuffer miniPitch();
// Upper (positive y) and lower goals, each as back (net), top (crossbar) and frame (posts).
std::vector<NamedImage> goals();

// Footballer sets: running, standing, goalkeepers, the diving keeper and the editor's symbol.
std::vector<NamedImage> footballers();
std::vector<NamedImage> ballImages();

std::vector<NamedImage> markersAndArrows();
std::vector<NamedImage> panels(const std::string& fontDir);  // HUD, fade, menus, splash

// The three bitmap fonts, built from a TrueType font in `fontDir`.
std::vector<NamedImage> fonts(const std::string& fontDir);

// The application icon, size × size pixels.
PixelBuffer icon(int size);

extern const char* const kFontLetters;
constexpr int kRunningFrames = 6;

}  // namespace flikka::artgen
