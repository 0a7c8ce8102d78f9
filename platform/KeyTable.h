#pragma once
// The reverse direction of the key table, for the keyboard's event queue.

namespace flikka::platform {

int virtualKeyForScancode(int scancode);  // 0 for a key the settings cannot hold
// Generic keys have a second physical key (right Shift, keypad Enter ...); -1 when none.
int secondScancodeForVirtualKey(int virtualKey);

}  // namespace flikka::platform
