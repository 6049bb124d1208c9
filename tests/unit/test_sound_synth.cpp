// The synthesised sounds: repeatable, audible, unclipped even when they
// overlap, free of pops at their ends, moving in pitch the way they mean,
// recognisable in a recording by the pick-up's tone, and a wind loop that
// runs on without a seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "app/end_screen.h"
#include "app/sound_synth.h"
#include "tests/support/tone_analysis.h"

namespace {

constexpr double kFullScale = 32767.0;

const SoundEffect kAllEffects[] = {SoundEffect::CakePickedUp, SoundEffect::CakeStolen, SoundEffect::Victory,
                                   SoundEffect::GameOver,     SoundEffect::OptionClick, SoundEffect::Footstep,
                                   SoundEffect::Wind};

std::vector<float> asFloat(const std::vector<std::int16_t>& pcm) {
    std::vector<float> out(pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i) out[i] = static_cast<float>(pcm[i] / kFullScale);
    return out;
}

double seconds(const std::vector<std::int16_t>& pcm) { return static_cast<double>(pcm.size()) / kSoundSampleRate; }

double peakOf(const std::vector<std::int16_t>& pcm) {
    int peak = 0;
    for (std::int16_t s : pcm) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak / kFullScale;
}

double rmsOf(const std::vector<std::int16_t>& pcm) {
    double sum = 0.0;
    for (std::int16_t s : pcm) sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(pcm.size())) / kFullScale;
}

// Pitch from upward zero crossings between from and to seconds.
double pitchBetween(const std::vector<std::int16_t>& pcm, double from, double to) {
    size_t first = static_cast<size_t>(from * kSoundSampleRate);
    size_t last = std::min(pcm.size(), static_cast<size_t>(to * kSoundSampleRate));
    int crossings = 0;
    for (size_t i = first + 1; i < last; ++i)
        if (pcm[i - 1] < 0 && pcm[i] >= 0) ++crossings;
    return crossings / (to - from);
}

TEST(SoundSynth, EverySoundIsRepeatableAudibleAndUnclipped) {
    for (SoundEffect effect : kAllEffects) {
        SCOPED_TRACE(static_cast<int>(effect));
        std::vector<std::int16_t> pcm = synthesiseSound(effect);
        ASSERT_FALSE(pcm.empty());
        EXPECT_EQ(pcm, synthesiseSound(effect));
        EXPECT_GT(rmsOf(pcm), 0.01);
        // Clipping shows as samples pinned at full scale.
        EXPECT_LT(peakOf(pcm), 0.9);
    }
}

// Sounds that can start at the same moment must not add up past full scale,
// or the mix clips into a crackle.
TEST(SoundSynth, SoundsThatCanCoincideStayUnderFullScaleTogether) {
    const std::initializer_list<SoundEffect> moments[] = {
        // Walking onto a cake as a ghost strikes, pressing an option key.
        {SoundEffect::Wind, SoundEffect::Footstep, SoundEffect::CakePickedUp, SoundEffect::CakeStolen,
         SoundEffect::OptionClick},
        // The third steal ends the game in the same frame.
        {SoundEffect::Wind, SoundEffect::CakeStolen, SoundEffect::GameOver, SoundEffect::OptionClick},
        // The winning step onto the phantom.
        {SoundEffect::Wind, SoundEffect::Footstep, SoundEffect::Victory, SoundEffect::OptionClick},
    };
    for (const auto& moment : moments) {
        double sum = 0.0;
        for (SoundEffect effect : moment) sum += peakOf(synthesiseSound(effect));
        EXPECT_LE(sum, 1.0) << "sounds starting together, first " << static_cast<int>(*moment.begin());
    }
}

struct Length {
    SoundEffect effect;
    double minSeconds;
    double maxSeconds;
};

TEST(SoundSynth, OneShotsAreAsLongAsTheyShouldBeAndStartAndEndInSilence) {
    const Length lengths[] = {
        {SoundEffect::CakePickedUp, 0.2, 0.5},  // short, gone before the next pick-up could come
        {SoundEffect::CakeStolen, 0.3, 1.0},
        // The tunes play over the end screens and must end while they show.
        {SoundEffect::Victory, 0.8, kEndScreenHoldSeconds - 0.5},
        {SoundEffect::GameOver, 0.8, kEndScreenHoldSeconds - 0.5},
        {SoundEffect::OptionClick, 0.005, 0.05},
        // Over before the next step at full walking pace (16 units at 40/s).
        {SoundEffect::Footstep, 0.05, 0.4},
    };
    for (const Length& expected : lengths) {
        SCOPED_TRACE(static_cast<int>(expected.effect));
        std::vector<std::int16_t> pcm = synthesiseSound(expected.effect);
        EXPECT_GE(seconds(pcm), expected.minSeconds);
        EXPECT_LE(seconds(pcm), expected.maxSeconds);
        // A sound that starts or stops away from zero clicks.
        EXPECT_LE(std::abs(pcm.front()) / kFullScale, 0.01);
        EXPECT_LE(std::abs(pcm.back()) / kFullScale, 0.01);
    }
}

struct PitchMove {
    SoundEffect effect;
    double startFrom, startTo;  // seconds from the start
    double endFrom, endTo;      // seconds before the end
    double minRatio, maxRatio;  // end pitch over start pitch
};

TEST(SoundSynth, PitchRisesForGoodNewsAndFallsForBad) {
    const PitchMove moves[] = {
        {SoundEffect::CakePickedUp, 0.005, 0.045, 0.12, 0.02, 1.5, 3.0},  // up an octave
        {SoundEffect::CakeStolen, 0.01, 0.06, 0.08, 0.01, 0.2, 0.5},       // falls two octaves
        {SoundEffect::Victory, 0.01, 0.11, 0.5, 0.05, 1.5, 3.0},
        {SoundEffect::GameOver, 0.02, 0.3, 0.6, 0.05, 0.5, 0.8},
    };
    for (const PitchMove& move : moves) {
        SCOPED_TRACE(static_cast<int>(move.effect));
        std::vector<std::int16_t> pcm = synthesiseSound(move.effect);
        double length = seconds(pcm);
        double start = pitchBetween(pcm, move.startFrom, move.startTo);
        double end = pitchBetween(pcm, length - move.endFrom, length - move.endTo);
        ASSERT_GT(start, 100.0);
        EXPECT_GE(end / start, move.minRatio) << start << " Hz to " << end << " Hz";
        EXPECT_LE(end / start, move.maxRatio) << start << " Hz to " << end << " Hz";
    }
}

// The end-to-end test finds the pick-up in a recording by its top note; no
// other sound may carry that tone, or a recording without a pick-up would
// pass.
TEST(SoundSynth, OnlyThePickUpCarriesTheToneThatMarksItInARecording) {
    for (SoundEffect effect : kAllEffects) {
        SCOPED_TRACE(static_cast<int>(effect));
        std::vector<float> samples = asFloat(synthesiseSound(effect));
        samples.resize(samples.size() + kSoundSampleRate / 10, 0.0f);
        double at = tone_analysis::firstToneTime(samples, kSoundSampleRate, kPickUpSignatureHz, 0.0, 100.0);
        if (effect == SoundEffect::CakePickedUp) {
            EXPECT_GE(at, 0.0);
            EXPECT_LT(at, 0.3);
        } else {
            EXPECT_LT(at, 0.0) << "found at " << at << " s";
        }
    }
}

// As in the game: the pick-up over the wind and her footsteps, one second
// in; it is found there and not before.
TEST(SoundSynth, ThePickUpIsFoundInAMixAtTheMomentItStarts) {
    std::vector<float> mix = asFloat(synthesiseSound(SoundEffect::Wind));
    std::vector<float> step = asFloat(synthesiseSound(SoundEffect::Footstep));
    std::vector<float> pickUp = asFloat(synthesiseSound(SoundEffect::CakePickedUp));
    for (double at : {0.2, 0.6, 1.0, 1.4}) {
        size_t first = static_cast<size_t>(at * kSoundSampleRate);
        for (size_t i = 0; i < step.size(); ++i) mix[first + i] += step[i];
    }
    const double pickUpAt = 1.0;
    size_t first = static_cast<size_t>(pickUpAt * kSoundSampleRate);
    for (size_t i = 0; i < pickUp.size(); ++i) mix[first + i] += pickUp[i];

    double found = tone_analysis::firstToneTime(mix, kSoundSampleRate, kPickUpSignatureHz, 0.0, 100.0);
    EXPECT_GE(found, pickUpAt - tone_analysis::kWindowSeconds);
    EXPECT_LT(found, pickUpAt + 0.3);
}

TEST(SoundSynth, TheWindLoopsWithoutASeam) {
    std::vector<std::int16_t> wind = synthesiseSound(SoundEffect::Wind);
    ASSERT_GT(seconds(wind), 2.0);  // long enough not to be heard repeating
    // The step from the last sample back to the first must look like any
    // other step between neighbours, not like a jump.
    double sumSquares = 0.0;
    for (size_t i = 1; i < wind.size(); ++i) {
        double d = static_cast<double>(wind[i]) - wind[i - 1];
        sumSquares += d * d;
    }
    double typicalStep = std::sqrt(sumSquares / static_cast<double>(wind.size() - 1));
    double wrapStep = std::fabs(static_cast<double>(wind.front()) - wind.back());
    EXPECT_LE(wrapStep, 3.0 * typicalStep) << "typical step " << typicalStep;
}

}  // namespace
