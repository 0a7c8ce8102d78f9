#pragma once
// Conversions between pixel buffers and SDL surfaces, shared by the platform's own files.
#include <SDL.h>

#include "platform/Platform.h"

namespace flikka::platform {

PixelBuffer pixelsFromSurface(SDL_Surface* surface);     // any format, copied as ARGB
SDL_Surface* surfaceFromPixels(const PixelBuffer& image);  // caller frees

}  // namespace flikka::platform
