#pragma once
// Matches played the way the game plays them: one match object and one key state for the whole
// run, a keyboard read through the default bindings (so the fixed keys alias the arrows), the
// key poll, the recorder, the user control and the match step in the game's order.
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

#include "replay/Playback.h"
#include "replay/Recorder.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "sim/Random.h"

namespace flikka::live_fixture {

inline constexpr float kDt = kStep;  // the game's logic step, the runner's too
inline constexpr unsigned k442[5] = {2, 0, 4, 0, 4};
inline constexpr unsigned k433[5] = {3, 0, 3, 0, 4};

// A human on the default keys who runs about, taps pass every second, shoots and switches now
// and then; the pattern runs on the run's clock, so keys stay down across a new match.
class PatternKeyboard : public IKeyboardDevice {
public:
    std::uint64_t tick = 0;
    std::uint64_t offset = 0;  // player 2 plays the same pattern out of step
    bool isKeyDown(int vk) const override {
        const std::uint64_t t = tick + offset;
        const std::uint64_t phase = (t / 1600) % 4;
        switch (vk) {
            case 83: return t % 200 < 10;                          // S: pass
            case 68: return t % 1700 >= 900 && t % 1700 < 960;     // D: shoot
            case 65: return t % 3100 >= 2000 && t % 3100 < 2040;   // A: cross
            case 69: return t % 700 < 5;                           // E: switch
            case 37: return phase == 0 && t % 1600 < 700;          // left
            case 39: return phase == 1 && t % 1600 < 700;          // right
            case 38: return phase != 3 && t % 1600 < 900;          // up
            case 40: return phase == 3 && t % 1600 < 700;          // down
            default: return false;
        }
    }
};

struct Played {
    replay::Replay replay;
    std::uint64_t hash = 0;
    int homeScore = 0;
    int awayScore = 0;
    std::uint64_t steps = 0;
    std::string referee;
};

class LiveRun {
public:
    PatternKeyboard keyboard;
    PatternKeyboard keyboard2;  // player 2, on a keyboard of his own
    KeySampler keys{&keyboard};
    KeySampler keys2{&keyboard2};
    CMatch match;
    replay::MatchRecorder recorder;
    TrajectoryHash hash;
    std::ostringstream referee;

    LiveRun() {
        keyboard2.offset = 777;
        match.console = &referee;
    }

    void start(const unsigned home[5], const unsigned away[5], float length, int human,
               const MatchRules& rules = MatchRules::classic()) {
        recorder.beforeSetUp(match, home, away, length, human, kDt);
        match.newMatch(home, away, length, human, rules);
        recorder.afterSetUp(match);
        hash = TrajectoryHash{};
        referee.str("");
    }

    int step() {
        ++keyboard.tick;
        ++keyboard2.tick;
        // Player 2's keys are read only while he plays, and keep their state in between.
        StepInput in;
        in.slots[0] = keys.sample();
        in.slots[1] = keys2.sample();
        recorder.beforeStep(match, in);
        const int r = match.step(in, kDt);
        recorder.afterStep(match, r);
        hash.add(match);
        return r;
    }

    // Plays to full time, or leaves after maxSteps.
    Played play(std::uint64_t maxSteps = 3000000) {
        for (std::uint64_t i = 0; i < maxSteps && step() != 2; ++i) {
        }
        return finish();
    }

    Played finish() {
        Played p;
        p.replay = recorder.finish(match);
        p.hash = hash.value();
        p.homeScore = match.homeScore;
        p.awayScore = match.awayScore;
        p.steps = match.steps;
        p.referee = referee.str();
        return p;
    }
};

// Plays a replay back headless, as flikka-sim --replay does.
inline Played playBack(const replay::Replay& r, std::uint64_t maxSteps = ~std::uint64_t{0}) {
    replay::Playback playback(r);
    std::ostringstream referee;
    playback.match().console = &referee;
    playback.start();
    for (std::uint64_t i = 0; i < maxSteps && !playback.finished(); ++i) playback.step();
    Played p;
    p.hash = playback.trajectoryHash();
    p.homeScore = playback.match().homeScore;
    p.awayScore = playback.match().awayScore;
    p.steps = playback.match().steps;
    p.referee = referee.str();
    return p;
}

// A one-minute match of the human at home against 4-3-3 that ends 0 - 1; played once.
inline const Played& oneMinuteHumanMatch() {
    static const Played p = [] {
        LiveRun run;
        run.start(k442, k433, 60.0f, HUMAN_HOME);
        return run.play();
    }();
    return p;
}

}  // namespace flikka::live_fixture
