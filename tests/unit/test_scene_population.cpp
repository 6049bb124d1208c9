// Scene population without GL: every model gets the same simple bounds; the
// placements and the rand() sequence are checked against the start layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "game/scene.h"
#include "math/view.h"

namespace {

// x -2..4, y -1..1, z -1..3 for every model.
const Box kModelBounds{glm::vec3(-2.0f, -1.0f, -1.0f), glm::vec3(4.0f, 1.0f, 3.0f)};
const SceneBounds kBounds{kModelBounds, kModelBounds, kModelBounds, kModelBounds};

class ScenePopulation : public ::testing::Test {
protected:
    void SetUp() override { std::srand(1); }  // the sequence of an unseeded run
    Scene scene;
    View view = makeView();
};

void expectAt(const SceneObject& object, const glm::vec3& expected, float tolerance = 1e-3f) {
    glm::vec3 p = object.worldPosition();
    EXPECT_NEAR(p.x, expected.x, tolerance);
    EXPECT_NEAR(p.y, expected.y, tolerance);
    EXPECT_NEAR(p.z, expected.z, tolerance);
}

TEST_F(ScenePopulation, StartLayoutOfFiguresAndCakes) {
    populateScene(scene, kBounds, view);
    expectAt(scene.ghosts[0], glm::vec3(-75.5f, 2.7f, 311.0f));
    expectAt(scene.ghosts[31], glm::vec3(1.5f, 2.7f, -53.0f));
    expectAt(scene.ghosts[16], glm::vec3(261.5f, 2.7f, 178.0f));
    expectAt(scene.phantom, glm::vec3(51.0f, 118.0f, -4.0f));
    expectAt(scene.heroAnchor, glm::vec3(0.0f, 4.0f, 300.0f));
    expectAt(scene.leftArm, glm::vec3(0.0f, 2.7f, 300.0f));
    expectAt(scene.rightArm, glm::vec3(0.5f, 2.7f, 300.0f));
    expectAt(scene.heroBody, glm::vec3(0.0f, 4.0f, 300.0f));
    expectAt(scene.cakes[0], glm::vec3(-128.0f, 0.0f, 289.0f));
    expectAt(scene.cakes[9], glm::vec3(-36.0f, 115.0f, -45.0f));
    // Ghosts are half size, cakes and the phantom full size.
    EXPECT_NEAR(glm::length(glm::vec3(scene.ghosts[5].model[0])), 0.5f, 1e-5f);
    EXPECT_NEAR(glm::length(glm::vec3(scene.cakes[5].model[0])), 1.0f, 1e-5f);
}

TEST_F(ScenePopulation, StandingObjectsHaveTheirOwnZAxisUp) {
    populateScene(scene, kBounds, view);
    auto upAxis = [](const SceneObject& object) { return glm::normalize(glm::vec3(object.model[2])); };
    for (const SceneObject& ghost : scene.ghosts) EXPECT_NEAR(upAxis(ghost).y, 1.0f, 1e-5f);
    for (const SceneObject& cake : scene.cakes) EXPECT_NEAR(upAxis(cake).y, 1.0f, 1e-5f);
    EXPECT_NEAR(upAxis(scene.phantom).y, 1.0f, 1e-5f);
    EXPECT_NEAR(upAxis(scene.torte).y, 1.0f, 1e-5f);
    // The anchor's own x axis points up the world y axis.
    EXPECT_NEAR(glm::normalize(glm::vec3(scene.heroAnchor.model[0])).y, 1.0f, 1e-5f);
}

TEST_F(ScenePopulation, TorteIsCentredOnItsModelBounds) {
    populateScene(scene, kBounds, view);
    // Fake bounds: x -2..4, z -1..3; the centre is added untransformed.
    expectAt(scene.torte, glm::vec3(1.0f, 13.2f, 1.0f));
    EXPECT_NEAR(glm::length(glm::vec3(scene.torte.model[0])), 50.0f, 1e-3f);
}

TEST_F(ScenePopulation, FailedTorteImportLeavesAFiniteMatrix) {
    SceneBounds failedTorte = kBounds;
    failedTorte.torte = Box{};  // a failed import leaves the bounds empty
    populateScene(scene, failedTorte, view);
    expectAt(scene.torte, glm::vec3(0.0f, 13.2f, 0.0f));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_TRUE(std::isfinite(scene.torte.model[c][r]));
}

TEST_F(ScenePopulation, IconsAndEndScreenFollowTheWindowSizeAtPopulation) {
    populateScene(scene, kBounds, view);
    for (int k = 0; k < kCakeCount; ++k) expectAt(scene.cakeIcons[k], glm::vec3(60.0f + 70.0f * k, 950.0f, 9.0f));
    expectAt(scene.endScreenObject, glm::vec3(600.0f, 500.0f, 9.0f));
    EXPECT_NEAR(scene.cakeIcons[3].model[0][0], 50.0f, 1e-4f);
    EXPECT_NEAR(scene.endScreenObject.model[1][1], 100.0f, 1e-4f);

    // A resize afterwards moves nothing.
    onWindowResize(view, 800, 600);
    expectAt(scene.cakeIcons[9], glm::vec3(690.0f, 950.0f, 9.0f));

    // A resize before population does.
    Scene resized;
    std::srand(1);
    populateScene(resized, kBounds, view);
    for (int k = 0; k < kCakeCount; ++k) expectAt(resized.cakeIcons[k], glm::vec3(40.0f + 70.0f * k, 570.0f, 9.0f));
    expectAt(resized.endScreenObject, glm::vec3(400.0f, 300.0f, 9.0f));
}

TEST_F(ScenePopulation, KeepsEachKindOfBoundsForTheRules) {
    SceneBounds distinct;
    distinct.body = Box{glm::vec3(-1.0f), glm::vec3(1.0f)};
    distinct.ghost = Box{glm::vec3(-2.0f), glm::vec3(2.0f)};
    distinct.cake = Box{glm::vec3(-3.0f), glm::vec3(3.0f)};
    distinct.torte = Box{glm::vec3(-4.0f), glm::vec3(4.0f)};
    populateScene(scene, distinct, view);
    EXPECT_EQ(scene.bounds.body.max, glm::vec3(1.0f));
    EXPECT_EQ(scene.bounds.ghost.max, glm::vec3(2.0f));
    EXPECT_EQ(scene.bounds.cake.min, glm::vec3(-3.0f));
    EXPECT_EQ(scene.bounds.torte.min, glm::vec3(-4.0f));
}

TEST_F(ScenePopulation, RandomDrawsFollowTheDocumentedOrder) {
    // The raw sequence of an unseeded run.
    std::vector<int> raw(400);
    for (int& value : raw) value = std::rand();
    std::srand(1);
    populateScene(scene, kBounds, view);

    // 3 draws per placed object, 2 per array slot: terrain, anchor, arms,
    // body, phantom (18), 32 ghost slots (64), 32 ghosts (96), 10 cake slots
    // (20), 10 cakes (30), torte (3), 10 icon slots (20), 10 icons (30),
    // end screen (3), won (3).
    EXPECT_EQ(std::rand(), raw[287]);

    // A placed object draws dirX, dirZ, then its period (5..24 at a position).
    auto expectPatrol = [&](const SceneObject& object, int first) {
        int dirX = raw[first] % 5 + 1;
        int dirZ = raw[first + 1] % 3;
        if (dirZ == 0) dirX = -dirX;
        EXPECT_EQ(object.dirX, dirX);
        EXPECT_EQ(object.dirZ, dirZ);
        EXPECT_EQ(object.period, raw[first + 2] % 20 + 5);
    };
    expectPatrol(scene.ghosts[0], 18 + 64);
    expectPatrol(scene.ghosts[31], 18 + 64 + 31 * 3);
    expectPatrol(scene.cakes[0], 178 + 20);
    expectPatrol(scene.torte, 228);
    expectPatrol(scene.cakeIcons[0], 231 + 20);
    expectPatrol(scene.endScreenObject, 281);
    // The first draws belong to the grass object (never kept), the
    // phantom's to slots 15-17.
    expectPatrol(scene.phantom, 15);
}

TEST_F(ScenePopulation, CountersAreReset) {
    scene.carriedCakes = 4;
    scene.cakesInWorld = 2;
    scene.ghostHasStolen.fill(true);
    scene.ghostCooldown.fill(0.5f);
    scene.ghostGroundHeight.fill(7.0f);
    scene.stealClock = 12.0f;
    scene.phantomRising = false;
    scene.heroGroundHeight = 3.0f;
    scene.armSwingCounter = 33.0f;
    populateScene(scene, kBounds, view);
    EXPECT_EQ(scene.carriedCakes, 0);
    EXPECT_EQ(scene.cakesInWorld, 10);
    for (int i = 0; i < kGhostCount; ++i) {
        EXPECT_FALSE(scene.ghostHasStolen[i]);
        EXPECT_EQ(scene.ghostCooldown[i], 5.0f);
        EXPECT_EQ(scene.ghostGroundHeight[i], 0.0f);
    }
    EXPECT_EQ(scene.stealClock, 0.0f);
    EXPECT_TRUE(scene.phantomRising);
    EXPECT_EQ(scene.heroGroundHeight, -0.8f);
    EXPECT_EQ(scene.armSwingCounter, 0.0f);
    for (const SceneObject& cake : scene.cakes) EXPECT_FALSE(cake.collected);
}

}  // namespace
