#include "sim/KeyState.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using flikka::KeySampler;
using flikka::KeyState;

namespace {

// A keyboard whose keys the test holds down; it also records the order of the queries.
class ScriptedKeyboard : public flikka::IKeyboardDevice {
public:
    std::set<int> down;
    mutable std::vector<int> queried;

    bool isKeyDown(int virtualKey) const override {
        queried.push_back(virtualKey);
        return down.count(virtualKey) != 0;
    }
};

int slotsDown(const KeyState& k) {
    int n = 0;
    for (bool b : k.current) n += b ? 1 : 0;
    return n;
}

TEST(KeyState, SlotsReadTheirBoundKeysInTheFixedOrder) {
    ScriptedKeyboard kb;
    KeyState k;
    KeySampler in{&kb};
    int table[KeyState::kSlots];
    for (int i = 0; i < KeyState::kSlots; ++i) table[i] = 100 + i;
    in.keyTable = table;

    k.poll(in.sample());
    const std::vector<int> order = {102, 103, 100, 101, 104, 105, 106, 107, 109, 112, 113, 110, 111, 114, 115};
    EXPECT_EQ(kb.queried, order);  // slot 8's key is never asked for

    for (int i = 0; i < KeyState::kSlots; ++i) {
        kb.down = {100 + i};
        k.poll(in.sample());
        EXPECT_EQ(slotsDown(k), i == flikka::SLOT_NONE ? 0 : 1) << "slot " << i;
        EXPECT_EQ(k.current[i], i != flikka::SLOT_NONE) << "slot " << i;
    }
}

TEST(KeyState, SlotEightReadsReleasedWhateverItIsBoundTo) {
    ScriptedKeyboard kb;
    KeyState k;
    KeySampler in{&kb};
    int table[KeyState::kSlots] = {37, 39, 38, 40, 68, 83, 65, 81, 65, 69, 38, 40, 37, 39, 13, 27};
    in.keyTable = table;
    kb.down = {65};
    k.current[flikka::SLOT_NONE] = true;  // even a stale value is cleared
    k.poll(in.sample());
    EXPECT_TRUE(k.current[flikka::SLOT_CROSS]);
    EXPECT_FALSE(k.current[flikka::SLOT_NONE]);
    EXPECT_TRUE(k.previous[flikka::SLOT_NONE]);
}

TEST(KeyState, DefaultBindingsAndMissingKeyboard) {
    ScriptedKeyboard kb;
    KeyState k;
    KeySampler in{&kb};
    kb.down = {38, 13, 27};  // Up arrow, Enter, Escape
    k.poll(in.sample());
    EXPECT_TRUE(k.current[flikka::SLOT_UP]);
    EXPECT_TRUE(k.current[flikka::SLOT_FIXED_UP]);
    EXPECT_TRUE(k.current[flikka::SLOT_ENTER]);
    EXPECT_TRUE(k.current[flikka::SLOT_ESCAPE]);
    EXPECT_EQ(slotsDown(k), 4);
    kb.down = {68, 83, 65, 81, 69};  // D S A Q E
    k.poll(in.sample());
    EXPECT_TRUE(k.current[flikka::SLOT_SHOOT] && k.current[flikka::SLOT_PASS] && k.current[flikka::SLOT_CROSS] &&
                k.current[flikka::SLOT_THRU] && k.current[flikka::SLOT_SWITCH]);
    EXPECT_EQ(slotsDown(k), 5);

    in.keyboard = nullptr;
    k.poll(in.sample());
    EXPECT_EQ(slotsDown(k), 0);
    EXPECT_TRUE(k.previous[flikka::SLOT_SHOOT]);
}

TEST(KeyState, HeldTimeResetsOnlyOnAFreshPress) {
    ScriptedKeyboard kb;
    KeyState k;
    KeySampler in{&kb};
    k.heldTime[flikka::SLOT_PASS] = 3.0f;
    k.heldTime[flikka::SLOT_SHOOT] = 3.0f;
    kb.down = {83};
    k.poll(in.sample());
    EXPECT_TRUE(k.current[flikka::SLOT_PASS] && !k.previous[flikka::SLOT_PASS]);
    EXPECT_FLOAT_EQ(k.heldTime[flikka::SLOT_PASS], 0.0f);
    EXPECT_FLOAT_EQ(k.heldTime[flikka::SLOT_SHOOT], 3.0f);

    for (int step = 0; step < 3; ++step) {
        k.advanceHeldTimes(0.005f);
        k.poll(in.sample());  // still down: keeps growing
    }
    EXPECT_TRUE(k.previous[flikka::SLOT_PASS] && k.current[flikka::SLOT_PASS]);
    EXPECT_FLOAT_EQ(k.heldTime[flikka::SLOT_PASS], 0.015f);
    EXPECT_FLOAT_EQ(k.heldTime[flikka::SLOT_SHOOT], 3.015f);  // grows whether down or not

    kb.down.clear();
    k.poll(in.sample());
    k.advanceHeldTimes(0.005f);
    EXPECT_FLOAT_EQ(k.heldTime[flikka::SLOT_PASS], 0.02f);
    kb.down = {83};
    k.poll(in.sample());
    EXPECT_FLOAT_EQ(k.heldTime[flikka::SLOT_PASS], 0.0f);
}

TEST(KeyState, ClearKeepsLocksAndLocksHideTheSlot) {
    ScriptedKeyboard kb;
    KeyState k;
    KeySampler in{&kb};
    kb.down = {68};
    k.poll(in.sample());
    k.advanceHeldTimes(0.1f);
    k.locked[flikka::SLOT_SHOOT] = true;
    EXPECT_TRUE(k.current[flikka::SLOT_SHOOT]);
    EXPECT_FALSE(k.pressed(flikka::SLOT_SHOOT));

    kb.down.clear();
    k.poll(in.sample());
    EXPECT_FALSE(k.released(flikka::SLOT_SHOOT));
    k.locked[flikka::SLOT_SHOOT] = false;
    EXPECT_TRUE(k.released(flikka::SLOT_SHOOT));
    EXPECT_FALSE(k.pressed(flikka::SLOT_SHOOT));

    k.locked[flikka::SLOT_PASS] = true;
    kb.down = {68};
    k.poll(in.sample());
    EXPECT_TRUE(k.pressed(flikka::SLOT_SHOOT));
    k.clear();
    for (int i = 0; i < KeyState::kSlots; ++i) {
        EXPECT_FALSE(k.previous[i]);
        EXPECT_FALSE(k.current[i]);
        EXPECT_EQ(k.heldTime[i], 0.0f);
        EXPECT_EQ(k.locked[i], i == flikka::SLOT_PASS);
    }
}

}  // namespace
