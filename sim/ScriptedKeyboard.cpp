#include "sim/ScriptedKeyboard.h"

#include <utility>

namespace flikka {

const int ScriptedKeyboard::kKeyTable[KeyState::kSlots] = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007,
                                                          1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015};

ScriptedKeyboard::ScriptedKeyboard(std::vector<KeyChange> changes) : changes_(std::move(changes)) {}

void ScriptedKeyboard::advanceTo(std::uint64_t step) {
    while (next_ < changes_.size() && changes_[next_].step <= step) {
        const KeyChange& c = changes_[next_++];
        if (c.slot >= 0 && c.slot < KeyState::kSlots) down_[c.slot] = c.down;
    }
}

bool ScriptedKeyboard::isKeyDown(int virtualKey) const {
    const int slot = virtualKey - kCodeBase;
    return slot >= 0 && slot < KeyState::kSlots && down_[slot];
}

}  // namespace flikka
