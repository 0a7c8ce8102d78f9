#include "app/ReplayControl.h"

#include <ctime>
#include <filesystem>
#include <iostream>

#include "app/Flikka.h"
#include "platform/Platform.h"
#include "replay/ReplayStore.h"
#include "settings/ExtraSettings.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "ui/Graphics.h"
#include "ui/Menu.h"
#include "ui/ReplayView.h"

namespace flikka {

namespace {

constexpr int kVkEnter = 13;
constexpr int kVkEscape = 27;
constexpr int kVkSpace = 32;

replay::Viewer::Key viewerKey(int vk) {
    using K = replay::Viewer::Key;
    switch (vk) {
        case 'H': return K::Half;
        case 'N': return K::Normal;
        case 'D': return K::Double;
        case kVkSpace:
        case 'P': return K::Pause;
        case 'G': return K::NextGoal;
        case kVkEscape: return K::Leave;
        default: return K::None;
    }
}

bool skipsGoalReplay(int vk) { return vk == kVkEnter || vk == settings().keys[SLOT_PASS]; }

std::string dated() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return replay::datedName(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
}

// The screen's fonts have no slash: the page names the file, the console gives the whole path.
std::string forScreen(const std::string& message, const std::string& path) {
    if (message.rfind(path, 0) != 0) return message;
    return std::filesystem::path(path).filename().string() + message.substr(path.size());
}

}  // namespace

ReplayControl::ReplayControl(CMatch& match, platform::Keyboard& keyboard) : match_(match), keyboard_(keyboard) {}

std::string ReplayControl::lastReplayPath() { return paths::userDataFile(std::string("replays/") + replay::kLastName); }

void ReplayControl::attach(CMenu& menu) {
    CMenu::MatchStarter inner = menu.matchStarter();
    menu.setMatchStarter([this, inner](const unsigned home[5], const unsigned away[5], float length, int humanSide) {
        saveRecording();
        recorder_.beforeSetUp(match_, home, away, length, humanSide, CFlikka::kLogicStepSeconds);
        inner(home, away, length, humanSide);
        recorder_.afterSetUp(match_);
        goal_.reset();
        heldStop_ = 0;
    });
}

void ReplayControl::saveRecording() {
    if (!recorder_.recording()) return;
    const replay::Replay r = recorder_.finish(match_);
    if (r.outcome.steps == 0) return;
    const std::string folder = std::filesystem::path(lastReplayPath()).parent_path().string();
    std::string problem;
    if (!replay::save(r, folder, dated(), problem)) std::cerr << "Cannot save the replay: " << problem << std::endl;
}

void ReplayControl::beforeStep(const StepInput& input) { recorder_.beforeStep(match_, input); }

int ReplayControl::afterStep(int result) {
    recorder_.afterStep(match_, result);
    if (result == 2) saveRecording();
    goal_.observe(match_, result);
    if (!goal_.due()) return result;
    if (!extraSettings().goalReplays) {
        goal_.reset();
        return result;
    }
    goal_.start(match_);
    keyboard_.flushEvents();
    if (result == 0) return 0;
    heldStop_ = result;
    return 0;
}

void ReplayControl::goalReplayTick() {
    platform::KeyEvent e;
    while (keyboard_.pollEvent(e)) {
        if (!e.pressed || e.repeat) continue;
        // With two at the keys, player 2's pass key skips it too.
        const bool second = match_.humanCount() == 2 && e.virtualKey == extraSettings().player2Keys[SLOT_PASS];
        if (skipsGoalReplay(e.virtualKey) || second) goal_.stop();
    }
    if (goal_.showing()) goal_.tick();
}

int ReplayControl::takeHeldStop() {
    if (goal_.showing() || heldStop_ == 0) return 0;
    const int stop = heldStop_;
    heldStop_ = 0;
    return stop;
}

void ReplayControl::leaveMatchMode() { goal_.stop(); }

void ReplayControl::drawGoalReplay(CGraphics& g) {
    if (!goal_.showing()) return;
    drawOtherMatch(g, goal_.display());
    drawReplayMark(g, "Enter or " + platform::keyName(settings().keys[SLOT_PASS]) + ": skip");
}

void ReplayControl::openViewer() {
    keyboard_.flushEvents();
    viewer_.setGoalReplays(extraSettings().goalReplays);
    if (recorder_.recording() && match_.steps > 0) {
        // A match in progress (under the menu) is the last match: watch it so far.
        viewer_.open(recorder_.snapshot(match_));
        viewerProblem_ = false;
        return;
    }
    const std::string path = lastReplayPath();
    viewerProblem_ = !viewer_.open(path);
    if (viewerProblem_) {
        std::cerr << "Cannot play the replay " << viewer_.message() << std::endl;
        problemText_ = forScreen(viewer_.message(), path);
    }
}

bool ReplayControl::viewerTick() {
    platform::KeyEvent e;
    while (keyboard_.pollEvent(e)) {
        if (!e.pressed || e.repeat) continue;
        if (viewerProblem_) {
            if (e.virtualKey == kVkEnter || e.virtualKey == kVkEscape) viewerProblem_ = false;
            if (!viewerProblem_) return false;
            continue;
        }
        if (viewer_.showingGoalReplay() && skipsGoalReplay(e.virtualKey)) {
            viewer_.press(replay::Viewer::Key::SkipGoalReplay);
        } else if (viewer_.ended() && e.virtualKey == kVkEnter) {
            viewer_.press(replay::Viewer::Key::Leave);
        } else {
            viewer_.press(viewerKey(e.virtualKey));
        }
        if (!viewer_.isOpen()) {
            keyboard_.flushEvents();
            return false;
        }
    }
    if (viewerProblem_) return true;
    viewer_.tick();
    return true;
}

void ReplayControl::drawViewer(CGraphics& g) {
    if (viewerProblem_) {
        drawReplayProblem(g, problemText_);
        return;
    }
    if (!viewer_.isOpen()) return;
    drawOtherMatch(g, viewer_.shown());
    if (viewer_.showingGoalReplay()) {
        drawReplayMark(g, "Enter or " + platform::keyName(settings().keys[SLOT_PASS]) + ": skip");
        return;
    }
    ReplayBar bar;
    switch (viewer_.speed()) {
        case replay::ViewSpeed::Half: bar.speed = "half speed"; break;
        case replay::ViewSpeed::Normal: bar.speed = "normal speed"; break;
        case replay::ViewSpeed::Double: bar.speed = "double speed"; break;
    }
    bar.paused = viewer_.paused();
    bar.skipping = viewer_.skipping();
    bar.ended = viewer_.ended();
    drawReplayBar(g, bar);
}

}  // namespace flikka
