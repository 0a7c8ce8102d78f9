#pragma once
// A keyboard played from a list of key-slot changes by step: the headless runner's key scripts
// and the replays of recorded matches. Each slot has its own key code, so a scripted slot never
// aliases another slot that the settings bind to the same key.
#include <cstdint>
#include <vector>

#include "sim/KeyState.h"

namespace flikka {

struct KeyChange {
    std::uint64_t step = 0;  // applied before the key poll of this step
    int slot = 0;
    bool down = false;
};

class ScriptedKeyboard : public IKeyboardDevice {
public:
    static constexpr int kCodeBase = 1000;
    // The key table to give the KeyState: slot i reads code kCodeBase + i.
    static const int kKeyTable[KeyState::kSlots];

    ScriptedKeyboard() = default;
    // Changes in step order (stable: later entries of one step win).
    explicit ScriptedKeyboard(std::vector<KeyChange> changes);

    // Applies every change due at or before this step.
    void advanceTo(std::uint64_t step);
    bool isKeyDown(int virtualKey) const override;

private:
    std::vector<KeyChange> changes_;
    std::size_t next_ = 0;
    bool down_[KeyState::kSlots] = {};
};

}  // namespace flikka
