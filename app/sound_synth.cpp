// Synthesis of every sound effect: enveloped notes with a few harmonics for
// the tunes, an exponential glide for the steal, low-passed noise for the
// footstep and the wind. Each sound is scaled to a fixed peak, chosen so
// that the sounds which can play at the same moment never add up past full
// scale.
#include "app/sound_synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;

using Samples = std::vector<float>;

int samplesFor(double seconds) { return static_cast<int>(std::lround(seconds * kSoundSampleRate)); }

double secondsAt(int sample) { return static_cast<double>(sample) / kSoundSampleRate; }

// Weights of the second and third harmonic, and how fast a note dies away.
struct Timbre {
    double second;
    double third;
    double decaySeconds;
};

struct Note {
    double hz;
    double start;   // seconds into the sound
    double length;  // seconds
};

// Linear attack, exponential decay, and a short linear release so the note
// ends exactly at zero instead of being cut off with a pop.
double envelope(double t, double length, double attack, double decaySeconds) {
    constexpr double kRelease = 0.02;
    double rise = std::min(1.0, t / attack);
    double fall = std::min(1.0, (length - t) / kRelease);
    return rise * std::exp(-t / decaySeconds) * std::max(0.0, fall);
}

double voice(double phase, const Timbre& timbre) {
    return std::sin(phase) + timbre.second * std::sin(2.0 * phase) + timbre.third * std::sin(3.0 * phase);
}

Samples tune(const Note* notes, int count, const Timbre& timbre) {
    double end = 0.0;
    for (int k = 0; k < count; ++k) end = std::max(end, notes[k].start + notes[k].length);
    Samples out(static_cast<size_t>(samplesFor(end)) + 1, 0.0f);
    for (int k = 0; k < count; ++k) {
        const Note& note = notes[k];
        int first = samplesFor(note.start);
        int length = samplesFor(note.length);
        for (int i = 0; i < length; ++i) {
            double t = secondsAt(i);
            double value = envelope(t, note.length, 0.005, timbre.decaySeconds) * voice(kTwoPi * note.hz * t, timbre);
            out[static_cast<size_t>(first) + i] += static_cast<float>(value);
        }
    }
    return out;
}

// A fixed-seed generator: the same noise on every run and every machine.
struct NoiseSource {
    std::uint32_t state = 0x9e3779b9u;
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
};

// Two one-pole low-pass stages: white noise becomes a soft rush.
struct LowPass {
    double alpha;
    double a = 0.0;
    double b = 0.0;
    explicit LowPass(double cutoffHz) : alpha(1.0 - std::exp(-kTwoPi * cutoffHz / kSoundSampleRate)) {}
    double step(double x) {
        a += alpha * (x - a);
        b += alpha * (a - b);
        return b;
    }
};

// A bright arpeggio, C6 E6 G6 C7, each note ringing into the next.
Samples cakePickedUp() {
    const Note notes[] = {{1046.50, 0.00, 0.12}, {1318.51, 0.05, 0.12}, {1567.98, 0.10, 0.12}, {2093.00, 0.15, 0.20}};
    return tune(notes, 4, Timbre{0.2, 0.0, 0.08});
}

// A hollow tone gliding down two octaves: something was taken.
Samples cakeStolen() {
    constexpr double kLength = 0.5;
    constexpr double kFrom = 660.0;
    constexpr double kTo = 165.0;
    const Timbre hollow{0.0, 1.0 / 3.0, 0.6};
    int count = samplesFor(kLength);
    Samples out(static_cast<size_t>(count), 0.0f);
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        double t = secondsAt(i);
        double hz = kFrom * std::pow(kTo / kFrom, t / kLength);
        double level = envelope(t, kLength, 0.01, hollow.decaySeconds);
        out[static_cast<size_t>(i)] = static_cast<float>(level * voice(phase, hollow));
        // Integrating the frequency keeps the glide free of phase jumps.
        phase += kTwoPi * hz / kSoundSampleRate;
    }
    return out;
}

// Up a D major triad to the octave, the last note held.
Samples victory() {
    const Note notes[] = {{587.33, 0.00, 0.20}, {739.99, 0.12, 0.20}, {880.00, 0.24, 0.20}, {1174.66, 0.36, 0.80}};
    return tune(notes, 4, Timbre{0.3, 0.15, 0.45});
}

// Down G F E-flat to a long low C: the round is over.
Samples gameOver() {
    const Note notes[] = {{392.00, 0.00, 0.35}, {349.23, 0.35, 0.35}, {311.13, 0.70, 0.35}, {261.63, 1.05, 1.00}};
    return tune(notes, 4, Timbre{0.0, 0.3, 0.6});
}

// A short, soft tick: the key was taken.
Samples optionClick() {
    const Note notes[] = {{1200.0, 0.0, 0.03}};
    return tune(notes, 1, Timbre{0.0, 0.0, 0.006});
}

// A crunch in the snow: a burst of low-passed noise over a dull thud.
Samples footstep() {
    constexpr double kLength = 0.12;
    int count = samplesFor(kLength);
    Samples out(static_cast<size_t>(count), 0.0f);
    NoiseSource noise;
    LowPass lowPass(900.0);
    for (int i = 0; i < count; ++i) {
        double t = secondsAt(i);
        double crunch = lowPass.step(noise.next()) * envelope(t, kLength, 0.004, 0.03);
        double thud = 0.5 * std::sin(kTwoPi * 90.0 * t) * envelope(t, kLength, 0.002, 0.02);
        out[static_cast<size_t>(i)] = static_cast<float>(crunch + thud);
    }
    return out;
}

// Four seconds of low rushing noise that rises and falls twice. The end is
// cross-faded into the start with the noise that follows the end, so the
// loop runs on without a seam; the gusts have a whole number of periods in
// the loop for the same reason.
Samples wind() {
    constexpr double kLoopSeconds = 4.0;
    constexpr double kFadeSeconds = 0.5;
    constexpr double kSettleSeconds = 0.2;  // lets the filters forget their zero start
    const int loop = samplesFor(kLoopSeconds);
    const int fade = samplesFor(kFadeSeconds);
    NoiseSource noise;
    LowPass lowPass(300.0);
    for (int i = 0; i < samplesFor(kSettleSeconds); ++i) lowPass.step(noise.next());
    Samples raw(static_cast<size_t>(loop + fade));
    for (float& sample : raw) sample = static_cast<float>(lowPass.step(noise.next()));

    Samples out(raw.begin(), raw.begin() + loop);
    for (int i = 0; i < fade; ++i) {
        // Equal power: the two stretches are unrelated noise.
        double angle = kTwoPi / 4.0 * static_cast<double>(i) / fade;
        out[static_cast<size_t>(i)] = static_cast<float>(raw[static_cast<size_t>(i)] * std::sin(angle) +
                                                         raw[static_cast<size_t>(loop) + i] * std::cos(angle));
    }
    for (int i = 0; i < loop; ++i) {
        double gust = 0.65 + 0.35 * std::sin(kTwoPi * 2.0 * i / loop);
        out[static_cast<size_t>(i)] = static_cast<float>(out[static_cast<size_t>(i)] * gust);
    }
    return out;
}

// Peaks of the effects as fractions of full scale. The loudest moments that
// can coincide: wind, a footstep, a pick-up, a steal and a click (0.96); the
// last steal with the game-over tune over the wind (0.88).
struct Level {
    SoundEffect effect;
    float peak;
};
const Level kLevels[] = {
    {SoundEffect::CakePickedUp, 0.28f}, {SoundEffect::CakeStolen, 0.28f}, {SoundEffect::Victory, 0.5f},
    {SoundEffect::GameOver, 0.5f},      {SoundEffect::OptionClick, 0.1f}, {SoundEffect::Footstep, 0.2f},
    {SoundEffect::Wind, 0.1f},
};

std::vector<std::int16_t> toPcm(const Samples& samples, float peak) {
    float loudest = 0.0f;
    for (float sample : samples) loudest = std::max(loudest, std::fabs(sample));
    float scale = loudest > 0.0f ? peak / loudest : 0.0f;
    std::vector<std::int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        float value = std::clamp(samples[i] * scale, -1.0f, 1.0f);
        pcm[i] = static_cast<std::int16_t>(std::lround(value * 32767.0f));
    }
    return pcm;
}

Samples render(SoundEffect effect) {
    switch (effect) {
    case SoundEffect::CakePickedUp:
        return cakePickedUp();
    case SoundEffect::CakeStolen:
        return cakeStolen();
    case SoundEffect::Victory:
        return victory();
    case SoundEffect::GameOver:
        return gameOver();
    case SoundEffect::OptionClick:
        return optionClick();
    case SoundEffect::Footstep:
        return footstep();
    case SoundEffect::Wind:
        return wind();
    }
    return Samples();
}

}  // namespace

std::vector<std::int16_t> synthesiseSound(SoundEffect effect) {
    float peak = 0.0f;
    for (const Level& level : kLevels)
        if (level.effect == effect) peak = level.peak;
    return toPcm(render(effect), peak);
}
