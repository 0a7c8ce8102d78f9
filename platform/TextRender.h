#pragma once
// Text rasterised from a TrueType font into a pixel buffer, for the art generator.
#include <string>

#include "platform/Platform.h"

namespace flikka::platform {

// The text in the given colour on transparent; throws PlatformError naming the font file.
PixelBuffer renderText(const std::string& ttfPath, int pointSize, const std::string& text, Color color);

}  // namespace flikka::platform
