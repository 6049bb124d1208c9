// The game's sound through OpenAL: one device and context, and for every
// effect a buffer made at open and a source of its own, so playing is only
// a restart of a source that already exists: no allocation, no waiting.
// Without a usable device openSound says why and every other function does
// nothing, so the game runs the same, silently. Only sound.cpp sees OpenAL.
#pragma once

#include <string>

#include "app/sound_synth.h"
#include "game/frame_events.h"

struct Sound {
    void* device = nullptr;   // the ALCdevice, kept opaque for the callers
    void* context = nullptr;  // its ALCcontext, made current at open
    unsigned int buffers[kSoundEffectCount] = {};
    unsigned int sources[kSoundEffectCount] = {};
    bool muted = false;
    bool paused = false;      // the game is paused: no wind, no footsteps
    int footstepsPlayed = 0;  // alternates the pitch of left and right steps
};

// Opens the default device, makes every sound and starts the wind. Returns
// false with a one-line reason in whyNot when there is no usable device; the
// audio libraries' own complaints during the attempt are kept off standard
// error (unless ALSOFT_LOGLEVEL asks for them), so the caller alone reports.
// One Sound at a time: its context becomes the current one.
bool openSound(Sound& sound, std::string& whyNot);
// Stops everything and releases the sources, buffers, context and device.
// Safe on a Sound that never opened, and twice.
void closeSound(Sound& sound);

// Starts an effect from its beginning (again, if it still plays). Nothing
// while muted or without a device. Wind only resumes the loop.
void playSoundEffect(Sound& sound, SoundEffect effect);
// The sounds of one frame's events: a pick-up, a steal, a footstep, the
// victory or game-over tune (one of each at most), and the wind kept going.
void playFrameSounds(Sound& sound, const FrameEvents& events);
// Muting silences what plays and pauses the wind; unmuting resumes the wind.
void setSoundMuted(Sound& sound, bool muted);
// While the game is paused the wind stands still and footsteps stop; other
// sounds (an option key's click) still play. Resuming carries the wind on.
void setSoundPaused(Sound& sound, bool paused);
// Restarts the wind loop if it stopped (it should not, but a device may
// hiccup); nothing while muted or paused.
void keepWindBlowing(Sound& sound);
// Whether the effect's source is playing now.
bool isSoundPlaying(const Sound& sound, SoundEffect effect);
