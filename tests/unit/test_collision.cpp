// World boxes, footprint hits and the ground proximity test.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "game/ghosts.h"
#include "math/collision.h"
#include "tests/unit/test_support.h"

namespace {

using testing_support::buildTestScene;
using testing_support::moveTo;
using testing_support::setBounds;
using testing_support::uprightAt;

SceneObject objectAt(const glm::vec3& position) { return makeObjectAt(position, Material{}); }

Model unitCube() {
    Model model;
    setBounds(model, -1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f);
    return model;
}

TEST(WorldBoxTest, PlacesTheBoundsAndGrowsWhenTurned) {
    Model model;
    setBounds(model, -1.0f, 2.0f, 0.0f, 3.0f, -0.5f, 0.5f);
    WorldBox moved = worldBox(objectAt(glm::vec3(10.0f, 5.0f, -20.0f)), model);
    EXPECT_FLOAT_EQ(moved.minX, 9.0f);
    EXPECT_FLOAT_EQ(moved.maxX, 12.0f);
    EXPECT_FLOAT_EQ(moved.minY, 5.0f);
    EXPECT_FLOAT_EQ(moved.maxY, 8.0f);
    EXPECT_FLOAT_EQ(moved.minZ, -20.5f);
    EXPECT_FLOAT_EQ(moved.maxZ, -19.5f);

    SceneObject turned = objectAt(glm::vec3(0.0f));
    turned.applyLocal(glm::rotate(glm::mat4(1.0f), glm::radians(45.0f), glm::vec3(0.0f, 1.0f, 0.0f)));
    WorldBox grown = worldBox(turned, unitCube());
    EXPECT_NEAR(grown.maxX, std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(grown.minZ, -std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(grown.maxY, 1.0f, 1e-5f);

    // Lying down (as ghosts and cakes are built) turns model z into world y.
    WorldBox upright = worldBox(uprightAt(glm::vec3(0.0f)), model);
    EXPECT_NEAR(upright.minY, -0.5f, 1e-5f);
    EXPECT_NEAR(upright.maxY, 0.5f, 1e-5f);
    EXPECT_NEAR(upright.minZ, -3.0f, 1e-5f);
    EXPECT_NEAR(upright.maxZ, 0.0f, 1e-5f);
}

TEST(BoxHits, TouchingBoxesDoNotHit) {
    Model cube = unitCube();
    SceneObject other = objectAt(glm::vec3(0.0f));
    WorldBox besideInX{1.0f, -1.0f, -1.0f, 3.0f, 1.0f, 1.0f};  // minX = other.maxX
    EXPECT_FALSE(boxHitsObject(besideInX, other, cube));
    WorldBox besideInZ{-1.0f, -1.0f, -3.0f, 1.0f, 1.0f, -1.0f};
    EXPECT_FALSE(boxHitsObject(besideInZ, other, cube));
    WorldBox overlapping{0.9f, -1.0f, -1.0f, 3.0f, 1.0f, 1.0f};
    EXPECT_TRUE(boxHitsObject(overlapping, other, cube));
}

TEST(BoxHits, AFigureUpToTheMarginAboveStillHits) {
    Model cube = unitCube();
    SceneObject other = objectAt(glm::vec3(0.0f));  // top at y = 1
    WorldBox above{-0.5f, 2.9f, -0.5f, 0.5f, 10.0f, 0.5f};
    EXPECT_TRUE(boxHitsObject(above, other, cube));
    above.minY = 3.0f;
    EXPECT_FALSE(boxHitsObject(above, other, cube));
    WorldBox below{-0.5f, -2.9f, -0.5f, 0.5f, -2.5f, 0.5f};
    EXPECT_TRUE(boxHitsObject(below, other, cube));
    below.minY = -3.0f;
    EXPECT_FALSE(boxHitsObject(below, other, cube));
    // Only the bottom face counts: a tall figure reaching into the object
    // from below with its top does not hit.
    WorldBox tall{-0.5f, -10.0f, -0.5f, 0.5f, 0.0f, 0.5f};
    EXPECT_FALSE(boxHitsObject(tall, other, cube));
}

TEST(BoxHits, OnlyTheEightFootprintPointsAreTested) {
    Model small;
    setBounds(small, -0.2f, 0.2f, 0.0f, 1.0f, -0.2f, 0.2f);
    SceneObject inside = objectAt(glm::vec3(1.0f, 0.0f, 1.0f));
    // The face covers the small box, which lies off the midpoints and corners.
    WorldBox wide{0.0f, 0.0f, 0.0f, 4.0f, 2.0f, 4.0f};
    EXPECT_FALSE(boxHitsObject(wide, inside, small));
    // The same box under an edge midpoint is found.
    SceneObject underMidpoint = objectAt(glm::vec3(2.0f, 0.0f, 0.0f));
    EXPECT_TRUE(boxHitsObject(wide, underMidpoint, small));
    SceneObject underCorner = objectAt(glm::vec3(4.0f, 0.0f, 4.0f));
    EXPECT_TRUE(boxHitsObject(wide, underCorner, small));
}

TEST(GhostBlocking, NeverByItselfNorByCollectedCakes) {
    Scene scene;
    buildTestScene(scene);
    moveTo(scene.ghosts[5], glm::vec3(100.0f, 2.7f, 0.0f));
    EXPECT_FALSE(ghostIsBlocked(scene, 5));

    moveTo(scene.ghosts[6], glm::vec3(101.5f, 2.7f, 0.0f));
    EXPECT_TRUE(ghostIsBlocked(scene, 5));
    EXPECT_TRUE(ghostIsBlocked(scene, 6));
    moveTo(scene.ghosts[6], glm::vec3(102.0f, 2.7f, 0.0f));  // boxes touch
    EXPECT_FALSE(ghostIsBlocked(scene, 5));

    moveTo(scene.cakes[3], glm::vec3(100.0f, 0.0f, 1.2f));
    EXPECT_TRUE(ghostIsBlocked(scene, 5));
    scene.cakes[3].collected = true;
    EXPECT_FALSE(ghostIsBlocked(scene, 5));
}

TEST(Proximity, IsNearIsAStrictSquareOnTheGround) {
    SceneObject origin = objectAt(glm::vec3(0.0f));
    EXPECT_TRUE(isNear(origin, objectAt(glm::vec3(1.9f, 50.0f, -1.9f))));
    EXPECT_FALSE(isNear(origin, objectAt(glm::vec3(2.0f, 0.0f, 0.0f))));
    EXPECT_FALSE(isNear(origin, objectAt(glm::vec3(0.0f, 0.0f, -2.0f))));
    EXPECT_FALSE(isNear(origin, objectAt(glm::vec3(1.0f, 0.0f, 2.5f))));
    EXPECT_TRUE(isNear(objectAt(glm::vec3(-1.9f, 0.0f, 0.0f)), origin));
}

}  // namespace
