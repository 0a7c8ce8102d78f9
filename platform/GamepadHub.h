#pragma once
// The display's side of the gamepads: it forwards the device events of its event pump and lets
// the pads read themselves once per keepAlive.
#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/Gamepad.h"
#include "platform/Platform.h"

namespace flikka::platform {

class GamepadHub : public Gamepads {
public:
    virtual void handleEvent(const SDL_Event& event) = 0;  // controller added or removed
    // Reads every pad; the menu key events of what changed go to `menuEvents`.
    virtual void update(std::vector<KeyEvent>& menuEvents) = 0;
};

// Opens SDL's game controller subsystem when `enabled`; without it (or when it fails) there
// are simply no pads.
std::unique_ptr<GamepadHub> makeGamepadHub(bool enabled);

}  // namespace flikka::platform
