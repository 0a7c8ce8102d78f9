// The window, its renderer and everything drawn through it.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <memory>

#include "platform/GamepadHub.h"
#include "platform/KeyTable.h"
#include "platform/Platform.h"
#include "platform/SdlSupport.h"

namespace flikka::platform {

namespace {

void setDrawColor(SDL_Renderer* r, Color c) {
    SDL_SetRenderDrawColor(r, static_cast<Uint8>(c >> 16), static_cast<Uint8>(c >> 8), static_cast<Uint8>(c),
                           static_cast<Uint8>(c >> 24));
}

Uint8 alphaByte(float alpha) {
    return static_cast<Uint8>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f));
}

// Shared by everything drawn: the renderer and the current drawing translation. Images hold it
// too, so one that outlives its display finds the renderer gone (SDL freed its texture with
// the renderer) instead of touching freed memory.
struct Target {
    SDL_Renderer* renderer = nullptr;
    float tx = 0.0f;
    float ty = 0.0f;
};

SDL_Texture* makeTexture(SDL_Renderer* renderer, const PixelBuffer& pixels, const std::string& path) {
    SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                       std::max(pixels.width, 1), std::max(pixels.height, 1));
    if (t == nullptr) throw PlatformError("Cannot make a texture for " + path + ": " + SDL_GetError());
    if (pixels.width > 0 && pixels.height > 0) {
        SDL_UpdateTexture(t, nullptr, pixels.pixels.data(), pixels.width * 4);
    }
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
    return t;
}

// Straight from the decoded file to a texture: an image needs no frame cutting, and skipping
// the pixel-buffer copies of the two-million-pixel pitch shortens start-up.
SDL_Texture* textureFromFile(SDL_Renderer* renderer, const std::string& path, int& w, int& h) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (loaded == nullptr) throw PlatformError("Cannot load image " + path + ": " + IMG_GetError());
    // Always an ARGB texture, like every other: alpha modulation must work on opaque files too.
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (argb == nullptr) throw PlatformError("Cannot convert " + path + ": " + SDL_GetError());
    w = argb->w;
    h = argb->h;
    SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                       std::max(w, 1), std::max(h, 1));
    if (t != nullptr && w > 0 && h > 0) SDL_UpdateTexture(t, nullptr, argb->pixels, argb->pitch);
    SDL_FreeSurface(argb);
    if (t == nullptr) throw PlatformError("Cannot make a texture for " + path + ": " + SDL_GetError());
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
    return t;
}

class SdlImage final : public Image {
public:
    SdlImage(std::shared_ptr<Target> target, const PixelBuffer& pixels, const std::string& path)
        : target_(std::move(target)), texture_(makeTexture(target_->renderer, pixels, path)), w_(pixels.width), h_(pixels.height) {}
    SdlImage(std::shared_ptr<Target> target, const std::string& path) : target_(std::move(target)), w_(0), h_(0) {
        texture_ = textureFromFile(target_->renderer, path, w_, h_);
    }
    ~SdlImage() override {
        if (target_->renderer != nullptr) SDL_DestroyTexture(texture_);
    }
    SdlImage(const SdlImage&) = delete;
    SdlImage& operator=(const SdlImage&) = delete;

    int width() const override { return w_; }
    int height() const override { return h_; }
    void draw(float x, float y, float alpha) override {
        if (target_->renderer == nullptr) return;
        SDL_SetTextureAlphaMod(texture_, alphaByte(alpha));
        const SDL_FRect dst{x + target_->tx, y + target_->ty, static_cast<float>(w_), static_cast<float>(h_)};
        SDL_RenderCopyF(target_->renderer, texture_, nullptr, &dst);
    }

private:
    std::shared_ptr<Target> target_;
    SDL_Texture* texture_;
    int w_, h_;
};

class SdlSprite final : public Sprite {
public:
    SdlSprite(std::shared_ptr<Target> target, const PixelBuffer& pixels, const std::string& path, int frameDelayMs)
        : target_(std::move(target)), texture_(makeTexture(target_->renderer, pixels, path)), frames_(cutFrames(pixels)) {
        // An image with nothing opaque still draws as one (invisible) frame.
        if (frames_.empty()) frames_.push_back({0, 0, pixels.width, pixels.height});
        delays_.assign(frames_.size(), std::max(frameDelayMs, 1));
    }
    ~SdlSprite() override {
        if (target_->renderer != nullptr) SDL_DestroyTexture(texture_);
    }
    SdlSprite(const SdlSprite&) = delete;
    SdlSprite& operator=(const SdlSprite&) = delete;

    int width() const override { return frames_[static_cast<std::size_t>(frame_)].w; }
    int height() const override { return frames_[static_cast<std::size_t>(frame_)].h; }
    int frameCount() const override { return static_cast<int>(frames_.size()); }
    int currentFrame() const override { return frame_; }
    void setFrame(int frame) override {
        const int n = frameCount();
        frame_ = ((frame % n) + n) % n;
        elapsed_ = 0;
    }
    void update(std::uint32_t elapsedMs) override {
        if (frames_.size() < 2) return;
        std::uint64_t cycle = 0;
        for (int d : delays_) cycle += static_cast<std::uint64_t>(d);
        elapsed_ += elapsedMs;
        // Whole cycles bring the animation back where it was; skip them rather than loop.
        if (elapsed_ >= cycle) elapsed_ %= cycle;
        while (elapsed_ >= static_cast<std::uint64_t>(delays_[static_cast<std::size_t>(frame_)])) {
            elapsed_ -= static_cast<std::uint64_t>(delays_[static_cast<std::size_t>(frame_)]);
            frame_ = (frame_ + 1) % frameCount();
        }
    }
    void setAlpha(float alpha) override { alpha_ = alpha; }
    void setAngle(float degrees) override { angle_ = degrees; }
    void setRotationHotspot(int x, int y) override {
        hotX_ = x;
        hotY_ = y;
    }
    void draw(float x, float y) override {
        if (target_->renderer == nullptr) return;
        const Rect& f = frames_[static_cast<std::size_t>(frame_)];
        const SDL_Rect src{f.x, f.y, f.w, f.h};
        const SDL_FRect dst{x + target_->tx, y + target_->ty, static_cast<float>(f.w), static_cast<float>(f.h)};
        SDL_SetTextureAlphaMod(texture_, alphaByte(alpha_));
        if (angle_ == 0.0f) {
            SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
            SDL_RenderCopyF(target_->renderer, texture_, &src, &dst);
        } else {
            // Smooth sampling for rotated frames; the transparent gap keeps neighbours out.
            SDL_SetTextureScaleMode(texture_, SDL_ScaleModeLinear);
            const SDL_FPoint centre{static_cast<float>(hotX_), static_cast<float>(hotY_)};
            SDL_RenderCopyExF(target_->renderer, texture_, &src, &dst, angle_, &centre, SDL_FLIP_NONE);
        }
    }
    void setFrameDelay(int frame, int ms) { delays_.at(static_cast<std::size_t>(frame)) = std::max(ms, 1); }

private:
    std::shared_ptr<Target> target_;
    SDL_Texture* texture_;
    std::vector<Rect> frames_;
    std::vector<int> delays_;
    int frame_ = 0;
    std::uint64_t elapsed_ = 0;
    float alpha_ = 1.0f;
    float angle_ = 0.0f;
    int hotX_ = 0, hotY_ = 0;
};

class SdlFont final : public Font {
public:
    // Glyphs follow each other with no gap: the cut glyph is its advance, and the artwork's
    // own drop shadow column separates neighbours.
    static constexpr int kLetterGap = 0;

    SdlFont(std::shared_ptr<Target> target, const PixelBuffer& pixels, const std::string& path, const std::string& letters)
        : target_(std::move(target)), texture_(makeTexture(target_->renderer, pixels, path)), height_(pixels.height) {
        const std::vector<Rect> frames = cutFrames(pixels);
        // Glyphs pair with letters in order; a letter listed twice ('*') takes its later glyph,
        // as each assignment overwrites the one before.
        const std::size_t n = std::min(frames.size(), letters.size());
        glyphCount_ = static_cast<int>(n);
        for (std::size_t i = 0; i < n; ++i) {
            glyphs_[static_cast<unsigned char>(letters[i])] = frames[i];
            present_[static_cast<unsigned char>(letters[i])] = true;
        }
        // The space is half the average glyph, about the width a typeface gives it.
        if (n > 0) {
            int sum = 0;
            for (std::size_t i = 0; i < n; ++i) sum += frames[i].w;
            space_ = std::max(1, static_cast<int>(std::lround(static_cast<double>(sum) / (2.0 * static_cast<double>(n)))));
        } else {
            space_ = std::max(1, height_ / 3);
        }
    }
    ~SdlFont() override {
        if (target_->renderer != nullptr) SDL_DestroyTexture(texture_);
    }
    SdlFont(const SdlFont&) = delete;
    SdlFont& operator=(const SdlFont&) = delete;

    int glyphCount() const override { return glyphCount_; }
    int height() const override { return height_; }

    int advance(char c) const {
        const auto u = static_cast<unsigned char>(c);
        return present_[u] ? glyphs_[u].w + kLetterGap : space_;
    }

    int textWidth(const std::string& text) const override {
        int widest = 0, line = 0;
        for (char c : text) {
            if (c == '\n') {
                widest = std::max(widest, line);
                line = 0;
            } else {
                line += advance(c);
            }
        }
        return std::max(widest, line);
    }

    void draw(float x, float y, const std::string& text, Color color) override {
        if (target_->renderer == nullptr) return;
        SDL_SetTextureColorMod(texture_, static_cast<Uint8>(color >> 16), static_cast<Uint8>(color >> 8),
                               static_cast<Uint8>(color));
        SDL_SetTextureAlphaMod(texture_, static_cast<Uint8>(color >> 24));
        float cx = x;
        float cy = y;
        for (char c : text) {
            if (c == '\n') {
                cx = x;
                cy += static_cast<float>(height_);
                continue;
            }
            const auto u = static_cast<unsigned char>(c);
            if (present_[u]) {
                const Rect& g = glyphs_[u];
                const SDL_Rect src{g.x, g.y, g.w, g.h};
                const SDL_FRect dst{cx + target_->tx, cy + target_->ty, static_cast<float>(g.w), static_cast<float>(g.h)};
                SDL_RenderCopyF(target_->renderer, texture_, &src, &dst);
            }
            cx += static_cast<float>(advance(c));
        }
    }

    void drawWrapped(int x1, int y1, int x2, int y2, const std::string& text, Color color) override {
        const int maxWidth = x2 - x1;
        int y = y1;
        std::string line;
        auto emit = [&]() {
            if (y + height_ > y2) return false;
            draw(static_cast<float>(x1), static_cast<float>(y), line, color);
            y += height_;
            line.clear();
            return true;
        };
        std::size_t pos = 0;
        while (pos <= text.size()) {
            const std::size_t end = text.find('\n', pos);
            const std::string paragraph = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
            std::size_t w = 0;
            while (w < paragraph.size()) {
                const std::size_t space = paragraph.find(' ', w);
                const std::string word = paragraph.substr(w, space == std::string::npos ? std::string::npos : space - w);
                w = space == std::string::npos ? paragraph.size() : space + 1;
                if (word.empty()) continue;
                const std::string candidate = line.empty() ? word : line + " " + word;
                if (!line.empty() && textWidth(candidate) > maxWidth) {
                    if (!emit()) return;
                    line = word;  // a word wider than the box stands alone on its line
                } else {
                    line = candidate;
                }
            }
            if (!emit()) return;
            if (end == std::string::npos) break;
            pos = end + 1;
        }
    }

private:
    std::shared_ptr<Target> target_;
    SDL_Texture* texture_;
    int height_;
    int glyphCount_ = 0;
    int space_ = 1;
    std::array<Rect, 256> glyphs_{};
    std::array<bool, 256> present_{};
};

class SdlKeyboard final : public Keyboard {
public:
    bool isKeyDown(int virtualKey) const override {
        const int sc = scancodeForVirtualKey(virtualKey);
        if (sc < 0) return false;
        int count = 0;
        const Uint8* state = SDL_GetKeyboardState(&count);
        auto down = [&](int s) { return s >= 0 && s < count && state[s] != 0 && !swallowed_[static_cast<std::size_t>(s)]; };
        return down(sc) || down(secondScancodeForVirtualKey(virtualKey));
    }
    bool pollEvent(KeyEvent& event) override {
        if (queue_.empty()) return false;
        event = queue_.front();
        queue_.pop_front();
        return true;
    }
    void flushEvents() override { queue_.clear(); }

    void push(const KeyEvent& e) {
        // A bound that a game never reaches unless nobody reads the queue.
        if (queue_.size() >= 256) queue_.pop_front();
        queue_.push_back(e);
    }

    // A key the window took for itself (the Enter of Alt+Enter): it reads as up until released.
    void swallow(SDL_Scancode sc, bool on) { swallowed_[static_cast<std::size_t>(sc)] = on; }
    bool swallowed(SDL_Scancode sc) const { return swallowed_[static_cast<std::size_t>(sc)]; }

private:
    std::deque<KeyEvent> queue_;
    std::array<bool, SDL_NUM_SCANCODES> swallowed_{};
};

constexpr int kMinimumWindowWidth = 320;
constexpr int kMinimumWindowHeight = 240;

// Where a picture of w x h lands in an output of ow x oh: as large as fits with its proportions
// kept, centred; sharp scaling only takes whole multiples (unless even one is too large).
SDL_Rect fitPicture(int w, int h, int ow, int oh, Scaling scaling) {
    if (w <= 0 || h <= 0 || ow <= 0 || oh <= 0) return {0, 0, std::max(ow, 0), std::max(oh, 0)};
    int sw = 0, sh = 0;
    const int whole = std::min(ow / w, oh / h);
    if (scaling == Scaling::Sharp && whole >= 1) {
        sw = w * whole;
        sh = h * whole;
    } else if (static_cast<long long>(ow) * h <= static_cast<long long>(oh) * w) {
        sw = ow;  // width decides
        sh = static_cast<int>((static_cast<long long>(h) * ow + w / 2) / w);
    } else {
        sh = oh;
        sw = static_cast<int>((static_cast<long long>(w) * oh + h / 2) / h);
    }
    return {(ow - sw) / 2, (oh - sh) / 2, sw, sh};
}

class SdlDisplay final : public Display {
public:
    explicit SdlDisplay(const WindowDescription& d) : scaling_(d.scaling) {
        try {
            if (d.offscreen) openOffscreen(d);
            else openWindow(d);
            SDL_SetRenderDrawBlendMode(target_->renderer, SDL_BLENDMODE_BLEND);
            picture_ = makePicture(d.width, d.height);
            width_ = d.width;
            height_ = d.height;
            SDL_SetRenderTarget(target_->renderer, picture_);
            clear(0xFF000000);
            hub_ = makeGamepadHub(d.gamepads);
        } catch (...) {
            release();
            throw;
        }
    }
    ~SdlDisplay() override { release(); }
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    int width() const override { return width_; }
    int height() const override { return height_; }

    void setPictureSize(int w, int h) override {
        if (w == width_ && h == height_) return;
        SDL_Texture* next = makePicture(w, h);
        SDL_SetRenderTarget(target_->renderer, next);
        SDL_DestroyTexture(picture_);
        picture_ = next;
        width_ = w;
        height_ = h;
        clear(0xFF000000);
        if (window_ != nullptr && !fullscreen_) {
            int ww = w, wh = h;
            fitToDesktop(ww, wh);
            SDL_SetWindowSize(window_, ww, wh);
            windowedW_ = ww;
            windowedH_ = wh;
        }
    }

    void setFullscreen(bool on) override {
        if (on == fullscreen_) return;
        if (window_ != nullptr && SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return;
        fullscreen_ = on;
    }
    bool fullscreen() const override { return fullscreen_; }
    void setScaling(Scaling scaling) override { scaling_ = scaling; }

    int outputWidth() const override {
        int w = 0, h = 0;
        outputSize(w, h);
        return w;
    }
    int outputHeight() const override {
        int w = 0, h = 0;
        outputSize(w, h);
        return h;
    }
    Rect shownRect() const override {
        int ow = 0, oh = 0;
        outputSize(ow, oh);
        const SDL_Rect r = fitPicture(width_, height_, ow, oh, scaling_);
        return {r.x, r.y, r.w, r.h};
    }
    void windowedSize(int& w, int& h) const override {
        w = windowedW_;
        h = windowedH_;
    }

    void clear(Color color) override {
        setDrawColor(target_->renderer, color);
        SDL_SetRenderDrawBlendMode(target_->renderer, SDL_BLENDMODE_NONE);
        SDL_RenderClear(target_->renderer);
        SDL_SetRenderDrawBlendMode(target_->renderer, SDL_BLENDMODE_BLEND);
    }
    void flip() override { present(); }

    void fillRect(float x1, float y1, float x2, float y2, Color color) override {
        const SDL_FRect r = rectOf(x1, y1, x2, y2);
        setDrawColor(target_->renderer, color);
        SDL_RenderFillRectF(target_->renderer, &r);
    }
    void drawRect(float x1, float y1, float x2, float y2, Color color) override {
        const SDL_FRect r = rectOf(x1, y1, x2, y2);
        setDrawColor(target_->renderer, color);
        SDL_RenderDrawRectF(target_->renderer, &r);
    }
    void drawLine(float x1, float y1, float x2, float y2, Color color) override {
        setDrawColor(target_->renderer, color);
        SDL_RenderDrawLineF(target_->renderer, x1 + target_->tx, y1 + target_->ty, x2 + target_->tx, y2 + target_->ty);
    }
    void setTranslate(float x, float y) override {
        target_->tx = x;
        target_->ty = y;
    }
    void resetTranslate() override { setTranslate(0.0f, 0.0f); }

    std::unique_ptr<Image> loadImage(const std::string& path) override {
        return std::make_unique<SdlImage>(target_, path);
    }
    std::unique_ptr<Sprite> loadSprite(const std::string& path, int frameDelayMs) override {
        return std::make_unique<SdlSprite>(target_, loadPng(path), path, frameDelayMs);
    }
    std::unique_ptr<Font> loadFont(const std::string& path, const std::string& letters) override {
        return std::make_unique<SdlFont>(target_, loadPng(path), path, letters);
    }

    bool keepAlive() override {
        SDL_Event e;
        bool reshow = false;
        while (SDL_PollEvent(&e) != 0) {
            switch (e.type) {
                case SDL_QUIT:
                    quit_ = true;
                    break;
                case SDL_KEYDOWN:
                case SDL_KEYUP:
                    keyEvent(e.key);
                    break;
                case SDL_WINDOWEVENT:
                    if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && window_ != nullptr && !fullscreen_ &&
                        (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) == 0) {
                        windowedW_ = e.window.data1;
                        windowedH_ = e.window.data2;
                    }
                    // The last picture at once in the new size (or on the uncovered window).
                    if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                        reshow = true;
                    }
                    break;
                case SDL_CONTROLLERDEVICEADDED:
                case SDL_CONTROLLERDEVICEREMOVED:
                    hub_->handleEvent(e);
                    break;
                default:
                    break;
            }
        }
        padEvents_.clear();
        hub_->update(padEvents_);
        for (const KeyEvent& k : padEvents_) keyboard_.push(k);
        if (reshow) present();
        return !quit_;
    }
    Keyboard& keyboard() override { return keyboard_; }
    Gamepads& gamepads() override { return *hub_; }
    void showCursor(bool show) override {
        if (window_ != nullptr) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }

    PixelBuffer readPixels() override {
        PixelBuffer out(width_, height_);
        if (SDL_RenderReadPixels(target_->renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, out.pixels.data(), width_ * 4) != 0) {
            throw PlatformError(std::string("Cannot read the picture back: ") + SDL_GetError());
        }
        return out;
    }

    PixelBuffer readShownPixels() override {
        if (surface_ != nullptr) return pixelsFromSurface(surface_);
        int ow = 0, oh = 0;
        outputSize(ow, oh);
        PixelBuffer out(ow, oh);
        SDL_SetRenderTarget(target_->renderer, nullptr);
        const int rc = SDL_RenderReadPixels(target_->renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, out.pixels.data(), ow * 4);
        SDL_SetRenderTarget(target_->renderer, picture_);
        if (rc != 0) throw PlatformError(std::string("Cannot read the window back: ") + SDL_GetError());
        return out;
    }

private:
    void release() {
        hub_.reset();
        if (picture_ != nullptr && target_->renderer != nullptr) SDL_DestroyTexture(picture_);
        picture_ = nullptr;
        if (target_->renderer != nullptr) SDL_DestroyRenderer(target_->renderer);
        if (surface_ != nullptr) SDL_FreeSurface(surface_);
        if (window_ != nullptr) SDL_DestroyWindow(window_);
        if (subsystems_ != 0) SDL_QuitSubSystem(subsystems_);
        target_->renderer = nullptr;
        surface_ = nullptr;
        window_ = nullptr;
        subsystems_ = 0;
    }

    SDL_FRect rectOf(float x1, float y1, float x2, float y2) const {
        return {std::min(x1, x2) + target_->tx, std::min(y1, y2) + target_->ty, std::fabs(x2 - x1), std::fabs(y2 - y1)};
    }

    // The picture everything draws into, shown scaled by present().
    SDL_Texture* makePicture(int w, int h) {
        SDL_Texture* t = w > 0 && h > 0 ? SDL_CreateTexture(target_->renderer, SDL_PIXELFORMAT_ARGB8888,
                                                            SDL_TEXTUREACCESS_TARGET, w, h)
                                        : nullptr;
        if (t == nullptr) {
            throw PlatformError("Cannot create a picture of " + std::to_string(w) + " x " + std::to_string(h) + ": " +
                                (w > 0 && h > 0 ? SDL_GetError() : "no such size"));
        }
        SDL_SetTextureBlendMode(t, SDL_BLENDMODE_NONE);
        return t;
    }

    void outputSize(int& w, int& h) const {
        if (surface_ != nullptr) {
            w = surface_->w;
            h = surface_->h;
        } else {
            SDL_GetWindowSizeInPixels(window_, &w, &h);
        }
    }

    void present() {
        SDL_Renderer* r = target_->renderer;
        int ow = 0, oh = 0;
        outputSize(ow, oh);
        const SDL_Rect dst = fitPicture(width_, height_, ow, oh, scaling_);
        const bool whole = dst.w % width_ == 0 && dst.h % height_ == 0 && dst.w / width_ == dst.h / height_;
        SDL_SetRenderTarget(r, nullptr);
        if (dst.x != 0 || dst.y != 0 || dst.w != ow || dst.h != oh) {
            SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
            SDL_RenderClear(r);
        }
        SDL_SetTextureScaleMode(picture_, scaling_ == Scaling::Smooth && !whole ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        SDL_RenderCopy(r, picture_, nullptr, &dst);
        SDL_RenderPresent(r);
        SDL_SetRenderTarget(r, picture_);
    }

    void keyEvent(const SDL_KeyboardEvent& k) {
        const SDL_Scancode sc = k.keysym.scancode;
        const bool enter = sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER;
        if (k.type == SDL_KEYDOWN && enter && (k.keysym.mod & KMOD_ALT) != 0 && k.repeat == 0) {
            // Alt+Enter belongs to the window: full screen on or off, and its Enter goes nowhere.
            setFullscreen(!fullscreen_);
            keyboard_.swallow(sc, true);
            return;
        }
        if (keyboard_.swallowed(sc)) {
            if (k.type == SDL_KEYUP) keyboard_.swallow(sc, false);
            return;
        }
        const int vk = virtualKeyForScancode(sc);
        if (vk != 0) keyboard_.push({vk, k.type == SDL_KEYDOWN, k.repeat != 0});
    }

    // Shrinks a window size, proportions kept, to the desktop's usable area.
    void fitToDesktop(int& w, int& h) const {
        const int display = window_ != nullptr ? SDL_GetWindowDisplayIndex(window_) : 0;
        SDL_Rect usable{};
        if (SDL_GetDisplayUsableBounds(std::max(display, 0), &usable) != 0 || usable.w <= 0 || usable.h <= 0) return;
        if (w <= usable.w && h <= usable.h) return;
        const SDL_Rect fit = fitPicture(w, h, usable.w, usable.h, Scaling::Smooth);
        w = std::max(fit.w, kMinimumWindowWidth);
        h = std::max(fit.h, kMinimumWindowHeight);
    }

    void openOffscreen(const WindowDescription& d) {
        // Events only: key queues and the clock work without any video driver.
        if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
            throw PlatformError(std::string("Cannot start SDL: ") + SDL_GetError());
        }
        subsystems_ = SDL_INIT_EVENTS;
        const int ow = d.windowWidth > 0 ? d.windowWidth : d.width;
        const int oh = d.windowHeight > 0 ? d.windowHeight : d.height;
        surface_ = SDL_CreateRGBSurfaceWithFormat(0, ow, oh, 32, SDL_PIXELFORMAT_ARGB8888);
        if (surface_ == nullptr) {
            throw PlatformError("Cannot create an offscreen picture of " + std::to_string(ow) + " x " +
                                std::to_string(oh) + ": " + SDL_GetError());
        }
        target_->renderer = SDL_CreateSoftwareRenderer(surface_);
        if (target_->renderer == nullptr) {
            throw PlatformError(std::string("Cannot create the software renderer: ") + SDL_GetError());
        }
        fullscreen_ = d.fullscreen;
        windowedW_ = ow;
        windowedH_ = oh;
    }

    void openWindow(const WindowDescription& d) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            throw PlatformError(std::string("Cannot open the window \"") + d.title + "\": " + SDL_GetError());
        }
        subsystems_ = SDL_INIT_VIDEO | SDL_INIT_EVENTS;
        if (d.width <= 0 || d.height <= 0) {
            throw PlatformError("Cannot open the window \"" + d.title + "\" of " + std::to_string(d.width) + " x " +
                                std::to_string(d.height));
        }
        int ww = d.windowWidth > 0 ? d.windowWidth : d.width;
        int wh = d.windowHeight > 0 ? d.windowHeight : d.height;
        fitToDesktop(ww, wh);
        // Full screen keeps the desktop's mode and scales the picture: no mode switch, and the
        // colour depth of the settings has nothing left to choose.
        Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
        if (d.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        window_ = SDL_CreateWindow(d.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, ww, wh, flags);
        if (window_ == nullptr) {
            throw PlatformError("Cannot open the window \"" + d.title + "\" of " + std::to_string(ww) + " x " +
                                std::to_string(wh) + ": " + SDL_GetError());
        }
        SDL_SetWindowMinimumSize(window_, kMinimumWindowWidth, kMinimumWindowHeight);
        fullscreen_ = d.fullscreen;
        windowedW_ = ww;
        windowedH_ = wh;
        target_->renderer = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
        if (target_->renderer == nullptr) {
            target_->renderer = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        }
        if (target_->renderer == nullptr) {
            throw PlatformError("Cannot create a renderer for the window \"" + d.title + "\": " + SDL_GetError());
        }
    }

    std::shared_ptr<Target> target_ = std::make_shared<Target>();
    SDL_Window* window_ = nullptr;
    SDL_Surface* surface_ = nullptr;  // offscreen: what the window would show
    SDL_Texture* picture_ = nullptr;
    Uint32 subsystems_ = 0;
    int width_ = 0;
    int height_ = 0;
    Scaling scaling_ = Scaling::Smooth;
    bool fullscreen_ = false;
    int windowedW_ = 0;
    int windowedH_ = 0;
    bool quit_ = false;
    SdlKeyboard keyboard_;
    std::unique_ptr<GamepadHub> hub_;
    std::vector<KeyEvent> padEvents_;
};

}  // namespace

std::unique_ptr<Display> Display::open(const WindowDescription& description) {
    return std::make_unique<SdlDisplay>(description);
}

}  // namespace flikka::platform
