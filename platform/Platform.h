#pragma once
// The game's thin layer over SDL2: everything it needs of a display library and no more.
// The only headers that include SDL are the .cpp files of this folder.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/KeyState.h"

namespace flikka::platform {

// Display failures (a window that cannot be made, a missing or unreadable image).
class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const std::string& message) : std::runtime_error(message) {}
};

using Color = std::uint32_t;  // ARGB

// An ARGB pixel buffer with no SDL in sight: frame cutting, the art generator and tests use it.
struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row-major ARGB

    PixelBuffer() = default;
    PixelBuffer(int w, int h, Color fill = 0) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    Color at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void set(int x, int y, Color c) { pixels[static_cast<std::size_t>(y) * width + x] = c; }
};

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// Frames of a strip cut at transparent separations (alpha <= limit counts as transparent),
// left to right; an image without separation is one frame.
std::vector<Rect> cutFrames(const PixelBuffer& image, float alphaLimit = 0.05f);

PixelBuffer loadPng(const std::string& path);  // throws PlatformError naming the file
void savePng(const PixelBuffer& image, const std::string& path);

// Windows virtual-key code to SDL scancode; -1 for a code outside the table.
int scancodeForVirtualKey(int virtualKey);
std::string keyName(int virtualKey);

std::uint32_t ticks();  // milliseconds since start-up
void sleepMs(std::uint32_t ms);

// How the picture is scaled to the window: smooth fills it, sharp keeps whole multiples.
enum class Scaling { Smooth = 0, Sharp = 1 };

struct WindowDescription {
    std::string title = "Flikka / Trefalik";
    int width = 800;   // the picture everything draws into
    int height = 600;
    int bpp = 32;
    bool fullscreen = false;  // on the desktop's own mode, the picture scaled to fit
    bool offscreen = false;   // draw into a software surface, no window (tests)
    // The window's size (offscreen: the shown surface's); 0 takes the picture's.
    int windowWidth = 0;
    int windowHeight = 0;
    Scaling scaling = Scaling::Smooth;
    bool gamepads = false;  // open the game controllers (hot-plug included)
};

class Display;

class Image {
public:
    virtual ~Image() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void draw(float x, float y, float alpha = 1.0f) = 0;
};

class Sprite {
public:
    virtual ~Sprite() = default;
    virtual int width() const = 0;   // of the current frame
    virtual int height() const = 0;
    virtual int frameCount() const = 0;
    virtual int currentFrame() const = 0;
    virtual void setFrame(int frame) = 0;
    virtual void update(std::uint32_t elapsedMs) = 0;  // advances the animation by elapsed time
    virtual void setAlpha(float alpha) = 0;
    virtual void setAngle(float degrees) = 0;           // rotation about the hotspot
    virtual void setRotationHotspot(int x, int y) = 0;  // from the top-left corner
    virtual void draw(float x, float y) = 0;            // top-left corner
};

class Font {
public:
    virtual ~Font() = default;
    virtual int glyphCount() const = 0;
    virtual int height() const = 0;
    virtual int textWidth(const std::string& text) const = 0;
    virtual void draw(float x, float y, const std::string& text, Color color) = 0;
    // Word-wrapped inside the rectangle: breaks at spaces, lines stacked by the font height.
    virtual void drawWrapped(int x1, int y1, int x2, int y2, const std::string& text, Color color) = 0;
};

struct KeyEvent {
    int virtualKey = 0;   // 0 for a pad button that means nothing to the menus
    bool pressed = true;  // false for a release
    bool repeat = false;
    bool fromPad = false;  // made from a gamepad's button or stick
    int padButton = -1;    // that button; -1 for the stick and the keyboard
};

class Keyboard : public IKeyboardDevice {
public:
    bool isKeyDown(int virtualKey) const override = 0;
    virtual bool pollEvent(KeyEvent& event) = 0;  // buffered presses and releases
    virtual void flushEvents() = 0;
};

class Gamepads;

// Everything is drawn into a picture of width() x height(); flip() shows it scaled to fit the
// window, keeping its proportions (black bars where they differ).
class Display {
public:
    virtual ~Display() = default;
    static std::unique_ptr<Display> open(const WindowDescription& description);  // throws PlatformError

    virtual int width() const = 0;   // the picture
    virtual int height() const = 0;
    // A new picture size (its content is lost); a window is resized to show it whole when the
    // desktop has room. Throws PlatformError and keeps the old size when it cannot be had.
    virtual void setPictureSize(int width, int height) = 0;
    virtual void setFullscreen(bool on) = 0;
    virtual bool fullscreen() const = 0;  // also follows Alt+Enter, which keepAlive handles
    virtual void setScaling(Scaling scaling) = 0;
    // The window's size in pixels (high-DPI: device pixels) and where the picture lands in it.
    virtual int outputWidth() const = 0;
    virtual int outputHeight() const = 0;
    virtual Rect shownRect() const = 0;
    // The window's size while not in full screen, in window units (what the next start reopens).
    virtual void windowedSize(int& width, int& height) const = 0;
    virtual void clear(Color color) = 0;
    virtual void flip() = 0;
    virtual void fillRect(float x1, float y1, float x2, float y2, Color color) = 0;
    virtual void drawRect(float x1, float y1, float x2, float y2, Color color) = 0;
    virtual void drawLine(float x1, float y1, float x2, float y2, Color color) = 0;
    virtual void setTranslate(float x, float y) = 0;
    virtual void resetTranslate() = 0;

    virtual std::unique_ptr<Image> loadImage(const std::string& path) = 0;
    virtual std::unique_ptr<Sprite> loadSprite(const std::string& path, int frameDelayMs) = 0;
    virtual std::unique_ptr<Font> loadFont(const std::string& path, const std::string& letters) = 0;

    // Processes pending window events; false once the window's close button was pressed.
    // Alt+Enter toggles full screen here, and neither its Enter press nor its release is seen
    // by the keyboard; a resized window is shown again at once.
    virtual bool keepAlive() = 0;
    virtual Keyboard& keyboard() = 0;
    virtual Gamepads& gamepads() = 0;
    virtual void showCursor(bool show) = 0;
    virtual PixelBuffer readPixels() = 0;       // what the drawing since the last flip left in the picture
    virtual PixelBuffer readShownPixels() = 0;  // the window's pixels as the last flip showed them
};

}  // namespace flikka::platform
