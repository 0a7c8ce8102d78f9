#include "replay/Playback.h"

#include <utility>

#include "players/UserControl.h"

namespace flikka::replay {

Playback::Playback(Replay r)
    : replay_(std::move(r)), keyboard_(replay_.keys), keyboard2_(replay_.keys2), match_(&keys_) {
    keys_.keyboard = &keyboard_;
    keys_.keyTable = ScriptedKeyboard::kKeyTable;
    keys2_.keyboard = &keyboard2_;
    keys2_.keyTable = ScriptedKeyboard::kKeyTable;
    if (humansIn(replay_.setUp.humanSide) == 2) match_.humans[1].keys = &keys2_;
}

void Playback::start() {
    const MatchSetUp& s = replay_.setUp;
    match_.random.seed(s.randomState);
    match_.clockMs = s.simulationMs;
    s.keys.restore(keys_);
    s.keys2.restore(keys2_);
    // Every human's switch list keeps the same time, whether he plays or not.
    for (HumanControl& h : match_.humans) h.switchList.timer = s.switchTimer;
    match_.newMatch(s.home, s.away, static_cast<float>(s.length), s.humanSide, s.rules);
    hash_ = TrajectoryHash{};
    finished_ = replay_.outcome.steps == 0;
}

int Playback::step() {
    if (finished_) return 2;
    keyboard_.advanceTo(match_.steps);
    keys_.pollKeys();
    if (match_.humans[1].keys != nullptr) {
        keyboard2_.advanceTo(match_.steps);
        keys2_.pollKeys();
    }
    user_control::controlSelected(match_);
    const int result = match_.matchStep(replay_.setUp.stepSeconds);
    hash_.add(match_);
    if (result == 2 || match_.steps >= replay_.outcome.steps) finished_ = true;
    return result;
}

}  // namespace flikka::replay
