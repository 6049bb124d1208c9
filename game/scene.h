// The game world: every placed object and the counters the rules work on.
// Models are render's; the scene keeps the few model bounds the rules need
// for their collision tests. Owned by the app for the whole run.
#pragma once

#include <array>

#include "game/footsteps.h"
#include "game/scene_object.h"
#include "math/box.h"
#include "math/view.h"

constexpr int kGhostCount = 32;
constexpr int kCakeCount = 10;

extern const Material plainMaterial;
extern const Material heroMaterial;
extern const Material ghostMaterial;

// The bounds of the imported models that placement and the rules need.
struct SceneBounds {
    Box body;
    Box ghost;
    Box cake;
    Box torte;
};

struct Scene {
    SceneObject heroAnchor;  // moves and collides for the heroine; not drawn
    SceneObject leftArm;
    SceneObject rightArm;
    SceneObject heroBody;
    SceneObject phantom;
    std::array<SceneObject, kGhostCount> ghosts;
    std::array<SceneObject, kCakeCount> cakes;
    SceneObject torte;
    std::array<SceneObject, kCakeCount> cakeIcons;
    SceneObject endScreenObject;
    SceneBounds bounds;

    int carriedCakes = 0;
    int cakesInWorld = kCakeCount;
    std::array<bool, kGhostCount> ghostHasStolen{};
    std::array<float, kGhostCount> ghostCooldown{};
    float stealClock = 0.0f;
    std::array<float, kGhostCount> ghostGroundHeight{};
    bool phantomRising = true;
    int lastWheelPosition = 0;
    float heroGroundHeight = -0.8f;
    float armSwingCounter = 0.0f;
    FootstepState footsteps;
};

// Creates and places every object and resets the counters, in the fixed
// order that fixes the gameRandom sequence. The figures start one walking step
// along the main camera's view; icons and the end-screen plane are placed
// from the window size now.
void populateScene(Scene& scene, const SceneBounds& bounds, const View& view);
