// The heroine: walking with its take-backs, arm swing, zoom, turning, ground
// following, the position line and the footsteps counted from her walk.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "game/footsteps.h"
#include "game/player.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

class Heroine : public ::testing::Test {
protected:
    void SetUp() override { buildTestScene(scene, view); }
    void step(const std::vector<Key>& keys, float dt) {
        for (Key key : keys) setHeld(input, key, true);
        handlePlayerInput(scene, view.mainCamera, map, input, dt);
    }
    // Angle of the left arm about its own z axis, in degrees.
    float leftArmSwing() const { return glm::degrees(std::atan2(scene.leftArm.model[0][1], scene.leftArm.model[0][0])); }

    Scene scene;
    View view;
    HeightMap map;
    InputState input;
};

// Every part and the camera target take the same step of 40 units a second;
// a step off the play area or onto steep ground is taken back, but the arms
// swing once per key held.
TEST_F(Heroine, WalksFortyUnitsASecondAndIsTakenBackFromForbiddenGround) {
    const struct { std::vector<Key> keys; float startZ, dt; int frames; float x, z, swings; } walks[] = {
        {{Key::Up, Key::Right}, 200, 0.25f, 1, 10, 190, 2},
        {{Key::Down, Key::Left}, 200, 0.25f, 1, -10, 210, 2},
        {{Key::W, Key::A}, 200, 0.01f, 10, -4, 196, 20},  // left of a camera looking towards -z
        {{Key::S}, 330, 0.25f, 1, 0, 330, 1},             // would end at 340, beyond the rim
        {{Key::S}, 330, 0.2f, 1, 0, 338, 1},              // exactly on the rim
        {{Key::W}, 300, 0.25f, 1, 0, 300, 1},             // onto the ridge at 290
        {{Key::W}, 300, 0.5f, 1, 0, 280, 1}};             // only where she lands is judged
    addRidgeAtZ(map, 290.0f, 10.0f);
    for (const auto& walk : walks) {
        SCOPED_TRACE(walk.startZ);
        buildTestScene(scene, view);
        input = InputState{};
        placeHeroine(scene, view.mainCamera, 0.0f, walk.startZ);
        for (int frame = 0; frame < walk.frames; ++frame) step(walk.keys, walk.dt);
        expectNear(scene.heroAnchor.worldPosition(), {walk.x, 4, walk.z});
        expectNear(scene.heroBody.worldPosition(), {walk.x, 4, walk.z});
        expectNear(scene.leftArm.worldPosition(), {walk.x, 2.7f, walk.z});
        expectNear(scene.rightArm.worldPosition(), {walk.x + 0.5f, 2.7f, walk.z});
        expectNear(view.mainCamera.target, {walk.x, 0, walk.z});
        EXPECT_EQ(scene.armSwingCounter, walk.swings);
    }
}

TEST_F(Heroine, ArmsSwingUpToTwentyDegreesThenBetweenPlusAndMinusTwenty) {
    const struct { int steps; float counter; } marks[] = {{20, 20}, {40, -20}, {40, 20}};  // a cycle is 80 steps
    for (const auto& mark : marks) {
        for (int s = 0; s < mark.steps; ++s) armSwingStep(scene);
        EXPECT_EQ(scene.armSwingCounter, mark.counter);
        EXPECT_NEAR(leftArmSwing(), mark.counter, 1e-3f);
    }
    // Both arms swing alike, each about its own origin.
    expectNear(scene.rightArm.worldPosition(), {0.5f, 2.7f, 300});
    EXPECT_NEAR(scene.rightArm.model[0][1], scene.leftArm.model[0][1], 1e-6f);
}

// The wheel zooms one step per frame however many notches it turned; + and -
// zoom while held, both together cancel out.
TEST_F(Heroine, TheWheelAndThePlusAndMinusKeysZoomOneStepAFrame) {
    const struct { int wheel; std::vector<Key> keys; float distance; } frames[] = {
        {3, {}, 13}, {3, {}, 13}, {1, {}, 15}, {1, {Key::Plus}, 13}, {1, {Key::Plus, Key::Minus}, 13},
        {1, {Key::Minus}, 15}};
    for (const auto& frame : frames) {
        input = InputState{};
        input.wheel = frame.wheel;
        step(frame.keys, 0.02f);
        EXPECT_NEAR(glm::length(view.mainCamera.position), frame.distance, 1e-4f);
    }
    EXPECT_EQ(scene.lastWheelPosition, 1);
}

TEST_F(Heroine, TurningRotatesEveryPartAboutHerVertical) {
    input.rightButton = true;
    input.mouseX = 300;  // left of centre: yaw grows
    input.mouseY = 500;
    step({}, 0.01f);
    EXPECT_NEAR(view.mainCamera.yaw, 1.25f, 1e-4f);
    float a = glm::radians(view.mainCamera.yaw);
    expectNear(scene.heroAnchor.worldPosition(), {0, 4, 300}, 1e-4f);
    expectNear(scene.leftArm.worldPosition(), {0, 2.7f, 300}, 1e-4f);
    // The right arm swings round the left arm's vertical, and the anchor's z
    // axis round the vertical by the same angle.
    expectNear(scene.rightArm.worldPosition(), {0.5f * std::cos(a), 2.7f, 300 - 0.5f * std::sin(a)}, 1e-4f);
    expectNear(glm::vec3(scene.heroAnchor.model[2]), {std::sin(a), 0, std::cos(a)}, 1e-5f);
}

TEST_F(Heroine, NoTurnAtMouseXZeroWithoutTheButtonOrWithTheWindowClosed) {
    glm::mat4 armBefore = scene.rightArm.model;
    const struct { int mouseX; bool button, open; } frames[] = {{0, true, true}, {100, false, true}, {100, true, false}};
    for (const auto& frame : frames) {
        input.mouseX = frame.mouseX, input.mouseY = 900, input.rightButton = frame.button, input.windowOpen = frame.open;
        step({}, 0.01f);
    }
    EXPECT_TRUE(view.mainCamera.yaw == 0.0f && view.mainCamera.pitch == 40.0f);
    EXPECT_EQ(scene.rightArm.model, armBefore);
}

TEST_F(Heroine, FollowingTheGroundLiftsTheDrawnPartsAndTheTargetButNotTheAnchor) {
    for (float ground : {6.0f, 2.0f}) {
        fillHeight(map, ground);
        CoutCapture capture;
        followGround(scene, view.mainCamera, map);
        printHeroinePosition(scene);
        EXPECT_EQ(capture.text(), "x 0   y 4   z 300\n");
        expectNear(scene.heroBody.worldPosition(), {0, ground + 4.8f, 300});
        expectNear(scene.leftArm.worldPosition(), {0, ground + 3.5f, 300});
        expectNear(scene.rightArm.worldPosition(), {0.5f, ground + 3.5f, 300});
        expectNear(view.mainCamera.target, {0, ground + 0.8f, 300});
        expectNear(scene.heroAnchor.worldPosition(), {0, 4, 300});
    }
}

// Steps per frame as a string of digits, one per frame.
std::string stepsPerFrame(const std::vector<float>& distances, FootstepState state = {}) {
    std::string out;
    for (float distance : distances) out += std::to_string(countFootsteps(state, distance));
    return out;
}

std::vector<float> repeated(float distance, int frames) { return std::vector<float>(std::size_t(frames), distance); }

TEST(Footsteps, FallHalfAStrideInAndThenEveryStrideWhateverTheFrames) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), infinity = std::numeric_limits<float>::infinity();
    const struct { std::vector<float> distances; std::string steps; } walks[] = {
        {{7.9f}, "0"}, {{7.9f, 0.2f}, "01"}, {repeated(16.0f, 4), "1111"},
        {repeated(4.0f, 11), "01000100010"},  // steps at 8, 24, 40
        {repeated(40.0f / 60.0f, 37), std::string(11, '0') + "1" + std::string(23, '0') + "10"},  // 60 frames a second
        {{40.0f}, "3"},
        // Standing still or a broken distance makes no step and loses no pace.
        {{7.0f, 0.0f, 0.9f, 0.2f}, "0001"}, {{7.0f, -3.0f, 0.9f, 0.2f}, "0001"}, {{7.0f, nan, 0.9f, 0.2f}, "0001"},
        {{7.0f, infinity, 0.9f, 0.2f}, "0001"}, {{7.0f, -infinity, 0.9f, 0.2f}, "0001"},
        // A jump across the map counts a few steps and keeps the pace.
        {{3.0e6f, 16.0f, 16.0f}, std::to_string(kMaxFootstepsPerCall) + "11"}};
    for (const auto& walk : walks) EXPECT_EQ(stepsPerFrame(walk.distances), walk.steps) << walk.steps;
}

TEST(Footsteps, TheCountDependsOnTheDistanceNotOnTheFrames) {
    std::srand(7);
    for (int trial = 0; trial < 200; ++trial) {
        FootstepState state;
        double walked = 0.0;
        int steps = 0;
        for (int frame = 1 + std::rand() % 2000; frame > 0; --frame) {
            float distance = 0.001f + 5.7f * static_cast<float>(std::rand()) / RAND_MAX;
            walked += distance;
            steps += countFootsteps(state, distance);
        }
        ASSERT_EQ(steps, static_cast<int>((walked + 8.0) / 16.0)) << walked << " units";
    }
}

}  // namespace
