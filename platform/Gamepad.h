#pragma once
// Game controllers as the game sees them: key slots for the match, key events for the menus,
// and rumble. The pad never reaches the match any other way, so whatever reads the key slots
// (user control, the replay recorder) treats it like the keyboard.
#include <cstdint>
#include <memory>
#include <string>

#include "sim/KeyState.h"

namespace flikka::platform {

// Button and axis numbers of SDL's game controller layout (what config/flikka.xml stores).
enum PadButton {
    PAD_A = 0, PAD_B, PAD_X, PAD_Y, PAD_BACK, PAD_GUIDE, PAD_START, PAD_LEFT_STICK, PAD_RIGHT_STICK,
    PAD_LB, PAD_RB, PAD_UP, PAD_DOWN, PAD_LEFT, PAD_RIGHT, PAD_MISC, PAD_PADDLE1, PAD_PADDLE2,
    PAD_PADDLE3, PAD_PADDLE4, PAD_TOUCHPAD,
    PAD_BUTTONS
};
enum PadAxis { PAD_LEFT_X = 0, PAD_LEFT_Y, PAD_RIGHT_X, PAD_RIGHT_Y, PAD_LEFT_TRIGGER, PAD_RIGHT_TRIGGER, PAD_AXES };

std::string padButtonName(int button);
// Start pauses, the d-pad steers and Guide belongs to the system: no action can take them.
bool padButtonBindable(int button);

// The button that plays each action.
struct PadBindings {
    int shoot = PAD_B;
    int pass = PAD_A;
    int cross = PAD_X;
    int thru = PAD_LB;
    int switchPlayer = PAD_Y;
};

// One pad as read at the last keepAlive.
struct PadState {
    bool buttons[PAD_BUTTONS] = {};
    int axes[PAD_AXES] = {};  // -32768 .. 32767; stick y grows downwards
};

namespace pad {

inline constexpr float kDeadZone = 0.25f;  // of the stick's full travel

struct Directions {
    bool left = false, right = false, up = false, down = false;
};
// The d-pad together with the left stick: eight directions, the stick's each 45 degrees wide,
// nothing inside the dead zone.
Directions directions(const PadState& s);
// Whether the pad holds a key slot down: the run slots and the fixed arrows from the
// directions, the action slots from their buttons, Enter from A and Escape from Start.
bool slotDown(const PadState& s, const PadBindings& b, int slot);
// The key a button stands for in the menus (A Enter, Start Escape, d-pad arrows); 0 for none.
int menuKeyOf(int button);
// The arrow key the stick holds in the menus given the one it held before (0 for none): a push
// past half way takes the stronger axis, and it lasts until the stick comes back under 0.3.
int stickMenuKey(const PadState& s, int heldKey);

}  // namespace pad

class Gamepads {
public:
    virtual ~Gamepads() = default;

    virtual bool enabled() const = 0;  // the controller subsystem is open
    virtual int count() const = 0;
    virtual std::string name(int seat) const = 0;
    // Mappings for pads SDL does not know (SDL_GAMECONTROLLERCONFIG is read anyway); the number
    // added, -1 when the file cannot be read.
    virtual int addMappingsFromFile(const std::string& path) = 0;

    // The key slots of the pad in a seat: seat 0 is the pad plugged in last, seat 1 the one
    // before it. It reads all released while no pad sits there, so it can stay attached to a
    // KeyState through every plug and unplug.
    virtual const IKeySlotSource& seat(int n) const = 0;
    // A, Start, the d-pad and the stick of every pad as Enter, Escape and the arrow keys.
    virtual const IKeyboardDevice& menuKeys() const = 0;
    virtual void setBindings(const PadBindings& bindings) = 0;
    // Buttons down now read as released in the seats until they are let go: the A that left
    // the menu must not also pass the ball.
    virtual void ignoreHeldButtons() = 0;
    // Rumbles the seat's pad (strengths 0 .. 1); false when it has no motor or no pad sits there.
    virtual bool rumble(int seat, float low, float high, std::uint32_t ms) = 0;
};

// A pad that exists only in software (SDL's virtual joystick) for tests and demonstrations.
// Needs a display opened with gamepads; the next keepAlive sees it plugged in, and sees it
// pulled out once it is destroyed.
class VirtualPad {
public:
    VirtualPad();
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void setButton(int button, bool down);
    void setAxis(int axis, int value);
    // What the game last asked of its motors (0 .. 65535) and how often it asked.
    unsigned lowRumble() const;
    unsigned highRumble() const;
    int rumbles() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace flikka::platform
