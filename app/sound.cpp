// The SDL side of the game's sound: opening the device quietly, the samples
// of every effect made at open, a voice per effect mixed in the device's
// callback, and muting.
#include "app/sound.h"

// Nothing here defines main: SDL must not rename it on Windows.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
const char* const kNullFile = "NUL";
int duplicateFile(int fd) { return _dup(fd); }
int duplicateFileOnto(int from, int to) { return _dup2(from, to); }
void closeFile(int fd) { _close(fd); }
int fileOf(std::FILE* stream) { return _fileno(stream); }
#else
const char* const kNullFile = "/dev/null";
int duplicateFile(int fd) { return dup(fd); }
int duplicateFileOnto(int from, int to) { return dup2(from, to); }
void closeFile(int fd) { close(fd); }
int fileOf(std::FILE* stream) { return fileno(stream); }
#endif

// A device buffer of about 23 ms: short enough that a pick-up is heard on
// the frame it happens, long enough not to starve on a busy machine.
constexpr int kDeviceBufferSamples = 1024;

// Left and right feet sound a little different: every other step plays
// slower, so lower and a little longer.
constexpr double kOtherFootStep = 0.92;

SoundVoice& voiceOf(Sound& sound, SoundEffect effect) { return sound.voices[static_cast<int>(effect)]; }

// Audio libraries write their failed attempts straight to standard error
// (ALSA a paragraph per missing card). While the device opens, standard
// error points at the null file instead; SDL's own error says why.
struct QuietStderr {
    int saved = -1;
    std::FILE* sink = nullptr;
};

void quietenStderr(QuietStderr& quiet) {
    quiet.sink = std::fopen(kNullFile, "w");
    if (!quiet.sink) return;
    std::fflush(stderr);
    quiet.saved = duplicateFile(fileOf(stderr));
    if (quiet.saved >= 0 && duplicateFileOnto(fileOf(quiet.sink), fileOf(stderr)) >= 0) return;
    if (quiet.saved >= 0) closeFile(quiet.saved);
    quiet.saved = -1;
    std::fclose(quiet.sink);
    quiet.sink = nullptr;
}

void restoreStderr(QuietStderr& quiet) {
    if (quiet.saved < 0) return;
    std::fflush(stderr);
    duplicateFileOnto(quiet.saved, fileOf(stderr));
    closeFile(quiet.saved);
    std::fclose(quiet.sink);
}

// SDL's audio thread asks for len bytes of 16-bit mono samples.
void fillDeviceBuffer(void* user, Uint8* stream, int len) {
    Sound& sound = *static_cast<Sound*>(user);
    mixSoundVoices(sound.voices, kSoundEffectCount, reinterpret_cast<std::int16_t*>(stream),
                   len / static_cast<int>(sizeof(std::int16_t)));
}

// The sample at a voice's whole position i, running on into the start of a
// loop and into silence past the end of anything else.
float sampleAt(const SoundVoice& voice, int i) {
    if (i < voice.length) return static_cast<float>(voice.samples[i]);
    return voice.looping ? static_cast<float>(voice.samples[i - voice.length]) : 0.0f;
}

}  // namespace

void mixSoundVoices(SoundVoice* voices, int voiceCount, std::int16_t* out, int count) {
    for (int n = 0; n < count; ++n) {
        float sum = 0.0f;
        for (int v = 0; v < voiceCount; ++v) {
            SoundVoice& voice = voices[v];
            if (!voice.playing) continue;
            // Between two samples when pitched: the straight line joining them.
            const int whole = static_cast<int>(voice.position);
            const float part = static_cast<float>(voice.position - whole);
            const float here = sampleAt(voice, whole);
            sum += here + (sampleAt(voice, whole + 1) - here) * part;
            voice.position += voice.step;
            if (voice.position < voice.length) continue;
            if (voice.looping) {
                voice.position -= voice.length;
            } else {
                voice.playing = false;
                voice.position = 0.0;
            }
        }
        out[n] = static_cast<std::int16_t>(std::clamp(sum, -32768.0f, 32767.0f));
    }
}

bool openSound(Sound& sound, std::string& whyNot) {
    closeSound(sound);
    whyNot.clear();
    QuietStderr quiet;
    quietenStderr(quiet);
    SDL_AudioDeviceID device = 0;
    std::string said;
    // The name a sound server shows for the game's stream.
    SDL_SetHint(SDL_HINT_APP_NAME, "Varnelo");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        said = SDL_GetError();
    } else {
        SDL_AudioSpec wanted{};
        wanted.freq = kSoundSampleRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 1;
        wanted.samples = kDeviceBufferSamples;
        wanted.callback = fillDeviceBuffer;
        wanted.userdata = &sound;
        SDL_AudioSpec got{};
        // No changes allowed: SDL converts to whatever the hardware plays.
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, 0);
        if (device == 0) {
            said = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    restoreStderr(quiet);
    if (device == 0) {
        whyNot = "no audio device could be opened (" + said + ")";
        return false;
    }

    for (int k = 0; k < kSoundEffectCount; ++k) {
        const SoundEffect effect = static_cast<SoundEffect>(k);
        sound.samples[k] = synthesiseSound(effect);
        SoundVoice& voice = sound.voices[k];
        voice.samples = sound.samples[k].data();
        voice.length = static_cast<int>(sound.samples[k].size());
        voice.looping = effect == SoundEffect::Wind;
    }
    voiceOf(sound, SoundEffect::Wind).playing = true;
    // The device opens paused, so nothing was read before the voices were set.
    sound.device = device;
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void closeSound(Sound& sound) {
    if (sound.device != 0) {
        SDL_CloseAudioDevice(sound.device);  // waits for the callback to end
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    sound = Sound();
}

void playSoundEffect(Sound& sound, SoundEffect effect) {
    if (sound.device == 0 || sound.muted) return;
    if (effect == SoundEffect::Wind) {
        keepWindBlowing(sound);
        return;
    }
    double step = 1.0;
    if (effect == SoundEffect::Footstep) step = (sound.footstepsPlayed++ & 1) ? kOtherFootStep : 1.0;
    // Voices change only while the callback cannot run.
    SDL_LockAudioDevice(sound.device);
    SoundVoice& voice = voiceOf(sound, effect);
    voice.position = 0.0;  // again from the start if it still plays
    voice.step = step;
    voice.playing = true;
    SDL_UnlockAudioDevice(sound.device);
}

void playFrameSounds(Sound& sound, const FrameEvents& events) {
    // Several of a kind in one frame would only sound as one, louder.
    if (events.cakesPickedUp > 0) playSoundEffect(sound, SoundEffect::CakePickedUp);
    if (events.cakesStolen > 0) playSoundEffect(sound, SoundEffect::CakeStolen);
    if (events.footsteps > 0) playSoundEffect(sound, SoundEffect::Footstep);
    if (events.won) playSoundEffect(sound, SoundEffect::Victory);
    if (events.lost) playSoundEffect(sound, SoundEffect::GameOver);
    keepWindBlowing(sound);
}

void setSoundMuted(Sound& sound, bool muted) {
    sound.muted = muted;
    if (sound.device == 0) return;
    if (!muted) {
        keepWindBlowing(sound);
        return;
    }
    // Effects stop rather than pause: sound coming back must not resume a
    // pick-up half-way through. The wind pauses and carries on later.
    SDL_LockAudioDevice(sound.device);
    for (int k = 0; k < kSoundEffectCount; ++k) {
        SoundVoice& voice = sound.voices[k];
        voice.playing = false;
        if (static_cast<SoundEffect>(k) != SoundEffect::Wind) voice.position = 0.0;
    }
    SDL_UnlockAudioDevice(sound.device);
}

void keepWindBlowing(Sound& sound) {
    if (sound.device == 0 || sound.muted) return;
    SDL_LockAudioDevice(sound.device);
    voiceOf(sound, SoundEffect::Wind).playing = true;
    SDL_UnlockAudioDevice(sound.device);
}

bool isSoundPlaying(const Sound& sound, SoundEffect effect) {
    if (sound.device == 0) return false;
    SDL_LockAudioDevice(sound.device);
    const bool playing = sound.voices[static_cast<int>(effect)].playing;
    SDL_UnlockAudioDevice(sound.device);
    return playing;
}

void setSoundPaused(Sound& sound, bool paused) {
    if (sound.device != 0) SDL_PauseAudioDevice(sound.device, paused ? 1 : 0);
}
