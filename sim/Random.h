#pragma once
// The game's random generator: the same linear congruential sequence on every platform, so a
// match replays identically. Never use the C library's rand. Each match owns one; nothing else
// in the simulation draws numbers.
#include <cstdint>

namespace flikka {

constexpr std::uint32_t kDefaultSeed = 123456;
constexpr int kRandMax = 32767;

class Random {
public:
    explicit Random(std::uint32_t seed = kDefaultSeed) : state_(seed) {}

    void seed(std::uint32_t seed) { state_ = seed; }  // also restores a state read with state()
    std::uint32_t state() const { return state_; }    // the whole generator: a replay starts from it

    int nextInt() {  // 0 .. 32767
        state_ = state_ * 214013u + 2531011u;  // wraps modulo 2^32
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    float unit() { return static_cast<float>(nextInt()) / static_cast<float>(kRandMax); }  // [0, 1]
    float uniform(float a, float b) { return a + (b - a) * unit(); }

private:
    std::uint32_t state_;
};

}  // namespace flikka
