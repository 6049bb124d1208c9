// Finding a steady tone in samples (Goertzel in a Hann window, against its neighbours). The synthesis tests
// and sound_tone share it, so both judge "the pick-up sounds here" the same way.
#pragma once

#include <cmath>
#include <vector>

namespace tone_analysis {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kWindowSeconds = 0.04;
constexpr double kHopSeconds = 0.01;

// Power of frequency hz in samples [first, first + count), Hann-windowed.
inline double tonePower(const std::vector<float>& samples, size_t first, size_t count, double hz, int rate) {
    double coefficient = 2.0 * std::cos(kTwoPi * hz / rate), s1 = 0.0, s2 = 0.0;
    for (size_t n = 0; n < count; ++n) {
        double window = 0.5 - 0.5 * std::cos(kTwoPi * static_cast<double>(n) / static_cast<double>(count - 1));
        double s0 = window * samples[first + n] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
}

// Audible (amplitude 0.005; a Hann window sums to count / 2) and 30 times (noise: under 1e-6) the mean power of
// eight neighbours near enough to share its noise floor, far enough to miss its own spread in a 40 ms window.
inline bool toneSounds(const std::vector<float>& samples, size_t first, size_t count, double hz, int rate) {
    double power = tonePower(samples, first, count, hz, rate), around = 0.0;
    if (2.0 * std::sqrt(power) / (count / 2.0) < 0.005) return false;
    for (double offset : {0.80, 0.85, 0.90, 0.94, 1.06, 1.10, 1.15, 1.20})
        around += tonePower(samples, first, count, hz * offset, rate);
    return power > 30.0 * (around / 8.0);
}

// Seconds to the first window in [from, to) where the tone sounds in two windows running; -1 if none.
inline double firstToneTime(const std::vector<float>& samples, int rate, double hz, double from, double to) {
    size_t window = static_cast<size_t>(kWindowSeconds * rate), hop = static_cast<size_t>(kHopSeconds * rate);
    size_t first = from > 0.0 ? static_cast<size_t>(from * rate) : 0;
    bool previous = false;
    for (; first + window <= samples.size(); first += hop) {
        if (static_cast<double>(first) / rate >= to) break;
        bool now = toneSounds(samples, first, window, hz, rate);
        if (now && previous) return static_cast<double>(first - hop) / rate;
        previous = now;
    }
    return -1.0;
}

}  // namespace tone_analysis
