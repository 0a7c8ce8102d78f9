#pragma once
// The loop's fixed-period timer. The clock value is passed in so that the rule can be driven
// by a fake clock; differences are taken modulo 2^32, so the wrap of the millisecond counter
// is just another step forward.
#include <cstdint>

namespace flikka {

class LoopTimer {
public:
    explicit LoopTimer(std::uint32_t periodMs) : period_(periodMs) {}

    // Accumulator 0, last reading = now.
    void start(std::uint32_t now);
    // Adds the time since the last reading; a backlog of more than ten periods shrinks to one.
    void update(std::uint32_t now);
    // Fires (and consumes one period) when a whole period has accumulated. At most once per call.
    bool fire();
    // update() then fire(): one test of the timer in a pass through the loop.
    bool tick(std::uint32_t now) {
        update(now);
        return fire();
    }
    // Milliseconds from `now` until the timer would fire; 0 when it is due already.
    std::uint32_t untilDue(std::uint32_t now) const;

    std::uint32_t period() const { return period_; }
    std::uint32_t accumulator() const { return accumulator_; }

private:
    std::uint32_t period_;
    std::uint32_t accumulator_ = 0;
    std::uint32_t last_ = 0;
};

}  // namespace flikka
