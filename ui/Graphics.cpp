#include "ui/Graphics.h"

#include <cmath>
#include <iostream>

#include "settings/ExtraSettings.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "ui/Colours.h"

namespace flikka {

namespace {

using namespace colours;

CGraphics* gCurrent = nullptr;

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr int kBallFrameMs = 100;
constexpr int kFootballerFrameMs = 70;
constexpr int kMarkerFrameMs = 200;
constexpr platform::Color kMarkerYellow = 0xFFFFFF00;

// Directional slots 0..8; slot 0 (no direction) shows the "up" image.
constexpr const char* kSlotSuffix[CGraphics::kDirectionSlots] = {"u", "u", "ul", "l", "dl", "d", "dr", "r", "ur"};

}  // namespace

CGraphics::CGraphics() { gCurrent = this; }

// The match is gone by now (it is destroyed first at shutdown): do not touch it.
CGraphics::~CGraphics() {
    teardown();
    if (gCurrent == this) gCurrent = nullptr;
}

CGraphics* CGraphics::current() { return gCurrent; }

void CGraphics::setMatch(CMatch* m) {
    if (match_ != nullptr && match_->debugMarkers == this) match_->debugMarkers = nullptr;
    match_ = m;
    if (match_ != nullptr) match_->debugMarkers = this;
}

void CGraphics::openDisplayAndLoadAssets(bool offscreen, int outputWidth, int outputHeight) {
    openWindow(offscreen, outputWidth, outputHeight);
    loadAssets();
}

namespace {
platform::Scaling scalingOf(const ExtraSettings& x) {
    return x.scaling == 1 ? platform::Scaling::Sharp : platform::Scaling::Smooth;
}
}  // namespace

void CGraphics::openWindow(bool offscreen, int outputWidth, int outputHeight) {
    const Settings& s = settings();
    const ExtraSettings& x = extraSettings();
    platform::WindowDescription wanted;
    wanted.title = "Flikka / Trefalik";
    wanted.width = s.hRes;
    wanted.height = s.vRes;
    wanted.bpp = s.colorDepth;
    wanted.fullscreen = s.fullscreen;
    wanted.offscreen = offscreen;
    wanted.windowWidth = offscreen ? outputWidth : x.windowWidth;
    wanted.windowHeight = offscreen ? outputHeight : x.windowHeight;
    wanted.scaling = scalingOf(x);
    wanted.gamepads = !offscreen;

    try {
        display_ = platform::Display::open(wanted);
    } catch (const platform::PlatformError& e) {
        // An unsupported full-screen mode or size must not lock the player out of the game
        // (the options menu that could undo it is inside): retry with the default window.
        const bool alreadyDefault = !wanted.fullscreen && wanted.width == kDefaultWidth && wanted.height == kDefaultHeight;
        if (alreadyDefault) throw;
        platform::WindowDescription fallback = wanted;
        fallback.width = kDefaultWidth;
        fallback.height = kDefaultHeight;
        fallback.windowWidth = 0;
        fallback.windowHeight = 0;
        fallback.fullscreen = false;
        const std::string note = std::string("cannot open the configured display mode (") + e.what() +
                                 "); using an 800 x 600 window\n";
        std::cout << note << std::flush;
        display_ = platform::Display::open(fallback);
    }
    takeGeometry();
}

void CGraphics::takeGeometry() {
    windowWidth_ = display_->width();
    windowHeight_ = display_->height();
    halfWindowWidth_ = windowWidth_ / 2;
    halfWindowHeight_ = windowHeight_ / 2;
}

bool CGraphics::applyDisplaySettings() {
    Settings& s = settings();
    bool ok = true;
    display_->setScaling(scalingOf(extraSettings()));
    try {
        display_->setPictureSize(s.hRes, s.vRes);
    } catch (const platform::PlatformError& e) {
        const std::string note = std::string("cannot change the resolution (") + e.what() + ")\n";
        std::cout << note << std::flush;
        s.hRes = display_->width();
        s.vRes = display_->height();
        ok = false;
    }
    display_->setFullscreen(s.fullscreen);
    if (display_->fullscreen() != s.fullscreen) {
        s.fullscreen = display_->fullscreen();
        ok = false;
    }
    takeGeometry();
    return ok;
}

std::unique_ptr<platform::Image> CGraphics::image(const std::string& name) {
    return display_->loadImage(paths::dataFile(name));
}

std::unique_ptr<platform::Sprite> CGraphics::sprite(const std::string& name, int frameDelayMs) {
    return display_->loadSprite(paths::dataFile(name), frameDelayMs);
}

void CGraphics::loadSet(SpriteSetId set, const std::string& prefix) {
    for (int slot = 0; slot < kDirectionSlots; ++slot) {
        sets_[set][slot] = sprite(prefix + kSlotSuffix[slot] + ".png", kFootballerFrameMs);
    }
}

void CGraphics::loadAssets() {
    pitch_ = image("gfx/pitch.png");
    pitchWidth_ = pitch_->width();
    pitchHeight_ = pitch_->height();
    halfPitchWidth_ = pitchWidth_ / 2;
    halfPitchHeight_ = pitchHeight_ / 2;

    hudTeams_ = image("gfx/hud_teams.png");
    hudTime_ = image("gfx/hud_time.png");
    fade_ = image("gfx/fade.png");
    menuBg_ = image("gfx/menubg.png");
    menuBgLarge_ = image("gfx/menubgl.png");
    miniPitch_ = image("gfx/minipitch.png");
    promptPanel_ = image("gfx/prompt.png");
    bannerPanel_ = image("gfx/banner.png");
    cardPanel_ = image("gfx/card.png");

    mainFont_ = display_->loadFont(paths::dataFile("gfx/font.png"), kFontLetters);
    miniFont_ = display_->loadFont(paths::dataFile("gfx/minifont.png"), kFontLetters);
    menuFont_ = display_->loadFont(paths::dataFile("gfx/menufont.png"), kFontLetters);

    ball_ = sprite("gfx/ball.png", kBallFrameMs);
    selected_ = sprite("gfx/selected.png", kMarkerFrameMs);
    selected2_ = sprite("gfx/selected2.png", kMarkerFrameMs);
    hasBall_ = sprite("gfx/has_ball.png", kMarkerFrameMs);
    offside_ = sprite("gfx/offside.png", kMarkerFrameMs);
    static constexpr const char* kArrowFiles[ARROW_COUNT] = {
        "gfx/arr_left.png", "gfx/arr_right.png", "gfx/arr_up.png", "gfx/arr_down.png",
        "gfx/arr_ul.png",   "gfx/arr_dl.png",    "gfx/arr_ur.png", "gfx/arr_dr.png"};
    for (int a = 0; a < ARROW_COUNT; ++a) arrows_[a] = sprite(kArrowFiles[a], kMarkerFrameMs);
    splash_ = sprite("gfx/flikka.png", kMarkerFrameMs);
    miniGk_ = sprite("gfx/mini_gk.png", kMarkerFrameMs);
    ballShadow_ = image("gfx/ball_s.png");

    loadSet(SET_HOME_RUNNING, "gfx/h_");
    loadSet(SET_HOME_STANDING, "gfx/h_s_");
    loadSet(SET_AWAY_RUNNING, "gfx/a_");
    loadSet(SET_AWAY_STANDING, "gfx/a_s_");
    loadSet(SET_GK_RUNNING, "gfx/gk_");
    loadSet(SET_GK_STANDING, "gfx/gk_s_");
    loadSet(SET_HOME_SLIDING, "gfx/h_sl_");
    loadSet(SET_AWAY_SLIDING, "gfx/a_sl_");
    for (int slot = 0; slot < kDirectionSlots; ++slot) {
        sets_[SET_GK_DIVING][slot] = sprite(slot == 1 ? "gfx/gk_j_up.png" : "gfx/gk_j.png", kFootballerFrameMs);
    }

    ugBack_ = image("gfx/ug_back.png");
    ugTop_ = image("gfx/ug_top.png");
    ugFrame_ = image("gfx/ug_frame.png");
    lgBack_ = image("gfx/lg_back.png");
    lgTop_ = image("gfx/lg_top.png");
    lgFrame_ = image("gfx/lg_frame.png");
}

void CGraphics::teardown() {
    drawList_.clear();
    lgFrame_.reset();
    lgTop_.reset();
    lgBack_.reset();
    ugFrame_.reset();
    ugTop_.reset();
    ugBack_.reset();
    for (int set = SPRITE_SET_COUNT - 1; set >= 0; --set) {
        for (int slot = kDirectionSlots - 1; slot >= 0; --slot) sets_[set][slot].reset();
    }
    ballShadow_.reset();
    miniGk_.reset();
    splash_.reset();
    for (int a = ARROW_COUNT - 1; a >= 0; --a) arrows_[a].reset();
    offside_.reset();
    hasBall_.reset();
    selected_.reset();
    selected2_.reset();
    ball_.reset();
    menuFont_.reset();
    miniFont_.reset();
    mainFont_.reset();
    cardPanel_.reset();
    bannerPanel_.reset();
    promptPanel_.reset();
    miniPitch_.reset();
    menuBgLarge_.reset();
    menuBg_.reset();
    fade_.reset();
    hudTime_.reset();
    hudTeams_.reset();
    pitch_.reset();
    display_.reset();
}

void CGraphics::drawSplash(float alpha) {
    display_->clear(kOpaqueBlack);
    splash_->setAlpha(alpha);
    splash_->draw(static_cast<float>(centredLeft(splash_->width())), static_cast<float>(centredTop(splash_->height())));
    display_->flip();
}

void CGraphics::addDebugMarker(float x, float y) {
    if (markers_.size() >= kMaxDebugMarkers) markers_.pop_front();
    markers_.push_back(DebugMarker{x, y, kMarkerYellow});
}

float CGraphics::worldToScreenX(float x) const {
    return std::floor((x - cameraX_) * kPixelsPerMetre + static_cast<float>(halfWindowWidth_));
}

float CGraphics::worldToScreenY(float y) const {
    return std::floor(static_cast<float>(halfWindowHeight_) - (y - cameraY_) * kPixelsPerMetre);
}

float CGraphics::screenToWorldX(float px) const {
    return cameraX_ + (px - static_cast<float>(halfWindowWidth_)) / kPixelsPerMetre;
}

float CGraphics::screenToWorldY(float py) const {
    return cameraY_ - (py - static_cast<float>(halfWindowHeight_)) / kPixelsPerMetre;
}

}  // namespace flikka
