// Player control and camera follow. Every walking step moves the camera
// target and the heroine by exactly the same ground step, so the camera
// follows without any chase logic of its own.
#include "game/player.h"

#include <iostream>

#include <glm/gtc/matrix_transform.hpp>

#include "game/scene.h"
#include "math/camera.h"
#include "world/height_map.h"

namespace {

constexpr int kForwards = 0;
constexpr int kSideways = 1;
constexpr float kSwingTurnCount = 20.0f;
constexpr float kSwingWrapCount = 60.0f;
constexpr float kSwingRestart = -20.0f;

glm::mat4 translation(const glm::vec3& v) { return glm::translate(glm::mat4(1.0f), v); }

void moveHeroine(Scene& scene, const glm::vec3& step) {
    glm::mat4 m = translation(step);
    scene.heroAnchor.applyWorld(m);
    scene.leftArm.applyWorld(m);
    scene.rightArm.applyWorld(m);
    scene.heroBody.applyWorld(m);
}

// One walking block: the target and the heroine move by sense * step, the
// step being share of the full 2 units a second; a position the map forbids
// is taken back at once. The arms swing either way.
void walk(Scene& scene, Camera& camera, const HeightMap& map, float dt, float share, int sideways, float sense) {
    float amount = 2.0f * dt * share;
    moveTarget(camera, sense * amount, sideways);
    glm::vec3 step = sideways == kSideways ? sideStep(camera, amount) : forwardStep(camera, amount);
    moveHeroine(scene, sense * step);
    glm::vec3 p = scene.heroAnchor.worldPosition();
    if (!isPassable(map, p.x, p.z)) {
        moveTarget(camera, -sense * amount, sideways);
        moveHeroine(scene, -sense * step);
    }
    armSwingStep(scene);
}

// Turns an object about the vertical through pivot.
void turnAbout(SceneObject& object, const glm::vec3& pivot, float degrees) {
    object.applyWorld(translation(-pivot));
    object.applyWorld(glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(0.0f, 1.0f, 0.0f)));
    object.applyWorld(translation(pivot));
}

void zoom(Camera& camera, const Actions& actions, float dt) {
    // Several wheel notches between two frames give one zoom step.
    if (actions.zoomInHeld || actions.zoomSteps > 0) zoomIn(camera, dt);
    if (actions.zoomOutHeld || actions.zoomSteps < 0) zoomOut(camera, dt);
}

void turn(Scene& scene, Camera& camera, const Actions& actions, float dt) {
    if (actions.turnX == 0.0f && actions.turnY == 0.0f) return;
    float degrees = turnCamera(camera, actions.turnX, actions.turnY, dt);
    // The anchor's local x axis points up the world y axis.
    scene.heroAnchor.applyLocal(glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(1.0f, 0.0f, 0.0f)));
    // Both arms turn about the left arm's vertical, which is the body's and
    // the anchor's too, so the heroine stays rigid.
    glm::vec3 armPivot = scene.leftArm.worldPosition();
    turnAbout(scene.leftArm, armPivot, degrees);
    turnAbout(scene.rightArm, armPivot, degrees);
    turnAbout(scene.heroBody, scene.heroBody.worldPosition(), degrees);
}

}  // namespace

void armSwingStep(Scene& scene) {
    float count = scene.armSwingCounter;
    scene.armSwingCounter = count + 1.0f;
    float degrees = count < kSwingTurnCount ? 1.0f : -1.0f;
    glm::mat4 swing = glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(0.0f, 0.0f, 1.0f));
    scene.leftArm.applyLocal(swing);
    scene.rightArm.applyLocal(swing);
    if (count >= kSwingTurnCount && scene.armSwingCounter == kSwingWrapCount) scene.armSwingCounter = kSwingRestart;
}

void handlePlayerInput(Scene& scene, Camera& camera, const HeightMap& map, const Actions& actions, float dt) {
    if (actions.forwards > 0.0f) walk(scene, camera, map, dt, actions.forwards, kForwards, -1.0f);
    if (actions.backwards > 0.0f) walk(scene, camera, map, dt, actions.backwards, kForwards, 1.0f);
    if (actions.left > 0.0f) walk(scene, camera, map, dt, actions.left, kSideways, -1.0f);
    if (actions.right > 0.0f) walk(scene, camera, map, dt, actions.right, kSideways, 1.0f);
    zoom(camera, actions, dt);
    turn(scene, camera, actions, dt);
}

void handlePlayerInput(Scene& scene, Camera& camera, const HeightMap& map, const InputState& input, float dt) {
    handlePlayerInput(scene, camera, map, keyboardMouseActions(input, InputState{}, camera, scene.lastWheelPosition),
                      dt);
}

void printHeroinePosition(const Scene& scene) {
    glm::vec3 p = scene.heroAnchor.worldPosition();
    std::cout << "x " << p.x << "   y " << p.y << "   z " << p.z << std::endl;
}

void followGround(Scene& scene, Camera& camera, const HeightMap& map) {
    glm::vec3 p = scene.heroAnchor.worldPosition();
    float h = heightAt(map, p.x, p.z);
    glm::mat4 down = translation(glm::vec3(0.0f, -scene.heroGroundHeight, 0.0f));
    glm::mat4 up = translation(glm::vec3(0.0f, h, 0.0f));
    for (SceneObject* part : {&scene.heroBody, &scene.leftArm, &scene.rightArm}) {
        part->applyWorld(down);
        part->applyWorld(up);
    }
    camera.target.y += h - scene.heroGroundHeight;
    scene.heroGroundHeight = h;
}
