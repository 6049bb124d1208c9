// The synthesised sounds, the mixer, and the sound module on SDL's dummy, missing and failing drivers (in child
// processes).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/end_screen.h"
#include "app/sound.h"
#include "tests/support/tone_analysis.h"

namespace {

using E = SoundEffect;

double peakOf(const std::vector<std::int16_t>& pcm) {
    const auto [low, high] = std::minmax_element(pcm.begin(), pcm.end());
    return std::max(-*low, +*high) / 32767.0;
}

// Tunes end while their end screen shows, a step before the next, the wind loop is too long to hear repeat.
TEST(SoundSynth, EverySoundIsRepeatableAudibleUnclippedAndSilentAtItsEnds) {
    const struct {
        E effect;
        double shortest, longest;
    } sounds[] = {
        {E::CakePickedUp, 0.2, 0.5},
        {E::CakeStolen, 0.3, 1.0},
        {E::Victory, 0.8, kEndScreenHoldSeconds - 0.5},
        {E::GameOver, 0.8, kEndScreenHoldSeconds - 0.5},
        {E::OptionClick, 0.005, 0.05},
        {E::Footstep, 0.05, 0.4},
        {E::Wind, 2.0, 1e9},
    };
    for (const auto& s : sounds) {
        SCOPED_TRACE(static_cast<int>(s.effect));
        const std::vector<std::int16_t> pcm = synthesiseSound(s.effect);
        ASSERT_FALSE(pcm.empty());
        EXPECT_EQ(pcm, synthesiseSound(s.effect));
        std::vector<float> samples;
        double power = 0.0;
        double steps = 0.0;
        for (size_t i = 0; i < pcm.size(); ++i) {
            samples.push_back(static_cast<float>(pcm[i] / 32767.0));
            power += samples[i] * samples[i] / pcm.size();
            steps += i == 0 ? 0.0 : std::pow(pcm[i] - pcm[i - 1], 2.0) / (pcm.size() - 1);
        }
        EXPECT_GT(std::sqrt(power), 0.01);
        EXPECT_LT(peakOf(pcm), 0.9);  // clipped samples sit at full scale
        const double length = static_cast<double>(pcm.size()) / kSoundSampleRate;
        EXPECT_GE(length, s.shortest);
        EXPECT_LE(length, s.longest);
        // Ends away from zero click; the wind loops, so its wrap must be a step like any other.
        const double ends = std::max(std::abs(pcm.front()), std::abs(pcm.back())) / 327.67;
        EXPECT_LE(s.effect == E::Wind ? std::abs(pcm.front() - pcm.back()) / 3.0 / std::sqrt(steps) : ends, 1.0);
        // The end-to-end test finds the pick-up in a recording by a tone no other sound may carry.
        samples.resize(samples.size() + kSoundSampleRate / 10, 0.0f);
        const double at = tone_analysis::firstToneTime(samples, kSoundSampleRate, kPickUpSignatureHz, 0.0, 100.0);
        EXPECT_EQ(at >= 0.0 && at < 0.3, s.effect == E::CakePickedUp) << "tone at " << at;
    }
    // With wind and a click, sounds starting together (a pick-up as a ghost strikes, the end) stay under full scale.
    for (const auto& moment : {std::vector<E>{E::Footstep, E::CakePickedUp, E::CakeStolen},
                               {E::CakeStolen, E::GameOver},
                               {E::Footstep, E::Victory}}) {
        double sum = peakOf(synthesiseSound(E::Wind)) + peakOf(synthesiseSound(E::OptionClick));
        for (E effect : moment) sum += peakOf(synthesiseSound(effect));
        EXPECT_LE(sum, 1.0) << static_cast<int>(moment.back());
    }
}

// Voices over short made-up samples: how each sounds, and where it is after count samples.
TEST(SoundMixer, VoicesPlayOnceOrLoopAddUpClipAndGlideBetweenSamplesWhenPitched) {
    using Pcm = std::vector<std::int16_t>;
    const Pcm rise{100, 200, 300};
    const Pcm loud{30000, -30000};
    const Pcm ramp{0, 100, 200};
    const struct {
        const char* name;
        std::vector<SoundVoice> voices;
        int count;
        Pcm heard;
        bool firstPlaying;
        double firstPosition;
    } cases[] = {
        {"once, then silence, stopped and rewound",
         {{rise.data(), 3, 0.0, 1.0, true, false}},
         5,
         {100, 200, 300, 0, 0},
         false,
         0.0},
        {"from where it stands", {{rise.data(), 3, 1.0, 1.0, true, false}}, 3, {200, 300, 0}, false, 0.0},
        {"a loop runs on into its start",
         {{rise.data(), 3, 0.0, 1.0, true, true}},
         7,
         {100, 200, 300, 100, 200, 300, 100},
         true,
         1.0},
        {"a stopped voice is silent and stays", {{rise.data(), 3, 1.0, 1.0, false, false}}, 2, {0, 0}, false, 1.0},
        {"two voices add up",
         {{rise.data(), 3, 0.0, 1.0, true, false}, {rise.data(), 3, 1.0, 1.0, true, true}},
         3,
         {300, 500, 400},
         false,
         0.0},
        {"the sum clips at full scale",
         {{loud.data(), 2, 0.0, 1.0, true, false}, {loud.data(), 2, 0.0, 1.0, true, false}},
         2,
         {32767, -32768},
         false,
         0.0},
        {"half speed: midway samples, twice as long, into silence",
         {{ramp.data(), 3, 0.0, 0.5, true, false}},
         7,
         {0, 50, 100, 150, 200, 100, 0},
         false,
         0.0},
        {"a pitched loop glides across its seam",
         {{ramp.data(), 3, 1.5, 0.5, true, true}},
         4,
         {150, 200, 100, 0},
         true,
         0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<SoundVoice> voices = c.voices;
        Pcm out(static_cast<size_t>(c.count), 12345);  // whatever the device buffer held is overwritten
        mixSoundVoices(voices.data(), static_cast<int>(voices.size()), out.data(), c.count);
        EXPECT_EQ(out, c.heard);
        EXPECT_EQ(voices[0].playing, c.firstPlaying);
        EXPECT_DOUBLE_EQ(voices[0].position, c.firstPosition);
    }
}

void setEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

// In a child, whose standard error must stay empty: the audio libraries' complaints, and these checks.
void expect(const Sound& sound, const char* wanted, const char* when) {
    std::string playing;  // one letter each: Pick-up, Steal, Victory, Game over, Click, Footstep, Wind
    for (int e = 0; e < kSoundEffectCount; ++e) playing += isSoundPlaying(sound, E(e)) ? "PSVGCFW"[e] : ' ';
    playing.erase(playing.find_last_not_of(' ') + 1);
    if (playing != wanted) std::fprintf(stderr, "%s: '%s', not '%s'\n", when, playing.c_str(), wanted);
}
void expectValue(double value, double wanted, const char* what) {
    if (value != wanted) std::fprintf(stderr, "%s: %g, not %g\n", what, value, wanted);
}
const SoundVoice& voiceOf(const Sound& sound, E effect) { return sound.voices[static_cast<int>(effect)]; }
// Waits up to 5 s for the device's callback to move the wind on; false if it never does.
bool windMoves(const Sound& sound) {
    const double from = voiceOf(sound, E::Wind).position;
    for (int tries = 0; tries < 500; ++tries) {
        if (isSoundPlaying(sound, E::Wind) && voiceOf(sound, E::Wind).position != from) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The frame sounds, restarts, the steps' pitches and muting, with the device held paused so that only this
// code moves the voices on.
void playPaused(Sound& sound) {
    if (!windMoves(sound)) std::fprintf(stderr, "the device never asked for samples\n");
    setSoundPaused(sound, true);
    std::vector<std::int16_t> out(4410);
    const auto mix = [&] { mixSoundVoices(sound.voices, kSoundEffectCount, out.data(), 4410); };  // 0.1 s
    playFrameSounds(sound, FrameEvents{2, 0, false, false, 0.0f, 1});
    expect(sound, "P    FW", "a pick-up and a step");
    mix();
    expectValue(voiceOf(sound, E::CakePickedUp).position, 4410, "the pick-up after 0.1 s");
    playFrameSounds(sound, FrameEvents{1, 0, false, false, 0.0f, 1});
    expectValue(voiceOf(sound, E::CakePickedUp).position, 0, "a second pick-up starts again");
    for (const double step : {1.0, 0.92, 1.0, 0.92}) {  // the third to sixth: every other foot lower
        playFrameSounds(sound, FrameEvents{0, 0, false, false, 0.0f, 1});
        expectValue(voiceOf(sound, E::Footstep).step, step, "a step's speed");
    }
    mix();
    const double wind = voiceOf(sound, E::Wind).position;
    setSoundMuted(sound, true);
    playFrameSounds(sound, FrameEvents{0, 1, false, true, 0.0f, 1});
    playSoundEffect(sound, E::OptionClick);
    keepWindBlowing(sound);
    expect(sound, "", "muted");
    expectValue(voiceOf(sound, E::CakePickedUp).position, 0, "the pick-up, stopped not paused");
    mix();
    setSoundMuted(sound, false);
    expect(sound, "      W", "unmuted: nothing asked for while muted plays later");
    expectValue(voiceOf(sound, E::Wind).position, wind, "the wind carries on where it was");
    playFrameSounds(sound, FrameEvents{0, 1, false, true, 0.0f, 0});
    expect(sound, " S G  W", "the last steal");
    for (int k = 0; k < 50; ++k) mix();  // 5 s: the tunes end, the wind goes round
    expect(sound, "      W", "5 s later");
    setSoundPaused(sound, false);
    if (!windMoves(sound)) std::fprintf(stderr, "the device stays paused\n");
}

// SDL's audio driver (none of the user's); without a device a one-line reason, and silence.
[[noreturn]] void playWith(const char* driver, const char* device, const std::string& reason) {
    setEnvironment("SDL_AUDIODRIVER", driver);
    setEnvironment("AUDIODEV", device);
    Sound sound;
    std::string whyNot;
    const bool opened = openSound(sound, whyNot);
    if (opened != reason.empty() || whyNot.find(reason) == std::string::npos || whyNot.find('\n') != std::string::npos)
        std::fprintf(stderr, "opened %d: '%s'\n", opened, whyNot.c_str());
    expect(sound, opened ? "      W" : "", "opened");
    if (opened) playPaused(sound);
    setSoundMuted(sound, true);
    setSoundMuted(sound, false);
    setSoundPaused(sound, true);
    playFrameSounds(sound, FrameEvents{2, 1, true, true, 0.0f, 1});
    expect(sound, opened ? "PSVG FW" : "", "everything at once");
    closeSound(sound);
    closeSound(sound);  // twice is harmless
    expect(sound, "", "closed");
    if (sound.device != 0) std::fprintf(stderr, "still open\n");
    std::_Exit(0);
}

TEST(SoundDevice, TheDummyDevicePlaysAndMutesAndAMissingOneSaysWhyQuietly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(playWith("dummy", "", ""), ::testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(playWith("varnelo_no_such_driver", "",
                         "no audio device could be opened (Audio target "
                         "'varnelo_no_such_driver' not available)"),
                ::testing::ExitedWithCode(0), "^$");
#ifdef __linux__
    EXPECT_EXIT(playWith("alsa", "varnelo_no_such_pcm", "no audio device could be opened (ALSA"),  // ALSA complains
                ::testing::ExitedWithCode(0), "^$");
#endif
}

}  // namespace
