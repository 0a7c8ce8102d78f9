#pragma once
// A running hash of a match's whole trajectory: the ball and every footballer, bit for bit,
// step after step. Two runs that differ anywhere, even in the last bit of one float, differ here.
#include <cstdint>

namespace flikka {

class CMatch;

class TrajectoryHash {
public:
    // Folds the state of the match as it stands after a step.
    void add(const CMatch& m);
    std::uint64_t value() const { return hash_; }

private:
    void mixBytes(const void* data, unsigned size);
    void mixFloat(float f) { mixBytes(&f, sizeof f); }
    void mixInt(std::int32_t i) { mixBytes(&i, sizeof i); }

    std::uint64_t hash_ = 14695981039346656037ULL;  // FNV-1a offset basis
};

}  // namespace flikka
