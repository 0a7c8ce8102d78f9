#include "replay/Viewer.h"

#include <utility>

namespace flikka::replay {

Viewer::Viewer() = default;

Viewer::~Viewer() { close(); }

bool Viewer::open(const std::string& path) {
    close();
    Replay r;
    if (!loadFile(path, r, message_)) return false;
    open(std::move(r));
    return true;
}

void Viewer::open(Replay r) {
    close();
    message_.clear();
    playback_ = std::make_unique<Playback>(std::move(r));
    // The referee's lines were printed when the match was played.
    playback_->match().console = nullptr;
    playback_->start();
    goal_.reset();
    speed_ = ViewSpeed::Normal;
    paused_ = false;
    skipping_ = false;
    ticks_ = 0;
}

void Viewer::close() {
    if (playback_ == nullptr) return;
    goal_.reset();
    playback_.reset();
}

bool Viewer::ended() const { return playback_ != nullptr && playback_->finished() && !goal_.showing(); }

CMatch& Viewer::shown() { return goal_.showing() ? goal_.display() : playback_->match(); }

void Viewer::stepOnce() {
    if (playback_->finished()) return;
    const int result = playback_->step();
    goal_.observe(playback_->match(), result);
    if (goal_.due()) {
        if (goalReplays_ || skipping_) goal_.start(playback_->match());
        else goal_.reset();
        skipping_ = false;
    }
}

void Viewer::tick() {
    if (playback_ == nullptr) return;
    ++ticks_;
    if (goal_.showing()) {
        goal_.tick();
        return;
    }
    if (skipping_) {
        for (int i = 0; i < kSkipStepsPerTick && skipping_ && !goal_.showing() && !playback_->finished(); ++i) stepOnce();
        if (playback_->finished()) skipping_ = false;
        return;
    }
    if (paused_) return;
    switch (speed_) {
        case ViewSpeed::Half:
            if (ticks_ % 2 == 0) stepOnce();
            break;
        case ViewSpeed::Normal:
            stepOnce();
            break;
        case ViewSpeed::Double:
            stepOnce();
            if (!goal_.showing()) stepOnce();
            break;
    }
}

void Viewer::press(Key k) {
    switch (k) {
        case Key::Half: speed_ = ViewSpeed::Half; break;
        case Key::Normal: speed_ = ViewSpeed::Normal; break;
        case Key::Double: speed_ = ViewSpeed::Double; break;
        case Key::Pause: paused_ = !paused_; break;
        case Key::NextGoal:
            if (goal_.showing()) goal_.stop();
            if (playback_ != nullptr && !playback_->finished()) skipping_ = true;
            break;
        case Key::SkipGoalReplay:
            goal_.stop();
            break;
        case Key::Leave: close(); break;
        case Key::None: break;
    }
}

}  // namespace flikka::replay
