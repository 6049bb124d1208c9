// Hand-built scenes and maps for the game-rule tests: figures placed as the game
// places them (model z axis up the world y axis), ridges on a flat height map.
#pragma once

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>

#include "game/scene.h"
#include "math/random_sequence.h"
#include "math/view.h"
#include "tests/support/glm_print.h"
#include "world/height_map.h"

namespace testing_support {

// Lying down (-90 degrees about x) so its own z axis points up, then moved.
inline SceneObject uprightAt(const glm::vec3& position) {
    SceneObject object = makeObjectAt(glm::vec3(0.0f), Material{});
    object.applyWorld(glm::rotate(glm::mat4(1.0f), glm::radians(-90.0f), glm::vec3(1.0f, 0.0f, 0.0f)));
    object.applyWorld(glm::translate(glm::mat4(1.0f), position));
    return object;
}

inline void moveTo(SceneObject& object, const glm::vec3& position) {
    object.model[3] = glm::vec4(position, 1.0f);
    object.position = position;
}

// The anchor at (x, 4, z), arms and body beside it, the camera target above.
inline void placeHeroine(Scene& scene, Camera& camera, float x, float z) {
    moveTo(scene.heroAnchor, glm::vec3(x, 4.0f, z));
    moveTo(scene.leftArm, glm::vec3(x, 2.7f, z));
    moveTo(scene.rightArm, glm::vec3(x + 0.5f, 2.7f, z));
    moveTo(scene.heroBody, glm::vec3(x, 4.0f, z));
    camera.target = glm::vec3(x, camera.target.y, z);
}

// A quiet world with the start counters: the heroine at (0, 4, 300), the
// phantom at its start, ghosts on a ring of radius 150 (29 units apart),
// cakes on a ring of radius 250; the same patrols in every test.
inline void buildTestScene(Scene& scene, View& view) {
    seedRandomSequence(gameRandom, 1);
    view = makeView();
    scene = Scene{};
    scene.bounds.ghost = Box{glm::vec3(-1.0f, -1.0f, 0.0f), glm::vec3(1.0f, 1.0f, 3.0f)};
    scene.bounds.cake = Box{glm::vec3(-0.5f, -0.5f, 0.0f), glm::vec3(0.5f, 0.5f, 1.0f)};
    scene.bounds.body = Box{glm::vec3(-0.5f, -4.0f, -0.5f), glm::vec3(0.5f, 0.0f, 0.5f)};
    // As in the game, the anchor's own x axis points up the world y axis.
    scene.heroAnchor.applyWorld(glm::rotate(glm::mat4(1.0f), glm::radians(90.0f), glm::vec3(0.0f, 0.0f, 1.0f)));
    placeHeroine(scene, view.mainCamera, 0.0f, 300.0f);
    scene.phantom = uprightAt(glm::vec3(51.0f, 118.0f, -4.0f));
    auto ring = [](float radius, int i, int count, float turn, float y) {
        float angle = glm::radians(360.0f * static_cast<float>(i) / static_cast<float>(count) + turn);
        return glm::vec3(radius * std::cos(angle), y, radius * std::sin(angle));
    };
    for (int i = 0; i < kGhostCount; ++i) scene.ghosts[i] = uprightAt(ring(150.0f, i, kGhostCount, 0.0f, 2.7f));
    for (int k = 0; k < kCakeCount; ++k) scene.cakes[k] = uprightAt(ring(250.0f, k, kCakeCount, 7.0f, 0.0f));
    scene.ghostCooldown.fill(5.0f);
}

// Cakes 0 .. carried-1 carried and lost-many more lost, as in a real game.
inline void setCakeCounts(Scene& scene, int carried, int lost) {
    for (int k = 0; k < carried + lost; ++k) scene.cakes[k].collected = true;
    scene.carriedCakes = carried;
    scene.cakesInWorld = kCakeCount - carried - lost;
}

inline void setHeightAtTexel(HeightMap& map, int row, int column, float height) {
    map.values[static_cast<std::size_t>(row) * kHeightMapSize + static_cast<std::size_t>(column)] = height;
}

inline void fillHeight(HeightMap& map, float height) { map.values.assign(map.values.size(), height); }

// Three texel rows high around z: the middle sees flat ground two rows off, too steep.
inline void addRidgeAtZ(HeightMap& map, float z, float height) {
    for (int row = heightMapRow(z) - 1; row <= heightMapRow(z) + 1; ++row)
        for (int column = 0; column < kHeightMapSize; ++column) setHeightAtTexel(map, row, column, height);
}

inline void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-3f) {
    EXPECT_LE(glm::length(actual - expected), tolerance)
        << "expected " << testing::PrintToString(expected) << ", actual " << testing::PrintToString(actual);
}

struct CoutCapture {
    std::ostringstream buffer;
    std::streambuf* previous = std::cout.rdbuf(buffer.rdbuf());
    ~CoutCapture() { std::cout.rdbuf(previous); }
};

}  // namespace testing_support
