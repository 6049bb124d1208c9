// The heroine's walking, arm swing, zoom, turning and ground following.
#include <gtest/gtest.h>

#include <cmath>

#include "game/player.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override { buildTestScene(scene, view); }

    void press(Key key) { setHeld(input, key, true); }

    // Angle of the left arm about its own z axis, in degrees.
    float leftArmSwing() const {
        return glm::degrees(std::atan2(scene.leftArm.model[0][1], scene.leftArm.model[0][0]));
    }

    Scene scene;
    View view;
    HeightMap map;
    InputState input;
};

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-3f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST_F(PlayerTest, EveryPartAndTheTargetTakeTheSameStep) {
    press(Key::Up);
    press(Key::Right);
    handlePlayerInput(scene, view.mainCamera, map, input, 0.25f);  // 10 units each way
    expectNear(scene.heroAnchor.worldPosition(), glm::vec3(10.0f, 4.0f, 290.0f));
    expectNear(scene.heroBody.worldPosition(), glm::vec3(10.0f, 4.0f, 290.0f));
    expectNear(scene.leftArm.worldPosition(), glm::vec3(10.0f, 2.7f, 290.0f));
    expectNear(scene.rightArm.worldPosition(), glm::vec3(10.5f, 2.7f, 290.0f));
    expectNear(view.mainCamera.target, glm::vec3(10.0f, 0.0f, 290.0f));

    InputState back;
    setHeld(back, Key::Down, true);
    setHeld(back, Key::Left, true);
    handlePlayerInput(scene, view.mainCamera, map, back, 0.25f);
    expectNear(scene.heroAnchor.worldPosition(), glm::vec3(0.0f, 4.0f, 300.0f));
    expectNear(view.mainCamera.target, glm::vec3(0.0f, 0.0f, 300.0f));
    EXPECT_EQ(scene.armSwingCounter, 4.0f);
}

TEST_F(PlayerTest, WAndATogetherWalkDiagonallyAndSwingTwice) {
    press(Key::W);
    press(Key::A);
    const float dt = 0.01f;
    for (int frame = 0; frame < 10; ++frame) handlePlayerInput(scene, view.mainCamera, map, input, dt);
    glm::vec3 moved = scene.heroAnchor.worldPosition() - glm::vec3(0.0f, 4.0f, 300.0f);
    EXPECT_NEAR(glm::length(moved), 40.0f * std::sqrt(2.0f) * 0.1f, 1e-3f);
    EXPECT_NEAR(moved.x, -4.0f, 1e-3f);  // left of a camera looking towards -z
    EXPECT_NEAR(moved.z, -4.0f, 1e-3f);
    expectNear(view.mainCamera.target, scene.heroAnchor.worldPosition() - glm::vec3(0.0f, 4.0f, 0.0f));
    EXPECT_EQ(scene.armSwingCounter, 20.0f);
}

TEST_F(PlayerTest, AStepOutOfThePlayAreaIsTakenBackButTheArmsSwing) {
    placeHeroine(scene, view.mainCamera, 0.0f, 330.0f);
    glm::mat4 armBefore = scene.rightArm.model;
    press(Key::S);  // backwards is +z, towards the rim
    handlePlayerInput(scene, view.mainCamera, map, input, 0.25f);  // would end at 340
    expectNear(scene.heroAnchor.worldPosition(), glm::vec3(0.0f, 4.0f, 330.0f));
    expectNear(scene.heroBody.worldPosition(), glm::vec3(0.0f, 4.0f, 330.0f));
    expectNear(view.mainCamera.target, glm::vec3(0.0f, 0.0f, 330.0f));
    EXPECT_EQ(scene.armSwingCounter, 1.0f);
    EXPECT_NE(scene.rightArm.model, armBefore);
    EXPECT_NEAR(leftArmSwing(), 1.0f, 1e-4f);

    handlePlayerInput(scene, view.mainCamera, map, input, 0.2f);  // ends at exactly 338: allowed
    expectNear(scene.heroAnchor.worldPosition(), glm::vec3(0.0f, 4.0f, 338.0f));
}

TEST_F(PlayerTest, AStepOntoSteepGroundIsTakenBackButALongJumpClearsIt) {
    addRidgeAtZ(map, 290.0f, 10.0f);
    press(Key::W);
    handlePlayerInput(scene, view.mainCamera, map, input, 0.25f);  // lands on the ridge at 290
    expectNear(scene.heroAnchor.worldPosition(), glm::vec3(0.0f, 4.0f, 300.0f));
    expectNear(view.mainCamera.target, glm::vec3(0.0f, 0.0f, 300.0f));
    EXPECT_EQ(scene.armSwingCounter, 1.0f);

    // Only where she lands is judged, so a long frame jumps the ridge.
    handlePlayerInput(scene, view.mainCamera, map, input, 0.5f);
    expectNear(scene.heroAnchor.worldPosition(), glm::vec3(0.0f, 4.0f, 280.0f));
}

TEST_F(PlayerTest, ArmsSwingUpToTwentyDegreesThenBetweenPlusAndMinusTwenty) {
    for (int step = 0; step < 20; ++step) armSwingStep(scene);
    EXPECT_NEAR(leftArmSwing(), 20.0f, 1e-3f);
    EXPECT_EQ(scene.armSwingCounter, 20.0f);
    for (int step = 0; step < 39; ++step) armSwingStep(scene);
    EXPECT_EQ(scene.armSwingCounter, 59.0f);
    armSwingStep(scene);
    EXPECT_EQ(scene.armSwingCounter, -20.0f);
    EXPECT_NEAR(leftArmSwing(), -20.0f, 1e-3f);
    for (int step = 0; step < 40; ++step) armSwingStep(scene);
    EXPECT_NEAR(leftArmSwing(), 20.0f, 1e-3f);
    EXPECT_EQ(scene.armSwingCounter, 20.0f);  // a full cycle is 80 steps
    // Both arms swing alike, each about its own origin.
    expectNear(scene.rightArm.worldPosition(), glm::vec3(0.5f, 2.7f, 300.0f));
    EXPECT_NEAR(scene.rightArm.model[0][1], scene.leftArm.model[0][1], 1e-6f);
}

TEST_F(PlayerTest, SeveralWheelNotchesInOneFrameGiveOneZoomStep) {
    const float dt = 0.02f;
    input.wheel = 3;
    handlePlayerInput(scene, view.mainCamera, map, input, dt);
    EXPECT_NEAR(glm::length(view.mainCamera.position), 13.0f, 1e-4f);
    EXPECT_EQ(scene.lastWheelPosition, 3);
    handlePlayerInput(scene, view.mainCamera, map, input, dt);  // wheel still: nothing
    EXPECT_NEAR(glm::length(view.mainCamera.position), 13.0f, 1e-4f);

    input.wheel = 1;
    handlePlayerInput(scene, view.mainCamera, map, input, dt);
    EXPECT_NEAR(glm::length(view.mainCamera.position), 15.0f, 1e-4f);
    EXPECT_EQ(scene.lastWheelPosition, 1);
}

TEST_F(PlayerTest, PlusAndMinusKeysZoomAndResetTheWheelReference) {
    const float dt = 0.02f;
    scene.lastWheelPosition = 4;
    input.wheel = 4;
    press(Key::Plus);
    handlePlayerInput(scene, view.mainCamera, map, input, dt);
    EXPECT_NEAR(glm::length(view.mainCamera.position), 13.0f, 1e-4f);

    // Both keys held: in, then out again in the same frame.
    press(Key::Minus);
    handlePlayerInput(scene, view.mainCamera, map, input, dt);
    EXPECT_NEAR(glm::length(view.mainCamera.position), 13.0f, 1e-4f);

    InputState minusOnly;
    setHeld(minusOnly, Key::Minus, true);
    minusOnly.wheel = 4;
    handlePlayerInput(scene, view.mainCamera, map, minusOnly, dt);
    EXPECT_NEAR(glm::length(view.mainCamera.position), 15.0f, 1e-4f);
    EXPECT_EQ(scene.lastWheelPosition, 4);
}

TEST_F(PlayerTest, TurningRotatesEveryPartAboutTheHeroinesVertical) {
    input.rightButton = true;
    input.mouseX = 300;  // left of centre: yaw grows
    input.mouseY = 500;
    const float dt = 0.01f;
    handlePlayerInput(scene, view.mainCamera, map, input, dt);
    float turned = view.mainCamera.yaw;
    EXPECT_NEAR(turned, 1.25f, 1e-4f);

    expectNear(scene.heroAnchor.worldPosition(), glm::vec3(0.0f, 4.0f, 300.0f), 1e-4f);
    expectNear(scene.leftArm.worldPosition(), glm::vec3(0.0f, 2.7f, 300.0f), 1e-4f);
    expectNear(scene.heroBody.worldPosition(), glm::vec3(0.0f, 4.0f, 300.0f), 1e-4f);
    // The right arm swings round the left arm's vertical, not its own.
    float a = glm::radians(turned);
    expectNear(scene.rightArm.worldPosition(), glm::vec3(0.5f * std::cos(a), 2.7f, 300.0f - 0.5f * std::sin(a)),
               1e-4f);
    // The anchor turns about its own x axis, which points up: its z axis
    // swings round the vertical by the same angle.
    glm::vec3 anchorZ(scene.heroAnchor.model[2]);
    EXPECT_NEAR(anchorZ.x, std::sin(a), 1e-5f);
    EXPECT_NEAR(anchorZ.y, 0.0f, 1e-5f);
    EXPECT_NEAR(anchorZ.z, std::cos(a), 1e-5f);
}

TEST_F(PlayerTest, NoTurnAtMouseXZeroWithoutTheButtonOrWithTheWindowClosed) {
    glm::mat4 armBefore = scene.rightArm.model;
    input.mouseX = 0;
    input.mouseY = 900;
    input.rightButton = true;
    handlePlayerInput(scene, view.mainCamera, map, input, 0.01f);
    input.mouseX = 100;
    input.rightButton = false;
    handlePlayerInput(scene, view.mainCamera, map, input, 0.01f);
    input.rightButton = true;
    input.windowOpen = false;
    handlePlayerInput(scene, view.mainCamera, map, input, 0.01f);
    EXPECT_EQ(view.mainCamera.yaw, 0.0f);
    EXPECT_EQ(view.mainCamera.pitch, 40.0f);
    EXPECT_EQ(scene.rightArm.model, armBefore);
}

TEST_F(PlayerTest, FollowGroundLiftsTheDrawnPartsAndTheTargetButNotTheAnchor) {
    fillHeight(map, 6.0f);
    {
        CoutCapture capture;
        followGround(scene, view.mainCamera, map);
        printHeroinePosition(scene);
        EXPECT_EQ(capture.text(), "x 0   y 4   z 300\n");
    }
    expectNear(scene.heroBody.worldPosition(), glm::vec3(0.0f, 10.8f, 300.0f));
    expectNear(scene.leftArm.worldPosition(), glm::vec3(0.0f, 9.5f, 300.0f));
    expectNear(scene.rightArm.worldPosition(), glm::vec3(0.5f, 9.5f, 300.0f));
    expectNear(view.mainCamera.target, glm::vec3(0.0f, 6.8f, 300.0f));
    EXPECT_EQ(scene.heroGroundHeight, 6.0f);

    fillHeight(map, 2.0f);
    CoutCapture capture;
    followGround(scene, view.mainCamera, map);
    expectNear(scene.heroBody.worldPosition(), glm::vec3(0.0f, 6.8f, 300.0f));
    expectNear(view.mainCamera.target, glm::vec3(0.0f, 2.8f, 300.0f));
    expectNear(scene.heroAnchor.worldPosition(), glm::vec3(0.0f, 4.0f, 300.0f));
}

TEST_F(PlayerTest, ThePositionLineAlwaysShowsYFour) {
    fillHeight(map, 3.0f);
    addRidgeAtZ(map, 200.0f, 40.0f);
    press(Key::W);
    press(Key::D);
    CoutCapture capture;
    for (int frame = 0; frame < 120; ++frame) {
        handlePlayerInput(scene, view.mainCamera, map, input, 1.0f / 30.0f);
        followGround(scene, view.mainCamera, map);
        printHeroinePosition(scene);
    }
    EXPECT_EQ(countOccurrences(capture.text(), "\n"), 120);
    EXPECT_EQ(countOccurrences(capture.text(), "   y 4   z "), 120);
    EXPECT_GT(scene.heroAnchor.worldPosition().x, 100.0f);
}

}  // namespace
