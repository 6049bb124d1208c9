// TEMPORARY, for the Windows build only until the sound module runs on SDL2:
// app/sound.cpp needs OpenAL Soft, whose source cannot be had here. This
// stand-in reports "no device", so the game plays silently, and goes away
// with the VARNELO_SOUND_STANDIN cache variable in CMakeLists.txt.
#include "app/sound.h"

bool openSound(Sound&, std::string& whyNot) {
    whyNot = "this Windows build has no sound module yet";
    return false;
}
void closeSound(Sound&) {}
void playSoundEffect(Sound&, SoundEffect) {}
void playFrameSounds(Sound&, const FrameEvents&) {}
void setSoundMuted(Sound& sound, bool muted) { sound.muted = muted; }
void keepWindBlowing(Sound&) {}
bool isSoundPlaying(const Sound&, SoundEffect) { return false; }
