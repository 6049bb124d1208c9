// Ghost behaviour. Ground distances ignore y everywhere; only the phantom's
// bobbing looks at height.
#include "game/ghosts.h"

#include <array>
#include <cmath>
#include <iostream>

#include <glm/gtc/matrix_transform.hpp>

#include "game/scene.h"
#include "math/collision.h"
#include "world/height_map.h"

namespace {

constexpr float kChaseRate = 0.5f;
constexpr float kFleeRate = 0.5f;
constexpr float kBackOff = -3.0f;
constexpr float kBobSpeed = 0.5f;
constexpr double kDegreesPerRadian = 57.29577951;

glm::mat4 translation(const glm::vec3& v) { return glm::translate(glm::mat4(1.0f), v); }

bool standsOnPassableGround(const HeightMap& map, const SceneObject& object) {
    glm::vec3 q = object.worldPosition();
    return isPassable(map, q.x, q.z);
}

// Turns the object to face the way it moved between from and to; an object
// that did not move in x faces 90 degrees.
void faceMovement(SceneObject& object, const glm::vec3& from, const glm::vec3& to) {
    float dx = to.x - from.x;
    float degrees = 90.0f;
    if (dx != 0.0f) degrees = static_cast<float>(-std::atan((to.z - from.z) / dx) * kDegreesPerRadian);
    if (to.x < from.x) degrees += 180.0f;
    object.setHeading(degrees);
}

// The world boxes of the ghosts and the cakes, taken once a step and kept up
// to date as each ghost moves: the blocking test of every ghost looks at all
// the others, and placing their boxes again for each would be most of the
// rules' time.
struct StepBoxes {
    std::array<Box, kGhostCount> ghosts;
    std::array<Box, kCakeCount> cakes;
};

StepBoxes takeStepBoxes(const Scene& scene) {
    StepBoxes boxes;
    for (int j = 0; j < kGhostCount; ++j) boxes.ghosts[j] = worldBox(scene.ghosts[j].model, scene.bounds.ghost);
    for (int k = 0; k < kCakeCount; ++k) boxes.cakes[k] = worldBox(scene.cakes[k].model, scene.bounds.cake);
    return boxes;
}

bool isBlocked(const Scene& scene, const StepBoxes& boxes, int i) {
    const Box& box = boxes.ghosts[i];
    for (int j = 0; j < kGhostCount; ++j) {
        if (j != i && boxHitsObject(box, boxes.ghosts[j])) return true;
    }
    for (int k = 0; k < kCakeCount; ++k) {
        if (!scene.cakes[k].collected && boxHitsObject(box, boxes.cakes[k])) return true;
    }
    return false;
}

void chase(Scene& scene, const StepBoxes& boxes, const HeightMap& map, int i, glm::vec3 d, float dt) {
    SceneObject& ghost = scene.ghosts[i];
    d *= dt * kChaseRate;
    glm::vec3 step(d.x, 0.0f, d.z);
    if (isBlocked(scene, boxes, i)) {
        ghost.rerollDirection();
        ghost.applyWorld(translation(kBackOff * step));
        return;
    }
    ghost.applyWorld(translation(step));
    if (!standsOnPassableGround(map, ghost)) {
        ghost.applyWorld(translation(kBackOff * step));
        ghost.rerollDirection();
    }
}

void patrol(Scene& scene, const StepBoxes& boxes, const HeightMap& map, int i, float dt) {
    SceneObject& ghost = scene.ghosts[i];
    if (isBlocked(scene, boxes, i) ||
        boxHitsObject(boxes.ghosts[i], worldBox(scene.heroBody.model, scene.bounds.body))) {
        ghost.rerollDirection();
        ghost.patrolStep(dt);
        return;
    }
    ghost.patrolStep(dt);
    if (!standsOnPassableGround(map, ghost)) {
        ghost.patrolStep(kBackOff * dt);
        ghost.rerollDirection();
    }
}

}  // namespace

void startGhosts(Scene& scene, float t) {
    for (SceneObject& ghost : scene.ghosts) ghost.patrolStep(t);
}

bool ghostIsBlocked(const Scene& scene, int i) { return isBlocked(scene, takeStepBoxes(scene), i); }

void moveGhosts(Scene& scene, const HeightMap& map, float dt) {
    StepBoxes boxes = takeStepBoxes(scene);
    for (int i = 0; i < kGhostCount; ++i) {
        SceneObject& ghost = scene.ghosts[i];
        glm::vec3 old = ghost.worldPosition();
        glm::vec3 d = scene.heroAnchor.worldPosition() - old;
        bool chasing = scene.carriedCakes > 0 && groundDistance(old, scene.heroAnchor.worldPosition()) < chaseRadius &&
                       !scene.ghostHasStolen[i] && !isNear(ghost.worldPosition(), scene.heroAnchor.worldPosition());
        if (chasing) {
            chase(scene, boxes, map, i, d, dt);
        } else {
            patrol(scene, boxes, map, i, dt);
        }
        faceMovement(ghost, old, ghost.worldPosition());
        boxes.ghosts[i] = worldBox(ghost.model, scene.bounds.ghost);  // the later ghosts meet it where it went
    }
}

int updateSteals(Scene& scene, float now) {
    int carried = scene.carriedCakes;
    for (int i = 0; i < kGhostCount; ++i) {
        if (scene.ghostHasStolen[i]) {
            // One clock for all ghosts: with several resting, the first one
            // takes the frame's elapsed time.
            scene.ghostCooldown[i] -= now - scene.stealClock;
            scene.stealClock = now;
            if (scene.ghostCooldown[i] < 0.0f) {
                scene.ghostCooldown[i] = stealCooldown;
                scene.ghostHasStolen[i] = false;
            }
        }
        if (carried > 0 && !scene.ghostHasStolen[i] &&
            isNear(scene.heroAnchor.worldPosition(), scene.ghosts[i].worldPosition())) {
            std::cout << "Stole cake" << std::endl;
            --carried;
            scene.ghostHasStolen[i] = true;
            scene.stealClock = now;
        }
    }
    return carried;
}

void movePhantom(Scene& scene, const HeightMap& map, float dt) {
    SceneObject& phantom = scene.phantom;
    glm::vec3 old = phantom.worldPosition();
    glm::vec3 e = old - scene.heroAnchor.worldPosition();
    if (groundDistance(scene.heroAnchor.worldPosition(), old) < fleeRadius) {
        glm::vec3 step(e.x * dt * kFleeRate, 0.0f, e.z * dt * kFleeRate);
        phantom.applyWorld(translation(step));
        if (!standsOnPassableGround(map, phantom)) phantom.applyWorld(translation(-step));
    } else {
        // The phantom never draws a new direction; it just steps back.
        phantom.patrolStep(dt);
        if (!standsOnPassableGround(map, phantom)) phantom.patrolStep(-dt);
    }
    faceMovement(phantom, old, phantom.worldPosition());

    float y = phantom.worldPosition().y;
    if (scene.phantomRising && y > phantomHighest)
        scene.phantomRising = false;
    else if (!scene.phantomRising && y < phantomLowest)
        scene.phantomRising = true;
    float rise = scene.phantomRising ? kBobSpeed * dt : -kBobSpeed * dt;
    phantom.applyWorld(translation(glm::vec3(0.0f, rise, 0.0f)));
}

void groundGhosts(Scene& scene, const HeightMap& map) {
    for (int i = 0; i < kGhostCount; ++i) {
        SceneObject& ghost = scene.ghosts[i];
        glm::vec3 q = ghost.worldPosition();
        float h = heightAt(map, q.x, q.z);
        ghost.applyWorld(translation(glm::vec3(0.0f, -scene.ghostGroundHeight[i], 0.0f)));
        ghost.applyWorld(translation(glm::vec3(0.0f, h, 0.0f)));
        scene.ghostGroundHeight[i] = h;
    }
}
