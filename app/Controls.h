#pragma once
// The keyboard and the gamepads together, as the loop sees them: the keys it tests itself
// (a pad's A, Start and directions count as Enter, Escape and the arrows), player one's pad
// slots beside the keyboard's, and rumble on shots and goals.
#include <vector>

#include "platform/Gamepad.h"
#include "sim/KeyState.h"
#include "sim/MatchEvents.h"

namespace flikka {

// Down when down on either device.
class EitherKeyboard final : public IKeyboardDevice {
public:
    EitherKeyboard(const IKeyboardDevice& a, const IKeyboardDevice& b) : a_(a), b_(b) {}
    bool isKeyDown(int virtualKey) const override { return a_.isKeyDown(virtualKey) || b_.isKeyDown(virtualKey); }

private:
    const IKeyboardDevice& a_;
    const IKeyboardDevice& b_;
};

class Controls {
public:
    // Player one's pad: the one plugged in last.
    static constexpr int kPlayerOneSeat = 0;

    Controls(const IKeyboardDevice& keyboard, platform::Gamepads& pads);

    const IKeyboardDevice& loopKeys() const { return either_; }
    // Player one's pad fills the key slots beside the keyboard, whichever pad that is by now.
    void attach(KeySampler& keys) const { keys.slotSource = &pads_.seat(kPlayerOneSeat); }
    // With two humans the pad is player 2's (player 1 keeps his keys alone); else player 1's.
    void attach(KeySampler& player1, KeySampler& player2, bool twoHumans) const {
        player1.slotSource = twoHumans ? nullptr : &pads_.seat(kPlayerOneSeat);
        player2.slotSource = twoHumans ? &pads_.seat(kPlayerOneSeat) : nullptr;
    }
    bool pauseRequested() const;
    // Play starts or resumes: the settings' pad buttons, and the buttons still held from the
    // menu do nothing until they are let go.
    void enterMatch();
    // Rumble for a shot or a goal among the last step's events, unless the settings say no.
    void afterStep(const std::vector<MatchEvent>& events);

private:
    platform::Gamepads& pads_;
    EitherKeyboard either_;
};

}  // namespace flikka
