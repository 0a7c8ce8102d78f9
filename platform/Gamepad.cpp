// Game controllers through SDL's game controller API: hot-plug, their state once per
// keepAlive, key slots per seat, menu keys, rumble, and the virtual pad of the tests.
#include "platform/Gamepad.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "platform/GamepadHub.h"

namespace flikka::platform {

namespace {

constexpr int kVkEnter = 13, kVkEscape = 27, kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40;
constexpr float kAxisFull = 32767.0f;
// tan(22.5 degrees): beyond it from an axis, the stick counts on the other axis as well.
constexpr float kSectorSlope = 0.41421356f;
// The stick moves a menu selection once per push: engaged past the first, let go under the second.
constexpr float kMenuPush = 0.5f;
constexpr float kMenuLetGo = 0.3f;
constexpr int kSeats = 4;

float axisValue(int raw) { return std::clamp(static_cast<float>(raw) / kAxisFull, -1.0f, 1.0f); }

}  // namespace

std::string padButtonName(int button) {
    static constexpr const char* kNames[PAD_BUTTONS] = {
        "A",  "B",  "X",    "Y",    "Back", "Guide", "Start", "Left Stick", "Right Stick", "LB", "RB",
        "Up", "Down", "Left", "Right", "Misc", "Paddle 1", "Paddle 2", "Paddle 3", "Paddle 4", "Touchpad"};
    if (button >= 0 && button < PAD_BUTTONS) return kNames[button];
    return "Button " + std::to_string(button);
}

bool padButtonBindable(int button) {
    if (button < 0 || button >= PAD_BUTTONS) return false;
    return button != PAD_START && button != PAD_GUIDE && (button < PAD_UP || button > PAD_RIGHT);
}

namespace pad {

Directions directions(const PadState& s) {
    Directions d{s.buttons[PAD_LEFT], s.buttons[PAD_RIGHT], s.buttons[PAD_UP], s.buttons[PAD_DOWN]};
    const float x = axisValue(s.axes[PAD_LEFT_X]);
    const float y = axisValue(s.axes[PAD_LEFT_Y]);
    if (x * x + y * y <= kDeadZone * kDeadZone) return d;
    if (std::fabs(x) > kSectorSlope * std::fabs(y)) (x < 0.0f ? d.left : d.right) = true;
    if (std::fabs(y) > kSectorSlope * std::fabs(x)) (y < 0.0f ? d.up : d.down) = true;
    return d;
}

bool slotDown(const PadState& s, const PadBindings& b, int slot) {
    auto button = [&](int n) { return n >= 0 && n < PAD_BUTTONS && s.buttons[n]; };
    switch (slot) {
        case SLOT_LEFT:
        case SLOT_FIXED_LEFT: return directions(s).left;
        case SLOT_RIGHT:
        case SLOT_FIXED_RIGHT: return directions(s).right;
        case SLOT_UP:
        case SLOT_FIXED_UP: return directions(s).up;
        case SLOT_DOWN:
        case SLOT_FIXED_DOWN: return directions(s).down;
        case SLOT_SHOOT: return button(b.shoot);
        case SLOT_PASS: return button(b.pass);
        case SLOT_CROSS: return button(b.cross);
        case SLOT_THRU: return button(b.thru);
        case SLOT_SWITCH: return button(b.switchPlayer);
        case SLOT_ENTER: return button(PAD_A);
        case SLOT_ESCAPE: return button(PAD_START);
        default: return false;
    }
}

int menuKeyOf(int button) {
    switch (button) {
        case PAD_A: return kVkEnter;
        case PAD_START: return kVkEscape;
        case PAD_UP: return kVkUp;
        case PAD_DOWN: return kVkDown;
        case PAD_LEFT: return kVkLeft;
        case PAD_RIGHT: return kVkRight;
        default: return 0;
    }
}

int stickMenuKey(const PadState& s, int held) {
    const float x = axisValue(s.axes[PAD_LEFT_X]);
    const float y = axisValue(s.axes[PAD_LEFT_Y]);
    const bool still = (held == kVkLeft && x < -kMenuLetGo) || (held == kVkRight && x > kMenuLetGo) ||
                       (held == kVkUp && y < -kMenuLetGo) || (held == kVkDown && y > kMenuLetGo);
    if (still) return held;
    if (std::max(std::fabs(x), std::fabs(y)) < kMenuPush) return 0;
    if (std::fabs(x) >= std::fabs(y)) return x < 0.0f ? kVkLeft : kVkRight;
    return y < 0.0f ? kVkUp : kVkDown;
}

}  // namespace pad

namespace {

struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    PadState state;              // as read
    PadState effective;          // with the ignored buttons released
    std::array<bool, PAD_BUTTONS> ignored{};
    int stickKey = 0;            // the arrow the stick holds in the menus
};

class SdlGamepadHub;

class Seat final : public IKeySlotSource {
public:
    Seat(const SdlGamepadHub* hub, int n) : hub_(hub), n_(n) {}
    bool slotDown(int slot) const override;

private:
    const SdlGamepadHub* hub_;
    int n_;
};

class MenuKeys final : public IKeyboardDevice {
public:
    explicit MenuKeys(const SdlGamepadHub* hub) : hub_(hub) {}
    bool isKeyDown(int virtualKey) const override;

private:
    const SdlGamepadHub* hub_;
};

class SdlGamepadHub final : public GamepadHub {
public:
    explicit SdlGamepadHub(bool enabled) : menuKeys_(this) {
        for (int i = 0; i < kSeats; ++i) seats_.emplace_back(this, i);
        enabled_ = enabled && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    }
    ~SdlGamepadHub() override {
        for (Pad& p : pads_) SDL_GameControllerClose(p.controller);
        pads_.clear();
        if (enabled_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    SdlGamepadHub(const SdlGamepadHub&) = delete;
    SdlGamepadHub& operator=(const SdlGamepadHub&) = delete;

    bool enabled() const override { return enabled_; }
    int count() const override { return static_cast<int>(pads_.size()); }
    std::string name(int seat) const override {
        const Pad* p = padIn(seat);
        const char* n = p != nullptr ? SDL_GameControllerName(p->controller) : nullptr;
        return n != nullptr ? n : "";
    }
    int addMappingsFromFile(const std::string& path) override {
        return enabled_ ? SDL_GameControllerAddMappingsFromFile(path.c_str()) : -1;
    }

    const IKeySlotSource& seat(int n) const override {
        static const Seat kNobody(nullptr, 0);
        return n >= 0 && n < kSeats ? seats_[static_cast<std::size_t>(n)] : kNobody;
    }
    const IKeyboardDevice& menuKeys() const override { return menuKeys_; }
    void setBindings(const PadBindings& bindings) override { bindings_ = bindings; }

    void ignoreHeldButtons() override {
        for (Pad& p : pads_) {
            for (int b = 0; b < PAD_BUTTONS; ++b) p.ignored[b] = p.state.buttons[b];
            refreshEffective(p);
        }
    }

    bool rumble(int seat, float low, float high, std::uint32_t ms) override {
        Pad* p = padIn(seat);
        if (p == nullptr || SDL_GameControllerHasRumble(p->controller) != SDL_TRUE) return false;
        auto strength = [](float v) { return static_cast<Uint16>(std::lround(std::clamp(v, 0.0f, 1.0f) * 65535.0f)); };
        return SDL_GameControllerRumble(p->controller, strength(low), strength(high), ms) == 0;
    }

    void handleEvent(const SDL_Event& e) override {
        if (!enabled_) return;
        if (e.type == SDL_CONTROLLERDEVICEADDED) {
            SDL_GameController* c = SDL_GameControllerOpen(e.cdevice.which);
            if (c == nullptr) return;
            const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
            // Pads present at start-up are announced too; one open per pad.
            if (std::any_of(pads_.begin(), pads_.end(), [id](const Pad& p) { return p.id == id; })) {
                SDL_GameControllerClose(c);
                return;
            }
            Pad p;
            p.controller = c;
            p.id = id;
            // Whatever is held while it is plugged in waits for its release.
            read(p);
            p.ignored = {};
            for (int b = 0; b < PAD_BUTTONS; ++b) p.ignored[b] = p.state.buttons[b];
            p.stickKey = pad::stickMenuKey(p.state, 0);
            refreshEffective(p);
            pads_.push_back(p);
        } else if (e.type == SDL_CONTROLLERDEVICEREMOVED) {
            auto it = std::find_if(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == e.cdevice.which; });
            if (it == pads_.end()) return;
            SDL_GameControllerClose(it->controller);
            pads_.erase(it);
        }
    }

    void update(std::vector<KeyEvent>& menuEvents) override {
        for (Pad& p : pads_) {
            const PadState before = p.state;
            read(p);
            for (int b = 0; b < PAD_BUTTONS; ++b) {
                if (p.state.buttons[b] == before.buttons[b]) continue;
                KeyEvent e;
                e.virtualKey = pad::menuKeyOf(b);
                e.pressed = p.state.buttons[b];
                e.fromPad = true;
                e.padButton = b;
                menuEvents.push_back(e);
                if (!p.state.buttons[b]) p.ignored[b] = false;
            }
            const int stick = pad::stickMenuKey(p.state, p.stickKey);
            if (stick != p.stickKey) {
                if (p.stickKey != 0) menuEvents.push_back({p.stickKey, false, false, true, -1});
                if (stick != 0) menuEvents.push_back({stick, true, false, true, -1});
                p.stickKey = stick;
            }
            refreshEffective(p);
        }
    }

    const Pad* padIn(int seat) const {
        if (seat < 0 || seat >= count()) return nullptr;
        return &pads_[pads_.size() - 1 - static_cast<std::size_t>(seat)];
    }
    Pad* padIn(int seat) { return const_cast<Pad*>(std::as_const(*this).padIn(seat)); }
    const PadBindings& bindings() const { return bindings_; }
    const std::vector<Pad>& pads() const { return pads_; }

private:
    static void read(Pad& p) {
        for (int b = 0; b < PAD_BUTTONS; ++b) {
            p.state.buttons[b] = SDL_GameControllerGetButton(p.controller, static_cast<SDL_GameControllerButton>(b)) != 0;
        }
        for (int a = 0; a < PAD_AXES; ++a) {
            p.state.axes[a] = SDL_GameControllerGetAxis(p.controller, static_cast<SDL_GameControllerAxis>(a));
        }
    }
    static void refreshEffective(Pad& p) {
        p.effective = p.state;
        for (int b = 0; b < PAD_BUTTONS; ++b) p.effective.buttons[b] = p.state.buttons[b] && !p.ignored[b];
    }

    bool enabled_ = false;
    std::vector<Pad> pads_;  // in the order they were plugged in
    std::vector<Seat> seats_;
    MenuKeys menuKeys_;
    PadBindings bindings_;
};

bool Seat::slotDown(int slot) const {
    if (hub_ == nullptr) return false;
    const Pad* p = hub_->padIn(n_);
    return p != nullptr && pad::slotDown(p->effective, hub_->bindings(), slot);
}

bool MenuKeys::isKeyDown(int virtualKey) const {
    for (const Pad& p : hub_->pads()) {
        if (p.stickKey != 0 && p.stickKey == virtualKey) return true;
        for (int b = 0; b < PAD_BUTTONS; ++b) {
            if (p.state.buttons[b] && pad::menuKeyOf(b) == virtualKey) return true;
        }
    }
    return false;
}

}  // namespace

std::unique_ptr<GamepadHub> makeGamepadHub(bool enabled) { return std::make_unique<SdlGamepadHub>(enabled); }

// ---- VirtualPad ----

struct VirtualPad::Impl {
    SDL_Joystick* joystick = nullptr;
    SDL_JoystickID id = -1;
    unsigned low = 0, high = 0;
    int rumbles = 0;

    static int SDLCALL onRumble(void* userdata, Uint16 low, Uint16 high) {
        auto* self = static_cast<Impl*>(userdata);
        if (low == 0 && high == 0) return 0;  // SDL stopping the motors when the time is up
        self->low = low;
        self->high = high;
        ++self->rumbles;
        return 0;
    }
};

VirtualPad::VirtualPad() : impl_(std::make_unique<Impl>()) {
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) throw PlatformError("A virtual pad needs a display with gamepads");
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = PAD_AXES;
    d.nbuttons = PAD_BUTTONS;
    // Every button and axis in SDL's order, so SDL maps virtual button n to pad button n.
    d.button_mask = (1u << PAD_BUTTONS) - 1u;
    d.axis_mask = (1u << PAD_AXES) - 1u;
    d.name = "Flikka virtual pad";
    d.userdata = impl_.get();
    d.Rumble = &Impl::onRumble;
    const int index = SDL_JoystickAttachVirtualEx(&d);
    if (index < 0) throw PlatformError(std::string("Cannot attach a virtual pad: ") + SDL_GetError());
    impl_->joystick = SDL_JoystickOpen(index);
    if (impl_->joystick == nullptr) {
        SDL_JoystickDetachVirtual(index);
        throw PlatformError(std::string("Cannot open the virtual pad: ") + SDL_GetError());
    }
    impl_->id = SDL_JoystickInstanceID(impl_->joystick);
    // Triggers rest at the bottom of the joystick's range.
    SDL_JoystickSetVirtualAxis(impl_->joystick, PAD_LEFT_TRIGGER, -32768);
    SDL_JoystickSetVirtualAxis(impl_->joystick, PAD_RIGHT_TRIGGER, -32768);
}

VirtualPad::~VirtualPad() {
    SDL_JoystickClose(impl_->joystick);
    // Device numbers shift as pads come and go; find this one by its instance.
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == impl_->id) {
            SDL_JoystickDetachVirtual(i);
            break;
        }
    }
}

void VirtualPad::setButton(int button, bool down) {
    SDL_JoystickSetVirtualButton(impl_->joystick, button, down ? 1 : 0);
}
void VirtualPad::setAxis(int axis, int value) {
    SDL_JoystickSetVirtualAxis(impl_->joystick, axis, static_cast<Sint16>(std::clamp(value, -32768, 32767)));
}
unsigned VirtualPad::lowRumble() const { return impl_->low; }
unsigned VirtualPad::highRumble() const { return impl_->high; }
int VirtualPad::rumbles() const { return impl_->rumbles; }

}  // namespace flikka::platform
