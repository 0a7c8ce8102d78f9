#pragma once
// The 16 key slots the match reads each step. The keyboard is reached through a small
// interface so that tests, the headless runner and bug replays can script it.

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

class KeyState {
public:
    static constexpr int kSlots = 16;

    bool previous[kSlots] = {};
    bool current[kSlots] = {};
    float heldTime[kSlots] = {};
    bool locked[kSlots] = {};
    const IKeyboardDevice* keyboard = nullptr;
    // The settings' key table (16 Windows virtual-key codes); the default bindings when null.
    const int* keyTable = nullptr;
    // OR-ed with the keyboard at each poll (a gamepad); none when null.
    const IKeySlotSource* slotSource = nullptr;

    // Reads every slot's key (bound by the settings' key table) and the slot source; slot 8
    // always reads released.
    void pollKeys();
    void advanceHeldTimes(float dt);
    void clear();  // previous, current, heldTime; not the locks

    bool pressed(int slot) const { return current[slot] && !locked[slot]; }
    bool released(int slot) const { return previous[slot] && !current[slot] && !locked[slot]; }
};

}  // namespace flikka
