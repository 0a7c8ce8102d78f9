#include "tools/sim/Bot.h"

#include <algorithm>
#include <cmath>

#include "players/Player.h"
#include "match/Match.h"
#include "sim/PitchGeometry.h"
#include "players/Team.h"
#include "team/GlobalAI.h"

namespace flikka {

namespace {

constexpr int kHoldSteps = 6;       // a kick key is held this long, then released
constexpr int kCooldownSteps = 60;  // no new kick for 0.3 s after one
constexpr float kPressedDistance = 3.0f;
constexpr float kBoxDepth = pitch::kPenaltyAreaDepth;
constexpr float kBoxHalfWidth = pitch::kPenaltyAreaHalfWidth;
constexpr float kGoalLine = pitch::kHalfLength;

}  // namespace

bool BotKeyboard::isKeyDown(int virtualKey) const {
    const int slot = virtualKey - kCodeBase;
    return slot >= 0 && slot < KeyState::kSlots && down_[slot];
}

void BotKeyboard::clearArrows() {
    for (int s : {SLOT_LEFT, SLOT_RIGHT, SLOT_UP, SLOT_DOWN}) down_[s] = false;
}

// Arrow keys for the nearest of the eight directions towards (dx, dy).
void BotKeyboard::aimAt(float dx, float dy) {
    clearArrows();
    const float len = std::sqrt(dx * dx + dy * dy);
    if (len < 0.5f) return;
    const float ux = dx / len, uy = dy / len;
    if (ux > 0.38f) down_[SLOT_RIGHT] = true;
    if (ux < -0.38f) down_[SLOT_LEFT] = true;
    if (uy > 0.38f) down_[SLOT_UP] = true;
    if (uy < -0.38f) down_[SLOT_DOWN] = true;
}

void BotKeyboard::decide(const CMatch& m) {
    if (cooldown_ > 0) --cooldown_;
    if (kickSlot_ >= 0) {
        // Keep the key down with the aim unchanged, then let it go: the release kicks.
        if (--holdSteps_ <= 0) {
            down_[kickSlot_] = false;
            kickSlot_ = -1;
            cooldown_ = kCooldownSteps;
        }
        return;
    }
    const CPlayer* me = m.humans[0].selected;
    if (me == nullptr || m.humans[0].team == nullptr) {
        clearArrows();
        return;
    }
    const bool up = m.humans[0].team->plan->attacksUpwards;
    const float goalY = up ? kGoalLine : -kGoalLine;
    const auto startKick = [this](int slot) {
        kickSlot_ = slot;
        holdSteps_ = kHoldSteps;
        down_[slot] = true;
    };

    if (m.ballHolder == me) {
        const float toLine = std::fabs(goalY - me->position.y);
        const bool inBox = toLine < kBoxDepth && std::fabs(me->position.x) < kBoxHalfWidth;
        float nearest = 1000.0f;
        for (const auto& o : me->opponents->players) {
            nearest = std::min(nearest, horizontalDistance(o->position, me->position));
        }
        if (cooldown_ == 0 && m.state == GAME_READY) {
            aimAt(0.0f, goalY - me->position.y);
            startKick(SLOT_PASS);
        } else if (cooldown_ == 0 && inBox) {
            // Aim at the side of the goal away from the keeper.
            const CPlayer* keeper = me->opponents->goalkeeper();
            const float side = keeper != nullptr && keeper->position.x > 0.0f ? -1.0f : 1.0f;
            clearArrows();
            down_[side < 0.0f ? SLOT_LEFT : SLOT_RIGHT] = true;
            startKick(SLOT_SHOOT);
        } else if (cooldown_ == 0 && nearest < kPressedDistance) {
            aimAt(0.0f, goalY - me->position.y);
            startKick(SLOT_PASS);
        } else {
            aimAt(-me->position.x * 0.3f, goalY - me->position.y);
        }
        return;
    }
    aimAt(m.ball.position.x - me->position.x, m.ball.position.y - me->position.y);
}

}  // namespace flikka
