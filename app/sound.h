// The game's sound through SDL's audio: one device whose callback mixes a
// voice per effect, each voice reading the samples made at open, so playing
// is only a restart of a voice that already exists: no allocation, no
// waiting. Without a usable device openSound says why and every other
// function does nothing, so the game runs the same, silently. Only sound.cpp
// sees SDL; the mixing itself is a plain function, heard the same anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/sound_synth.h"
#include "game/frame_events.h"

// One effect's playback: where in its samples it is and how fast it moves.
struct SoundVoice {
    const std::int16_t* samples = nullptr;
    int length = 0;
    double position = 0.0;  // in samples of the effect, between two when pitched
    double step = 1.0;      // effect samples per device sample: under 1 sounds lower
    bool playing = false;
    bool looping = false;  // runs on from its last sample into its first
};

// NOLINTNEXTLINE(bugprone-reserved-identifier): the name is the compiler's, in the copy of the sample arrays
struct Sound {
    std::uint32_t device = 0;  // SDL's audio device id, 0 when none is open
    std::vector<std::int16_t> samples[kSoundEffectCount];
    SoundVoice voices[kSoundEffectCount];  // the callback's, under the device lock
    bool muted = false;
    int footstepsPlayed = 0;  // alternates the pitch of left and right steps
};

// Opens the default device, makes every sound and starts the wind. The
// device always takes signed 16-bit native-endian mono samples at
// kSoundSampleRate, whatever the hardware plays (SDL converts), so a
// recording by SDL's disk driver holds exactly those. Returns
// false with a one-line reason in whyNot when there is no usable device; the
// audio libraries' own complaints during the attempt are kept off standard
// error, so the caller alone reports. One Sound at a time, and it stays
// where it is while open: the device's callback holds its address.
bool openSound(Sound& sound, std::string& whyNot);
// Stops everything and closes the device. Safe on a Sound that never
// opened, and twice.
void closeSound(Sound& sound);

// Starts an effect from its beginning (again, if it still plays). Nothing
// while muted or without a device. Wind only resumes the loop.
void playSoundEffect(Sound& sound, SoundEffect effect);
// The sounds of one frame's events: a pick-up, a steal, a footstep, the
// victory or game-over tune (one of each at most), and the wind kept going.
void playFrameSounds(Sound& sound, const FrameEvents& events);
// Muting silences what plays and pauses the wind; unmuting resumes the wind.
void setSoundMuted(Sound& sound, bool muted);
// Restarts the wind loop if it stopped; nothing while muted.
void keepWindBlowing(Sound& sound);
// Whether the effect's voice is playing now.
bool isSoundPlaying(const Sound& sound, SoundEffect effect);
// Holds the whole sound where it is, the device playing silence, and lets
// it go on from there: for a game that stands still. Unlike muting it
// stops nothing. Nothing without a device.
void setSoundPaused(Sound& sound, bool paused);

// Adds the playing voices into count samples of out, full scale clipped,
// and moves them on; a voice that runs past its end stops, unless it loops.
// The device's callback, and the tests, call it; it allocates nothing.
void mixSoundVoices(SoundVoice* voices, int voiceCount, std::int16_t* out, int count);
