// The heroine's control: walking with take-back on forbidden ground, the arm
// swing, camera zoom and turning, and following the ground height. The
// heroine is four objects that always move together (the invisible anchor,
// both arms and the body); the camera target moves by the same steps.
#pragma once

#include "game/input.h"

struct Camera;
struct Scene;
struct HeightMap;

// Walking, zoom and turning for one frame of dt seconds; the camera walks
// and turns with her.
void handlePlayerInput(Scene& scene, Camera& camera, const HeightMap& map, const InputState& input, float dt);
// One swing step of both arms; counts steps, not time.
void armSwingStep(Scene& scene);
// Lifts the body, the arms and the camera target to the ground height under
// the anchor (the anchor itself stays at y 4).
void followGround(Scene& scene, Camera& camera, const HeightMap& map);
// The frame's console line of the anchor's position: "x X   y Y   z Z".
void printHeroinePosition(const Scene& scene);
