// The heroine: walking with its take-backs, arm swing, zoom, turning, ground
// following with the position line, and the footsteps counted from her walk.
#include <gtest/gtest.h>

#include <limits>
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
    // Every part and the camera target at ground point (x, z), lifted by the ground.
    void expectAt(float x, float z, float ground = -0.8f) {
        const struct {
            const char* part;
            glm::vec3 actual, expected;
        } parts[] = {{"anchor", scene.heroAnchor.worldPosition(), {x, 4, z}},
                     {"body", scene.heroBody.worldPosition(), {x, ground + 4.8f, z}},
                     {"left arm", scene.leftArm.worldPosition(), {x, ground + 3.5f, z}},
                     {"right arm", scene.rightArm.worldPosition(), {x + 0.5f, ground + 3.5f, z}},
                     {"camera target", view.mainCamera.target, {x, ground + 0.8f, z}}};
        for (const auto& p : parts) {
            SCOPED_TRACE(p.part);
            expectNear(p.actual, p.expected);
        }
    }
    Scene scene;
    View view;
    HeightMap map;
    InputState input;
};

// A step off the play area or onto steep ground is taken back, but the arms swing once per key.
TEST_F(Heroine, WalksFortyUnitsASecondAndIsTakenBackFromForbiddenGround) {
    const struct {
        std::vector<Key> keys;
        float startZ, dt;
        int frames;
        float x, z, swings;
    } walks[] = {{{Key::Up, Key::Right}, 200, 0.25f, 1, 10, 190, 2},
                 {{Key::Down, Key::Left}, 200, 0.25f, 1, -10, 210, 2},
                 {{Key::W, Key::A}, 200, 0.01f, 10, -4, 196, 20},  // left of a camera looking towards -z
                 {{Key::S}, 330, 0.25f, 1, 0, 330, 1},             // would end at 340, beyond the rim
                 {{Key::S}, 330, 0.2f, 1, 0, 338, 1},              // exactly on the rim
                 {{Key::W}, 300, 0.25f, 1, 0, 300, 1},             // onto the ridge at 290
                 {{Key::W}, 300, 0.5f, 1, 0, 280, 1}};             // only where she lands is judged
    addRidgeAtZ(map, 290.0f, 10.0f);
    for (const auto& walk : walks) {
        SCOPED_TRACE(testing::Message() << "walk " << &walk - walks << " from z " << walk.startZ);
        buildTestScene(scene, view);
        input = InputState{};
        placeHeroine(scene, view.mainCamera, 0.0f, walk.startZ);
        for (int frame = 0; frame < walk.frames; ++frame) step(walk.keys, walk.dt);
        expectAt(walk.x, walk.z);
        EXPECT_EQ(scene.armSwingCounter, walk.swings);
    }
}

TEST_F(Heroine, ArmsSwingUpToTwentyDegreesThenBetweenPlusAndMinusTwenty) {
    const struct {
        int steps;
        float counter;
    } marks[] = {{20, 20}, {40, -20}, {40, 20}};  // a cycle is 80 steps
    for (const auto& [steps, counter] : marks) {
        SCOPED_TRACE(testing::Message() << steps << " steps on to " << counter);
        for (int s = 0; s < steps; ++s) armSwingStep(scene);
        EXPECT_EQ(scene.armSwingCounter, counter);
        EXPECT_NEAR(glm::degrees(std::atan2(scene.leftArm.model[0][1], scene.leftArm.model[0][0])), counter, 1e-3f);
        EXPECT_NEAR(scene.rightArm.model[0][1], scene.leftArm.model[0][1], 1e-6f);  // both alike, in place
    }
    expectAt(0, 300);
}

// One zoom step a frame however many notches the wheel turned; + and - together cancel out.
TEST_F(Heroine, TheWheelAndThePlusAndMinusKeysZoomOneStepAFrame) {
    const struct {
        int wheel;
        std::vector<Key> keys;
        float distance;
    } frames[] = {
        {3, {}, 13},          {3, {}, 13}, {1, {}, 15}, {1, {Key::Plus}, 13}, {1, {Key::Plus, Key::Minus}, 13},
        {1, {Key::Minus}, 15}};
    for (const auto& frame : frames) {
        SCOPED_TRACE(testing::Message() << "frame " << &frame - frames << ", wheel " << frame.wheel);
        input = InputState{};
        input.wheel = frame.wheel;
        step(frame.keys, 0.02f);
        EXPECT_NEAR(glm::length(view.mainCamera.position), frame.distance, 1e-4f);
    }
}

// No turn at mouse x 0, without the button or with the window closed; else all turn about her vertical.
TEST_F(Heroine, TurningRotatesEveryPartAboutHerVerticalWhileTheButtonIsHeld) {
    const struct {
        int x;
        bool button, open;
    } frames[] = {{0, true, true}, {100, false, true}, {100, true, false}, {300, true, true}};
    for (const auto& [x, button, open] : frames) {
        input.mouseX = x;
        input.mouseY = 500;
        input.rightButton = button;
        input.windowOpen = open;
        step({}, 0.01f);
    }
    const float a = glm::radians(view.mainCamera.yaw);
    EXPECT_NEAR(view.mainCamera.yaw, 1.25f, 1e-4f);
    EXPECT_EQ(view.mainCamera.pitch, 40.0f);
    expectNear(scene.rightArm.worldPosition(), {0.5f * std::cos(a), 2.7f, 300 - 0.5f * std::sin(a)}, 1e-4f);
    expectNear(glm::vec3(scene.heroAnchor.model[2]), {std::sin(a), 0, std::cos(a)}, 1e-5f);
    expectNear(scene.leftArm.worldPosition(), {0, 2.7f, 300}, 1e-4f);
}

TEST_F(Heroine, FollowingTheGroundLiftsTheDrawnPartsAndTheTargetButNotTheAnchor) {
    for (float ground : {6.0f, 2.0f}) {
        SCOPED_TRACE(testing::Message() << "ground at " << ground);
        fillHeight(map, ground);
        CoutCapture capture;
        followGround(scene, view.mainCamera, map);
        printHeroinePosition(scene);
        EXPECT_EQ(capture.buffer.str(), "x 0   y 4   z 300\n");
        expectAt(0, 300, ground);
    }
}

TEST(Footsteps, FallHalfAStrideInAndThenEveryStrideWhateverTheFrames) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    auto repeated = [](float distance, int frames) { return std::vector<float>(std::size_t(frames), distance); };
    struct Walk {
        std::vector<float> distances;
        std::string steps;
    };
    std::vector<Walk> walks = {
        {{7.9f}, "0"},
        {{7.9f, 0.2f}, "01"},
        {repeated(16, 4), "1111"},
        {{40}, "3"},
        {repeated(4, 11), "01000100010"},                                                      // steps at 8, 24 and 40
        {repeated(40.0f / 60, 37), std::string(11, '0') + "1" + std::string(23, '0') + "10"},  // 60 frames a second
        {{3.0e6f, 16, 16}, std::to_string(kMaxFootstepsPerCall) + "11"}};  // a jump across the map keeps the pace
    for (float broken : {0.0f, -3.0f, nan, infinity, -infinity}) walks.push_back({{7, broken, 0.9f, 0.2f}, "0001"});
    for (const auto& walk : walks) {
        SCOPED_TRACE(testing::Message() << "walk " << &walk - walks.data() << " of " << walk.distances.size()
                                        << " frames");
        FootstepState state;
        std::string steps;
        for (float distance : walk.distances) steps += std::to_string(countFootsteps(state, distance));
        EXPECT_EQ(steps, walk.steps);
    }
}

}  // namespace
