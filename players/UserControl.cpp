#include "players/UserControl.h"

#include <algorithm>
#include <vector>

#include "sim/KeyState.h"
#include "players/Kicks.h"
#include "players/Player.h"
#include "players/Play.h"
#include "players/Team.h"

namespace flikka::user_control {

namespace {

constexpr float kPendingTime = 2.5f;

void storePending(CPlayer& p, int kind, int aim) {
    p.pendingKind = kind;
    p.pendingAim = aim;
    p.pendingTime = kPendingTime;
}

bool selectedHoldsBall(const CPlay& m, const HumanControl& h) {
    return h.selected != nullptr && m.ballHolder == h.selected;
}

}  // namespace

void controlSelected(CPlay& m) {
    for (HumanControl& h : m.humans) controlSelected(m, h);
}

void controlSelected(CPlay& m, HumanControl& h) {
    if (h.selected == nullptr) return;
    const int aim = readDirection(m, h);
    loosePressActions(m, h, aim);
    releaseActions(m, h, aim);
    switchSelected(m, h);
}

int readDirection(CPlay& m) { return readDirection(m, m.humans[0]); }
void loosePressActions(CPlay& m, int aim) { loosePressActions(m, m.humans[0], aim); }
void releaseActions(CPlay& m, int aim) { releaseActions(m, m.humans[0], aim); }
void switchSelected(CPlay& m) { switchSelected(m, m.humans[0]); }
void rebuildSwitchList(CPlay& m) { rebuildSwitchList(m, m.humans[0]); }

int readDirection(CPlay&, HumanControl& h) {
    const KeyState& k = h.keys;
    const bool up = k.pressed(SLOT_UP);
    const bool down = k.pressed(SLOT_DOWN);
    const bool left = k.pressed(SLOT_LEFT);
    const bool right = k.pressed(SLOT_RIGHT);

    // Later rules win: with opposite keys together down beats up and right beats left.
    int d = 0;
    if (up) d = 1;
    if (down) d = 5;
    if (left) d = 3;
    if (right) d = 7;
    if (up && left) d = 2;
    if (up && right) d = 8;
    if (down && left) d = 4;
    if (down && right) d = 6;

    // While an action key is held the arrows only aim.
    if (k.pressed(SLOT_SHOOT) || k.pressed(SLOT_PASS) || k.pressed(SLOT_THRU) || k.pressed(SLOT_CROSS)) return d;

    if (h.selected != nullptr) h.selected->setDirection(d);
    return d;
}

void loosePressActions(CPlay& m, HumanControl& h, int aim) {
    if (h.selected == nullptr) return;
    // Full rules: shoot pressed while an opponent holds the ball is a sliding tackle.
    if (m.ballHolder != nullptr) {
        const KeyState& k = h.keys;
        CPlayer& p = *h.selected;
        if (m.rules.slidingTackles && k.pressed(SLOT_SHOOT) && !k.previous[SLOT_SHOOT] && !p.team->contains(m.ballHolder)) {
            p.startSlide(p.directionVectors[aim != 0 ? aim : (p.direction != 0 ? p.direction : 1)]);
        }
        return;
    }
    const KeyState& k = h.keys;
    CPlayer& p = *h.selected;
    // Renewed every step while held, so the kick keeps its full time until the key goes up.
    if (k.pressed(SLOT_SHOOT)) storePending(p, KICK_SHOT, aim);
    if (k.pressed(SLOT_PASS)) kicks::pass(aim, p, true);
    if (k.pressed(SLOT_THRU)) storePending(p, KICK_THROUGH, aim);
    if (k.pressed(SLOT_CROSS)) storePending(p, KICK_CROSS, aim);
}

void releaseActions(CPlay& m, HumanControl& h, int aim) {
    const KeyState& k = h.keys;
    // Each kick releases the ball, so at most one kick is played per step.
    if (selectedHoldsBall(m, h) && k.released(SLOT_SHOOT)) kicks::shoot(aim, *h.selected, false);
    if (selectedHoldsBall(m, h) && k.released(SLOT_PASS)) kicks::pass(aim, *h.selected, false);
    if (selectedHoldsBall(m, h) && k.released(SLOT_CROSS)) kicks::cross(aim, *h.selected, false);
}

void switchSelected(CPlay& m, HumanControl& h) {
    if (h.selected == nullptr || selectedHoldsBall(m, h)) return;
    if (!h.keys.released(SLOT_SWITCH)) return;
    SwitchList& list = h.switchList;
    if (list.candidates.empty()) return;

    const auto take = [&list]() {
        if (list.cursor >= list.candidates.size()) list.cursor = 0;
        CPlayer* c = list.candidates[list.cursor];
        list.cursor = (list.cursor + 1) % list.candidates.size();
        return c;
    };
    CPlayer* candidate = take();
    if (candidate == h.selected) candidate = take();
    // The other human's footballer is not free: on through the list, once round at most.
    for (std::size_t n = 0; n < list.candidates.size() && m.heldByOtherHuman(h, candidate); ++n) candidate = take();
    if (m.heldByOtherHuman(h, candidate)) return;
    m.selectFor(h, candidate);
}

void rebuildSwitchList(CPlay& m, HumanControl& h) {
    if (h.team == nullptr) return;
    const CTeam& team = *h.team;
    const Vector3 ball = m.ball.position;
    SwitchList& list = h.switchList;

    std::vector<CPlayer*> work;
    for (std::size_t i = 1; i < team.size(); ++i) work.push_back(team.player(i));
    list.candidates.clear();

    for (int n = 0; n < 3 && !work.empty(); ++n) {
        std::size_t best = 0;
        float bestDistance = distance(work[0]->position, ball);
        for (std::size_t i = 1; i < work.size(); ++i) {
            const float d = distance(work[i]->position, ball);
            if (d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        list.candidates.push_back(work[best]);
        work.erase(work.begin() + static_cast<std::ptrdiff_t>(best));
    }

    // Also offer whoever stands where a moving ball is heading.
    const float speed = m.ball.speed();
    if (speed > 0.01f) {
        const Vector3 u = m.ball.velocity / speed;
        const float cx = ball.x + 5.0f * u.x;
        const float cy = ball.y + 5.0f * u.y;
        CPlayer* ahead = nullptr;
        float bestDistance = 0.0f;
        for (std::size_t i = 1; i < team.size(); ++i) {
            CPlayer* f = team.player(i);
            const Vector3& q = f->position;
            if (q.x < cx - 5.0f || q.x >= cx + 5.0f || q.y < cy - 5.0f || q.y >= cy + 5.0f) continue;
            const float d = horizontalDistance(q, ball);
            if (ahead == nullptr || d < bestDistance) {
                ahead = f;
                bestDistance = d;
            }
        }
        if (ahead != nullptr && std::find(list.candidates.begin(), list.candidates.end(), ahead) == list.candidates.end()) {
            list.candidates.push_back(ahead);
        }
    }
    list.cursor = 0;
}

}  // namespace flikka::user_control
