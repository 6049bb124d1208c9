// Whole frames of game rules driven with scripted input on a synthetic map:
// picking up a cake, being robbed, losing and winning.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>

#include "game/cakes.h"
#include "game/game_frame.h"
#include "game/ghosts.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

class PlayThrough : public ::testing::Test {
protected:
    void SetUp() override {
        buildTestScene(scene, view);
        fillHeight(map, 3.0f);
    }

    // One frame; the counts it reports are summed, the end flags kept.
    void frame() {
        last = updateGameFrame(scene, view.mainCamera, map, input, dt, now);
        reported.cakesPickedUp += last.cakesPickedUp;
        reported.cakesStolen += last.cakesStolen;
        reported.distanceWalked += last.distanceWalked;
        reported.footsteps += last.footsteps;
        now += dt;
    }

    // Runs frames until done() holds after one, or the time runs out;
    // returns whether done() held.
    bool runUntil(const std::function<bool()>& done, float seconds) {
        float end = now + seconds;
        while (now < end) {
            frame();
            if (done()) return true;
        }
        return false;
    }

    int steals() const { return countOccurrences(capture.text(), "Stole cake"); }

    Scene scene;
    View view;
    HeightMap map;
    InputState input;
    CoutCapture capture;
    FrameEvents reported;  // summed over the frames run
    FrameEvents last;      // of the last frame
    float dt = 1.0f / 60.0f;
    float now = 100.0f;
};

TEST_F(PlayThrough, WalkToACakeAndPickItUp) {
    moveTo(scene.cakes[0], glm::vec3(0.0f, 3.0f, 260.0f));
    setHeld(input, Key::W, true);
    float start = now;
    ASSERT_TRUE(runUntil([&] { return scene.carriedCakes == 1; }, 5.0f));
    // 38 units at 40 per second.
    EXPECT_NEAR(now - start, 0.95f, 2.0f * dt);
    EXPECT_TRUE(scene.cakes[0].collected);
    EXPECT_EQ(scene.cakesInWorld, 9);
    EXPECT_EQ(iconState(scene, 0), CakeIcon::Carried);
    EXPECT_EQ(iconState(scene, 9), CakeIcon::Lying);
    // The body follows the ground (raised by h + 0.8 from the start height
    // of 4), while the anchor stays at 4.
    EXPECT_NEAR(scene.heroBody.worldPosition().y, 7.8f, 1e-3f);
    EXPECT_NEAR(scene.heroAnchor.worldPosition().y, 4.0f, 1e-6f);
    EXPECT_NEAR(view.mainCamera.target.z, scene.heroAnchor.worldPosition().z, 1e-3f);
    EXPECT_EQ(steals(), 0);
    // Reported: one pick-up, the ground walked, a step per 16 units after the first half stride.
    EXPECT_EQ(reported.cakesPickedUp, 1);
    EXPECT_EQ(reported.cakesStolen, 0);
    EXPECT_NEAR(reported.distanceWalked, 300.0f - scene.heroAnchor.worldPosition().z, 1e-3f);
    EXPECT_EQ(reported.footsteps, static_cast<int>((reported.distanceWalked + 8.0f) / 16.0f));
    EXPECT_FALSE(last.won || last.lost);
}

TEST_F(PlayThrough, AGhostCatchesHerStealsAndRestsFiveSeconds) {
    setCakeCounts(scene, 1, 0);
    moveTo(scene.ghosts[0], glm::vec3(12.0f, 2.7f, 300.0f));
    ASSERT_TRUE(runUntil([&] { return steals() == 1; }, 10.0f));
    float firstSteal = now - dt;
    // It homes in at half the distance per second: 12 to under 2 in x.
    EXPECT_NEAR(firstSteal - 100.0f, 2.0f * std::log(6.0f), 0.1f);
    EXPECT_EQ(scene.carriedCakes, 0);
    EXPECT_EQ(scene.cakesInWorld, 9);
    EXPECT_EQ(last.cakesStolen, 1);
    EXPECT_EQ(reported.cakesStolen, 1);
    EXPECT_EQ(reported.footsteps, 0);  // she stood still
    EXPECT_TRUE(scene.ghostHasStolen[0]);
    EXPECT_EQ(iconState(scene, 9), CakeIcon::Lost);
    EXPECT_FALSE(hasLost(scene));

    // She picks up another cake at once; the resting ghost leaves it to her.
    glm::vec3 here = scene.heroAnchor.worldPosition();
    moveTo(scene.cakes[5], glm::vec3(here.x, 3.0f, here.z));
    ASSERT_TRUE(runUntil([&] { return steals() == 2; }, 10.0f));
    float secondSteal = now - dt;
    EXPECT_GE(secondSteal - firstSteal, 5.0f);
    EXPECT_LT(secondSteal - firstSteal, 8.5f);
    EXPECT_EQ(scene.carriedCakes, 0);
    EXPECT_EQ(scene.cakesInWorld, 8);
    EXPECT_FALSE(hasLost(scene));
}

TEST_F(PlayThrough, LosingThreeCakesEndsTheGame) {
    setCakeCounts(scene, 3, 0);
    moveTo(scene.ghosts[20], glm::vec3(-8.0f, 2.7f, 290.0f));
    int stealsBefore = 0;
    bool lost = runUntil(
        [&] {
            if (steals() > stealsBefore) {
                stealsBefore = steals();
                if (stealsBefore < 3) {
                    EXPECT_FALSE(hasLost(scene)) << "after steal " << stealsBefore;
                }
            }
            return hasLost(scene);
        },
        40.0f);
    ASSERT_TRUE(lost);
    EXPECT_TRUE(last.lost);
    EXPECT_EQ(reported.cakesStolen, 3);
    EXPECT_EQ(steals(), 3);
    EXPECT_EQ(scene.carriedCakes, 0);
    EXPECT_EQ(scene.cakesInWorld, 7);
    EXPECT_FALSE(hasWon(scene));
    for (int k = 0; k < 7; ++k) EXPECT_EQ(iconState(scene, k), CakeIcon::Lying);
    for (int k = 7; k < kCakeCount; ++k) EXPECT_EQ(iconState(scene, k), CakeIcon::Lost);
}

TEST_F(PlayThrough, DeliveringEightCakesToThePhantomWins) {
    setCakeCounts(scene, 8, 0);
    placeHeroine(scene, view.mainCamera, 51.0f, 60.0f);
    // Steer towards the phantom each frame, as a player would.
    bool won = runUntil(
        [&] {
            glm::vec3 goal = scene.phantom.worldPosition();
            glm::vec3 at = scene.heroAnchor.worldPosition();
            setHeld(input, Key::W, goal.z < at.z - 1.0f);
            setHeld(input, Key::S, goal.z > at.z + 1.0f);
            setHeld(input, Key::A, goal.x < at.x - 1.0f);
            setHeld(input, Key::D, goal.x > at.x + 1.0f);
            return hasWon(scene);
        },
        20.0f);
    ASSERT_TRUE(won);
    EXPECT_TRUE(last.won);
    EXPECT_FALSE(hasLost(scene));
    EXPECT_EQ(scene.carriedCakes, 8);
    // The phantom fled before she got there, and kept bobbing.
    EXPECT_LT(scene.phantom.worldPosition().z, -4.0f);
    EXPECT_GT(scene.phantom.worldPosition().y, 117.0f - 0.5f * dt - 1e-3f);
    EXPECT_LT(scene.phantom.worldPosition().y, 118.0f + 0.5f * dt + 1e-3f);
}

// The real start layout, with bounds of about the figures' sizes, on a map
// shaped like the torte: ground beyond 270, then tiers at 31, 60.6, 88.8 and
// 115 towards the middle.
SceneBounds figureSizedBounds() {
    SceneBounds bounds;
    setBounds(bounds.ghost, -2.0f, 2.0f, -2.0f, 2.0f, 0.0f, 6.0f);  // the scene halves it
    setBounds(bounds.cake, -1.0f, 1.0f, -1.0f, 1.0f, 0.0f, 1.5f);
    setBounds(bounds.body, -0.5f, 0.5f, -0.5f, 0.5f, 0.0f, 4.0f);
    setBounds(bounds.torte, -0.5f, 0.5f, -0.5f, 0.5f, 0.0f, 4.0f);
    return bounds;
}

float tierHeight(float radius) {
    if (radius >= 270.0f) return 0.0f;
    if (radius >= 200.0f) return 31.0f;
    if (radius >= 140.0f) return 60.6f;
    if (radius >= 80.0f) return 88.8f;
    return 115.0f;
}

void fillTiers(HeightMap& map) {
    for (int row = 0; row < kHeightMapSize; ++row) {
        for (int column = 0; column < kHeightMapSize; ++column) {
            // The capture's own geometry, which the look-up approximates.
            float x = (static_cast<float>(column) - 511.2f) / 1.345f;
            float z = (512.8f - static_cast<float>(row)) / 1.282f;
            setHeightAtTexel(map, row, column, tierHeight(std::sqrt(x * x + z * z)));
        }
    }
}

bool isFinite(const glm::vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

float radiusOf(const SceneObject& object) {
    glm::vec3 p = object.worldPosition();
    return std::sqrt(p.x * p.x + p.z * p.z);
}

class StartLayout : public ::testing::Test {
protected:
    void SetUp() override {
        view = makeView();
        std::srand(1);  // the sequence of every unseeded run
        populateScene(scene, figureSizedBounds(), view);
        fillTiers(map);
        scene.lastWheelPosition = 0;
        startGhosts(scene, 0.5f);
    }

    void frame(float dt) {
        updateGameFrame(scene, view.mainCamera, map, input, dt, now);
        now += dt;
    }

    void steerTowards(const glm::vec3& goal) {
        glm::vec3 at = scene.heroAnchor.worldPosition();
        setHeld(input, Key::W, goal.z < at.z - 0.5f);
        setHeld(input, Key::S, goal.z > at.z + 0.5f);
        setHeld(input, Key::A, goal.x < at.x - 0.5f);
        setHeld(input, Key::D, goal.x > at.x + 0.5f);
    }

    Scene scene;
    View view;
    HeightMap map;
    InputState input;
    CoutCapture capture;
    float now = 2.0f;
};

TEST_F(StartLayout, WalkFromTheStartToTheNearestCake) {
    const float dt = 1.0f / 60.0f;
    glm::vec3 cake = scene.cakes[0].worldPosition();
    for (int frame = 0; frame < 600 && scene.carriedCakes == 0; ++frame) {
        steerTowards(cake);
        this->frame(dt);
    }
    EXPECT_EQ(scene.carriedCakes, 1);
    EXPECT_TRUE(scene.cakes[0].collected);
    EXPECT_EQ(scene.cakesInWorld, 9);
    EXPECT_EQ(countOccurrences(capture.text(), "Stole cake"), 0);
    EXPECT_NEAR(scene.heroAnchor.worldPosition().y, 4.0f, 1e-4f);
}

TEST_F(StartLayout, TheFirstTierStopsHerWalkingInwards) {
    const float dt = 1.0f / 60.0f;
    setHeld(input, Key::W, true);
    for (int frame = 0; frame < 120; ++frame) this->frame(dt);
    float stopped = scene.heroAnchor.worldPosition().z;
    EXPECT_GT(stopped, 270.0f);
    EXPECT_LT(stopped, 273.0f);
    for (int frame = 0; frame < 60; ++frame) this->frame(dt);
    EXPECT_EQ(scene.heroAnchor.worldPosition().z, stopped);
    EXPECT_NEAR(view.mainCamera.target.z, stopped, 1e-3f);
    // She stands on the ground in front of the wall, not on top of it.
    EXPECT_NEAR(scene.heroBody.worldPosition().y, 4.8f, 1e-3f);
}

// Input that changes every frame: walking, zooming and turning together.
InputState scriptedInput(int frame) {
    InputState input;
    setHeld(input, Key::W, frame % 3 == 0);
    setHeld(input, Key::A, frame % 5 < 2);
    setHeld(input, Key::S, frame % 7 == 3);
    setHeld(input, Key::D, frame % 4 == 1);
    setHeld(input, Key::Plus, frame % 6 == 2);
    setHeld(input, Key::Minus, frame % 9 == 4);
    input.wheel = frame % 11;
    input.rightButton = frame % 2 == 0;
    input.mouseX = (frame * 137) % 1200;
    input.mouseY = (frame * 71) % 1000;
    return input;
}

TEST_F(StartLayout, ThreeSecondFramesKeepHerAndThePhantomInsideAndNothingTurnsNaN) {
    setCakeCounts(scene, 3, 0);
    for (int frame = 0; frame < 200; ++frame) {
        input = scriptedInput(frame);
        this->frame(3.0f);
        ASSERT_LE(radiusOf(scene.heroAnchor), worldRadius) << "frame " << frame;
        ASSERT_LE(radiusOf(scene.phantom), worldRadius) << "frame " << frame;
        ASSERT_TRUE(isFinite(scene.heroBody.worldPosition()) && isFinite(scene.leftArm.worldPosition()) &&
                    isFinite(scene.rightArm.worldPosition()) && isFinite(scene.phantom.worldPosition()))
            << "frame " << frame;
        ASSERT_TRUE(isFinite(view.mainCamera.target) && isFinite(view.mainCamera.position)) << "frame " << frame;
        for (const SceneObject& ghost : scene.ghosts) ASSERT_TRUE(isFinite(ghost.worldPosition()));
    }
}

TEST_F(StartLayout, ALongFrameKeepsAChasingGhostInsideTheArea) {
    // She carries a cake 28 units inside a ghost, on the ground just in
    // front of the first tier. One 3 second step would carry the ghost onto
    // the tier wall and its unchecked back-off 84 units out of the area;
    // the frame's short steps close in on her instead.
    setCakeCounts(scene, 1, 0);
    placeHeroine(scene, view.mainCamera, 0.0f, 284.0f);
    moveTo(scene.ghosts[0], glm::vec3(0.0f, 2.7f, 312.0f));
    for (int frame = 0; frame < 30; ++frame) {
        this->frame(3.0f);
        ASSERT_LE(radiusOf(scene.ghosts[0]), worldRadius) << "frame " << frame;
    }
    EXPECT_LT(scene.ghosts[0].worldPosition().z, 291.0f);
    EXPECT_LE(radiusOf(scene.heroAnchor), worldRadius);
}

TEST(SimulationSteps, SplitLongFramesAndRunEveryFrameOnce) {
    const float infinity = std::numeric_limits<float>::infinity();
    const struct {
        float frameTime;
        int steps;
    } cases[] = {{0.016f, 1}, {maxSimulationStep, 1}, {0.1001f, 2}, {0.25f, 3}, {3.0f, 30},
                 {1000.0f, maxSimulationSteps}, {infinity, maxSimulationSteps}, {0.0f, 1}, {-0.5f, 1},
                 {std::numeric_limits<float>::quiet_NaN(), 1}};
    for (const auto& c : cases) EXPECT_EQ(simulationSteps(c.frameTime), c.steps) << c.frameTime;
}

// A slow machine plays in real time: one frame of a second moves a patrolling
// ghost as far as ten frames of a tenth, and prints one position line.
TEST_F(StartLayout, ALongFrameKeepsRealTime) {
    Scene slow = scene;
    Camera slowCamera = view.mainCamera;
    std::srand(7);  // a ghost that turns draws the same numbers in both runs
    for (int i = 0; i < 10; ++i) frame(0.1f);
    std::srand(7);
    CoutCapture capture;
    updateGameFrame(slow, slowCamera, map, input, 1.0f, now);
    EXPECT_EQ(countOccurrences(capture.text(), "\n"), 1);
    for (int i = 0; i < kGhostCount; ++i)
        EXPECT_LT(glm::length(slow.ghosts[i].worldPosition() - scene.ghosts[i].worldPosition()), 1e-3f) << i;
}

}  // namespace
