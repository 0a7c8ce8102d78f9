#pragma once
// What a fuzz target asserts: a broken promise aborts, so libFuzzer keeps the input that broke it.
#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(cond)                                                    \
    do {                                                                      \
        if (!(cond)) {                                                        \
            std::fprintf(stderr, "broken promise: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                     \
        }                                                                     \
    } while (false)
