#include "app/Splash.h"

#include <algorithm>

namespace flikka {

void Splash::start(std::uint32_t now) {
    fade_ = 0.0f;
    fadingOut_ = false;
    timer_.start(now);
}

Splash::Outcome Splash::step(const IKeyboardDevice& keys) {
    fade_ += fadingOut_ ? -kFadeStep : kFadeStep;
    return settle(keys);
}

Splash::Outcome Splash::settle(const IKeyboardDevice& keys) {
    if (fade_ < 0.0f) return FINISHED;
    if (fade_ > 1.0f) fade_ = 1.0f;
    if (keys.isKeyDown(kVkEnter) || keys.isKeyDown(kVkSpace) || keys.isKeyDown(kVkEscape)) fadingOut_ = true;
    if (altF4Down(keys)) return QUIT;
    return RUNNING;
}

Splash::Pass Splash::pass(std::uint32_t now, const IKeyboardDevice& keys, LoopTimer& frameTimer) {
    Pass result;
    result.outcome = timer_.tick(now) ? step(keys) : settle(keys);
    if (result.outcome == RUNNING) result.drawFrame = frameTimer.tick(now);
    return result;
}

std::uint32_t Splash::untilDue(std::uint32_t now, const LoopTimer& frameTimer) const {
    return std::min(timer_.untilDue(now), frameTimer.untilDue(now));
}

}  // namespace flikka
