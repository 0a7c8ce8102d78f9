#include "replay/MatchFrame.h"

#include <algorithm>

#include "match/Match.h"
#include "team/GlobalAI.h"
#include "players/Goalkeeper.h"

namespace flikka::replay {

namespace {

// The view draws a running sprite above this speed: a posed footballer runs at exactly this.
constexpr float kRunningSpeed = 1.0f;
constexpr float kMovingThreshold = 0.01f;

std::int8_t footballerCode(const CMatch& m, const CPlayer* p) {
    if (p == nullptr) return -1;
    const int home = m.home.indexOf(p);
    if (home >= 0 && home < kSquad) return static_cast<std::int8_t>(home);
    const int away = m.away.indexOf(p);
    if (away >= 0 && away < kSquad) return static_cast<std::int8_t>(kSquad + away);
    return -1;
}

CPlayer* footballerAt(CMatch& m, std::int8_t code) {
    if (code < 0 || code >= 2 * kSquad) return nullptr;
    CTeam& t = code < kSquad ? m.home : m.away;
    const std::size_t i = static_cast<std::size_t>(code % kSquad);
    return i < t.size() ? t.player(i) : nullptr;
}

std::uint8_t score(int goals) { return static_cast<std::uint8_t>(std::clamp(goals, 0, 255)); }

}  // namespace

MatchFrame MatchFrame::of(const CMatch& m) {
    MatchFrame f;
    const CTeam* teams[2] = {&m.home, &m.away};
    for (int side = 0; side < 2; ++side) {
        const CTeam& t = *teams[side];
        for (std::size_t i = 0; i < t.size() && i < static_cast<std::size_t>(kSquad); ++i) {
            const CPlayer& p = *t.player(i);
            FootballerPose& pose = f.footballers[side][i];
            pose.x = p.position.x;
            pose.y = p.position.y;
            pose.z = p.position.z;
            pose.direction = static_cast<std::int8_t>(p.direction);
            pose.travelDirection = static_cast<std::int8_t>(p.travelDirection);
            if (p.speed > kMovingThreshold) pose.flags |= FootballerPose::kRunning;
            if (const auto* k = dynamic_cast<const CGoalkeeper*>(&p); k != nullptr && k->isDiving()) {
                pose.flags |= FootballerPose::kDiving;
                pose.diveAngle = k->getDiveAngle();
            }
        }
    }
    f.ballX = m.ball.position.x;
    f.ballY = m.ball.position.y;
    f.ballZ = m.ball.position.z;
    f.elapsed = m.elapsed;
    f.holder = footballerCode(m, m.ballHolder);
    f.selected = footballerCode(m, m.humans[0].selected);
    f.homeScore = score(m.homeScore);
    f.awayScore = score(m.awayScore);
    f.secondHalf = m.secondHalf;
    f.homeAttacksUp = m.home.plan != nullptr && m.home.plan->attacksUpwards;
    return f;
}

void MatchFrame::pose(CMatch& display) const {
    CTeam* teams[2] = {&display.home, &display.away};
    for (int side = 0; side < 2; ++side) {
        CTeam& t = *teams[side];
        for (std::size_t i = 0; i < t.size() && i < static_cast<std::size_t>(kSquad); ++i) {
            CPlayer& p = *t.player(i);
            const FootballerPose& pose = footballers[side][i];
            p.position = {pose.x, pose.y, pose.z};
            p.direction = pose.direction;
            p.travelDirection = pose.travelDirection;
            p.speed = (pose.flags & FootballerPose::kRunning) != 0 ? kRunningSpeed : 0.0f;
            p.hasBall = false;
            if (auto* k = dynamic_cast<CGoalkeeper*>(&p)) {
                k->diving = (pose.flags & FootballerPose::kDiving) != 0;
                k->diveAngle = pose.diveAngle;
            }
        }
    }
    display.ball.position = {ballX, ballY, ballZ};
    display.ball.velocity = kZeroVector;
    display.elapsed = elapsed;
    display.ballHolder = footballerAt(display, holder);
    if (display.ballHolder != nullptr) display.ballHolder->hasBall = true;
    display.humans[0].selected = footballerAt(display, selected);
    display.homeScore = homeScore;
    display.awayScore = awayScore;
    display.secondHalf = secondHalf;
    display.home.plan->attacksUpwards = homeAttacksUp;
    display.away.plan->attacksUpwards = !homeAttacksUp;
    // Play on, with no fade: the replay shows the play, not the restarts' darkening.
    display.state = GAME_PLAY;
    display.stateTimer = 0.0f;
}

FrameRing::FrameRing(std::size_t capacity) : frames_(capacity) {}

void FrameRing::push(const MatchFrame& f) {
    if (frames_.empty()) return;
    frames_[next_] = f;
    next_ = (next_ + 1) % frames_.size();
    count_ = std::min(count_ + 1, frames_.size());
}

void FrameRing::clear() {
    next_ = 0;
    count_ = 0;
}

const MatchFrame& FrameRing::at(std::size_t i) const {
    const std::size_t oldest = (next_ + frames_.size() - count_) % frames_.size();
    return frames_[(oldest + i) % frames_.size()];
}

}  // namespace flikka::replay
