#pragma once
// The 16 key slots the match reads each step. The match holds only their states; devices are
// read outside it (by a sampler) into one 16-bit word per human and step, so that the game,
// replays, the headless runner, bots and tests all feed the match the same way.
#include <cstdint>

namespace flikka {

class IKeyboardDevice {
public:
    virtual ~IKeyboardDevice() = default;
    // True while the key with this Windows virtual-key code is down. Unknown codes read as up.
    virtual bool isKeyDown(int virtualKey) const = 0;
};

// Another source of slot states beside the keyboard, such as a gamepad: it names the slots it
// holds down directly, whatever keys the settings bind.
class IKeySlotSource {
public:
    virtual ~IKeySlotSource() = default;
    virtual bool slotDown(int slot) const = 0;
};

enum KeySlot {
    SLOT_LEFT = 0, SLOT_RIGHT = 1, SLOT_UP = 2, SLOT_DOWN = 3,
    SLOT_SHOOT = 4, SLOT_PASS = 5, SLOT_CROSS = 6, SLOT_THRU = 7,
    SLOT_NONE = 8, SLOT_SWITCH = 9,
    SLOT_FIXED_UP = 10, SLOT_FIXED_DOWN = 11, SLOT_FIXED_LEFT = 12, SLOT_FIXED_RIGHT = 13,
    SLOT_ENTER = 14, SLOT_ESCAPE = 15,
};

// One step's input: each human's slots, bit i for slot i.
struct StepInput {
    static constexpr int kMaxHumans = 2;
    std::uint16_t slots[kMaxHumans] = {};
};

class KeyState {
public:
    static constexpr int kSlots = 16;

    bool previous[kSlots] = {};
    bool current[kSlots] = {};
    float heldTime[kSlots] = {};
    bool locked[kSlots] = {};

    // Takes one step's slots (bit i: slot i down); slot 8 always reads released.
    void poll(std::uint16_t down);
    void advanceHeldTimes(float dt);
    void clear();  // previous, current, heldTime; not the locks

    bool pressed(int slot) const { return current[slot] && !locked[slot]; }
    bool released(int slot) const { return previous[slot] && !current[slot] && !locked[slot]; }
};

// Reads one human's devices into slot bits: the keyboard through a key table, OR-ed with
// another slot source such as a gamepad.
struct KeySampler {
    const IKeyboardDevice* keyboard = nullptr;
    // The settings' key table (16 Windows virtual-key codes); the default bindings when null.
    const int* keyTable = nullptr;
    // OR-ed with the keyboard (a gamepad); none when null.
    const IKeySlotSource* slotSource = nullptr;

    std::uint16_t sample() const;
};

}  // namespace flikka
