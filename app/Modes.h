#pragma once
// The main loop's modes. Each takes the 5 ms logic steps while it is the current one and says
// which mode comes next; each draws the frames while it is current and only reads to do so.
#include <cstdint>
#include <functional>

#include "app/SoundDirector.h"
#include "app/Splash.h"

namespace flikka {

class CGraphics;
class CMatch;
class CMenu;
class Controls;
struct KeySampler;
class MatchMoments;
class MenuRedraw;
class ReplayControl;

namespace platform {
class Display;
class Keyboard;
}  // namespace platform

// Quit is no mode: the loop ends after the pass in which a step asked for it.
enum class ModeId { Splash, Menu, MenuOverMatch, Match, Card, ReplayViewer, Quit };
inline constexpr int kModeCount = static_cast<int>(ModeId::Quit);

// What the modes share; all of it lives in CFlikka::run.
struct ModeContext {
    CGraphics& graphics;
    platform::Display& display;
    platform::Keyboard& keyboard;
    Controls& controls;
    KeySampler& keys;
    KeySampler& keys2;  // player 2's, read only when two humans play
    CMatch& match;
    CMenu& menu;
    ReplayControl& replays;
    SoundDirector* sound;  // none while the splash shows: it is silent
    MatchMoments& moments;
    MenuRedraw& redraw;
};

// What a frame may use: the screen, and the state it shows read-only. The match and the menu
// reach the picture through the graphics. The replays lend their own copy of a match to the
// graphics while it is drawn, never the one that is played.
struct FrameContext {
    CGraphics& graphics;
    platform::Display& display;
    const MatchMoments& moments;
    ReplayControl& replays;
};

class Mode {
public:
    explicit Mode(ModeId id) : id_(id) {}
    virtual ~Mode() = default;
    Mode(const Mode&) = delete;
    Mode& operator=(const Mode&) = delete;

    ModeId id() const { return id_; }
    // Every pass of the loop, before the logic timer is asked: what must not wait for a step.
    // Returns the next mode, or id() to stay.
    virtual ModeId pass(ModeContext&) { return id_; }
    // One logic step. Returns the next mode, or id() to stay.
    virtual ModeId tick(ModeContext& c) = 0;
    // The frame is drawn on every frame tick, not only when the redraw tracker asks for it.
    virtual bool moving() const { return false; }
    // One whole frame, presented.
    virtual void draw(const FrameContext& f) const = 0;
    // Where the crowd is after a step in this mode.
    virtual SoundScene scene() const = 0;

private:
    ModeId id_;
};

class SplashMode final : public Mode {
public:
    // `over` runs once the splash has ended, however it ended, before anything else is heard.
    explicit SplashMode(std::function<void()> over) : Mode(ModeId::Splash), over_(std::move(over)) {}
    ModeId tick(ModeContext& c) override;
    bool moving() const override { return true; }
    void draw(const FrameContext& f) const override;
    SoundScene scene() const override { return SoundScene::Menu; }

private:
    Splash splash_;
    std::function<void()> over_;
};

class CardMode final : public Mode {
public:
    CardMode() : Mode(ModeId::Card) {}
    // The step result the card stands for: 1 half time, 2 full time.
    void show(int stepResult) { result_ = stepResult; }
    ModeId tick(ModeContext& c) override;
    void draw(const FrameContext& f) const override;
    SoundScene scene() const override { return SoundScene::MatchPaused; }

private:
    int result_ = 0;
};

class ReplayViewerMode final : public Mode {
public:
    ReplayViewerMode() : Mode(ModeId::ReplayViewer) {}
    // "watch replay" from the menu `back`, where leaving the viewer returns to.
    void open(ModeContext& c, ModeId back);
    ModeId tick(ModeContext& c) override;
    bool moving() const override { return true; }
    void draw(const FrameContext& f) const override;
    SoundScene scene() const override { return SoundScene::Menu; }

private:
    ModeId back_ = ModeId::Menu;
};

class MatchMode final : public Mode {
public:
    explicit MatchMode(CardMode& card) : Mode(ModeId::Match), card_(card) {}
    ModeId pass(ModeContext& c) override;
    ModeId tick(ModeContext& c) override;
    bool moving() const override { return true; }
    void draw(const FrameContext& f) const override;
    SoundScene scene() const override { return SoundScene::Match; }

private:
    CardMode& card_;
};

// The main menu, or the menu over the paused or finished match.
class MenuMode final : public Mode {
public:
    MenuMode(bool overMatch, ReplayViewerMode& viewer)
        : Mode(overMatch ? ModeId::MenuOverMatch : ModeId::Menu), overMatch_(overMatch), viewer_(viewer) {}
    ModeId tick(ModeContext& c) override;
    void draw(const FrameContext& f) const override;
    SoundScene scene() const override { return overMatch_ ? SoundScene::MatchPaused : SoundScene::Menu; }

private:
    bool overMatch_;
    ReplayViewerMode& viewer_;
};

}  // namespace flikka
