// The victory and game-over screens: a full picture on the end-screen plane,
// held for a few seconds while the window stays responsive.
#pragma once

#include "app/options.h"
#include "game/input.h"
#include "math/view.h"

struct DrawItem;
struct FrameTarget;

constexpr double kEndScreenHoldSeconds = 4.0;

// The hold is over after its seconds, or at once on Esc, Q or a closed window.
bool endScreenHoldDone(double startTime, double now, const InputState& input);

// One frame of an end screen into the bound framebuffer: cleared to black,
// the picture (the item) drawn on the end-screen plane through the overlay
// camera with the current sampling options, in the picture's own colours.
void drawEndScreenFrame(const DrawItem& picture, const View& view, const OptionFlags& options, unsigned int shadowMap,
                        float time);
// Prints the message, then redraws the picture into the frame target, shows
// it and processes window events until the hold is done.
void holdEndScreen(const DrawItem& picture, const View& view, const OptionFlags& options, unsigned int shadowMap,
                   FrameTarget& target, const char* message);
