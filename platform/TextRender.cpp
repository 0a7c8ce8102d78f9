#include "platform/TextRender.h"

#include <SDL_ttf.h>

#include "platform/SdlSupport.h"

namespace flikka::platform {

PixelBuffer renderText(const std::string& ttfPath, int pointSize, const std::string& text, Color color) {
    if (TTF_WasInit() == 0 && TTF_Init() != 0) throw PlatformError(std::string("Cannot start SDL_ttf: ") + TTF_GetError());
    TTF_Font* font = TTF_OpenFont(ttfPath.c_str(), pointSize);
    if (font == nullptr) throw PlatformError("Cannot open font " + ttfPath + ": " + TTF_GetError());
    // Rendered in white, then tinted: the blended output keeps the glyph coverage in alpha.
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* s = TTF_RenderUTF8_Blended(font, text.c_str(), white);
    TTF_CloseFont(font);
    if (s == nullptr) throw PlatformError("Cannot render text with " + ttfPath + ": " + TTF_GetError());
    PixelBuffer out = pixelsFromSurface(s);
    SDL_FreeSurface(s);
    const std::uint32_t rgb = color & 0x00FFFFFFu;
    const std::uint32_t colorAlpha = color >> 24;
    for (auto& p : out.pixels) {
        const std::uint32_t a = (p >> 24) * colorAlpha / 255u;
        p = (a << 24) | rgb;
    }
    return out;
}

}  // namespace flikka::platform
