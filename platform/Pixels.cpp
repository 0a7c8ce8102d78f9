// Pixel buffers: frame cutting and PNG files.
#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/Platform.h"
#include "platform/SdlSupport.h"

namespace flikka::platform {

std::vector<Rect> cutFrames(const PixelBuffer& image, float alphaLimit) {
    // A column separates frames when every pixel in it is at most this opaque.
    const float limit = alphaLimit * 255.0f;
    auto columnTransparent = [&](int x) {
        for (int y = 0; y < image.height; ++y) {
            if (static_cast<float>(image.at(x, y) >> 24) > limit) return false;
        }
        return true;
    };
    std::vector<Rect> frames;
    int start = -1;
    for (int x = 0; x <= image.width; ++x) {
        const bool clear = x == image.width || columnTransparent(x);
        if (!clear && start < 0) start = x;
        if (clear && start >= 0) {
            frames.push_back({start, 0, x - start, image.height});
            start = -1;
        }
    }
    return frames;
}

PixelBuffer pixelsFromSurface(SDL_Surface* surface) {
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
    if (argb == nullptr) throw PlatformError(std::string("Cannot convert pixels: ") + SDL_GetError());
    PixelBuffer out;
    out.width = argb->w;
    out.height = argb->h;
    out.pixels.resize(static_cast<std::size_t>(argb->w) * static_cast<std::size_t>(argb->h));
    SDL_LockSurface(argb);
    // Whole rows at a time: the pitch alone is two million pixels, and start-up waits for it.
    for (int y = 0; y < argb->h; ++y) {
        std::memcpy(out.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(argb->w),
                    static_cast<const std::uint8_t*>(argb->pixels) + static_cast<std::ptrdiff_t>(y) * argb->pitch,
                    static_cast<std::size_t>(argb->w) * 4);
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return out;
}

SDL_Surface* surfaceFromPixels(const PixelBuffer& image) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (s == nullptr) throw PlatformError(std::string("Cannot create a surface: ") + SDL_GetError());
    SDL_LockSurface(s);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) +
                                                     static_cast<std::ptrdiff_t>(y) * s->pitch);
        for (int x = 0; x < image.width; ++x) row[x] = image.at(x, y);
    }
    SDL_UnlockSurface(s);
    return s;
}

PixelBuffer loadPng(const std::string& path) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (loaded == nullptr) throw PlatformError("Cannot load image " + path + ": " + IMG_GetError());
    try {
        PixelBuffer out = pixelsFromSurface(loaded);
        SDL_FreeSurface(loaded);
        return out;
    } catch (...) {
        SDL_FreeSurface(loaded);
        throw;
    }
}

namespace {

// An opaque image of at most 256 colours as an 8-bit palette surface, or null. A palette PNG
// decodes several times faster than 32-bit pixels, which is most of the game's start-up.
SDL_Surface* paletteSurface(const PixelBuffer& image) {
    std::unordered_map<Color, Uint8> index;
    std::vector<Color> colours;
    for (Color c : image.pixels) {
        if ((c >> 24) != 0xFF) return nullptr;
        if (index.find(c) != index.end()) continue;
        if (colours.size() == 256) return nullptr;
        index.emplace(c, static_cast<Uint8>(colours.size()));
        colours.push_back(c);
    }
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 8, SDL_PIXELFORMAT_INDEX8);
    if (s == nullptr) return nullptr;
    std::vector<SDL_Color> palette(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Color c = colours[i];
        palette[i] = {static_cast<Uint8>(c >> 16), static_cast<Uint8>(c >> 8), static_cast<Uint8>(c), 0xFF};
    }
    SDL_SetPaletteColors(s->format->palette, palette.data(), 0, static_cast<int>(palette.size()));
    SDL_LockSurface(s);
    for (int y = 0; y < image.height; ++y) {
        auto* row = static_cast<Uint8*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
        for (int x = 0; x < image.width; ++x) row[x] = index[image.at(x, y)];
    }
    SDL_UnlockSurface(s);
    return s;
}

}  // namespace

void savePng(const PixelBuffer& image, const std::string& path) {
    SDL_Surface* s = paletteSurface(image);
    if (s == nullptr) s = surfaceFromPixels(image);
    const int rc = IMG_SavePNG(s, path.c_str());
    SDL_FreeSurface(s);
    if (rc != 0) throw PlatformError("Cannot write image " + path + ": " + IMG_GetError());
}

}  // namespace flikka::platform
