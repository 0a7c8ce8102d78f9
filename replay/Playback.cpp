#include "replay/Playback.h"

#include <utility>


namespace flikka::replay {

Playback::Playback(Replay r) : replay_(std::move(r)), keyboard_(replay_.keys), keyboard2_(replay_.keys2) {}

void Playback::start() {
    const MatchSetUp& s = replay_.setUp;
    match_.random.seed(s.randomState);
    match_.clockMs = s.simulationMs;
    s.keys.restore(match_.humans[0].keys);
    s.keys2.restore(match_.humans[1].keys);
    // Every human's switch list keeps the same time, whether he plays or not.
    for (HumanControl& h : match_.humans) h.switchList.timer = s.switchTimer;
    match_.newMatch(s.home, s.away, static_cast<float>(s.length), s.humanSide, s.rules);
    hash_ = TrajectoryHash{};
    finished_ = replay_.outcome.steps == 0;
}

int Playback::step() {
    if (finished_) return 2;
    keyboard_.advanceTo(match_.steps);
    keyboard2_.advanceTo(match_.steps);
    StepInput in;
    in.slots[0] = KeySampler{&keyboard_, ScriptedKeyboard::kKeyTable}.sample();
    in.slots[1] = KeySampler{&keyboard2_, ScriptedKeyboard::kKeyTable}.sample();
    const int result = match_.step(in, replay_.setUp.stepSeconds);
    hash_.add(match_);
    if (result == 2 || match_.steps >= replay_.outcome.steps) finished_ = true;
    return result;
}

}  // namespace flikka::replay
