// The synthesised sounds, and the sound module on OpenAL Soft's null and missing back-ends (in child processes).
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

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
        double power = 0.0, steps = 0.0;
        for (size_t i = 0; i < pcm.size(); ++i) {
            samples.push_back(static_cast<float>(pcm[i] / 32767.0));
            power += samples[i] * samples[i] / pcm.size();
            steps += i == 0 ? 0.0 : std::pow(pcm[i] - pcm[i - 1], 2.0) / (pcm.size() - 1);
        }
        EXPECT_GT(std::sqrt(power), 0.01);
        EXPECT_LT(peakOf(pcm), 0.9);  // clipped samples sit at full scale
        const double length = static_cast<double>(pcm.size()) / kSoundSampleRate;
        EXPECT_TRUE(length >= s.shortest && length <= s.longest) << length;
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

// In a child, whose standard error must stay empty: the audio libraries' complaints, and these checks.
void expect(const Sound& sound, const char* wanted, const char* when) {
    std::string playing;  // one letter each: Pick-up, Steal, Victory, Game over, Click, Footstep, Wind
    for (int e = 0; e < kSoundEffectCount; ++e) playing += isSoundPlaying(sound, E(e)) ? "PSVGCFW"[e] : ' ';
    playing.erase(playing.find_last_not_of(' ') + 1);
    if (playing != wanted) std::fprintf(stderr, "%s: '%s', not '%s'\n", when, playing.c_str(), wanted);
}

// OpenAL Soft's back-end and settings (none of the user's); without a device a one-line reason, and silence.
[[noreturn]] void playWith(const char* drivers, const std::string& config, const std::string& reason) {
    const std::string path = "/tmp/varnelo_alsoft_" + std::to_string(getpid());
    std::ofstream(path) << config;
    setenv("ALSOFT_CONF", path.c_str(), 1);
    setenv("ALSOFT_DRIVERS", drivers, 1);
    unsetenv("ALSOFT_LOGLEVEL");
    Sound sound;
    std::string whyNot;
    const bool opened = openSound(sound, whyNot);
    std::remove(path.c_str());
    if (opened != reason.empty() || whyNot.find(reason) == std::string::npos || whyNot.find('\n') != std::string::npos)
        std::fprintf(stderr, "opened %d: '%s'\n", opened, whyNot.c_str());
    expect(sound, opened ? "      W" : "", "opened");
    playFrameSounds(sound, FrameEvents{2, 0, false, false, 0.0f, 1});
    expect(sound, opened ? "P    FW" : "", "a pick-up and a step");
    setSoundMuted(sound, true);
    playFrameSounds(sound, FrameEvents{0, 1, false, true, 0.0f, 0});
    playSoundEffect(sound, E::OptionClick);
    keepWindBlowing(sound);
    expect(sound, "", "muted");
    setSoundMuted(sound, false);
    expect(sound, opened ? "      W" : "", "unmuted: nothing asked for while muted plays later");
    playFrameSounds(sound, FrameEvents{0, 1, false, true, 0.0f, 0});
    expect(sound, opened ? " S G  W" : "", "the last steal");
    closeSound(sound);
    closeSound(sound);  // twice is harmless
    expect(sound, sound.context || sound.device ? "open" : "", "closed");
    std::_Exit(0);
}

TEST(SoundDevice, TheNullDevicePlaysAndMutesAndAMissingOneSaysWhyQuietly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(playWith("null", "", ""), ::testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(playWith("varnelo_no_such_backend", "", "no audio device"), ::testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(playWith("alsa", "[alsa]\ndevice = varnelo_no_such_pcm\n", "varnelo_no_such_pcm"),  // ALSA complains
                ::testing::ExitedWithCode(0), "^$");
}

}  // namespace
