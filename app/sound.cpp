// The OpenAL side of the game's sound: opening the device quietly, loading
// the synthesised effects into buffers, one source per effect, and muting.
#include "app/sound.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "al.h"
#include "alc.h"

namespace {

int indexOf(SoundEffect effect) { return static_cast<int>(effect); }

ALuint sourceOf(const Sound& sound, SoundEffect effect) { return sound.sources[indexOf(effect)]; }

// Audio libraries write their failed attempts straight to standard error
// (ALSA a paragraph per missing card, OpenAL Soft a line per error). While
// the device opens, standard error points at a scratch file instead; what
// gathered there is read back for the reason and dropped.
struct QuietStderr {
    int saved = -1;
    std::FILE* scratch = nullptr;
};

void quietenStderr(QuietStderr& quiet) {
    // Whoever asks for the library's log gets it, unfiltered.
    if (std::getenv("ALSOFT_LOGLEVEL")) return;
    quiet.scratch = std::tmpfile();
    if (!quiet.scratch) return;
    std::fflush(stderr);
    quiet.saved = dup(STDERR_FILENO);
    if (quiet.saved >= 0 && dup2(fileno(quiet.scratch), STDERR_FILENO) >= 0) return;
    if (quiet.saved >= 0) close(quiet.saved);
    quiet.saved = -1;
    std::fclose(quiet.scratch);
    quiet.scratch = nullptr;
}

// The text of OpenAL Soft's last error line ("AL lib: (EE) function: text"),
// or empty.
std::string lastLibraryError(const std::string& log) {
    const std::string marker = "(EE) ";
    size_t at = log.rfind(marker);
    if (at == std::string::npos) return std::string();
    size_t start = at + marker.size();
    size_t end = log.find('\n', start);
    std::string line = log.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // Drop the reporting function's name in front of the message.
    size_t colon = line.find(": ");
    if (colon != std::string::npos && line.find(' ') > colon) line = line.substr(colon + 2);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// Restores standard error; returns the library's error from the scratch.
std::string restoreStderr(QuietStderr& quiet) {
    if (quiet.saved < 0) return std::string();
    std::fflush(stderr);
    dup2(quiet.saved, STDERR_FILENO);
    close(quiet.saved);
    std::string log;
    std::rewind(quiet.scratch);
    char chunk[512];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, quiet.scratch)) > 0) log.append(chunk, got);
    std::fclose(quiet.scratch);
    return lastLibraryError(log);
}

std::string withDetail(const char* what, const std::string& detail) {
    return detail.empty() ? std::string(what) : std::string(what) + " (" + detail + ")";
}

bool loadEffects(Sound& sound) {
    alGetError();
    alGenBuffers(kSoundEffectCount, sound.buffers);
    alGenSources(kSoundEffectCount, sound.sources);
    if (alGetError() != AL_NO_ERROR) return false;
    for (int k = 0; k < kSoundEffectCount; ++k) {
        SoundEffect effect = static_cast<SoundEffect>(k);
        std::vector<std::int16_t> pcm = synthesiseSound(effect);
        alBufferData(sound.buffers[k], AL_FORMAT_MONO16, pcm.data(),
                     static_cast<ALsizei>(pcm.size() * sizeof(std::int16_t)), kSoundSampleRate);
        ALuint source = sound.sources[k];
        alSourcei(source, AL_BUFFER, static_cast<ALint>(sound.buffers[k]));
        // Every sound is heard as it is, wherever the heroine stands: at
        // the listener, without distance fading or panning.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcei(source, AL_LOOPING, effect == SoundEffect::Wind ? AL_TRUE : AL_FALSE);
    }
    return alGetError() == AL_NO_ERROR;
}

}  // namespace

bool openSound(Sound& sound, std::string& whyNot) {
    closeSound(sound);
    whyNot.clear();
    QuietStderr quiet;
    quietenStderr(quiet);
    ALCdevice* device = alcOpenDevice(nullptr);
    ALCcontext* context = device ? alcCreateContext(device, nullptr) : nullptr;
    bool current = context && alcMakeContextCurrent(context);
    std::string said = restoreStderr(quiet);

    if (!device) {
        whyNot = withDetail("no audio device could be opened", said);
        return false;
    }
    sound.device = device;
    sound.context = context;
    if (!current) {
        whyNot = withDetail("the audio device gave no playback context", said);
        closeSound(sound);
        return false;
    }
    if (!loadEffects(sound)) {
        whyNot = "the audio device did not take the game's sounds";
        closeSound(sound);
        return false;
    }
    alListenerf(AL_GAIN, 1.0f);
    alSourcePlay(sourceOf(sound, SoundEffect::Wind));
    return true;
}

void closeSound(Sound& sound) {
    ALCdevice* device = static_cast<ALCdevice*>(sound.device);
    ALCcontext* context = static_cast<ALCcontext*>(sound.context);
    if (context && alcMakeContextCurrent(context)) {
        // Names are never 0 once generated; a failed generation left them 0.
        if (sound.sources[0] != 0) {
            alSourceStopv(kSoundEffectCount, sound.sources);
            alDeleteSources(kSoundEffectCount, sound.sources);
        }
        if (sound.buffers[0] != 0) alDeleteBuffers(kSoundEffectCount, sound.buffers);
    }
    if (context) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
    if (device) alcCloseDevice(device);
    sound = Sound();
}

void playSoundEffect(Sound& sound, SoundEffect effect) {
    if (!sound.context || sound.muted) return;
    if (effect == SoundEffect::Wind) {
        keepWindBlowing(sound);
        return;
    }
    ALuint source = sourceOf(sound, effect);
    if (effect == SoundEffect::Footstep) {
        // Left and right feet sound a little different.
        alSourcef(source, AL_PITCH, (sound.footstepsPlayed & 1) ? 0.92f : 1.0f);
        ++sound.footstepsPlayed;
    }
    alSourcePlay(source);  // restarts a source that is still playing
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
    if (!sound.context) return;
    alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
    if (!muted) {
        keepWindBlowing(sound);
        return;
    }
    // Effects stop rather than pause: sound coming back must not resume a
    // pick-up half-way through. The wind pauses and carries on later.
    for (int k = 0; k < kSoundEffectCount; ++k) {
        if (static_cast<SoundEffect>(k) == SoundEffect::Wind)
            alSourcePause(sound.sources[k]);
        else
            alSourceStop(sound.sources[k]);
    }
}

void setSoundPaused(Sound& sound, bool paused) {
    sound.paused = paused;
    if (!sound.context) return;
    if (!paused) {
        keepWindBlowing(sound);
        return;
    }
    alSourcePause(sourceOf(sound, SoundEffect::Wind));
    alSourceStop(sourceOf(sound, SoundEffect::Footstep));
}

void keepWindBlowing(Sound& sound) {
    if (!sound.context || sound.muted || sound.paused) return;
    ALuint wind = sourceOf(sound, SoundEffect::Wind);
    ALint state = AL_STOPPED;
    alGetSourcei(wind, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) alSourcePlay(wind);
}

bool isSoundPlaying(const Sound& sound, SoundEffect effect) {
    if (!sound.context) return false;
    ALint state = AL_STOPPED;
    alGetSourcei(sourceOf(sound, effect), AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}
