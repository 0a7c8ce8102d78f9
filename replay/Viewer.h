#pragma once
// "watch replay": a recorded match played back for the eye at half, normal or double speed,
// with pause and a jump to the next goal (fast forward, then that goal's replay). The playback
// runs on a match object of its own, with its own generator and clock, and prints no referee's
// lines (they were printed when the match was played).
#include <cstdint>
#include <memory>
#include <string>

#include "replay/GoalReplay.h"
#include "replay/Playback.h"

namespace flikka::replay {

enum class ViewSpeed { Half, Normal, Double };

class Viewer {
public:
    // Steps played per tick while fast-forwarding to a goal.
    static constexpr int kSkipStepsPerTick = 400;

    enum class Key { None, Half, Normal, Double, Pause, NextGoal, SkipGoalReplay, Leave };

    Viewer();
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // Loads and starts a replay. False with message() naming the file and the fault.
    bool open(const std::string& path);
    // Starts a replay already read.
    void open(Replay r);
    void close();
    bool isOpen() const { return playback_ != nullptr; }
    const std::string& message() const { return message_; }

    // Instant replays after the goals, as in a live match (a jump to a goal always shows it).
    void setGoalReplays(bool on) { goalReplays_ = on; }

    // One logic tick of 5 ms.
    void tick();
    // A key of the viewer; Leave closes it.
    void press(Key k);

    ViewSpeed speed() const { return speed_; }
    bool paused() const { return paused_; }
    bool skipping() const { return skipping_; }
    bool ended() const;
    bool showingGoalReplay() const { return goal_.showing(); }
    // What to draw: the goal replay's posed match while it shows, else the playback's.
    CMatch& shown();
    const Playback& playback() const { return *playback_; }

private:
    void stepOnce();

    std::unique_ptr<Playback> playback_;
    GoalReplay goal_;
    std::string message_;
    ViewSpeed speed_ = ViewSpeed::Normal;
    bool paused_ = false;
    bool skipping_ = false;
    bool goalReplays_ = true;
    std::uint64_t ticks_ = 0;
};

}  // namespace flikka::replay
