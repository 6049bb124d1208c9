// One frame of game rules in their fixed order, stepped so that no single
// step is longer than the rules can take safely.
#include "game/game_frame.h"

#include <cmath>

#include "game/cakes.h"
#include "game/footsteps.h"
#include "game/ghosts.h"
#include "game/player.h"
#include "game/scene.h"
#include "math/collision.h"

namespace {

void stepRules(Scene& scene, Camera& camera, const HeightMap& map, const Actions& actions, float dt, float now,
               FrameEvents& events) {
    moveGhosts(scene, map, dt);
    const glm::vec3 before = scene.heroAnchor.worldPosition();
    handlePlayerInput(scene, camera, map, actions, dt);
    events.distanceWalked += groundDistance(before, scene.heroAnchor.worldPosition());
    // The steal rule runs first and needs a carried cake, so a cake picked
    // up in this step is safe until the next.
    const int carriedBefore = scene.carriedCakes;
    const int carried = updateSteals(scene, now);
    events.cakesStolen += carriedBefore - carried;
    const int lyingBefore = scene.cakesInWorld;
    scene.carriedCakes = collectCakes(scene, carried);
    events.cakesPickedUp += lyingBefore - scene.cakesInWorld;
    movePhantom(scene, map, dt);
    followGround(scene, camera, map);
    groundGhosts(scene, map);
}

}  // namespace

int simulationSteps(float frameTime) {
    if (!(frameTime > maxSimulationStep)) return 1;  // also NaN
    const float steps = std::ceil(frameTime / maxSimulationStep);
    return steps < static_cast<float>(maxSimulationSteps) ? static_cast<int>(steps) : maxSimulationSteps;
}

FrameEvents updateGameFrame(Scene& scene, Camera& camera, const HeightMap& map, const Actions& actions, float frameTime,
                            float now) {
    const int steps = simulationSteps(frameTime);
    float dt = frameTime > 0.0f ? frameTime / static_cast<float>(steps) : 0.0f;  // NaN and negative give 0
    if (dt > maxSimulationStep) dt = maxSimulationStep;  // a stall beyond the catch-up is cut short
    FrameEvents events;
    Actions stepActions = actions;
    for (int step = 0; step < steps; ++step) {
        stepRules(scene, camera, map, stepActions, dt, now, events);
        stepActions.zoomSteps = 0;  // a wheel notch or a press zooms once a frame
    }
    printHeroinePosition(scene);
    events.footsteps = countFootsteps(scene.footsteps, events.distanceWalked);
    events.won = hasWon(scene);
    events.lost = hasLost(scene);
    return events;
}

FrameEvents updateGameFrame(Scene& scene, Camera& camera, const HeightMap& map, const InputState& input,
                            float frameTime, float now) {
    const Actions actions = keyboardMouseActions(input, InputState{}, camera, scene.lastWheelPosition);
    return updateGameFrame(scene, camera, map, actions, frameTime, now);
}

float gameTime(const GameClock& clock, float wallNow) {
    return (clock.paused ? clock.pausedSince : wallNow) - clock.pausedSeconds;
}

void pauseGameClock(GameClock& clock, float wallNow) {
    if (clock.paused) return;
    clock.paused = true;
    clock.pausedSince = wallNow;
}

void resumeGameClock(GameClock& clock, float wallNow) {
    if (!clock.paused) return;
    clock.paused = false;
    clock.pausedSeconds += wallNow - clock.pausedSince;
}

float advanceGameClock(GameClock& clock, float wallNow) {
    const float now = gameTime(clock, wallNow);
    const float frameTime = now - clock.lastFrame;
    clock.lastFrame = now;
    clock.frameTime = frameTime;
    return frameTime;
}

FrameEvents playGameFrame(Scene& scene, Camera& camera, const HeightMap& map, const Actions& actions, GameClock& clock,
                          float wallNow) {
    const float frameTime = advanceGameClock(clock, wallNow);
    if (clock.paused) return FrameEvents{};
    return updateGameFrame(scene, camera, map, actions, frameTime, gameTime(clock, wallNow));
}
