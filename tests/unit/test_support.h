// Hand-built scenes and maps for the game-rule tests: figures placed the way
// the game places them (model z axis up the world y axis), simple model
// bounds, a flat height map with helpers for ridges, and a stdout capture.
#pragma once

#include <cmath>
#include <iostream>
#include <sstream>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "game/scene.h"
#include "math/box.h"
#include "math/collision.h"
#include "math/camera.h"
#include "math/view.h"
#include "world/height_map.h"

namespace testing_support {

inline void setBounds(Box& box, float minX, float maxX, float minY, float maxY, float minZ, float maxZ) {
    box.min = glm::vec3(minX, minY, minZ);
    box.max = glm::vec3(maxX, maxY, maxZ);
}

// A ghost, cake or phantom: built lying down (-90 degrees about x) so its
// own z axis points up, then moved to position.
inline SceneObject uprightAt(const glm::vec3& position) {
    SceneObject object = makeObjectAt(glm::vec3(0.0f), Material{});
    object.applyWorld(glm::rotate(glm::mat4(1.0f), glm::radians(-90.0f), glm::vec3(1.0f, 0.0f, 0.0f)));
    object.applyWorld(glm::translate(glm::mat4(1.0f), position));
    return object;
}

// Sets the translation exactly, keeping the object's turn.
inline void moveTo(SceneObject& object, const glm::vec3& position) {
    object.model[3] = glm::vec4(position, 1.0f);
    object.position = position;
}

// Puts the heroine's anchor at (x, 4, z), with her arms and body beside it as
// at the start, and the camera target above the same ground point.
inline void placeHeroine(Scene& scene, Camera& camera, float x, float z) {
    moveTo(scene.heroAnchor, glm::vec3(x, 4.0f, z));
    moveTo(scene.leftArm, glm::vec3(x, 2.7f, z));
    moveTo(scene.rightArm, glm::vec3(x + 0.5f, 2.7f, z));
    moveTo(scene.heroBody, glm::vec3(x, 4.0f, z));
    camera.target.x = x;
    camera.target.z = z;
}

inline glm::vec3 ringPoint(float radius, int index, int count, float turn) {
    float angle = glm::radians(360.0f * static_cast<float>(index) / static_cast<float>(count) + turn);
    return glm::vec3(radius * std::cos(angle), 0.0f, radius * std::sin(angle));
}

// A quiet world: the view at its start state, the heroine at the camera's
// start target (0, 4, 300), the phantom at its start place, the ghosts on a
// ring of radius 150 about 29 units apart, the cakes on a ring of radius 250,
// counters as at the start.
inline void buildTestScene(Scene& scene, View& view) {
    view = makeView();
    setBounds(scene.bounds.ghost, -1.0f, 1.0f, -1.0f, 1.0f, 0.0f, 3.0f);
    setBounds(scene.bounds.cake, -0.5f, 0.5f, -0.5f, 0.5f, 0.0f, 1.0f);
    setBounds(scene.bounds.body, -0.5f, 0.5f, -4.0f, 0.0f, -0.5f, 0.5f);
    // As in the game, the anchor's own x axis points up the world y axis.
    scene.heroAnchor = makeObjectAt(glm::vec3(0.0f), Material{});
    scene.heroAnchor.applyWorld(glm::rotate(glm::mat4(1.0f), glm::radians(90.0f), glm::vec3(0.0f, 0.0f, 1.0f)));
    scene.leftArm = makeObjectAt(glm::vec3(0.0f), Material{});
    scene.rightArm = makeObjectAt(glm::vec3(0.0f), Material{});
    scene.heroBody = makeObjectAt(glm::vec3(0.0f), Material{});
    placeHeroine(scene, view.mainCamera, 0.0f, 300.0f);
    scene.phantom = uprightAt(glm::vec3(51.0f, 118.0f, -4.0f));
    for (int i = 0; i < kGhostCount; ++i) {
        scene.ghosts[i] = uprightAt(ringPoint(150.0f, i, kGhostCount, 0.0f) + glm::vec3(0.0f, 2.7f, 0.0f));
    }
    for (int k = 0; k < kCakeCount; ++k) scene.cakes[k] = uprightAt(ringPoint(250.0f, k, kCakeCount, 7.0f));
    scene.carriedCakes = 0;
    scene.cakesInWorld = kCakeCount;
    scene.ghostHasStolen.fill(false);
    scene.ghostCooldown.fill(5.0f);
    scene.stealClock = 0.0f;
    scene.ghostGroundHeight.fill(0.0f);
    scene.phantomRising = true;
    scene.lastWheelPosition = 0;
    scene.heroGroundHeight = -0.8f;
    scene.armSwingCounter = 0.0f;
}

// Marks cakes 0 .. carried-1 as taken by the heroine and lost-many more as
// lost, so the three counters add up as in a real game.
inline void setCakeCounts(Scene& scene, int carried, int lost) {
    for (int k = 0; k < carried + lost; ++k) scene.cakes[k].collected = true;
    scene.carriedCakes = carried;
    scene.cakesInWorld = kCakeCount - carried - lost;
}

inline void setHeightAtTexel(HeightMap& map, int row, int column, float height) {
    map.values[static_cast<std::size_t>(row) * kHeightMapSize + static_cast<std::size_t>(column)] = height;
}

// A ridge across the whole map, three texel rows high around the row of z:
// its centre texels see flat ground two rows away, so nothing stands on it.
inline void addRidgeAtZ(HeightMap& map, float z, float height) {
    int centre = heightMapRow(z);
    for (int row = centre - 1; row <= centre + 1; ++row) {
        for (int column = 0; column < kHeightMapSize; ++column) setHeightAtTexel(map, row, column, height);
    }
}

inline void fillHeight(HeightMap& map, float height) {
    for (float& value : map.values) value = height;
}

inline int countOccurrences(const std::string& text, const std::string& word) {
    int count = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) ++count;
    return count;
}

// Redirects std::cout for the lifetime of the capture.
class CoutCapture {
public:
    CoutCapture() : previous_(std::cout.rdbuf(buffer_.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(previous_); }
    CoutCapture(const CoutCapture&) = delete;
    CoutCapture& operator=(const CoutCapture&) = delete;
    std::string text() const { return buffer_.str(); }

private:
    std::ostringstream buffer_;
    std::streambuf* previous_;
};

}  // namespace testing_support
