#include "app/Splash.h"

#include <algorithm>

namespace flikka {

void Splash::start(std::uint32_t now) {
    fade_ = 0.0f;
    fadingOut_ = false;
    timer_.start(now);
}

Splash::Pass Splash::pass(std::uint32_t now, const IKeyboardDevice& keys, LoopTimer& frameTimer) {
    Pass result;
    if (timer_.tick(now)) fade_ += fadingOut_ ? -kFadeStep : kFadeStep;
    if (fade_ < 0.0f) {
        result.outcome = FINISHED;
        return result;
    }
    if (fade_ > 1.0f) fade_ = 1.0f;
    if (keys.isKeyDown(kVkEnter) || keys.isKeyDown(kVkSpace) || keys.isKeyDown(kVkEscape)) fadingOut_ = true;
    if (altF4Down(keys)) {
        result.outcome = QUIT;
        return result;
    }
    result.drawFrame = frameTimer.tick(now);
    return result;
}

std::uint32_t Splash::untilDue(std::uint32_t now, const LoopTimer& frameTimer) const {
    return std::min(timer_.untilDue(now), frameTimer.untilDue(now));
}

}  // namespace flikka
