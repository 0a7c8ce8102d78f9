#pragma once
// The start-up splash: the image fades in, stays until Enter, Space or Escape, then fades out.
#include <cstdint>

#include "sim/KeyState.h"
#include "app/LoopTimer.h"

namespace flikka {

class Splash {
public:
    enum Outcome { RUNNING, FINISHED, QUIT };
    struct Pass {
        Outcome outcome = RUNNING;
        bool drawFrame = false;  // the frame timer fired: draw the splash at fade()
    };

    static constexpr float kFadeStep = 0.005f;  // per 5 ms: one second to fade in or out

    void start(std::uint32_t now);
    // One 5 ms step on a timer outside: the fade moves, then the keys are read.
    Outcome step(const IKeyboardDevice& keys);
    // One pass of a loop of the splash's own, on its fade timer, after the window events were
    // processed: a step when the fade timer fires, the keys read on every pass.
    Pass pass(std::uint32_t now, const IKeyboardDevice& keys, LoopTimer& frameTimer);
    // Milliseconds until the fade or the frame timer is due.
    std::uint32_t untilDue(std::uint32_t now, const LoopTimer& frameTimer) const;

    float fade() const { return fade_; }
    bool fadingOut() const { return fadingOut_; }

private:
    // Ends below zero, stops at one; Enter, Space or Escape starts the fade-out, Alt+F4 quits.
    Outcome settle(const IKeyboardDevice& keys);

    LoopTimer timer_{5};
    float fade_ = 0.0f;
    bool fadingOut_ = false;
};

// Virtual-key codes the loop tests itself, whatever the bindings.
inline constexpr int kVkEnter = 13;
inline constexpr int kVkSpace = 32;
inline constexpr int kVkEscape = 27;
inline constexpr int kVkAlt = 18;
inline constexpr int kVkF4 = 115;

inline bool altF4Down(const IKeyboardDevice& keys) { return keys.isKeyDown(kVkAlt) && keys.isKeyDown(kVkF4); }

}  // namespace flikka
