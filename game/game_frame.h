// One frame of game rules, from input values and a frame time to the moved
// world and a report of what happened: ghosts, the heroine, steals and
// pick-ups, the phantom, ground following. No window, no GL: tests drive it
// frame by frame.
#pragma once

#include "game/actions.h"
#include "game/frame_events.h"
#include "game/input.h"

struct Camera;
struct Scene;
struct HeightMap;

// The longest step the rules take. Their take-backs are only checked one
// step deep, so one long step (a stall while loading or dragging the
// window) could throw ghosts far out of the play area.
constexpr float maxSimulationStep = 0.1f;
// Steps one frame may take: ten seconds of catching up. A longer stall (a
// suspended machine) is played as ten seconds rather than as minutes of rules.
constexpr int maxSimulationSteps = 100;

// How many equal steps of at most maxSimulationStep make up the frame time;
// at least one, so every frame runs the rules (a zero, negative or NaN frame
// time gives one step of 0 s).
int simulationSteps(float frameTime);

// The frame's rules in their fixed order, in equal steps that add up to the
// frame time, then the position line. now is the rules' clock in seconds;
// the main camera walks, zooms and turns with the heroine. Zoom steps act in
// the first step only. The end conditions are reported, not acted on: the
// frame loop asks hasWon and hasLost after drawing.
FrameEvents updateGameFrame(Scene& scene, Camera& camera, const HeightMap& map, const Actions& actions, float frameTime,
                            float now);
// The same from the keys and mouse alone (no gamepad), the wheel measured
// against scene.lastWheelPosition.
FrameEvents updateGameFrame(Scene& scene, Camera& camera, const HeightMap& map, const InputState& input,
                            float frameTime, float now);

// The game's own clock: the wall clock less the time spent paused. While
// paused it stands at the moment the pause began, so cooldowns, patrols, the
// phantom, the snow and the shaders' time all stand still with it.
struct GameClock {
    bool paused = false;
    float pausedSince = 0.0f;    // wall clock at the pause
    float pausedSeconds = 0.0f;  // all pauses that ended, together
    float lastFrame = 0.0f;      // game time of the last frame
    float frameTime = 0.0f;      // game time from the frame before to the last frame
};

// The game time at wall time wallNow.
float gameTime(const GameClock& clock, float wallNow);
// Pausing and resuming at wall time wallNow; pausing twice, or resuming a
// running game, changes nothing.
void pauseGameClock(GameClock& clock, float wallNow);
void resumeGameClock(GameClock& clock, float wallNow);
// The game time since the last call (0 while paused), which becomes the
// last frame; kept as clock.frameTime too.
float advanceGameClock(GameClock& clock, float wallNow);

// One frame by the game's clock at wall time wallNow: the rules for the
// game time since the last frame, or nothing at all while paused (no
// events, no position line). The snow takes clock.frameTime after it.
FrameEvents playGameFrame(Scene& scene, Camera& camera, const HeightMap& map, const Actions& actions, GameClock& clock,
                          float wallNow);
