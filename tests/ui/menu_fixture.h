#pragma once
// A key-event source scripted by the test, standing in for the window's keyboard.
#include <deque>

#include "platform/Platform.h"

namespace flikka::testing {

class ScriptedKeyboard : public platform::Keyboard {
public:
    std::deque<platform::KeyEvent> queue;
    int flushes = 0;

    bool isKeyDown(int) const override { return false; }
    bool pollEvent(platform::KeyEvent& event) override {
        if (queue.empty()) return false;
        event = queue.front();
        queue.pop_front();
        return true;
    }
    void flushEvents() override {
        queue.clear();
        ++flushes;
    }

    // A key going down and up again, as a player taps it.
    void tap(int vk) {
        queue.push_back({vk, true, false});
        queue.push_back({vk, false, false});
    }
};

}  // namespace flikka::testing
