#pragma once
// The game's single random generator: the same linear congruential sequence on every
// platform, so a match replays identically. Never use the C library's rand.
#include <cstdint>

namespace flikka {

constexpr std::uint32_t kDefaultSeed = 123456;
constexpr int kRandMax = 32767;

void seedRandom(std::uint32_t seed);  // also restores a state read with randomState
std::uint32_t randomState();         // the whole generator: a replay starts from it
int randomInt();          // 0 .. 32767
float randomUnit();       // randomInt() / 32767, in [0, 1]
float uniform(float a, float b);  // a + (b - a) * randomUnit()

}  // namespace flikka
