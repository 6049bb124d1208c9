// Ghost patrol and chase, the steal rule with its shared cool-down clock,
// the phantom's flight and bobbing, and standing ghosts on the ground.
#include <gtest/gtest.h>

#include <cmath>

#include "game/ghosts.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

class GhostTest : public ::testing::Test {
protected:
    void SetUp() override { buildTestScene(scene, view); }

    // A fixed patrol along +x (while reversed) with a long period.
    void setPatrol(SceneObject& ghost, const glm::vec3& direction, bool reversed) {
        ghost.direction = direction;
        ghost.reversed = reversed;
        ghost.period = 100;
        ghost.elapsed = 0.0f;
    }

    // An impossible direction pair, so a redraw is visible whatever rand()
    // gives; the direction vector the patrol uses is left alone.
    static void markDirection(SceneObject& ghost) {
        ghost.dirX = 0;
        ghost.dirZ = 7;
    }

    static bool hasFreshDirection(const SceneObject& ghost) {
        bool validPair = ghost.dirX != 0 && std::abs(ghost.dirX) <= 5 && ghost.dirZ >= 0 && ghost.dirZ <= 2;
        glm::vec3 expected = glm::normalize(glm::vec3(ghost.dirX, 0.0f, ghost.dirZ));
        return validPair && glm::length(ghost.direction - expected) < 1e-5f;
    }

    Scene scene;
    View view;
    HeightMap map;
};

TEST_F(GhostTest, StartStepPatrolsEveryGhostWithoutTurningIt) {
    SceneObject before = scene.ghosts[9];
    startGhosts(scene, 2.0f);
    glm::vec3 moved = scene.ghosts[9].worldPosition() - before.worldPosition();
    EXPECT_NEAR(moved.x, -2.0f * before.direction.x, 1e-4f);  // a fresh patrol runs along -direction
    EXPECT_NEAR(moved.z, -2.0f * before.direction.z, 1e-4f);
    EXPECT_EQ(scene.ghosts[9].heading, 0.0f);
}

TEST_F(GhostTest, AHeroineWithoutCakesIsNeverChasedOrRobbed) {
    moveTo(scene.ghosts[4], glm::vec3(10.0f, 2.7f, 300.0f));
    setPatrol(scene.ghosts[4], glm::vec3(0.0f, 0.0f, 1.0f), true);
    moveGhosts(scene, map, 0.1f);
    // A patrol step of 0.1 along +z, not a chase step of 0.5 towards her.
    glm::vec3 p = scene.ghosts[4].worldPosition();
    EXPECT_NEAR(p.x, 10.0f, 1e-4f);
    EXPECT_NEAR(p.z, 300.1f, 1e-4f);

    moveTo(scene.ghosts[4], glm::vec3(1.0f, 2.7f, 300.0f));
    CoutCapture capture;
    EXPECT_EQ(updateSteals(scene, 3.0f), 0);
    EXPECT_FALSE(scene.ghostHasStolen[4]);
    EXPECT_EQ(capture.text(), "");
}

TEST_F(GhostTest, AChasingGhostClosesAtHalfTheDistancePerSecond) {
    setCakeCounts(scene, 1, 0);
    moveTo(scene.ghosts[4], glm::vec3(20.0f, 2.7f, 300.0f));
    moveGhosts(scene, map, 0.1f);
    glm::vec3 p = scene.ghosts[4].worldPosition();
    EXPECT_NEAR(p.x, 19.0f, 1e-4f);
    EXPECT_NEAR(p.y, 2.7f, 1e-4f);  // height is left to the ground following
    EXPECT_NEAR(p.z, 300.0f, 1e-4f);
    EXPECT_NEAR(scene.ghosts[4].heading, 180.0f, 1e-4f);

    // Out of reach (30 or more) or resting, it patrols instead.
    moveTo(scene.ghosts[5], glm::vec3(0.0f, 2.7f, 270.0f));
    setPatrol(scene.ghosts[5], glm::vec3(1.0f, 0.0f, 0.0f), true);
    moveTo(scene.ghosts[6], glm::vec3(-10.0f, 2.7f, 300.0f));
    setPatrol(scene.ghosts[6], glm::vec3(0.0f, 0.0f, 1.0f), true);
    scene.ghostHasStolen[6] = true;
    moveGhosts(scene, map, 0.1f);
    EXPECT_NEAR(scene.ghosts[5].worldPosition().x, 0.1f, 1e-4f);
    EXPECT_NEAR(scene.ghosts[6].worldPosition().x, -10.0f, 1e-4f);
    EXPECT_NEAR(scene.ghosts[6].worldPosition().z, 300.1f, 1e-4f);
}

TEST_F(GhostTest, AGhostAlreadyTouchingHerPatrolsAndTurnsAwayFromHerBody) {
    setCakeCounts(scene, 1, 0);
    moveTo(scene.ghosts[2], glm::vec3(1.0f, 2.7f, 300.0f));
    markDirection(scene.ghosts[2]);
    moveGhosts(scene, map, 0.1f);
    // Not a chase step towards her: the box hit on her body draws a new
    // direction and the ghost patrols 0.1 along it.
    EXPECT_TRUE(hasFreshDirection(scene.ghosts[2]));
    EXPECT_NEAR(groundDistance(scene.ghosts[2].worldPosition(), glm::vec3(1.0f, 0.0f, 300.0f)), 0.1f, 1e-4f);
}

TEST_F(GhostTest, ABlockedChaseStepEndsTwoStepsBackWithANewDirection) {
    setCakeCounts(scene, 2, 0);
    addRidgeAtZ(map, 290.0f, 20.0f);
    moveTo(scene.ghosts[7], glm::vec3(0.0f, 2.7f, 280.0f));
    markDirection(scene.ghosts[7]);
    moveGhosts(scene, map, 1.0f);  // a step of 10 would land on the ridge
    glm::vec3 p = scene.ghosts[7].worldPosition();
    EXPECT_NEAR(p.x, 0.0f, 1e-4f);
    EXPECT_NEAR(p.z, 260.0f, 1e-3f);
    EXPECT_TRUE(hasFreshDirection(scene.ghosts[7]));
}

TEST_F(GhostTest, AGhostBlockedBeforeMovingOnlyBacksOff) {
    setCakeCounts(scene, 1, 0);
    moveTo(scene.ghosts[7], glm::vec3(0.0f, 2.7f, 280.0f));
    moveTo(scene.ghosts[8], glm::vec3(1.5f, 2.7f, 280.0f));
    markDirection(scene.ghosts[7]);
    moveGhosts(scene, map, 0.1f);
    glm::vec3 p = scene.ghosts[7].worldPosition();
    EXPECT_NEAR(p.z, 277.0f, 1e-3f);  // -3 times the step of +1
    EXPECT_TRUE(hasFreshDirection(scene.ghosts[7]));
}

TEST_F(GhostTest, ABlockedPatrolStepEndsTwoStepsBack) {
    addRidgeAtZ(map, 100.0f, 20.0f);
    moveTo(scene.ghosts[3], glm::vec3(0.0f, 2.7f, 98.5f));
    setPatrol(scene.ghosts[3], glm::vec3(0.0f, 0.0f, 1.0f), true);
    markDirection(scene.ghosts[3]);
    moveGhosts(scene, map, 1.0f);
    EXPECT_NEAR(scene.ghosts[3].worldPosition().z, 96.5f, 1e-4f);
    EXPECT_TRUE(hasFreshDirection(scene.ghosts[3]));

    // Another ghost in the way: a new direction and a step along it.
    moveTo(scene.ghosts[3], glm::vec3(0.0f, 2.7f, 50.0f));
    moveTo(scene.ghosts[4], glm::vec3(0.0f, 2.7f, 51.5f));
    markDirection(scene.ghosts[3]);
    moveGhosts(scene, map, 0.5f);
    EXPECT_TRUE(hasFreshDirection(scene.ghosts[3]));
    EXPECT_NEAR(groundDistance(scene.ghosts[3].worldPosition(), glm::vec3(0.0f, 0.0f, 50.0f)), 0.5f, 1e-4f);
}

TEST_F(GhostTest, GhostsFaceTheWayTheyMoved) {
    moveTo(scene.ghosts[0], glm::vec3(100.0f, 2.7f, 0.0f));
    setPatrol(scene.ghosts[0], glm::vec3(1.0f, 0.0f, 0.0f), true);  // +x
    moveTo(scene.ghosts[1], glm::vec3(0.0f, 2.7f, 100.0f));
    setPatrol(scene.ghosts[1], glm::vec3(std::sqrt(0.5f), 0.0f, std::sqrt(0.5f)), false);  // -x, -z
    moveTo(scene.ghosts[2], glm::vec3(-100.0f, 2.7f, 0.0f));
    setPatrol(scene.ghosts[2], glm::vec3(std::sqrt(0.5f), 0.0f, std::sqrt(0.5f)), true);  // +x, +z
    moveGhosts(scene, map, 0.5f);
    EXPECT_NEAR(scene.ghosts[0].heading, 0.0f, 1e-4f);
    EXPECT_NEAR(scene.ghosts[1].heading, 135.0f, 1e-3f);
    EXPECT_NEAR(scene.ghosts[2].heading, -45.0f, 1e-3f);
    // Facing turns the figure about the vertical only.
    EXPECT_NEAR(scene.ghosts[1].model[2].y, 1.0f, 1e-5f);

    // Nothing moves in a frame of no time: every ghost turns to 90.
    moveGhosts(scene, map, 0.0f);
    for (const SceneObject& ghost : scene.ghosts) EXPECT_EQ(ghost.heading, 90.0f);
}

TEST_F(GhostTest, WithOneCakeOnlyTheLowerIndexedOfTwoTouchingGhostsSteals) {
    setCakeCounts(scene, 1, 0);
    moveTo(scene.ghosts[3], glm::vec3(1.0f, 2.7f, 299.0f));
    moveTo(scene.ghosts[7], glm::vec3(-1.0f, 2.7f, 301.0f));
    CoutCapture capture;
    EXPECT_EQ(updateSteals(scene, 12.5f), 0);
    EXPECT_TRUE(scene.ghostHasStolen[3]);
    EXPECT_FALSE(scene.ghostHasStolen[7]);
    EXPECT_EQ(scene.stealClock, 12.5f);
    EXPECT_EQ(capture.text(), "Stole cake\n");
    // The rule hands back the count; the pick-up writes it.
    EXPECT_EQ(scene.carriedCakes, 1);

    // With two carried, both steal in the same frame.
    setCakeCounts(scene, 2, 0);
    scene.ghostHasStolen.fill(false);
    EXPECT_EQ(updateSteals(scene, 13.0f), 0);
    EXPECT_TRUE(scene.ghostHasStolen[7]);
}

TEST_F(GhostTest, ACoolDownEndingInAFrameAllowsASteal) {
    setCakeCounts(scene, 2, 0);
    moveTo(scene.ghosts[2], glm::vec3(0.5f, 2.7f, 300.0f));
    scene.ghostHasStolen[2] = true;
    scene.ghostCooldown[2] = 0.5f;
    scene.stealClock = 10.0f;

    CoutCapture capture;
    EXPECT_EQ(updateSteals(scene, 10.5f), 2);  // exactly 0 left: still resting
    EXPECT_EQ(scene.ghostCooldown[2], 0.0f);
    EXPECT_TRUE(scene.ghostHasStolen[2]);

    EXPECT_EQ(updateSteals(scene, 10.6f), 1);
    EXPECT_TRUE(scene.ghostHasStolen[2]);
    EXPECT_EQ(scene.ghostCooldown[2], stealCooldown);
    EXPECT_EQ(scene.stealClock, 10.6f);
    EXPECT_EQ(capture.text(), "Stole cake\n");
}

TEST_F(GhostTest, RestingGhostsShareOneClock) {
    scene.ghostHasStolen[0] = true;
    scene.ghostHasStolen[1] = true;
    scene.stealClock = 20.0f;
    updateSteals(scene, 21.0f);
    // The first takes the elapsed second; the clock has moved on for the next.
    EXPECT_FLOAT_EQ(scene.ghostCooldown[0], 4.0f);
    EXPECT_FLOAT_EQ(scene.ghostCooldown[1], 5.0f);
    EXPECT_EQ(scene.stealClock, 21.0f);
}

TEST_F(GhostTest, ThePhantomPatrolsAtTwentyAndFleesInside) {
    // Phantom at (51, 118, -4); the heroine exactly 20 away in z.
    placeHeroine(scene, view.mainCamera, 51.0f, 16.0f);
    setPatrol(scene.phantom, glm::vec3(1.0f, 0.0f, 0.0f), true);
    movePhantom(scene, map, 0.1f);
    glm::vec3 p = scene.phantom.worldPosition();
    EXPECT_NEAR(p.x, 51.1f, 1e-4f);
    EXPECT_NEAR(p.z, -4.0f, 1e-4f);

    placeHeroine(scene, view.mainCamera, 51.1f, 15.9f);  // 19.9 away
    movePhantom(scene, map, 0.1f);
    p = scene.phantom.worldPosition();
    EXPECT_NEAR(p.x, 51.1f, 1e-4f);
    EXPECT_NEAR(p.z, -4.0f - 19.9f * 0.05f, 1e-4f);
    EXPECT_NEAR(scene.phantom.heading, 90.0f, 1e-4f);  // no x movement
}

TEST_F(GhostTest, ThePhantomStaysPutWhenFleeingOrPatrollingOntoForbiddenGround) {
    addRidgeAtZ(map, -5.0f, 30.0f);
    placeHeroine(scene, view.mainCamera, 51.0f, 10.0f);
    movePhantom(scene, map, 0.1f);  // flee step of 0.7 towards -z lands on the ridge
    EXPECT_NEAR(scene.phantom.worldPosition().z, -4.0f, 1e-4f);
    EXPECT_NEAR(scene.phantom.worldPosition().x, 51.0f, 1e-4f);

    placeHeroine(scene, view.mainCamera, 0.0f, 300.0f);
    setPatrol(scene.phantom, glm::vec3(0.0f, 0.0f, 1.0f), false);  // -z
    markDirection(scene.phantom);
    movePhantom(scene, map, 0.5f);
    EXPECT_NEAR(scene.phantom.worldPosition().z, -4.0f, 1e-4f);
    EXPECT_EQ(scene.phantom.dirZ, 7) << "the phantom never draws a new direction";
}

TEST_F(GhostTest, ThePhantomBobsBetween117And118AtHalfAUnitPerSecond) {
    const float dt = 0.05f;
    float lowest = 1000.0f;
    float highest = -1000.0f;
    int turns = 0;
    bool rising = scene.phantomRising;
    float previous = scene.phantom.worldPosition().y;
    for (int frame = 0; frame < 200; ++frame) {  // 10 seconds
        movePhantom(scene, map, dt);
        float y = scene.phantom.worldPosition().y;
        EXPECT_NEAR(std::fabs(y - previous), 0.5f * dt, 1e-4f);
        previous = y;
        lowest = std::min(lowest, y);
        highest = std::max(highest, y);
        if (scene.phantomRising != rising) ++turns;
        rising = scene.phantomRising;
    }
    EXPECT_GT(lowest, 117.0f - 0.5f * dt - 1e-3f);
    EXPECT_LT(lowest, 117.0f);
    EXPECT_GT(highest, 118.0f);
    EXPECT_LT(highest, 118.0f + 0.5f * dt + 1e-3f);
    EXPECT_EQ(turns, 5);  // down at ~0, up at ~2, ~4, ~6, ~8 seconds
}

TEST_F(GhostTest, GroundGhostsStandOnTheSampleUnderTheirOrigin) {
    fillHeight(map, 10.0f);
    groundGhosts(scene, map);
    EXPECT_NEAR(scene.ghosts[12].worldPosition().y, 12.7f, 1e-4f);
    EXPECT_EQ(scene.ghostGroundHeight[12], 10.0f);
    fillHeight(map, 3.0f);
    groundGhosts(scene, map);
    EXPECT_NEAR(scene.ghosts[12].worldPosition().y, 5.7f, 1e-4f);
    EXPECT_NEAR(scene.ghosts[31].worldPosition().y, 5.7f, 1e-4f);
}

}  // namespace
