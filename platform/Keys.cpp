// Windows virtual-key codes (what the settings file stores) against SDL scancodes, key names,
// and the clock.
#include <SDL.h>

#include <array>

#include "platform/KeyTable.h"
#include "platform/Platform.h"

namespace flikka::platform {

namespace {

struct KeyEntry {
    int virtualKey;
    SDL_Scancode scancode;
    const char* name;
};

// Names follow the Windows key-name texts where the game's fonts can show them; punctuation the
// fonts lack is spelled out.
constexpr KeyEntry kKeys[] = {
    {8, SDL_SCANCODE_BACKSPACE, "Backspace"},
    {9, SDL_SCANCODE_TAB, "Tab"},
    {12, SDL_SCANCODE_CLEAR, "Clear"},
    {13, SDL_SCANCODE_RETURN, "Enter"},
    {16, SDL_SCANCODE_LSHIFT, "Shift"},
    {17, SDL_SCANCODE_LCTRL, "Ctrl"},
    {18, SDL_SCANCODE_LALT, "Alt"},
    {19, SDL_SCANCODE_PAUSE, "Pause"},
    {20, SDL_SCANCODE_CAPSLOCK, "Caps Lock"},
    {27, SDL_SCANCODE_ESCAPE, "Esc"},
    {32, SDL_SCANCODE_SPACE, "Space"},
    {33, SDL_SCANCODE_PAGEUP, "Page Up"},
    {34, SDL_SCANCODE_PAGEDOWN, "Page Down"},
    {35, SDL_SCANCODE_END, "End"},
    {36, SDL_SCANCODE_HOME, "Home"},
    {37, SDL_SCANCODE_LEFT, "Left"},
    {38, SDL_SCANCODE_UP, "Up"},
    {39, SDL_SCANCODE_RIGHT, "Right"},
    {40, SDL_SCANCODE_DOWN, "Down"},
    {44, SDL_SCANCODE_PRINTSCREEN, "Prnt Scrn"},
    {45, SDL_SCANCODE_INSERT, "Insert"},
    {46, SDL_SCANCODE_DELETE, "Delete"},
    {48, SDL_SCANCODE_0, "0"},
    {49, SDL_SCANCODE_1, "1"},
    {50, SDL_SCANCODE_2, "2"},
    {51, SDL_SCANCODE_3, "3"},
    {52, SDL_SCANCODE_4, "4"},
    {53, SDL_SCANCODE_5, "5"},
    {54, SDL_SCANCODE_6, "6"},
    {55, SDL_SCANCODE_7, "7"},
    {56, SDL_SCANCODE_8, "8"},
    {57, SDL_SCANCODE_9, "9"},
    {65, SDL_SCANCODE_A, "A"},
    {66, SDL_SCANCODE_B, "B"},
    {67, SDL_SCANCODE_C, "C"},
    {68, SDL_SCANCODE_D, "D"},
    {69, SDL_SCANCODE_E, "E"},
    {70, SDL_SCANCODE_F, "F"},
    {71, SDL_SCANCODE_G, "G"},
    {72, SDL_SCANCODE_H, "H"},
    {73, SDL_SCANCODE_I, "I"},
    {74, SDL_SCANCODE_J, "J"},
    {75, SDL_SCANCODE_K, "K"},
    {76, SDL_SCANCODE_L, "L"},
    {77, SDL_SCANCODE_M, "M"},
    {78, SDL_SCANCODE_N, "N"},
    {79, SDL_SCANCODE_O, "O"},
    {80, SDL_SCANCODE_P, "P"},
    {81, SDL_SCANCODE_Q, "Q"},
    {82, SDL_SCANCODE_R, "R"},
    {83, SDL_SCANCODE_S, "S"},
    {84, SDL_SCANCODE_T, "T"},
    {85, SDL_SCANCODE_U, "U"},
    {86, SDL_SCANCODE_V, "V"},
    {87, SDL_SCANCODE_W, "W"},
    {88, SDL_SCANCODE_X, "X"},
    {89, SDL_SCANCODE_Y, "Y"},
    {90, SDL_SCANCODE_Z, "Z"},
    {91, SDL_SCANCODE_LGUI, "Left Windows"},
    {92, SDL_SCANCODE_RGUI, "Right Windows"},
    {93, SDL_SCANCODE_APPLICATION, "Application"},
    {96, SDL_SCANCODE_KP_0, "Num 0"},
    {97, SDL_SCANCODE_KP_1, "Num 1"},
    {98, SDL_SCANCODE_KP_2, "Num 2"},
    {99, SDL_SCANCODE_KP_3, "Num 3"},
    {100, SDL_SCANCODE_KP_4, "Num 4"},
    {101, SDL_SCANCODE_KP_5, "Num 5"},
    {102, SDL_SCANCODE_KP_6, "Num 6"},
    {103, SDL_SCANCODE_KP_7, "Num 7"},
    {104, SDL_SCANCODE_KP_8, "Num 8"},
    {105, SDL_SCANCODE_KP_9, "Num 9"},
    {106, SDL_SCANCODE_KP_MULTIPLY, "Num *"},
    {107, SDL_SCANCODE_KP_PLUS, "Num Plus"},
    {109, SDL_SCANCODE_KP_MINUS, "Num -"},
    {110, SDL_SCANCODE_KP_PERIOD, "Num Del"},
    {111, SDL_SCANCODE_KP_DIVIDE, "Num Slash"},
    {112, SDL_SCANCODE_F1, "F1"},
    {113, SDL_SCANCODE_F2, "F2"},
    {114, SDL_SCANCODE_F3, "F3"},
    {115, SDL_SCANCODE_F4, "F4"},
    {116, SDL_SCANCODE_F5, "F5"},
    {117, SDL_SCANCODE_F6, "F6"},
    {118, SDL_SCANCODE_F7, "F7"},
    {119, SDL_SCANCODE_F8, "F8"},
    {120, SDL_SCANCODE_F9, "F9"},
    {121, SDL_SCANCODE_F10, "F10"},
    {122, SDL_SCANCODE_F11, "F11"},
    {123, SDL_SCANCODE_F12, "F12"},
    {144, SDL_SCANCODE_NUMLOCKCLEAR, "Num Lock"},
    {145, SDL_SCANCODE_SCROLLLOCK, "Scroll Lock"},
    {160, SDL_SCANCODE_LSHIFT, "Left Shift"},
    {161, SDL_SCANCODE_RSHIFT, "Right Shift"},
    {162, SDL_SCANCODE_LCTRL, "Left Ctrl"},
    {163, SDL_SCANCODE_RCTRL, "Right Ctrl"},
    {164, SDL_SCANCODE_LALT, "Left Alt"},
    {165, SDL_SCANCODE_RALT, "Right Alt"},
    {186, SDL_SCANCODE_SEMICOLON, ";"},
    {187, SDL_SCANCODE_EQUALS, "Equals"},
    {188, SDL_SCANCODE_COMMA, ","},
    {189, SDL_SCANCODE_MINUS, "-"},
    {190, SDL_SCANCODE_PERIOD, "."},
    {191, SDL_SCANCODE_SLASH, "Slash"},
    {192, SDL_SCANCODE_GRAVE, "Grave"},
    {219, SDL_SCANCODE_LEFTBRACKET, "["},
    {220, SDL_SCANCODE_BACKSLASH, "Backslash"},
    {221, SDL_SCANCODE_RIGHTBRACKET, "]"},
    {222, SDL_SCANCODE_APOSTROPHE, "Apostrophe"},
};

constexpr int kTableSize = 256;

struct Tables {
    std::array<int, kTableSize> scancode{};
    std::array<const char*, kTableSize> name{};
    std::array<int, SDL_NUM_SCANCODES> virtualKey{};
    Tables() {
        scancode.fill(-1);
        name.fill(nullptr);
        virtualKey.fill(0);
        for (const KeyEntry& e : kKeys) {
            scancode[static_cast<std::size_t>(e.virtualKey)] = e.scancode;
            name[static_cast<std::size_t>(e.virtualKey)] = e.name;
        }
        // Events report the generic modifier codes, as Windows does; later entries would
        // otherwise claim the left-hand scancodes.
        for (const KeyEntry& e : kKeys) {
            if (e.virtualKey >= 160 && e.virtualKey <= 165) continue;
            virtualKey[static_cast<std::size_t>(e.scancode)] = e.virtualKey;
        }
        virtualKey[SDL_SCANCODE_RSHIFT] = 16;
        virtualKey[SDL_SCANCODE_RCTRL] = 17;
        virtualKey[SDL_SCANCODE_RALT] = 18;
        virtualKey[SDL_SCANCODE_KP_ENTER] = 13;
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

}  // namespace

int scancodeForVirtualKey(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= kTableSize) return -1;
    return tables().scancode[static_cast<std::size_t>(virtualKey)];
}

int virtualKeyForScancode(int scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return tables().virtualKey[static_cast<std::size_t>(scancode)];
}

int secondScancodeForVirtualKey(int virtualKey) {
    switch (virtualKey) {
        case 13: return SDL_SCANCODE_KP_ENTER;
        case 16: return SDL_SCANCODE_RSHIFT;
        case 17: return SDL_SCANCODE_RCTRL;
        case 18: return SDL_SCANCODE_RALT;
        default: return -1;
    }
}

std::string keyName(int virtualKey) {
    if (virtualKey >= 0 && virtualKey < kTableSize) {
        const char* n = tables().name[static_cast<std::size_t>(virtualKey)];
        if (n != nullptr) return n;
    }
    return "Key " + std::to_string(virtualKey);
}

std::uint32_t ticks() { return SDL_GetTicks(); }

void sleepMs(std::uint32_t ms) { SDL_Delay(ms); }

}  // namespace flikka::platform
