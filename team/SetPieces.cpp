// The team AI's part of the full rules: closing the opponents' carrier down in open play, the
// compact block at the opponents' kick-off, and the free kicks and penalties.
#include <algorithm>
#include <cmath>
#include <vector>

#include "players/OutfieldPlayer.h"
#include "players/Play.h"
#include "sim/PitchGeometry.h"
#include "players/Team.h"
#include "team/GlobalAI.h"

namespace flikka {

namespace {

using pitch::kHalfLength;
using pitch::kHalfWidth;
// As at the restarts of GlobalAI.cpp: the block across the pitch, its lines over half its length.
constexpr float kBlockWidth = 2.0f * kHalfWidth;
constexpr float kRestartLength = kHalfLength;
// Closing down: a new closer or cover must be this much nearer than the one in the role.
constexpr float kRoleHysteresis = 2.0f;
constexpr float kCarrierLookAhead = 0.4f;  // seconds of the carrier's run
// The compact block at the opponents' kick-off.
constexpr float kCompactWidth = 50.0f;
constexpr float kCompactLength = 40.0f;
constexpr float kCompactDepth = 20.0f;
constexpr float kCentreCircle = pitch::kCentreCircleRadius;
constexpr float kClearance = 0.5f;  // how far outside a circle or a line footballers stand
// Walls: a footballer every 0.75 m across the line from the ball to the goal.
constexpr float kWallSpacing = 0.75f;
constexpr float kWallNearPostShift = 1.5f;  // metres from the goal's centre towards the near post
constexpr float kWallRange = 32.0f;  // free kicks farther from goal get no wall
// Penalties: everybody but the taker and the keeper behind this line, outside area and arc.
constexpr float kPenaltyLine = 31.5f;

Vector3 flat(Vector3 v) {
    v.z = 0.0f;
    return v;
}

// Unit horizontal vector from a to b; `fallback` when they coincide.
Vector3 towards(const Vector3& a, const Vector3& b, const Vector3& fallback) {
    const Vector3 d = flat(b - a);
    const float len = horizontalLength(d);
    return len > 0.0f ? d / len : fallback;
}

Vector3 onPitch(Vector3 p) {
    p.x = std::clamp(p.x, -kHalfWidth, kHalfWidth);
    p.y = std::clamp(p.y, -kHalfLength, kHalfLength);
    return p;
}

void standAt(CPlayer& f, const Vector3& at) {
    f.position = Vector3(at.x, at.y, 0.0f);
    f.homePosition = f.position;
    f.moveMode = 0;
    f.speed = 0.0f;
}

}  // namespace


void CGlobalAI::closeDown() {
    CPlay& m = *match;
    const CPlayer* carrier = m.ballHolder;
    if (carrier == nullptr || team->contains(carrier) || m.isEitherGoalkeeper(carrier)) {
        if (cover != nullptr) cover->resetToDefault();
        return;
    }
    const Vector3 ahead = carrier->position + carrier->heading * (carrier->speed * kCarrierLookAhead);
    auto available = [&](const COutfieldPlayer* o) {
        return o != nullptr && !m.isSelected(o) && o->free && o->state != STATE_WITH_BALL && o->slideTime <= 0.0f;
    };
    // Time lost on the ground counts as distance.
    auto reach = [&](const CPlayer* o, const Vector3& to) {
        return horizontalDistance(o->position, to) + o->stunTime * o->movement().topSpeed;
    };

    COutfieldPlayer* closer = nullptr;
    float closerDistance = 0.0f;
    for (std::size_t i = 1; i < team->size(); ++i) {
        auto* o = team->player(i)->outfield();
        if (!available(o)) continue;
        const float d = reach(o, ahead);
        if (closer == nullptr || d < closerDistance) {
            closer = o;
            closerDistance = d;
        }
    }
    if (closer != nullptr && closer != chaser) {
        const bool keep = chaser != nullptr && available(chaser) && reach(chaser, ahead) < closerDistance + kRoleHysteresis;
        if (!keep) closer->setState(STATE_CHASE);
    }

    // The cover stands on the carrier's line to our goal.
    const Vector3 spot = coverSpot(*carrier);
    COutfieldPlayer* best = nullptr;
    float bestDistance = 0.0f;
    for (std::size_t i = 1; i < team->size(); ++i) {
        auto* o = team->player(i)->outfield();
        if (!available(o) || o == chaser) continue;
        const float d = reach(o, spot);
        if (best == nullptr || d < bestDistance) {
            best = o;
            bestDistance = d;
        }
    }
    if (best == nullptr || best == cover) return;
    if (cover != nullptr && available(cover) && cover != chaser && reach(cover, spot) < bestDistance + kRoleHysteresis) return;
    if (cover != nullptr) cover->resetToDefault();
    best->coverCarrier();
}

void CGlobalAI::compactKickOffBlock() {
    const float s = sideSign();
    arrange(match->ball.position, kCompactWidth, kCompactLength, Vector3(0.0f, -kCompactDepth * s, 0.0f), false);
    // Everybody in his own half and outside the centre circle, as the Law has it.
    for (std::size_t i = 1; i < team->size(); ++i) {
        Vector3& h = team->player(i)->homePosition;
        if (h.y * s > -kClearance) h.y = -kClearance * s;
        const float r = horizontalLength(h);
        const float outside = kCentreCircle + kClearance;
        if (r < outside) h = r > 0.0f ? h * (outside / r) : Vector3(0.0f, -outside * s, 0.0f);
    }
}

void CGlobalAI::ownFreeKick(const Vector3& p, bool indirect) {
    CPlay& m = *match;
    const float s = sideSign();
    // The block stands round the ball, leaning towards the goal attacked.
    arrange(p, kBlockWidth, kRestartLength, Vector3(p.x * 0.5f, p.y + 8.0f * s, 0.0f), false);
    resetFootballers();
    moveToHomes();
    placeBall(p);
    CPlayer* taker = nearestTo(p, false);
    if (taker == nullptr) return;
    const Vector3 goal = attackedGoal();
    const Vector3 u = towards(p, goal, Vector3(0.0f, s, 0.0f));
    makeTaker(taker, p - u * 0.4f);
    taker->faceToward(goal);
    m.setBallHolder(taker);
    if (indirect) m.fullState.indirectTaker = taker;
}

void CGlobalAI::opponentsFreeKick(const Vector3& p, bool indirect) {
    CPlay& m = *match;
    const float s = sideSign();
    const Vector3 goal = ownGoal();
    const Vector3 u = towards(p, goal, Vector3(0.0f, -s, 0.0f));
    const float toGoal = horizontalDistance(p, goal);
    arrange(p, kBlockWidth, kRestartLength, p + u * std::min(18.0f, toGoal * 0.5f), false);
    moveToHomes();
    resetFootballers();

    const float wallDistance = m.rules.wallDistance;
    std::vector<CPlayer*> outfield;
    for (std::size_t i = 1; i < team->size(); ++i) outfield.push_back(team->player(i));

    // A wall across the line to goal, shifted towards the near post, for a free kick in range.
    int wallSize = 0;
    if (!indirect && toGoal < kWallRange && std::fabs(p.x) < 28.0f) wallSize = toGoal < 20.0f ? 4 : (toGoal < 26.0f ? 3 : 2);
    // It covers the line to a point between the goal's centre and its near post.
    const Vector3 wallAim(std::copysign(kWallNearPostShift, p.x), goal.y, 0.0f);
    const Vector3 uw = towards(p, wallAim, u);
    const Vector3 across(-uw.y, uw.x, 0.0f);
    const Vector3 centre = p + uw * wallDistance;
    std::vector<CPlayer*> wall;
    for (int k = 0; k < wallSize && !outfield.empty(); ++k) {
        auto nearest = std::min_element(outfield.begin(), outfield.end(), [&](const CPlayer* a, const CPlayer* b) {
            return horizontalDistance(a->position, centre) < horizontalDistance(b->position, centre);
        });
        wall.push_back(*nearest);
        outfield.erase(nearest);
    }
    for (std::size_t k = 0; k < wall.size(); ++k) {
        const float offset = (static_cast<float>(k) - static_cast<float>(wall.size() - 1) * 0.5f) * kWallSpacing;
        standAt(*wall[k], onPitch(centre + across * offset));
        wall[k]->canMove = false;
        wall[k]->faceToward(p);
    }
    // Everybody else keeps the distance.
    const float keepOff = wallDistance + kClearance;
    for (CPlayer* f : outfield) {
        if (horizontalDistance(f->position, p) >= keepOff) continue;
        standAt(*f, onPitch(p + towards(p, f->position, u) * keepOff));
    }
}

void CGlobalAI::ownPenalty(const Vector3& p) {
    CPlay& m = *match;
    const float s = sideSign();
    arrange(p, kBlockWidth, kRestartLength, Vector3(0.0f, 20.0f * s, 0.0f), false);
    resetFootballers();
    moveToHomes();
    placeBall(p);
    CPlayer* taker = nearestTo(p, false);
    if (taker == nullptr) return;
    for (std::size_t i = 1; i < team->size(); ++i) {
        CPlayer* f = team->player(i);
        if (f != taker && f->position.y * s > kPenaltyLine) standAt(*f, Vector3(f->position.x, kPenaltyLine * s, 0.0f));
    }
    const Vector3 goal = attackedGoal();
    makeTaker(taker, p - towards(p, goal, Vector3(0.0f, s, 0.0f)) * 0.4f);
    taker->faceToward(goal);
    m.setBallHolder(taker);
}

void CGlobalAI::opponentsPenalty(const Vector3& p) {
    const float s = sideSign();
    arrange(p, kBlockWidth, kRestartLength, Vector3(0.0f, -20.0f * s, 0.0f), false);
    moveToHomes();
    resetFootballers();
    for (std::size_t i = 1; i < team->size(); ++i) {
        CPlayer* f = team->player(i);
        if (f->position.y * s < -kPenaltyLine) standAt(*f, Vector3(f->position.x, -kPenaltyLine * s, 0.0f));
    }
    // The keeper waits on his line, facing the taker, until the kick.
    keeperToGoalLine();
    if (CPlayer* k = team->goalkeeper()) {
        k->moveMode = 0;
        k->speed = 0.0f;
        k->canMove = false;
        k->keeperPoint = k->position;
        k->faceToward(p);
    }
}

}  // namespace flikka
