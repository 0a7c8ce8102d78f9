#pragma once
// A simple player in the human's place (flikka-sim --bot): it presses the same key slots a
// player does. With the ball it runs at goal, passes when an opponent is close and shoots inside
// the box; without it, it runs at the ball.
#include "sim/KeyState.h"

namespace flikka {

class CMatch;

class BotKeyboard : public IKeyboardDevice {
public:
    static constexpr int kCodeBase = 1000;  // slot i reads the key code kCodeBase + i

    // Decides this step's keys from the match as it stands; call before polling the keys.
    void decide(const CMatch& m);
    bool isKeyDown(int virtualKey) const override;

private:
    void clearArrows();
    void aimAt(float dx, float dy);

    bool down_[KeyState::kSlots] = {};
    int kickSlot_ = -1;   // the kick key being held, released after a few steps
    int holdSteps_ = 0;
    int cooldown_ = 0;
};

}  // namespace flikka
