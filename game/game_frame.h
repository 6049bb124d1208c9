// One frame of game rules, from input values and a frame time to the moved
// world and a report of what happened: ghosts, the heroine, steals and
// pick-ups, the phantom, ground following. No window, no GL: tests drive it
// frame by frame.
#pragma once

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
// frame time, then the position line. now is the clock in seconds; the main
// camera walks, zooms and turns with the heroine. The end conditions are
// reported, not acted on: the frame loop asks hasWon and hasLost after drawing.
FrameEvents updateGameFrame(Scene& scene, Camera& camera, const HeightMap& map, const InputState& input,
                            float frameTime, float now);
