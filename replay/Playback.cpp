#include "replay/Playback.h"

#include <utility>

#include "players/UserControl.h"
#include "sim/Random.h"

namespace flikka::replay {

Playback::Playback(Replay r) : replay_(std::move(r)), keyboard_(replay_.keys), match_(&keys_) {
    keys_.keyboard = &keyboard_;
    keys_.keyTable = ScriptedKeyboard::kKeyTable;
}

void Playback::start() {
    const MatchSetUp& s = replay_.setUp;
    seedRandom(s.randomState);
    simulationMilliseconds() = s.simulationMs;
    s.keys.restore(keys_);
    match_.switchList.timer = s.switchTimer;
    match_.newMatch(s.home, s.away, static_cast<float>(s.length), s.humanSide, s.rules);
    hash_ = TrajectoryHash{};
    finished_ = replay_.outcome.steps == 0;
}

int Playback::step() {
    if (finished_) return 2;
    keyboard_.advanceTo(match_.steps);
    keys_.pollKeys();
    user_control::controlSelected(match_);
    const int result = match_.matchStep(replay_.setUp.stepSeconds);
    hash_.add(match_);
    if (result == 2 || match_.steps >= replay_.outcome.steps) finished_ = true;
    return result;
}

SimulationGlobalsGuard::SimulationGlobalsGuard() : random_(randomState()), ms_(simulationMilliseconds()) {}

SimulationGlobalsGuard::~SimulationGlobalsGuard() {
    seedRandom(random_);
    simulationMilliseconds() = ms_;
}

}  // namespace flikka::replay
