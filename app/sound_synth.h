// The game's sounds, made by our own code: each effect is synthesised from
// notes, glides and filtered noise into 16-bit mono samples. No device and
// no audio library here, so every sound can be checked in tests.
#pragma once

#include <cstdint>
#include <vector>

enum class SoundEffect { CakePickedUp, CakeStolen, Victory, GameOver, OptionClick, Footstep, Wind };
constexpr int kSoundEffectCount = 7;

constexpr int kSoundSampleRate = 44100;

// The pick-up's top note (C7). No other sound of the game comes near it, so
// a recording can be searched for it to find the pick-up.
constexpr double kPickUpSignatureHz = 2093.0;

// The samples of one effect, the same on every call. Every effect but the
// wind starts and ends in silence; the wind is a loop whose last sample
// runs on into its first.
std::vector<std::int16_t> synthesiseSound(SoundEffect effect);
