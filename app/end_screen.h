// The victory and game-over screens: a full picture on the end-screen plane,
// held for a few seconds while the window stays responsive.
#pragma once

#include "app/input.h"
#include "app/options.h"

struct Scene;
struct ShaderProgram;

constexpr double kEndScreenHoldSeconds = 4.0;

// The hold is over after its seconds, or at once on Esc, Q or a closed window.
bool endScreenHoldDone(double startTime, double now, const InputState& input);

// One frame of an end screen into the back buffer: cleared to black, the
// picture drawn on the end-screen plane with the current sampling options.
void drawEndScreenFrame(const Scene& scene, const ShaderProgram& textProgram, unsigned int texture,
                        const OptionFlags& options, float time);
// Prints the victory line, clears running and holds the victory picture.
void showVictoryScreen(const Scene& scene, const ShaderProgram& textProgram, const OptionFlags& options,
                       bool& running);
// Prints "Game over!" and holds the game-over picture; the caller then
// leaves the frame loop at once.
void showGameOverScreen(const Scene& scene, const ShaderProgram& textProgram, const OptionFlags& options);
