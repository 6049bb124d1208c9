// The game's random numbers: the sequence that glibc's rand() gives a process
// that never seeds it, reproduced in our own code. The start layout and the
// snow draw from one sequence in a fixed order, so every run starts the same;
// with our own generator a Windows build (whose C runtime has another rand())
// starts exactly as a Linux build does.
#pragma once

#include <cstdint>

// glibc's additive feedback generator: r[i] = r[i - 3] + r[i - 31], the
// output r[i] >> 1, seeded by a Park–Miller sequence. Zero-initialised it is
// not seeded; the first draw seeds it with 1, as a fresh process would.
struct RandomSequence {
    std::uint32_t ring[34] = {};
    int next = 0;  // where the next value is written in ring
    bool seeded = false;
};

// The largest value nextRandom returns, glibc's RAND_MAX.
constexpr int kRandomMax = 2147483647;

// Starts the sequence over as srand(seed) would; 0 counts as 1.
void seedRandomSequence(RandomSequence& sequence, std::uint32_t seed);
// The next value, from 0 to kRandomMax.
int nextRandom(RandomSequence& sequence);

// The one sequence the scene population and the snow draw from, in loading
// order; tests that need the start layout seed it with 1 first.
extern RandomSequence gameRandom;
