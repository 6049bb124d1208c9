// The glibc-compatible random sequence: TYPE_3 of random_r, degree 31,
// separation 3, the first 310 values thrown away as glibc does.
#include "math/random_sequence.h"

RandomSequence gameRandom;

namespace {

// r[i] = r[i - 31] + r[i - 3]: with r[i - 34] at ring[next], r[i - 31] is 3
// places on and r[i - 3] 31. The new value takes the oldest one's place.
std::uint32_t advance(RandomSequence& sequence) {
    const std::uint32_t value = sequence.ring[(sequence.next + 3) % 34] + sequence.ring[(sequence.next + 31) % 34];
    sequence.ring[sequence.next] = value;
    sequence.next = (sequence.next + 1) % 34;
    return value;
}

}  // namespace

void seedRandomSequence(RandomSequence& sequence, std::uint32_t seed) {
    std::int32_t state[34];
    state[0] = static_cast<std::int32_t>(seed == 0 ? 1 : seed);
    // 16807 * previous mod (2^31 - 1), in Schrage's form so nothing overflows.
    for (int i = 1; i < 31; ++i) {
        const std::int32_t high = state[i - 1] / 127773;
        const std::int32_t low = state[i - 1] % 127773;
        std::int32_t word = 16807 * low - 2836 * high;
        if (word < 0) word += 2147483647;
        state[i] = word;
    }
    for (int i = 31; i < 34; ++i) state[i] = state[i - 31];
    for (int i = 0; i < 34; ++i) sequence.ring[i] = static_cast<std::uint32_t>(state[i]);
    sequence.next = 0;  // ring[next] holds r[i - 34], the oldest value
    sequence.seeded = true;
    for (int i = 34; i < 344; ++i) advance(sequence);
}

int nextRandom(RandomSequence& sequence) {
    if (!sequence.seeded) seedRandomSequence(sequence, 1);
    return static_cast<int>(advance(sequence) >> 1);
}
