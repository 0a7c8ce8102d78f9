#include "sim/KeyState.h"

namespace flikka {

namespace {

// The default bindings, used when no settings table is attached. Slot 8 has no key.
constexpr int kDefaultKeys[KeyState::kSlots] = {37, 39, 38, 40, 68, 83, 65, 81, 0, 69, 38, 40, 37, 39, 13, 27};

// Slots in the order they are read; slot 8 has no key and is never read.
constexpr int kReadOrder[] = {SLOT_UP,         SLOT_DOWN,        SLOT_LEFT,     SLOT_RIGHT,      SLOT_SHOOT,
                              SLOT_PASS,       SLOT_CROSS,       SLOT_THRU,     SLOT_SWITCH,     SLOT_FIXED_LEFT,
                              SLOT_FIXED_RIGHT, SLOT_FIXED_UP,   SLOT_FIXED_DOWN, SLOT_ENTER,    SLOT_ESCAPE};

}  // namespace

std::uint16_t KeySampler::sample() const {
    const int* table = keyTable != nullptr ? keyTable : kDefaultKeys;
    std::uint16_t down = 0;
    for (int slot : kReadOrder) {
        const bool d = (keyboard != nullptr && keyboard->isKeyDown(table[slot])) ||
                       (slotSource != nullptr && slotSource->slotDown(slot));
        if (d) down = static_cast<std::uint16_t>(down | (1u << slot));
    }
    return down;
}

void KeyState::poll(std::uint16_t down) {
    for (int i = 0; i < kSlots; ++i) {
        previous[i] = current[i];
        current[i] = i != SLOT_NONE && ((down >> i) & 1u) != 0;
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
