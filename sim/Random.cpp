#include "sim/Random.h"

namespace flikka {

namespace {
std::uint32_t g_state = kDefaultSeed;
}

void seedRandom(std::uint32_t seed) { g_state = seed; }

std::uint32_t randomState() { return g_state; }

int randomInt() {
    g_state = g_state * 214013u + 2531011u;  // wraps modulo 2^32
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

float randomUnit() { return static_cast<float>(randomInt()) / static_cast<float>(kRandMax); }

float uniform(float a, float b) { return a + (b - a) * randomUnit(); }

}  // namespace flikka
