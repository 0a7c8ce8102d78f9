#include "app/LoopTimer.h"

namespace flikka {

void LoopTimer::start(std::uint32_t now) {
    accumulator_ = 0;
    last_ = now;
}

void LoopTimer::update(std::uint32_t now) {
    const std::uint64_t sum = std::uint64_t{accumulator_} + static_cast<std::uint32_t>(now - last_);
    accumulator_ = sum > std::uint64_t{10} * period_ ? period_ : static_cast<std::uint32_t>(sum);
    last_ = now;
}

bool LoopTimer::fire() {
    if (accumulator_ < period_) return false;
    accumulator_ -= period_;
    return true;
}

std::uint32_t LoopTimer::untilDue(std::uint32_t now) const {
    const std::uint64_t pending = std::uint64_t{accumulator_} + static_cast<std::uint32_t>(now - last_);
    return pending >= period_ ? 0u : static_cast<std::uint32_t>(period_ - pending);
}

}  // namespace flikka
