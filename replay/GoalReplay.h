#pragma once
// The instant replay of a goal: the last 8 seconds of frames, kept while the match is played,
// shown at half speed on a display-only match object posed frame by frame. The live match is
// only read: showing or skipping the replay leaves it, the generator and the clock untouched.
#include <cstddef>
#include <memory>

#include "replay/MatchFrame.h"

namespace flikka {
class CMatch;
}

namespace flikka::replay {

class GoalReplay {
public:
    static constexpr std::size_t kFrames = 1600;  // 8 s of 5-ms steps
    // Steps of play after the goal before the replay starts: the ball in the net, the picture
    // darkening towards the kick-off.
    static constexpr int kDelaySteps = 160;
    static constexpr int kTicksPerFrame = 2;  // half speed

    GoalReplay();
    ~GoalReplay();
    GoalReplay(const GoalReplay&) = delete;
    GoalReplay& operator=(const GoalReplay&) = delete;

    // After each step of the watched match (its events are those of the step): keeps the
    // frame; a goal arms the replay. result is the step's (1 half time, 2 full time).
    void observe(const CMatch& m, int result);
    // The armed replay should start now: its delay has run, or play stopped first.
    bool due() const { return armed_ && (delay_ <= 0 || stopped_); }
    // Forgets the frames and any armed replay (a new match).
    void reset();

    // Starts showing the kept frames: builds the display match like the live one.
    void start(const CMatch& live);
    // One logic tick; false once the last frame has been shown (the replay is then over).
    bool tick();
    void stop();
    bool showing() const { return showing_; }
    // The posed display match; only while showing.
    CMatch& display() { return *display_; }
    // The frame now shown, 0 the oldest; and how many there are.
    std::size_t position() const { return cursor_ / kTicksPerFrame; }
    std::size_t length() const { return frames_.size(); }
    std::size_t ringBytes() const { return frames_.bytes(); }

private:
    FrameRing frames_;
    std::unique_ptr<CMatch> display_;
    bool armed_ = false;
    bool stopped_ = false;
    int delay_ = 0;
    bool showing_ = false;
    std::size_t cursor_ = 0;  // ticks since the start
};

static_assert(sizeof(MatchFrame) * GoalReplay::kFrames < 2u * 1024u * 1024u, "the goal replay's ring must stay under 2 MB");

}  // namespace flikka::replay
