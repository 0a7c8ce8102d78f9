#include "app/Modes.h"

#include "app/Controls.h"
#include "app/Flikka.h"
#include "app/MenuRedraw.h"
#include "app/ReplayControl.h"
#include "platform/Platform.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "ui/Colours.h"
#include "ui/Graphics.h"
#include "ui/MatchMoments.h"
#include "ui/MatchView.h"
#include "ui/Menu.h"
#include "ui/MenuScreen.h"
#include "ui/MomentsView.h"

namespace flikka {

namespace {

constexpr float kLogicStepSeconds = CFlikka::kLogicStepSeconds;

}  // namespace

ModeId SplashMode::tick(ModeContext& c) {
    const Splash::Outcome o = splash_.step(c.controls.loopKeys());
    if (o == Splash::RUNNING) return id();
    over_();
    c.menu.flushKeyEvents();
    c.redraw.invalidate();  // the splash's frames do not stand for the menu's
    return o == Splash::QUIT ? ModeId::Quit : ModeId::Menu;
}

void SplashMode::draw(const FrameContext& f) const { f.graphics.drawSplash(splash_.fade()); }

ModeId CardMode::tick(ModeContext& c) {
    platform::KeyEvent event;
    bool dismissed = false;
    while (!dismissed && c.keyboard.pollEvent(event)) dismissed = dismissesCard(event, c.match.humanCount() == 2);
    if (!dismissed) return id();
    c.moments.dismissCard();
    c.menu.showOverMatch(result_ == 1);  // flushes the key; after full time nothing continues
    c.redraw.invalidate();
    return ModeId::MenuOverMatch;
}

void CardMode::draw(const FrameContext& f) const {
    f.display.clear(colours::kOpaqueBlack);
    drawMatchFrame(f.graphics, false);
    drawTimeCard(f.graphics, f.moments);
    f.display.flip();
}

void ReplayViewerMode::open(ModeContext& c, ModeId back) {
    back_ = back;
    c.replays.openViewer();
}

ModeId ReplayViewerMode::tick(ModeContext& c) {
    if (c.replays.viewerTick()) return id();
    c.menu.flushKeyEvents();
    c.redraw.invalidate();
    return back_;
}

void ReplayViewerMode::draw(const FrameContext& f) const {
    f.display.clear(colours::kOpaqueBlack);
    f.replays.drawViewer(f.graphics);
    f.display.flip();
}

ModeId MatchMode::pass(ModeContext& c) {
    if (!c.controls.pauseRequested()) return id();
    c.replays.leaveMatchMode();
    c.menu.showOverMatch(true);
    c.redraw.invalidate();
    return ModeId::MenuOverMatch;
}

ModeId MatchMode::tick(ModeContext& c) {
    CMatch& match = c.match;
    const KeySampler& keys = c.keys;
    const KeySampler& keys2 = c.keys2;
    ReplayControl& replays = c.replays;
    Controls& controls = c.controls;
    MatchMoments& moments = c.moments;
    SoundDirector& sound = *c.sound;

    int result = 0;
    if (replays.goalReplayShowing()) {
        // A goal's replay: the match waits, with a half or full time held behind it.
        replays.goalReplayTick();
        // The pad button that skipped it must not also pass the ball.
        if (!replays.goalReplayShowing()) controls.enterMatch();
        result = replays.takeHeldStop();
    } else {
        StepInput input;
        input.slots[0] = keys.sample();
        if (match.humanCount() == 2) input.slots[1] = keys2.sample();
        replays.beforeStep(input);
        result = replays.afterStep(match.step(input, kLogicStepSeconds));
        controls.afterStep(match.events);
        moments.afterStep(match.events);
        sound.afterMatchStep(match);
    }
    if (result != 1 && result != 2) return id();
    // The card first; a key pressed before it came must not wave it away.
    card_.show(result);
    c.menu.flushKeyEvents();
    c.redraw.invalidate();
    return ModeId::Card;
}

void MatchMode::draw(const FrameContext& f) const {
    f.display.clear(colours::kOpaqueBlack);
    if (f.replays.goalReplayShowing()) {
        f.replays.drawGoalReplay(f.graphics);
    } else {
        drawMatchFrame(f.graphics, true);
        drawRestartPrompt(f.graphics);
        drawGoalBanner(f.graphics, f.moments);
    }
    f.display.flip();
}

ModeId MenuMode::tick(ModeContext& c) {
    const unsigned eventsBefore = c.menu.eventsTaken();
    const int result = c.menu.handleInput();
    if (c.menu.eventsTaken() != eventsBefore) c.redraw.invalidate();
    if (result == MENU_RESULT_QUIT) return ModeId::Quit;
    if (result == MENU_RESULT_NEW_MATCH || result == MENU_RESULT_RESUME) {
        if (result == MENU_RESULT_NEW_MATCH) c.moments.reset();
        c.controls.enterMatch();
        c.controls.attach(c.keys, c.keys2, c.match.humanCount() == 2);
        return ModeId::Match;
    }
    if (result == MENU_RESULT_WATCH_REPLAY) {
        viewer_.open(c, id());
        return ModeId::ReplayViewer;
    }
    return id();
}

void MenuMode::draw(const FrameContext& f) const {
    f.display.clear(colours::kOpaqueBlack);
    if (overMatch_) drawMatchFrame(f.graphics, false);
    drawMenuScreen(f.graphics, !overMatch_);
    f.display.flip();
}

}  // namespace flikka
