#include "team/GlobalAI.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "players/OutfieldPlayer.h"
#include "players/Play.h"
#include "players/Rebind.h"
#include "sim/PitchGeometry.h"
#include "players/Team.h"

namespace flikka {

namespace {

using pitch::kHalfLength;
using pitch::kHalfWidth;
// The block spans the pitch's width; its lines are spread over the length asked: at restarts
// half the pitch, so the keeper's slot is his goal line, in open play 0.7 of the whole.
constexpr float kBlockWidth = 2.0f * kHalfWidth;
constexpr float kRestartLength = kHalfLength;
constexpr float kOpenPlayLength = 2.0f * kHalfLength * 0.7f;
static_assert(kBlockWidth == 70.0f && kOpenPlayLength == 73.5f);

// claimPoint snaps its point to the half-metre grid. A point already on it is left as it is:
// 2x is then an integer, so 2x + 0.5, its floor and the halving are exact while |x| < 2^21.
// Such a point is claimed directly; anything else (far off, or not finite) goes through claimPoint.
bool onGrid(float x, float y) { return std::fabs(x) < 0x1p21f && std::fabs(y) < 0x1p21f; }
bool claimOnGrid(CPlay& m, float x, float y) { return onGrid(x, y) ? m.claimSet.insert(x, y) : m.claimPoint(x, y); }
// No point's key: the bits of two NaNs, which are never on the grid.
constexpr std::uint64_t kNoKey = ~std::uint64_t{0};

// Per-footballer scratch for one step: a squad's worth on the stack, a larger squad on the heap.
template <class T>
class SquadBuffer {
public:
    explicit SquadBuffer(std::size_t n) {
        if (n > kInline) {
            heap_.resize(n);
            data_ = heap_.data();
        }
    }
    T* data() { return data_; }
    T& operator[](std::size_t i) { return data_[i]; }

private:
    static constexpr std::size_t kInline = 16;
    T inline_[kInline];
    std::vector<T> heap_;
    T* data_ = inline_;
};

bool isWideSlot(int slot) { return slot == 0 || slot == 1 || slot == 7 || slot == 8; }

float clampEitherWay(float v, float a, float b) {
    // The smaller bound is the lower one, so a block wider than the pitch is still handled.
    return std::clamp(v, std::min(a, b), std::max(a, b));
}

}  // namespace

void CGlobalAI::openPlay() {
    arrange(match->ball.position, kBlockWidth, kOpenPlayLength, kZeroVector, true);
    sendChaserToLooseBall();
    if (match->rules.closeDown) closeDown();
}

// The roles alone never send anybody after a ball that nobody holds and nobody is running
// onto (a clearance, a keeper's kick, a rebound): it could lie still for minutes while both
// blocks stood around it. The team's outfield footballer nearest the ball goes for it.
void CGlobalAI::sendChaserToLooseBall() {
    CPlay& m = *match;
    if (m.ballHolder != nullptr || chaser != nullptr) return;
    for (const auto& p : team->players) {
        const auto* o = p->outfield();
        if (o != nullptr && o->state == STATE_INTERCEPT) return;
    }
    for (CPlayer* p : team->byDistance()) {
        if (p == team->goalkeeper() || m.isSelected(p)) continue;
        auto* o = p->outfield();
        if (o != nullptr && o->free && (o->state == STATE_FORMATION || o->state == STATE_MARK)) {
            o->setState(STATE_CHASE);
        }
        return;
    }
}

void CGlobalAI::arrange(const Vector3& b, float width, float length, const Vector3& target, bool dynamic) {
    CPlay& m = *match;
    const float s = sideSign();
    formation.direction = attacksUpwards ? -1.0f : 1.0f;

    BlockSqueeze& squeeze = m.blockSqueeze;
    const std::uint32_t xBits = std::bit_cast<std::uint32_t>(b.x);
    const std::uint32_t yBits = std::bit_cast<std::uint32_t>(b.y);
    if (!squeeze.known || squeeze.xBits != xBits || squeeze.yBits != yBits) {
        squeeze.fx = std::cos(b.x / kHalfWidth * kHalfPi) * 0.3f + 0.7f;
        squeeze.fy = std::cos(b.y / kHalfLength * kHalfPi) * 0.5f + 0.5f;
        squeeze.xBits = xBits;
        squeeze.yBits = yBits;
        squeeze.known = true;
    }
    const float fx = squeeze.fx;
    const float fy = squeeze.fy;

    const float k = formation.direction;
    const Vector3 ball = m.ball.position;
    const float depth = 0.8f + (k * kHalfLength + ball.y) * (1.0f - 0.8f) / (k * 2.0f * kHalfLength);

    blockMinX = 1000.0f;
    blockMaxX = -1000.0f;
    blockMinY = 1000.0f;
    blockMaxY = -1000.0f;

    const std::size_t n = team->size();
    // The outfield footballers' base places in one call.
    SquadBuffer<const CPlayer*> outfield(n);
    for (std::size_t i = 1; i < n; ++i) outfield[i - 1] = team->player(i);
    CFormation::Places base{nullptr, nullptr};
    if (n > 1) base = formation.basePositions(outfield.data(), n - 1, width, length);
    for (std::size_t i = 1; i < n; ++i) {
        CPlayer* f = team->player(i);
        Vector3 p = base.place[i - 1];
        p.y *= fy;
        p.x *= fx;
        if (isWideSlot(base.lateralSlot[i - 1])) p.y *= depth;
        f->homePosition = p;
        if (p.x < blockMinX) blockMinX = p.x;
        if (p.x > blockMaxX) blockMaxX = p.x;
        if (p.y < blockMinY) blockMinY = p.y;
        if (p.y > blockMaxY) blockMaxY = p.y;
    }

    const float cx = (blockMinX + blockMaxX) / 2.0f;
    const float cy = (blockMinY + blockMaxY) / 2.0f;
    const float sx = blockMaxX - blockMinX;
    const float sy = blockMaxY - blockMinY;

    float tx = target.x;
    float ty = target.y;
    if (dynamic) {
        const CPlayer* h = m.ballHolder;
        if (h == nullptr) {
            tx = ball.x;
            const bool inOpponentsHalf = s > 0.0f ? ball.y >= 0.0f : ball.y < 0.0f;
            ty = inOpponentsHalf ? ball.y - 3.0f * s : ball.y;
        } else if (team->contains(h)) {
            tx = h->position.x - h->homePosition.x + cx;
            ty = h->position.y + s * (sy / 2.0f - 15.0f);
        } else {
            tx = (h->position.x - h->homePosition.x) * 0.7f;
            const CTeam& other = otherTeam();
            const bool otherUp = other.plan != nullptr && other.plan->attacksUpwards;
            // The opponents' foremost attacker towards our goal.
            float fyFront = otherUp ? 1000.0f : -1000.0f;
            bool found = false;
            for (std::size_t i = 1; i < other.size(); ++i) {
                const float y = other.player(i)->position.y;
                if (!found || (otherUp ? y > fyFront : y < fyFront)) fyFront = y;
                found = true;
            }
            ty = fyFront + s * (sy / 2.0f - 1.0f);
        }
    }

    const float ax = kHalfWidth - sx / 2.0f - 1.0f;
    const float ay = kHalfLength - sy / 2.0f - 4.0f;
    tx = clampEitherWay(tx, -ax, ax);
    ty = clampEitherWay(ty, -ay, ay);

    const Vector3 offset(tx - cx, ty - cy, 0.0f);
    // The points first, then the claims in squad order: the claims' table keys are made from
    // the points while they are still in registers, rather than read back from memory a few
    // instructions after being written, which stalls.
    SquadBuffer<std::uint64_t> keys(n);
    for (std::size_t i = 1; i < n; ++i) {
        CPlayer* f = team->player(i);
        f->homePosition += offset;
        const float x = snapHalf(f->homePosition.x);
        const float y = snapHalf(f->homePosition.y);
        f->homePosition.x = x;
        f->homePosition.y = y;
        keys[i] = onGrid(x, y) ? ClaimSet::keyOf(x, y) : kNoKey;
    }
    for (std::size_t i = 1; i < n; ++i) {
        CPlayer* f = team->player(i);
        const float x = f->homePosition.x;
        const float y = f->homePosition.y;
        // Both points are on the grid: snapHalf's, and it moved by half a metre.
        if (!(keys[i] != kNoKey ? m.claimSet.insertKey(keys[i]) : m.claimPoint(x, y))) {
            // Somebody already stands there: half a metre nearer our own goal.
            f->homePosition.y = y + -s * 0.5f;
            claimOnGrid(m, x, f->homePosition.y);
        }
    }
}

void CGlobalAI::setUpSquad(CTeam* opponents, const unsigned counts[5]) {
    team->newSquad(match, opponents);
    const std::vector<std::unique_ptr<CPlayer>>& players = team->players;
    const unsigned s = counts[0], am = counts[1], mid = counts[2], dm = counts[3], d = counts[4];
    formation.build(s, am, mid, dm, d);
    formation.assignPlayer(LINE_GK, 1, players[0].get());

    // Squad order runs from the back: defence first, strikers last.
    const unsigned lineOrder[5][2] = {{LINE_D, d}, {LINE_DM, dm}, {LINE_M, mid}, {LINE_AM, am}, {LINE_ST, s}};
    std::size_t next = 1;
    for (const auto& [line, count] : lineOrder) {
        for (unsigned ordinal = 1; ordinal <= count && next < players.size(); ++ordinal) {
            formation.assignPlayer(line, ordinal, players[next++].get());
        }
    }
}

void CGlobalAI::rebind(const Rebind& r) {
    TeamPlan::rebind(r);
    formation.rebind(r);
}

void CGlobalAI::clearRoles() {
    chaser = nullptr;
    presser = nullptr;
    cover = nullptr;
    markingMap.clear();
}

void CGlobalAI::placeBall(const Vector3& p) {
    match->setBallHolder(nullptr);
    match->ball.position = p;
    match->ball.velocity = kZeroVector;
}

void CGlobalAI::resetFootballers() {
    CPlayer* holder = match->ballHolder;
    match->setBallHolder(nullptr);
    for (std::size_t i = 1; i < team->size(); ++i) {
        if (auto* o = team->player(i)->outfield()) o->resetToDefault();
    }
    match->setBallHolder(holder);
}

void CGlobalAI::moveToHomes() {
    for (std::size_t i = 0; i < team->size(); ++i) {
        CPlayer* f = team->player(i);
        f->position = f->homePosition;
        f->moveMode = 0;
        f->speed = 0.0f;
    }
}

void CGlobalAI::keeperToGoalLine() {
    CPlayer* k = team->goalkeeper();
    if (k == nullptr) return;
    k->homePosition = Vector3(0.0f, -sideSign() * kHalfLength, 0.0f);
    k->position = k->homePosition;
}

void CGlobalAI::makeTaker(CPlayer* p, const Vector3& at) {
    if (p == nullptr) return;
    p->homePosition = Vector3(at.x, at.y, 0.0f);
    p->position = p->homePosition;
    p->moveMode = 0;
    p->speed = 0.0f;
    p->canMove = false;
}

CPlayer* CGlobalAI::nearestTo(const Vector3& p, bool withGoalkeeper) const {
    return team->nearestTo(p, withGoalkeeper);
}

void CGlobalAI::ownKickOff(const Vector3& p) {
    const float s = sideSign();
    arrange(match->ball.position, kBlockWidth, kRestartLength, Vector3(0.0f, -26.25f * s, 0.0f), false);
    keeperToGoalLine();
    resetFootballers();
    placeBall(p + Vector3(0.0f, 0.0f, kBallRadius));
    moveToHomes();

    // Stable order by distance to the centre: neighbours swap only when the later is strictly nearer.
    std::vector<CPlayer*> order;
    for (std::size_t i = 0; i < team->size(); ++i) order.push_back(team->player(i));
    const auto centreDistance = [](const CPlayer* f) { return horizontalLength(f->position); };
    for (std::size_t pass = 0; pass + 1 < order.size(); ++pass) {
        for (std::size_t j = 0; j + 1 < order.size() - pass; ++j) {
            if (centreDistance(order[j + 1]) < centreDistance(order[j])) std::swap(order[j], order[j + 1]);
        }
    }
    if (!order.empty()) {
        makeTaker(order[0], Vector3(p.x, p.y, 0.0f));
        order[0]->faceToward(p + Vector3(1.0f, 0.0f, 0.0f));
    }
    if (order.size() > 1) makeTaker(order[1], Vector3(p.x + 2.0f, p.y, 0.0f));
}

void CGlobalAI::opponentsKickOff(const Vector3& p) {
    const float s = sideSign();
    if (match->rules.compactKickOff) {
        compactKickOffBlock();
    } else {
        arrange(match->ball.position, kBlockWidth, kRestartLength, Vector3(0.0f, -26.25f * s, 0.0f), false);
    }
    keeperToGoalLine();
    moveToHomes();
    resetFootballers();
    if (match->hasHuman(team)) {
        if (CPlayer* n = nearestTo(p, false)) match->select(n);
    }
}

void CGlobalAI::ownCorner(const Vector3& p) {
    const float s = sideSign();
    team->cornersFor += 1;
    arrange(match->ball.position, kBlockWidth, kRestartLength, Vector3(0.0f, 42.0f * s, 0.0f), false);
    resetFootballers();
    moveToHomes();
    placeBall(p);
    CPlayer* taker = nearestTo(p, true);
    if (taker == nullptr) return;
    makeTaker(taker, p);
    taker->faceToward(Vector3(0.0f, p.y, p.z));
    match->setBallHolder(taker);
}

void CGlobalAI::opponentsCorner(const Vector3&) {
    const float s = sideSign();
    arrange(match->ball.position, kBlockWidth, kRestartLength, Vector3(0.0f, -36.75f * s, 0.0f), false);
    moveToHomes();
    resetFootballers();
}

void CGlobalAI::ownGoalKick(const Vector3& p) {
    const float s = sideSign();
    arrange(kZeroVector, kBlockWidth, kRestartLength, Vector3(0.0f, 10.5f * s, 0.0f), false);
    resetFootballers();
    moveToHomes();
    placeBall(p);
    CPlayer* keeper = team->goalkeeper();
    if (keeper == nullptr) return;
    makeTaker(keeper, Vector3(p.x, p.y - 0.4f * s, 0.0f));
    keeper->faceToward(kZeroVector);
    match->setBallHolder(keeper);
}

void CGlobalAI::opponentsGoalKick(const Vector3&) {
    const float s = sideSign();
    arrange(kZeroVector, kBlockWidth, kRestartLength, Vector3(0.0f, -10.5f * s, 0.0f), false);
    moveToHomes();
    resetFootballers();
}

void CGlobalAI::ownThrowIn(const Vector3& p) {
    team->throwInsFor += 1;
    resetFootballers();
    placeBall(p);
    CPlayer* taker = nearestTo(p, false);
    if (taker == nullptr) return;
    makeTaker(taker, p);
    taker->faceToward(Vector3(0.0f, p.y, p.z));
    taker->setPiece = true;
}

void CGlobalAI::opponentsThrowIn(const Vector3&) {
    arrange(match->ball.position, kBlockWidth, kRestartLength, kZeroVector, true);
    moveToHomes();
    resetFootballers();
}

}  // namespace flikka
