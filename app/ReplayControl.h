#pragma once
// The replays in the game: every match started from the menu recorded and saved when it ends or
// is left, the instant replay of each goal in match mode, and "watch replay". The live match is
// only ever read here.
#include <string>

#include "replay/GoalReplay.h"
#include "replay/Recorder.h"
#include "replay/Viewer.h"

namespace flikka {

class CGraphics;
class CMatch;
class CMenu;
struct StepInput;

namespace platform {
class Keyboard;
}

class ReplayControl {
public:
    ReplayControl(CMatch& match, platform::Keyboard& keyboard);

    // Wraps the menu's match starter: the match in progress is saved, the new one recorded.
    void attach(CMenu& menu);

    // Match mode. While a goal's replay shows, the match does not step.
    bool goalReplayShowing() const { return goal_.showing(); }
    // One logic tick of the goal replay; Enter (a pad's A) or the pass key skips it.
    void goalReplayTick();
    // Before the match steps with this input.
    void beforeStep(const StepInput& input);
    // After the match step: records it and starts a goal's replay when one is due. Returns the
    // step's result, or 0 for a half or full time held back until the goal's replay is over.
    int afterStep(int result);
    // The held-back stop (1 or 2) once the replay is over; 0 otherwise.
    int takeHeldStop();
    // Escape to the menu: a replay showing is left.
    void leaveMatchMode();
    void drawGoalReplay(CGraphics& g);

    // "watch replay" plays the last saved match.
    void openViewer();
    // One logic tick of the viewer with its keys; false once it is left.
    bool viewerTick();
    void drawViewer(CGraphics& g);

    // Saves the match in progress (quitting leaves it).
    void quit() { saveRecording(); }

    static std::string lastReplayPath();

private:
    void saveRecording();

    CMatch& match_;
    platform::Keyboard& keyboard_;
    replay::MatchRecorder recorder_;
    replay::GoalReplay goal_;
    replay::Viewer viewer_;
    int heldStop_ = 0;
    bool viewerProblem_ = false;  // the viewer shows why it cannot play
    std::string problemText_;
};

}  // namespace flikka
