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

Box unitCube() {
    Box box;
    setBounds(box, -1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f);
    return box;
}

// A world box from its corners in the order min x, y, z then max x, y, z.
Box boxFrom(float minX, float minY, float minZ, float maxX, float maxY, float maxZ) {
    return Box{glm::vec3(minX, minY, minZ), glm::vec3(maxX, maxY, maxZ)};
}

TEST(WorldBoxTest, PlacesTheBoundsAndGrowsWhenTurned) {
    Box bounds;
    setBounds(bounds, -1.0f, 2.0f, 0.0f, 3.0f, -0.5f, 0.5f);
    Box moved = worldBox(objectAt(glm::vec3(10.0f, 5.0f, -20.0f)).model, bounds);
    EXPECT_FLOAT_EQ(moved.min.x, 9.0f);
    EXPECT_FLOAT_EQ(moved.max.x, 12.0f);
    EXPECT_FLOAT_EQ(moved.min.y, 5.0f);
    EXPECT_FLOAT_EQ(moved.max.y, 8.0f);
    EXPECT_FLOAT_EQ(moved.min.z, -20.5f);
    EXPECT_FLOAT_EQ(moved.max.z, -19.5f);

    SceneObject turned = objectAt(glm::vec3(0.0f));
    turned.applyLocal(glm::rotate(glm::mat4(1.0f), glm::radians(45.0f), glm::vec3(0.0f, 1.0f, 0.0f)));
    Box grown = worldBox(turned.model, unitCube());
    EXPECT_NEAR(grown.max.x, std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(grown.min.z, -std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(grown.max.y, 1.0f, 1e-5f);

    // Lying down (as ghosts and cakes are built) turns model z into world y.
    Box upright = worldBox(uprightAt(glm::vec3(0.0f)).model, bounds);
    EXPECT_NEAR(upright.min.y, -0.5f, 1e-5f);
    EXPECT_NEAR(upright.max.y, 0.5f, 1e-5f);
    EXPECT_NEAR(upright.min.z, -3.0f, 1e-5f);
    EXPECT_NEAR(upright.max.z, 0.0f, 1e-5f);
}

TEST(BoxHits, TouchingBoxesDoNotHit) {
    Box other = worldBox(objectAt(glm::vec3(0.0f)).model, unitCube());
    Box besideInX = boxFrom(1.0f, -1.0f, -1.0f, 3.0f, 1.0f, 1.0f);  // min.x = other.max.x
    EXPECT_FALSE(boxHitsObject(besideInX, other));
    Box besideInZ = boxFrom(-1.0f, -1.0f, -3.0f, 1.0f, 1.0f, -1.0f);
    EXPECT_FALSE(boxHitsObject(besideInZ, other));
    Box overlapping = boxFrom(0.9f, -1.0f, -1.0f, 3.0f, 1.0f, 1.0f);
    EXPECT_TRUE(boxHitsObject(overlapping, other));
}

TEST(BoxHits, AFigureUpToTheMarginAboveStillHits) {
    Box other = worldBox(objectAt(glm::vec3(0.0f)).model, unitCube());  // top at y = 1
    Box above = boxFrom(-0.5f, 2.9f, -0.5f, 0.5f, 10.0f, 0.5f);
    EXPECT_TRUE(boxHitsObject(above, other));
    above.min.y = 3.0f;
    EXPECT_FALSE(boxHitsObject(above, other));
    Box below = boxFrom(-0.5f, -2.9f, -0.5f, 0.5f, -2.5f, 0.5f);
    EXPECT_TRUE(boxHitsObject(below, other));
    below.min.y = -3.0f;
    EXPECT_FALSE(boxHitsObject(below, other));
    // Only the bottom face counts: a tall figure reaching into the object
    // from below with its top does not hit.
    Box tall = boxFrom(-0.5f, -10.0f, -0.5f, 0.5f, 0.0f, 0.5f);
    EXPECT_FALSE(boxHitsObject(tall, other));
}

TEST(BoxHits, OnlyTheEightFootprintPointsAreTested) {
    Box small;
    setBounds(small, -0.2f, 0.2f, 0.0f, 1.0f, -0.2f, 0.2f);
    Box inside = worldBox(objectAt(glm::vec3(1.0f, 0.0f, 1.0f)).model, small);
    // The face covers the small box, which lies off the midpoints and corners.
    Box wide = boxFrom(0.0f, 0.0f, 0.0f, 4.0f, 2.0f, 4.0f);
    EXPECT_FALSE(boxHitsObject(wide, inside));
    // The same box under an edge midpoint is found.
    Box underMidpoint = worldBox(objectAt(glm::vec3(2.0f, 0.0f, 0.0f)).model, small);
    EXPECT_TRUE(boxHitsObject(wide, underMidpoint));
    Box underCorner = worldBox(objectAt(glm::vec3(4.0f, 0.0f, 4.0f)).model, small);
    EXPECT_TRUE(boxHitsObject(wide, underCorner));
}

TEST(GhostBlocking, NeverByItselfNorByCollectedCakes) {
    Scene scene;
    View view;
    buildTestScene(scene, view);
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
    glm::vec3 origin(0.0f);
    EXPECT_TRUE(isNear(origin, glm::vec3(1.9f, 50.0f, -1.9f)));
    EXPECT_FALSE(isNear(origin, glm::vec3(2.0f, 0.0f, 0.0f)));
    EXPECT_FALSE(isNear(origin, glm::vec3(0.0f, 0.0f, -2.0f)));
    EXPECT_FALSE(isNear(origin, glm::vec3(1.0f, 0.0f, 2.5f)));
    EXPECT_TRUE(isNear(glm::vec3(-1.9f, 0.0f, 0.0f), origin));
}

}  // namespace
