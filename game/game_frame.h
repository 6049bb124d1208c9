// One frame of game rules, from input values and a frame time to the moved
// world: ghosts, the heroine, steals and pick-ups, the phantom, ground
// following. No window, no GL: tests drive it frame by frame.
#pragma once

#include "app/input.h"

struct Scene;
struct HeightMap;

// Gives every ghost its start step (before the first frame).
void startGhosts(Scene& scene, float t);
// The frame steps in their fixed order; now is the clock in seconds.
void updateGameFrame(Scene& scene, const HeightMap& map, const InputState& input, float dt, float now);
bool hasWon(const Scene& scene);
bool hasLost(const Scene& scene);
// Texture number of icon k: carried, lying or lost.
unsigned int iconTexture(const Scene& scene, int k);
