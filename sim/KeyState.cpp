#include "sim/KeyState.h"

namespace flikka {

namespace {

// The default bindings, used when no settings table is attached. Slot 8 has no key.
constexpr int kDefaultKeys[KeyState::kSlots] = {37, 39, 38, 40, 68, 83, 65, 81, 0, 69, 38, 40, 37, 39, 13, 27};

// Slots in the order they are read; slot 8 is set to released between 6 and 7.
constexpr int kReadOrderBefore[] = {SLOT_UP, SLOT_DOWN, SLOT_LEFT, SLOT_RIGHT, SLOT_SHOOT, SLOT_PASS, SLOT_CROSS};
constexpr int kReadOrderAfter[] = {SLOT_THRU,       SLOT_SWITCH,    SLOT_FIXED_LEFT, SLOT_FIXED_RIGHT,
                                   SLOT_FIXED_UP,   SLOT_FIXED_DOWN, SLOT_ENTER,     SLOT_ESCAPE};

}  // namespace

void KeyState::pollKeys() {
    const int* table = keyTable != nullptr ? keyTable : kDefaultKeys;
    auto read = [&](int slot) {
        current[slot] = (keyboard != nullptr && keyboard->isKeyDown(table[slot])) ||
                        (slotSource != nullptr && slotSource->slotDown(slot));
    };

    for (int i = 0; i < kSlots; ++i) previous[i] = current[i];
    for (int slot : kReadOrderBefore) read(slot);
    current[SLOT_NONE] = false;
    for (int slot : kReadOrderAfter) read(slot);
    for (int i = 0; i < kSlots; ++i) {
        if (!previous[i] && current[i]) heldTime[i] = 0.0f;
    }
}

void KeyState::advanceHeldTimes(float dt) {
    for (float& t : heldTime) t += dt;
}

void KeyState::clear() {
    for (int i = 0; i < kSlots; ++i) {
        previous[i] = false;
        current[i] = false;
        heldTime[i] = 0.0f;
    }
}

}  // namespace flikka
