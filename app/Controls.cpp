#include "app/Controls.h"

#include "app/Splash.h"
#include "settings/ExtraSettings.h"

namespace flikka {

namespace {

struct Rumble {
    float low, high;
    std::uint32_t ms;
};
// A kick is a knock, a goal a long shake.
constexpr Rumble kShotRumble{0.35f, 0.6f, 120};
constexpr Rumble kGoalRumble{0.9f, 0.9f, 700};

}  // namespace

Controls::Controls(const IKeyboardDevice& keyboard, platform::Gamepads& pads)
    : pads_(pads), either_(keyboard, pads.menuKeys()) {}

bool Controls::pauseRequested() const { return either_.isKeyDown(kVkEscape); }

void Controls::enterMatch() {
    const ExtraSettings& x = extraSettings();
    platform::PadBindings b;
    b.shoot = x.padShoot;
    b.pass = x.padPass;
    b.cross = x.padCross;
    b.thru = x.padThru;
    b.switchPlayer = x.padSwitch;
    pads_.setBindings(b);
    pads_.ignoreHeldButtons();
}

void Controls::afterStep(const std::vector<MatchEvent>& events) {
    if (!extraSettings().rumble) return;
    const Rumble* strongest = nullptr;
    for (const MatchEvent& e : events) {
        if (e.kind == MatchEventKind::Goal) strongest = &kGoalRumble;
        else if (e.kind == MatchEventKind::Kick && e.kickKind == KickEventKind::Shot && strongest == nullptr) strongest = &kShotRumble;
    }
    if (strongest != nullptr) pads_.rumble(kPlayerOneSeat, strongest->low, strongest->high, strongest->ms);
}

}  // namespace flikka
