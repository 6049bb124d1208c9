// One frame of game rules in their fixed order. The end conditions are not
// tested here: the frame loop asks hasWon and hasLost after drawing.
#include "game/game_frame.h"

#include "game/cakes.h"
#include "game/ghosts.h"
#include "game/player.h"
#include "game/scene.h"

float simulationStep(float frameTime) {
    if (!(frameTime > 0.0f)) return 0.0f;  // also NaN
    return frameTime < maxSimulationStep ? frameTime : maxSimulationStep;
}

void updateGameFrame(Scene& scene, Camera& camera, const HeightMap& map, const InputState& input, float dt,
                     float now) {
    moveGhosts(scene, map, dt);
    handlePlayerInput(scene, camera, map, input, dt);
    // The steal rule runs first and needs a carried cake, so a cake picked
    // up in this frame is safe until the next.
    int carried = updateSteals(scene, now);
    scene.carriedCakes = collectCakes(scene, carried);
    movePhantom(scene, map, dt);
    followGround(scene, camera, map);
    groundGhosts(scene, map);
}
