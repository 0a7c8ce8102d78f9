#pragma once
// The presentation object: the window, every asset of gfx/, the pitch/window geometry and the
// conversions between pitch metres and window pixels.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "match/Match.h"

namespace flikka {

class CMenu;

struct DebugMarker {
    float x = 0.0f;
    float y = 0.0f;
    platform::Color color = 0xFFFFFF00;
};

// One upright object of a match frame, sorted before drawing.
struct DrawItem {
    platform::Image* surface = nullptr;
    platform::Sprite* sprite = nullptr;  // drawn in preference to the surface
    float screenX = 0.0f;
    float screenY = 0.0f;
    float worldX = 0.0f;
    float worldY = 0.0f;
    float worldZ = 0.0f;
    int layer = 0;
};

enum SpriteSetId {
    SET_HOME_RUNNING = 0,
    SET_HOME_STANDING = 1,
    SET_AWAY_RUNNING = 2,
    SET_AWAY_STANDING = 3,
    SET_GK_RUNNING = 4,
    SET_GK_STANDING = 5,
    SET_GK_DIVING = 6,
    SET_HOME_SLIDING = 7,  // sliding tackles (full rules)
    SET_AWAY_SLIDING = 8,
    SPRITE_SET_COUNT = 9,
};

enum ArrowId { ARROW_LEFT = 0, ARROW_RIGHT, ARROW_UP, ARROW_DOWN, ARROW_UL, ARROW_DL, ARROW_UR, ARROW_DR, ARROW_COUNT };

class CGraphics : public IDebugMarkerSink {
public:
    static constexpr float kPixelsPerMetre = 16.0f;
    static constexpr std::size_t kMaxDebugMarkers = 256;  // the most recent goalkeeper targets
    static constexpr int kDirectionSlots = 9;

    using SpriteSet = std::array<std::unique_ptr<platform::Sprite>, kDirectionSlots>;

    CGraphics();
    ~CGraphics() override;
    CGraphics(const CGraphics&) = delete;
    CGraphics& operator=(const CGraphics&) = delete;

    // Opens the window from the settings (falling back to the default 800 x 600 window when the
    // configured mode cannot be had) and loads every asset from gfx/. `offscreen` draws into a
    // software surface instead of a window (tests), shown in an output of the given size (0: the
    // picture's). The window opens the gamepads as well.
    void openDisplayAndLoadAssets(bool offscreen = false, int outputWidth = 0, int outputHeight = 0);

    // Resolution, full screen and scaling of the settings, applied to the open display at once.
    // What cannot be had is set back in the settings to what shows; false then.
    bool applyDisplaySettings();

    // Clears, draws the splash image centred with the given alpha and shows the frame.
    void drawSplash(float alpha);

    // IDebugMarkerSink: keeps the most recent kMaxDebugMarkers points, in yellow.
    void addDebugMarker(float x, float y) override;
    const std::deque<DebugMarker>& debugMarkers() const { return markers_; }

    // Pitch metres to window pixels (whole pixels carried as floats) and back.
    float worldToScreenX(float x) const;
    float worldToScreenY(float y) const;
    float screenToWorldX(float px) const;
    float screenToWorldY(float py) const;

    // Top-left corner that centres an image of the given size in the window; signed, so an
    // image larger than the window gets a negative corner.
    int centredLeft(int imageWidth) const { return (windowWidth_ - imageWidth) / 2; }
    int centredTop(int imageHeight) const { return (windowHeight_ - imageHeight) / 2; }

    // References kept for drawing; set by the application once the objects exist.
    void setMatch(CMatch* m);
    CMatch* match() const { return match_; }
    void setMenu(CMenu* m) { menu_ = m; }
    CMenu* menu() const { return menu_; }

    platform::Display& display() { return *display_; }
    bool hasDisplay() const { return display_ != nullptr; }
    platform::Font& mainFont() { return *mainFont_; }
    platform::Font& miniFont() { return *miniFont_; }
    platform::Font& menuFont() { return *menuFont_; }

    platform::Image& pitch() { return *pitch_; }
    platform::Image& hudTeams() { return *hudTeams_; }
    platform::Image& hudTime() { return *hudTime_; }
    platform::Image& fade() { return *fade_; }
    platform::Image& menuBackground() { return *menuBg_; }
    platform::Image& menuBackgroundLarge() { return *menuBgLarge_; }
    platform::Image& miniPitch() { return *miniPitch_; }
    platform::Image& promptPanel() { return *promptPanel_; }
    platform::Image& bannerPanel() { return *bannerPanel_; }
    platform::Image& cardPanel() { return *cardPanel_; }
    platform::Image& ballShadow() { return *ballShadow_; }
    platform::Image& upperGoalBack() { return *ugBack_; }
    platform::Image& upperGoalTop() { return *ugTop_; }
    platform::Image& upperGoalFrame() { return *ugFrame_; }
    platform::Image& lowerGoalBack() { return *lgBack_; }
    platform::Image& lowerGoalTop() { return *lgTop_; }
    platform::Image& lowerGoalFrame() { return *lgFrame_; }

    platform::Sprite& ball() { return *ball_; }
    platform::Sprite& selectedMarker() { return *selected_; }
    // Human n's marker (1 or 2).
    platform::Sprite& selectedMarker(int human) { return human == 2 ? *selected2_ : *selected_; }
    platform::Sprite& hasBallMarker() { return *hasBall_; }
    platform::Sprite& offsideMarker() { return *offside_; }
    platform::Sprite& arrow(ArrowId a) { return *arrows_[a]; }
    platform::Sprite& splash() { return *splash_; }
    platform::Sprite& miniGoalkeeper() { return *miniGk_; }
    platform::Sprite& setSprite(SpriteSetId set, int slot) { return *sets_[set][slot]; }
    SpriteSet& spriteSet(SpriteSetId set) { return sets_[set]; }

    std::vector<DrawItem>& drawList() { return drawList_; }

    float radarScale() const { return radarScale_; }
    float cameraX() const { return cameraX_; }
    float cameraY() const { return cameraY_; }
    void setCamera(float x, float y) {
        cameraX_ = x;
        cameraY_ = y;
    }

    // Window (W, H) and pitch image (P, Q) sizes in pixels, their halves, and the metre sizes.
    int windowWidth() const { return windowWidth_; }
    int windowHeight() const { return windowHeight_; }
    int halfWindowWidth() const { return halfWindowWidth_; }
    int halfWindowHeight() const { return halfWindowHeight_; }
    int pitchWidth() const { return pitchWidth_; }
    int pitchHeight() const { return pitchHeight_; }
    int halfPitchWidth() const { return halfPitchWidth_; }
    int halfPitchHeight() const { return halfPitchHeight_; }
    float windowWidthMetres() const { return windowWidth_ / kPixelsPerMetre; }
    float windowHeightMetres() const { return windowHeight_ / kPixelsPerMetre; }
    float pitchWidthMetres() const { return pitchWidth_ / kPixelsPerMetre; }
    float pitchHeightMetres() const { return pitchHeight_ / kPixelsPerMetre; }
    float halfWindowWidthMetres() const { return windowWidth_ / (2.0f * kPixelsPerMetre); }
    float halfWindowHeightMetres() const { return windowHeight_ / (2.0f * kPixelsPerMetre); }
    float halfPitchWidthMetres() const { return pitchWidth_ / (2.0f * kPixelsPerMetre); }
    float halfPitchHeightMetres() const { return pitchHeight_ / (2.0f * kPixelsPerMetre); }

    // Releases every image, sprite and font, then the window (reverse order of creation).
    void teardown();

    // The one presentation object of the run (null outside its lifetime).
    static CGraphics* current();

private:
    void openWindow(bool offscreen, int outputWidth, int outputHeight);
    void takeGeometry();
    void loadAssets();
    std::unique_ptr<platform::Image> image(const std::string& path);
    std::unique_ptr<platform::Sprite> sprite(const std::string& path, int frameDelayMs);
    void loadSet(SpriteSetId set, const std::string& prefix);

    CMatch* match_ = nullptr;
    CMenu* menu_ = nullptr;
    std::deque<DebugMarker> markers_;
    std::vector<DrawItem> drawList_;
    float radarScale_ = 0.075f;
    float cameraX_ = 0.0f;
    float cameraY_ = 0.0f;

    std::unique_ptr<platform::Display> display_;
    std::unique_ptr<platform::Font> mainFont_, miniFont_, menuFont_;
    std::unique_ptr<platform::Image> pitch_, hudTeams_, hudTime_, fade_, menuBg_, menuBgLarge_, miniPitch_;
    std::unique_ptr<platform::Sprite> ball_, selected_, selected2_, hasBall_, offside_;
    std::array<std::unique_ptr<platform::Sprite>, ARROW_COUNT> arrows_;
    std::unique_ptr<platform::Sprite> splash_, miniGk_;
    std::unique_ptr<platform::Image> ballShadow_;
    std::unique_ptr<platform::Image> promptPanel_, bannerPanel_, cardPanel_;
    std::array<SpriteSet, SPRITE_SET_COUNT> sets_;
    std::unique_ptr<platform::Image> ugBack_, ugTop_, ugFrame_, lgBack_, lgTop_, lgFrame_;

    int windowWidth_ = 0, windowHeight_ = 0, halfWindowWidth_ = 0, halfWindowHeight_ = 0;
    int pitchWidth_ = 0, pitchHeight_ = 0, halfPitchWidth_ = 0, halfPitchHeight_ = 0;
};

// The fixed letter string of the three bitmap fonts (85 glyphs, in image order).
inline constexpr const char* kFontLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789:;_-.,*~!@#$%^&*()[]<>?";

}  // namespace flikka
