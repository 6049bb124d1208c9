// One frame of game rules, from input values and a frame time to the moved
// world: ghosts, the heroine, steals and pick-ups, the phantom, ground
// following. No window, no GL: tests drive it frame by frame.
#pragma once

#include "game/input.h"

struct Camera;
struct Scene;
struct HeightMap;

// The longest frame the rules are stepped by. Their take-backs are only
// checked one step deep, so a long frame (a stall while loading or dragging
// the window) could throw ghosts far out of the play area.
constexpr float maxSimulationStep = 0.1f;

// The frame time the rules should see: frameTime limited to
// 0 .. maxSimulationStep; a NaN or negative frame time gives 0.
float simulationStep(float frameTime);

// The frame steps in their fixed order; now is the clock in seconds. The
// main camera walks, zooms and turns with the heroine.
void updateGameFrame(Scene& scene, Camera& camera, const HeightMap& map, const InputState& input, float dt,
                     float now);
