// The sound module against OpenAL Soft's own back-ends, no sound card
// needed: the null device plays and mutes, a missing device gives a reason
// and a silent, harmless Sound, the audio libraries' complaints stay off
// standard error, and the wave back-end records the pick-up where it was
// played. OpenAL Soft reads its configuration once per process, so each
// case runs in a fresh child process with its own environment.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "app/sound.h"
#include "tests/support/tone_analysis.h"
#include "tests/support/wav_file.h"

namespace {

// Everything a child finds wrong, one line each; empty when all is well.
using Faults = std::string;

void check(Faults& faults, bool ok, const std::string& what) {
    if (!ok) faults += what + "\n";
}

// Points standard error at a scratch file for the life of the record, so a
// child can tell whether anything was written to it.
struct StderrCatch {
    std::FILE* scratch = std::tmpfile();
    int saved = dup(STDERR_FILENO);
    StderrCatch() {
        std::fflush(stderr);
        dup2(fileno(scratch), STDERR_FILENO);
    }
    std::string release() {
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        std::string text;
        std::rewind(scratch);
        char chunk[512];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, scratch)) > 0) text.append(chunk, got);
        std::fclose(scratch);
        return text;
    }
};

// Runs in the child: sets up OpenAL Soft's environment, runs the case and
// exits 0 when it found no fault, else prints the faults and exits 1.
template <typename Case>
[[noreturn]] void runChild(const char* drivers, const std::string& config, Case run) {
    setenv("ALSOFT_DRIVERS", drivers, 1);
    unsetenv("ALSOFT_LOGLEVEL");
    std::string configPath;
    if (!config.empty()) {
        configPath = "/tmp/varnelo_alsoft_" + std::to_string(getpid()) + ".conf";
        std::ofstream(configPath) << config;
        setenv("ALSOFT_CONF", configPath.c_str(), 1);
    } else {
        setenv("ALSOFT_CONF", "/dev/null", 1);  // no user or system settings
    }
    Faults faults = run();
    if (!configPath.empty()) std::remove(configPath.c_str());
    std::fprintf(stderr, "%s", faults.c_str());
    std::_Exit(faults.empty() ? 0 : 1);
}

class SoundDevice : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(SoundDevice, TheNullDeviceOpensPlaysAndMutes) {
    auto run = [] {
        Faults faults;
        Sound sound;
        std::string whyNot;
        StderrCatch caught;
        bool opened = openSound(sound, whyNot);
        std::string said = caught.release();
        check(faults, opened, "openSound failed: " + whyNot);
        if (!opened) return faults;
        check(faults, whyNot.empty(), "a reason although it opened: " + whyNot);
        check(faults, said.empty(), "standard error got: " + said);
        check(faults, isSoundPlaying(sound, SoundEffect::Wind), "no wind after opening");
        check(faults, !isSoundPlaying(sound, SoundEffect::CakePickedUp), "a pick-up sounds unasked");

        FrameEvents events;
        events.cakesPickedUp = 2;
        events.footsteps = 1;
        playFrameSounds(sound, events);
        check(faults, isSoundPlaying(sound, SoundEffect::CakePickedUp), "no pick-up sound for a pick-up");
        check(faults, isSoundPlaying(sound, SoundEffect::Footstep), "no footstep for a step");
        check(faults, !isSoundPlaying(sound, SoundEffect::CakeStolen), "a steal sound without a steal");
        check(faults, !isSoundPlaying(sound, SoundEffect::Victory), "the victory tune without a victory");

        setSoundMuted(sound, true);
        check(faults, !isSoundPlaying(sound, SoundEffect::CakePickedUp), "the pick-up goes on when muted");
        check(faults, !isSoundPlaying(sound, SoundEffect::Wind), "the wind goes on when muted");
        FrameEvents lost;
        lost.cakesStolen = 1;
        lost.lost = true;
        playFrameSounds(sound, lost);
        playSoundEffect(sound, SoundEffect::OptionClick);
        check(faults, !isSoundPlaying(sound, SoundEffect::GameOver), "the game-over tune sounds while muted");
        check(faults, !isSoundPlaying(sound, SoundEffect::OptionClick), "a click sounds while muted");
        check(faults, !isSoundPlaying(sound, SoundEffect::Wind), "the wind came back while muted");

        setSoundMuted(sound, false);
        check(faults, isSoundPlaying(sound, SoundEffect::Wind), "no wind after unmuting");
        check(faults, !isSoundPlaying(sound, SoundEffect::GameOver), "a tune asked for while muted plays later");
        playFrameSounds(sound, lost);
        check(faults, isSoundPlaying(sound, SoundEffect::GameOver), "no game-over tune");
        check(faults, isSoundPlaying(sound, SoundEffect::CakeStolen), "no steal sound");

        closeSound(sound);
        check(faults, sound.context == nullptr && sound.device == nullptr, "closeSound left the device");
        check(faults, !isSoundPlaying(sound, SoundEffect::Wind), "wind after closing");
        closeSound(sound);  // twice is harmless
        // It opens again after closing, as a fresh Sound.
        check(faults, openSound(sound, whyNot) && isSoundPlaying(sound, SoundEffect::Wind), "no reopening");
        closeSound(sound);
        return faults;
    };
    EXPECT_EXIT(runChild("null", "", run), ::testing::ExitedWithCode(0), "");
}

// No device: a one-line reason, and a Sound every call may use safely.
struct Missing {
    const char* name;
    const char* drivers;
    std::string config;
    const char* reasonHas;  // what the reason must mention
};

TEST_F(SoundDevice, WithoutADeviceItSaysWhyQuietlyAndEverythingElseIsSilent) {
    const Missing cases[] = {
        {"no such back-end", "varnelo_no_such_backend", "", "no audio device"},
        // ALSA with a device name that does not exist: ALSA and OpenAL Soft
        // both complain on standard error, and the reason keeps OpenAL's.
        {"a missing ALSA device", "alsa", "[alsa]\ndevice = varnelo_no_such_pcm\n", "varnelo_no_such_pcm"},
    };
    for (const Missing& missing : cases) {
        SCOPED_TRACE(missing.name);
        const char* reasonHas = missing.reasonHas;
        auto run = [reasonHas] {
            Faults faults;
            Sound sound;
            std::string whyNot;
            StderrCatch caught;
            bool opened = openSound(sound, whyNot);
            std::string said = caught.release();
            check(faults, !opened, "openSound claims a device");
            check(faults, said.empty(), "standard error got: " + said);
            check(faults, whyNot.find(reasonHas) != std::string::npos, "the reason lacks the cause: " + whyNot);
            check(faults, whyNot.find('\n') == std::string::npos, "the reason is not one line: " + whyNot);
            FrameEvents everything{1, 1, true, true, 20.0f, 1};
            playFrameSounds(sound, everything);
            playSoundEffect(sound, SoundEffect::OptionClick);
            setSoundMuted(sound, true);
            setSoundMuted(sound, false);
            keepWindBlowing(sound);
            check(faults, !isSoundPlaying(sound, SoundEffect::Wind), "wind without a device");
            closeSound(sound);
            closeSound(sound);
            return faults;
        };
        EXPECT_EXIT(runChild(missing.drivers, missing.config, run), ::testing::ExitedWithCode(0), "");
    }
}

// The chain the end-to-end test relies on: the pick-up played half a second
// after opening is in the recording of OpenAL Soft's wave back-end, there
// and not earlier. The back-end records in real time, so this waits.
TEST_F(SoundDevice, TheWaveBackEndRecordsThePickUpWhereItWasPlayed) {
    std::string wav = "/tmp/varnelo_sound_" + std::to_string(getpid()) + ".wav";
    std::string config =
        "[general]\nchannels = mono\nsample-type = int16\nfrequency = 44100\n[wave]\nfile = " + wav + "\n";
    auto run = [wav] {
        using Clock = std::chrono::steady_clock;
        auto secondsSince = [](Clock::time_point start) {
            return std::chrono::duration<double>(Clock::now() - start).count();
        };
        Faults faults;
        Sound sound;
        std::string whyNot;
        Clock::time_point opening = Clock::now();
        check(faults, openSound(sound, whyNot), "openSound failed: " + whyNot);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        // The recording starts inside openSound, so it is at most this far.
        double playedAt = secondsSince(opening);
        playSoundEffect(sound, SoundEffect::CakePickedUp);
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        double closedAt = secondsSince(opening);
        closeSound(sound);

        wav_file::Recording recording;
        check(faults, wav_file::readWav(wav.c_str(), recording), "no readable recording in " + wav);
        double length = static_cast<double>(recording.mono.size()) / (recording.rate > 0 ? recording.rate : 1);
        check(faults, std::fabs(length - closedAt) < 0.2,
              "recorded " + std::to_string(length) + " s in " + std::to_string(closedAt) + " s");
        double at = tone_analysis::firstToneTime(recording.mono, recording.rate, kPickUpSignatureHz, 0.0, 100.0);
        // Allow a few mixing periods and the analysis window either way.
        check(faults, std::fabs(at - playedAt) < 0.15,
              "the pick-up tone found at " + std::to_string(at) + " s, played at " + std::to_string(playedAt) + " s");
        std::remove(wav.c_str());
        return faults;
    };
    EXPECT_EXIT(runChild("wave", config, run), ::testing::ExitedWithCode(0), "");
}

}  // namespace
