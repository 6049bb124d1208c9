// The heroine's control: walking with take-back on forbidden ground, the arm
// swing, camera zoom and turning, and following the ground height. The
// heroine is four objects that always move together (the invisible anchor,
// both arms and the body); the camera target moves by the same steps.
#pragma once

#include "game/actions.h"
#include "game/input.h"

struct Camera;
struct Scene;
struct HeightMap;

// Walking, zoom and turning for one step of dt seconds; the camera walks
// and turns with her. Each walking direction with an amount takes a step of
// that share of the full speed (and one arm swing).
void handlePlayerInput(Scene& scene, Camera& camera, const HeightMap& map, const Actions& actions, float dt);
// The same from the keys and mouse alone (no gamepad), the wheel measured
// against scene.lastWheelPosition.
void handlePlayerInput(Scene& scene, Camera& camera, const HeightMap& map, const InputState& input, float dt);
// One swing step of both arms; counts steps, not time.
void armSwingStep(Scene& scene);
// Lifts the body, the arms and the camera target to the ground height under
// the anchor (the anchor itself stays at y 4).
void followGround(Scene& scene, Camera& camera, const HeightMap& map);
// The frame's console line of the anchor's position: "x X   y Y   z Z".
void printHeroinePosition(const Scene& scene);
