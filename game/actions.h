// What the player asks of the game in one frame, whatever the device: walk
// and step amounts, turning, zoom, pause and quit. The app fills one record a
// frame from the keyboard, the mouse and a gamepad; the rules read only this.
#pragma once

#include "game/input.h"

struct Camera;

// The gamepad's radial dead zone: a stick nearer the centre than this is at rest.
constexpr float kPadDeadZone = 0.2f;
// A stick fully to one side turns as far as the cursor that far from the
// window centre, as a fraction of the window: 0.36 of 250 degrees a second
// is 180 degrees a second.
constexpr float kPadTurnFraction = 0.36f;
// A trigger counts as pressed beyond this (it reads -1 released, 1 pressed).
constexpr float kPadTriggerPressed = 0.5f;

struct Actions {
    // Walking, each from 0 to 1 of the keyboard's speed. The directions are
    // apart so that opposite keys held together still take both steps and
    // both arm swings, as they always have.
    float forwards = 0.0f;
    float backwards = 0.0f;
    float left = 0.0f;
    float right = 0.0f;
    // Turning as the mouse does with the right button held: the cursor's
    // offset from the window centre as fractions of the window
    // (turnCamera in math/camera.h). Zero and zero: no turning.
    float turnX = 0.0f;
    float turnY = 0.0f;
    // Zoom: held keys zoom every step; steps (wheel notches, pad presses)
    // zoom once in the frame's first step, in (+) or out (-).
    bool zoomInHeld = false;
    bool zoomOutHeld = false;
    int zoomSteps = 0;
    bool pause = false;  // pressed this frame: toggles the pause
    bool quit = false;   // held, or the window closed
};

// Esc or Q held, or the window closed: the game ends after this frame.
bool quitRequested(const InputState& input);
// The keyboard and mouse exactly as the game has always read them: a held
// key is a whole step, the cursor with the right button held turns, and a
// wheel that moved since wheelReference is one zoom step (the reference
// then follows the wheel). A held '+' takes the wheel's movement either way.
Actions keyboardMouseActions(const InputState& input, const InputState& before, const Camera& camera,
                             int& wheelReference);
// A stick's position after the radial dead zone: at rest inside it, rising
// from 0 at its edge to length 1 at full deflection, never longer than 1,
// in the stick's own direction.
void applyDeadZone(float& x, float& y);
// The gamepad: the left stick walks and steps, the right stick turns, the
// shoulder buttons and triggers zoom one step per press (right in, left
// out), Start pauses. before is the pad of the frame before, for presses.
Actions padActions(const PadState& pad, const PadState& before);
// Both devices at once: each walking direction as the larger of the two
// (never beyond the keyboard's speed), turning and zoom steps added, held
// keys, pause and quit from either.
Actions combineActions(const Actions& a, const Actions& b);
// The frame's actions from everything the window reported.
Actions actionsFromInput(const InputState& input, const InputState& before, const Camera& camera, int& wheelReference);
