// Gamepads without hardware: the stick and d-pad rules on plain states, then SDL's virtual pad
// plugged into an off-screen display (hot-plug, seats, menu keys, held buttons, rumble).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/Gamepad.h"
#include "platform/Platform.h"

namespace fp = flikka::platform;
using flikka::KeySlot;

namespace {

constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kEnter = 13, kEscape = 27;

fp::PadState stick(int x, int y) {
    fp::PadState s;
    s.axes[fp::PAD_LEFT_X] = x;
    s.axes[fp::PAD_LEFT_Y] = y;
    return s;
}

// left, right, up, down as a string such as "ru" for up-right, "" for none.
std::string dirs(const fp::PadState& s) {
    const fp::pad::Directions d = fp::pad::directions(s);
    return std::string(d.left ? "l" : "") + (d.right ? "r" : "") + (d.up ? "u" : "") + (d.down ? "d" : "");
}

TEST(PadRules, StickGivesEightDirectionsOutsideTheDeadZoneAndTheDpadAddsItsOwn) {
    EXPECT_EQ(dirs(stick(0, 0)), "");
    EXPECT_EQ(dirs(stick(8000, 0)), "");        // 0.244: inside the dead zone
    EXPECT_EQ(dirs(stick(5600, 5600)), "");     // 0.242 from the centre along the diagonal
    EXPECT_EQ(dirs(stick(8600, 0)), "r");       // 0.262
    EXPECT_EQ(dirs(stick(0, -32768)), "u");     // y grows downwards
    EXPECT_EQ(dirs(stick(-20000, 20000)), "ld");
    // Sector edges at 22.5 degrees from each axis: 20 degrees is still straight, 25 diagonal.
    EXPECT_EQ(dirs(stick(30000, -10919)), "r");   // 20 degrees up from right
    EXPECT_EQ(dirs(stick(30000, -13989)), "ru");  // 25 degrees
    EXPECT_EQ(dirs(stick(10919, 30000)), "d");
    fp::PadState pad = stick(0, 0);
    pad.buttons[fp::PAD_UP] = pad.buttons[fp::PAD_LEFT] = true;
    EXPECT_EQ(dirs(pad), "lu");

    // Slots: directions on the run and fixed arrows, actions by binding, Enter A, Escape Start.
    fp::PadBindings b;
    fp::PadState s = stick(0, 32767);
    s.buttons[fp::PAD_B] = true;
    s.buttons[fp::PAD_START] = true;
    EXPECT_TRUE(fp::pad::slotDown(s, b, flikka::SLOT_DOWN));
    EXPECT_TRUE(fp::pad::slotDown(s, b, flikka::SLOT_FIXED_DOWN));
    EXPECT_FALSE(fp::pad::slotDown(s, b, flikka::SLOT_UP));
    EXPECT_TRUE(fp::pad::slotDown(s, b, flikka::SLOT_SHOOT));
    EXPECT_FALSE(fp::pad::slotDown(s, b, flikka::SLOT_PASS));
    EXPECT_TRUE(fp::pad::slotDown(s, b, flikka::SLOT_ESCAPE));
    EXPECT_FALSE(fp::pad::slotDown(s, b, flikka::SLOT_NONE));
    b.shoot = fp::PAD_RB;
    b.pass = fp::PAD_B;
    EXPECT_FALSE(fp::pad::slotDown(s, b, flikka::SLOT_SHOOT));
    EXPECT_TRUE(fp::pad::slotDown(s, b, flikka::SLOT_PASS));
    // Only buttons with no fixed role can be bound.
    for (int button : {int{fp::PAD_START}, int{fp::PAD_GUIDE}, int{fp::PAD_UP}, int{fp::PAD_RIGHT}, -1, int{fp::PAD_BUTTONS}}) {
        EXPECT_FALSE(fp::padButtonBindable(button)) << button;
    }
    for (int button : {fp::PAD_A, fp::PAD_Y, fp::PAD_BACK, fp::PAD_LB, fp::PAD_RB, fp::PAD_LEFT_STICK, fp::PAD_MISC}) {
        EXPECT_TRUE(fp::padButtonBindable(button)) << button;
    }
}

TEST(PadRules, StickMovesTheMenusOncePerPush) {
    EXPECT_EQ(fp::pad::stickMenuKey(stick(12000, 0), 0), 0);  // a lean is not a push
    EXPECT_EQ(fp::pad::stickMenuKey(stick(20000, 0), 0), kRight);
    EXPECT_EQ(fp::pad::stickMenuKey(stick(12000, 0), kRight), kRight);  // held until well back
    EXPECT_EQ(fp::pad::stickMenuKey(stick(9000, 0), kRight), 0);
    EXPECT_EQ(fp::pad::stickMenuKey(stick(-5000, -30000), 0), kUp);  // the stronger axis
    EXPECT_EQ(fp::pad::stickMenuKey(stick(-30000, 20000), 0), kLeft);
    EXPECT_EQ(fp::pad::stickMenuKey(stick(0, 30000), kLeft), kDown);  // swung round
}

std::unique_ptr<fp::Display> displayWithPads() {
    fp::WindowDescription d;
    d.width = 64;
    d.height = 48;
    d.offscreen = true;
    d.gamepads = true;
    return fp::Display::open(d);
}

std::vector<fp::KeyEvent> drain(fp::Display& display) {
    display.keepAlive();
    std::vector<fp::KeyEvent> out;
    fp::KeyEvent e;
    while (display.keyboard().pollEvent(e)) out.push_back(e);
    return out;
}

TEST(VirtualPads, PlugInTakesSeatOneUnplugHandsBackAndMenusGetKeys) {
    auto display = displayWithPads();
    fp::Gamepads& pads = display->gamepads();
    ASSERT_TRUE(pads.enabled());
    const flikka::IKeySlotSource& seat0 = pads.seat(0);
    EXPECT_EQ(pads.count(), 0);
    EXPECT_FALSE(seat0.slotDown(flikka::SLOT_PASS));

    auto first = std::make_unique<fp::VirtualPad>();
    first->setButton(fp::PAD_A, true);  // held while plugged in: waits for its release
    drain(*display);
    ASSERT_EQ(pads.count(), 1);
    EXPECT_EQ(pads.name(0), "Flikka virtual pad");
    EXPECT_FALSE(seat0.slotDown(flikka::SLOT_PASS));
    first->setButton(fp::PAD_A, false);
    drain(*display);
    first->setButton(fp::PAD_A, true);
    std::vector<fp::KeyEvent> events = drain(*display);
    EXPECT_TRUE(seat0.slotDown(flikka::SLOT_PASS));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].virtualKey, kEnter);
    EXPECT_TRUE(events[0].pressed && events[0].fromPad);
    EXPECT_EQ(events[0].padButton, fp::PAD_A);
    EXPECT_TRUE(pads.menuKeys().isKeyDown(kEnter));

    // Buttons held when play begins wait for their release; the stick does not.
    pads.ignoreHeldButtons();
    first->setAxis(fp::PAD_LEFT_X, -30000);
    events = drain(*display);
    EXPECT_FALSE(seat0.slotDown(flikka::SLOT_PASS));
    EXPECT_TRUE(seat0.slotDown(flikka::SLOT_LEFT));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].virtualKey, kLeft);
    EXPECT_EQ(events[0].padButton, -1);

    // A second pad takes seat 0 at once; the first moves to seat 1.
    auto second = std::make_unique<fp::VirtualPad>();
    drain(*display);
    ASSERT_EQ(pads.count(), 2);
    EXPECT_FALSE(seat0.slotDown(flikka::SLOT_LEFT));
    EXPECT_TRUE(pads.seat(1).slotDown(flikka::SLOT_LEFT));
    second->setButton(fp::PAD_START, true);
    second->setButton(fp::PAD_Y, true);
    events = drain(*display);
    EXPECT_TRUE(seat0.slotDown(flikka::SLOT_ESCAPE));
    EXPECT_TRUE(seat0.slotDown(flikka::SLOT_SWITCH));
    EXPECT_TRUE(pads.menuKeys().isKeyDown(kEscape));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].virtualKey, 0);  // Y means nothing to the menus, but names itself
    EXPECT_EQ(events[0].padButton, fp::PAD_Y);
    EXPECT_EQ(events[1].virtualKey, kEscape);

    // Rumble reaches the pad in the seat.
    EXPECT_TRUE(pads.rumble(0, 1.0f, 0.5f, 100));
    EXPECT_EQ(second->rumbles(), 1);
    EXPECT_EQ(second->lowRumble(), 65535u);
    EXPECT_EQ(second->highRumble(), 32768u);
    EXPECT_EQ(first->rumbles(), 0);
    EXPECT_FALSE(pads.rumble(2, 1.0f, 1.0f, 100));  // nobody sits there

    // Pulled out: the first pad is player one's again; then only the keyboard is left.
    second.reset();
    drain(*display);
    ASSERT_EQ(pads.count(), 1);
    EXPECT_TRUE(seat0.slotDown(flikka::SLOT_LEFT));
    EXPECT_FALSE(seat0.slotDown(flikka::SLOT_ESCAPE));
    first.reset();
    drain(*display);
    EXPECT_EQ(pads.count(), 0);
    EXPECT_FALSE(seat0.slotDown(flikka::SLOT_LEFT));
    EXPECT_FALSE(pads.menuKeys().isKeyDown(kLeft));
}

}  // namespace
