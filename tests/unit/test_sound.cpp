// The synthesised sounds (repeatable, audible, unclipped alone or together,
// silent at their ends, moving in pitch the way they mean, the pick-up
// findable in a recording) and the sound module on OpenAL Soft's null and
// missing back-ends, each in a child process since OpenAL Soft reads its
// configuration once per process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/end_screen.h"
#include "app/sound.h"
#include "tests/support/tone_analysis.h"

namespace {

using Pcm = std::vector<std::int16_t>;

std::vector<float> asFloat(const Pcm& pcm) {
    std::vector<float> out;
    for (std::int16_t s : pcm) out.push_back(static_cast<float>(s / 32767.0));
    return out;
}

double peakOf(const Pcm& pcm) {
    return std::max(std::abs(*std::min_element(pcm.begin(), pcm.end())), std::abs(*std::max_element(pcm.begin(), pcm.end()))) / 32767.0;
}

// Pitch from upward zero crossings between from and to seconds.
double pitchBetween(const Pcm& pcm, double from, double to) {
    int crossings = 0;
    for (size_t i = static_cast<size_t>(from * kSoundSampleRate) + 1; i < std::min(pcm.size(), static_cast<size_t>(to * kSoundSampleRate)); ++i)
        crossings += pcm[i - 1] < 0 && pcm[i] >= 0;
    return crossings / (to - from);
}

TEST(SoundSynth, EverySoundIsRepeatableAudibleUnclippedAndShapedForItsMeaning) {
    // Seconds long; then, for a pitch move, windows from the start and before the end and the end/start ratio.
    const struct { SoundEffect effect; double shortest, longest, startFrom, startTo, endFrom, endTo, low, high; } sounds[] = {
        {SoundEffect::CakePickedUp, 0.2, 0.5, 0.005, 0.045, 0.12, 0.02, 1.5, 3.0},  // up an octave, over before the next
        {SoundEffect::CakeStolen, 0.3, 1.0, 0.01, 0.06, 0.08, 0.01, 0.2, 0.5},      // falls two octaves
        // The tunes play over the end screens and must end while they show.
        {SoundEffect::Victory, 0.8, kEndScreenHoldSeconds - 0.5, 0.01, 0.11, 0.5, 0.05, 1.5, 3.0},
        {SoundEffect::GameOver, 0.8, kEndScreenHoldSeconds - 0.5, 0.02, 0.3, 0.6, 0.05, 0.5, 0.8},
        {SoundEffect::OptionClick, 0.005, 0.05, 0, 0, 0, 0, 0, 0},
        {SoundEffect::Footstep, 0.05, 0.4, 0, 0, 0, 0, 0, 0},  // over before the next step at full pace
        {SoundEffect::Wind, 2.0, 1e9, 0, 0, 0, 0, 0, 0},       // long enough not to be heard repeating
    };
    for (const auto& s : sounds) {
        SCOPED_TRACE(static_cast<int>(s.effect));
        const Pcm pcm = synthesiseSound(s.effect);
        ASSERT_FALSE(pcm.empty());
        EXPECT_EQ(pcm, synthesiseSound(s.effect));
        double sum = 0.0, steps = 0.0;
        for (size_t i = 0; i < pcm.size(); ++i) {
            sum += static_cast<double>(pcm[i]) * pcm[i];
            if (i > 0) steps += std::pow(static_cast<double>(pcm[i]) - pcm[i - 1], 2.0);
        }
        EXPECT_GT(std::sqrt(sum / pcm.size()) / 32767.0, 0.01);
        EXPECT_LT(peakOf(pcm), 0.9);  // clipping shows as samples pinned at full scale
        const double length = static_cast<double>(pcm.size()) / kSoundSampleRate;
        EXPECT_GE(length, s.shortest);
        EXPECT_LE(length, s.longest);
        // A sound that starts or stops away from zero clicks; the wind loops, its wrap a step like any other.
        const double wrap = std::abs(pcm.front() - pcm.back());
        const double ends = std::max(std::abs(pcm.front()), std::abs(pcm.back()));
        EXPECT_LE(s.effect == SoundEffect::Wind ? wrap / 3.0 / std::sqrt(steps / (pcm.size() - 1)) : ends / 327.67, 1.0);
        if (s.high > 0.0) {
            const double start = pitchBetween(pcm, s.startFrom, s.startTo);
            const double ratio = pitchBetween(pcm, length - s.endFrom, length - s.endTo) / start;
            ASSERT_GT(start, 100.0);
            EXPECT_GE(ratio, s.low);
            EXPECT_LE(ratio, s.high);
        }
        // The end-to-end test finds the pick-up in a recording by a tone no other sound may carry.
        std::vector<float> samples = asFloat(pcm);
        samples.resize(samples.size() + kSoundSampleRate / 10, 0.0f);
        const double at = tone_analysis::firstToneTime(samples, kSoundSampleRate, kPickUpSignatureHz, 0.0, 100.0);
        EXPECT_EQ(at >= 0.0 && at < 0.3, s.effect == SoundEffect::CakePickedUp) << "tone at " << at;
    }
}

// Sounds that can start at the same moment must not add up past full scale.
TEST(SoundSynth, SoundsThatCanCoincideStayUnderFullScaleTogether) {
    using E = SoundEffect;
    const std::vector<E> moments[] = {
        {E::Wind, E::Footstep, E::CakePickedUp, E::CakeStolen, E::OptionClick},  // a cake reached as a ghost strikes
        {E::Wind, E::CakeStolen, E::GameOver, E::OptionClick},                  // the third steal ends the game
        {E::Wind, E::Footstep, E::Victory, E::OptionClick},                     // the winning step
    };
    for (const auto& moment : moments) {
        double sum = 0.0;
        for (E effect : moment) sum += peakOf(synthesiseSound(effect));
        EXPECT_LE(sum, 1.0) << static_cast<int>(moment[2]);
    }
}

// As in the game: the pick-up over the wind and her footsteps, one second in; found there and not before.
TEST(SoundSynth, ThePickUpIsFoundInAMixAtTheMomentItStarts) {
    std::vector<float> mix = asFloat(synthesiseSound(SoundEffect::Wind));
    auto add = [&mix](SoundEffect effect, double at) {
        const std::vector<float> sound = asFloat(synthesiseSound(effect));
        for (size_t i = 0; i < sound.size(); ++i) mix[static_cast<size_t>(at * kSoundSampleRate) + i] += sound[i];
    };
    for (double at : {0.2, 0.6, 1.0, 1.4}) add(SoundEffect::Footstep, at);
    add(SoundEffect::CakePickedUp, 1.0);
    const double found = tone_analysis::firstToneTime(mix, kSoundSampleRate, kPickUpSignatureHz, 0.0, 100.0);
    EXPECT_GE(found, 1.0 - tone_analysis::kWindowSeconds);
    EXPECT_LT(found, 1.3);
}

// One letter per sound playing: Pick-up, Steal, Victory, Game over, Click, Footstep, Wind.
std::string playing(const Sound& sound) {
    std::string letters;
    for (int e = 0; e < kSoundEffectCount; ++e) letters += isSoundPlaying(sound, SoundEffect(e)) ? "PSVGCFW"[e] : ' ';
    return letters.substr(0, letters.find_last_not_of(' ') + 1);
}

// In a child: OpenAL Soft's back-end and settings (none from the user or
// system), then openSound; said is what it wrote on standard error.
bool openWith(const char* drivers, const std::string& config, Sound& sound, std::string& whyNot, std::string& said) {
    const std::string path = "/tmp/varnelo_alsoft_" + std::to_string(getpid()) + ".conf";
    std::ofstream(path) << config;
    setenv("ALSOFT_DRIVERS", drivers, 1);
    setenv("ALSOFT_CONF", path.c_str(), 1);
    unsetenv("ALSOFT_LOGLEVEL");
    std::FILE* scratch = std::tmpfile();
    const int saved = dup(STDERR_FILENO);
    dup2(fileno(scratch), STDERR_FILENO);
    const bool opened = openSound(sound, whyNot);
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    std::rewind(scratch);
    char text[512];
    said.assign(text, std::fread(text, 1, sizeof text, scratch));
    std::remove(path.c_str());
    return opened;
}

// Each step's sounds, as letters; the child exits 1 with the differences on standard error.
[[noreturn]] void nullDevice() {
    Sound sound;
    std::string whyNot, said, faults;
    auto expect = [&faults](const std::string& got, const char* wanted, const char* when) {
        if (got != wanted) faults += std::string(when) + ": '" + got + "', not '" + wanted + "'\n";
    };
    expect(openWith("null", "", sound, whyNot, said) ? whyNot + said : "no device", "", "opening quietly");
    expect(playing(sound), "      W", "opened");
    playFrameSounds(sound, FrameEvents{2, 0, false, false, 0.0f, 1});
    expect(playing(sound), "P    FW", "a pick-up and a step");
    setSoundMuted(sound, true);
    const FrameEvents lost{0, 1, false, true, 0.0f, 0};
    playFrameSounds(sound, lost);
    playSoundEffect(sound, SoundEffect::OptionClick);
    expect(playing(sound), "", "muted");
    setSoundMuted(sound, false);
    expect(playing(sound), "      W", "unmuted: nothing asked for while muted plays later");
    playFrameSounds(sound, lost);
    expect(playing(sound), " S G  W", "the last steal");
    closeSound(sound);
    expect(sound.context || sound.device ? "open" : playing(sound), "", "closed");
    closeSound(sound);  // twice is harmless
    expect(openSound(sound, whyNot) ? playing(sound) : whyNot, "      W", "opened again");
    closeSound(sound);
    std::fprintf(stderr, "%s", faults.c_str());
    std::_Exit(faults.empty() ? 0 : 1);
}

TEST(SoundDevice, TheNullDeviceOpensQuietlyPlaysAndMutes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(nullDevice(), ::testing::ExitedWithCode(0), "");
}

// No device: a one-line reason naming the cause, nothing on standard error
// (where ALSA and OpenAL Soft both complain), and a Sound every call may use.
[[noreturn]] void missingDevice(const char* drivers, const std::string& config, const char* cause) {
    Sound sound;
    std::string whyNot, said;
    const bool opened = openWith(drivers, config, sound, whyNot, said);
    playFrameSounds(sound, FrameEvents{1, 1, true, true, 20.0f, 1});
    playSoundEffect(sound, SoundEffect::OptionClick);
    setSoundMuted(sound, true);
    setSoundMuted(sound, false);
    keepWindBlowing(sound);
    const bool silent = playing(sound).empty();
    closeSound(sound);
    closeSound(sound);
    std::fprintf(stderr, "opened %d, silent %d, reason '%s', said '%s'\n", opened, silent, whyNot.c_str(), said.c_str());
    std::_Exit(!opened && silent && said.empty() && whyNot.find(cause) != std::string::npos && whyNot.find('\n') == std::string::npos ? 0 : 1);
}

TEST(SoundDevice, WithoutADeviceItSaysWhyQuietlyAndEverythingElseIsSilent) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(missingDevice("varnelo_no_such_backend", "", "no audio device"), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(missingDevice("alsa", "[alsa]\ndevice = varnelo_no_such_pcm\n", "varnelo_no_such_pcm"), ::testing::ExitedWithCode(0), "");
}

}  // namespace
