// Game rules on hand-built scenes: the start layout, cakes and the two end
// conditions, the steal rule, ghosts and the phantom, and whole frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "game/cakes.h"
#include "game/game_frame.h"
#include "game/ghosts.h"
#include "math/collision.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

glm::vec3 at(const SceneObject& object) { return object.worldPosition(); }

// A failed torte import (empty bounds) leaves a finite matrix; every ghost
// starts with a full rest ahead of its first steal.
TEST(StartLayout, PlacesTheFiguresAndStartsTheCountersAfresh) {
    Scene scene;
    scene.ghostHasStolen.fill(true);
    View view = makeView();
    onWindowResize(view, 800, 600);  // the overlay fits the window at population
    const Box box{glm::vec3(-2.0f, -1.0f, -1.0f), glm::vec3(4.0f, 1.0f, 3.0f)};
    populateScene(scene, SceneBounds{box, box, box, Box{}}, view);
    const struct {
        const SceneObject& object;
        glm::vec3 place;
    } places[] = {{scene.ghosts[0], {-75.5f, 2.7f, 311}}, {scene.phantom, {51, 118, -4}},
                  {scene.heroAnchor, {0, 4, 300}},        {scene.rightArm, {0.5f, 2.7f, 300}},
                  {scene.heroBody, {0, 4, 300}},          {scene.cakes[9], {-36, 115, -45}},
                  {scene.torte, {0, 13.2f, 0}},           {scene.cakeIcons[9], {670, 570, 9}},
                  {scene.endScreenObject, {400, 300, 9}}};
    for (const auto& p : places) {
        SCOPED_TRACE(testing::Message() << "expected at " << testing::PrintToString(p.place));
        expectNear(at(p.object), p.place);
    }
    for (int i = 0; i < kGhostCount; ++i) {
        EXPECT_FALSE(scene.ghostHasStolen[i]) << "ghost " << i;
        EXPECT_EQ(scene.ghostCooldown[i], 5.0f) << "ghost " << i;
    }
}

class Rules : public ::testing::Test {
protected:
    void SetUp() override { buildTestScene(scene, view); }
    // A steady patrol along direction (against it unless reversed).
    static void patrol(SceneObject& object, const glm::vec3& direction, bool reversed = true) {
        object.direction = direction;
        object.reversed = reversed;
        object.period = 100;
    }
    Scene scene;
    View view;
    HeightMap map;
    InputState input;
    CoutCapture capture;
    // One frame of rules ending at now.
    FrameEvents frame(float frameTime = 1.0f / 60.0f) {
        now += frameTime;
        return updateGameFrame(scene, view.mainCamera, map, input, frameTime, now);
    }
    float now = 100.0f;
};

TEST_F(Rules, CakesWithinTwoUnitsInXAndZArePickedUpOnceWhateverTheirHeight) {
    moveTo(scene.cakes[4], {2.0f, 0, 300});
    moveTo(scene.cakes[5], {1.99f, 0, 300});
    moveTo(scene.cakes[6], {-1, 88.8f, 301.5f});
    moveTo(scene.cakes[7], {0, 0, 302});
    EXPECT_EQ(collectCakes(scene, 3), 5);  // continues the running count
    EXPECT_EQ(collectCakes(scene, 5), 5);
    const bool collected[] = {false, true, true, false};  // cakes 4 to 7
    for (int k = 4; k <= 7; ++k) EXPECT_EQ(scene.cakes[k].collected, collected[k - 4]) << "cake " << k;
    EXPECT_EQ(scene.cakesInWorld, 8);
}

// Eight cakes at the phantom win; the game is lost once eight can no longer be
// delivered; the icon row reads carried, then lying, then lost from the left.
TEST_F(Rules, TheEndConditionsAndTheIconRowFollowTheCakeCounts) {
    const struct {
        float x, z;
        int carried, lost;
        bool won, gameLost;
        const char* icons;
    } cases[] = {{52.5f, -5.5f, 8, 0, true, false, "CCCCCCCCLL"},
                 {52.5f, -5.5f, 10, 0, true, false, "CCCCCCCCCC"},
                 {52.5f, -5.5f, 7, 0, false, false, "CCCCCCCLLL"},
                 {53, -4, 8, 0, false, false, "CCCCCCCCLL"},  // exactly 2 from the phantom at (51, -4)
                 {0, 300, 0, 2, false, false, "LLLLLLLLXX"},
                 {0, 300, 5, 2, false, false, "CCCCCLLLXX"},
                 {0, 300, 0, 3, false, true, "LLLLLLLXXX"},
                 {52.5f, -5.5f, 7, 3, false, true, "CCCCCCCXXX"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.carried << " carried, " << c.lost << " lost, at " << c.x << "," << c.z);
        placeHeroine(scene, view.mainCamera, c.x, c.z);
        setCakeCounts(scene, c.carried, c.lost);
        std::string icons;
        for (int k = 0; k < kCakeCount; ++k) icons += "CLX"[static_cast<int>(iconState(scene, k))];
        EXPECT_EQ(hasWon(scene), c.won);
        EXPECT_EQ(hasLost(scene), c.gameLost);
        EXPECT_EQ(icons, c.icons);
    }
}

// A touching ghost steals, rests five seconds (with exactly five gone it
// still rests) and steals again; with no cake carried nothing is stolen.
TEST_F(Rules, AGhostThatStoleRestsFiveSecondsEveryTime) {
    moveTo(scene.ghosts[2], {0.5f, 2.7f, 300});
    EXPECT_EQ(updateSteals(scene, 9.0f), 0);
    EXPECT_FALSE(scene.ghostHasStolen[2]);
    scene.carriedCakes = 10;
    const struct {
        float now;
        int carried;
    } steps[] = {{10.0f, 9}, {15.0f, 9}, {15.1f, 8}, {19.6f, 8}, {20.2f, 7}};
    for (const auto& s : steps) {
        scene.carriedCakes = updateSteals(scene, s.now);
        EXPECT_EQ(scene.carriedCakes, s.carried) << "at " << s.now;
    }
    EXPECT_EQ(capture.buffer.str(), "Stole cake\nStole cake\nStole cake\n");
}

TEST_F(Rules, WithOneCakeTheLowerIndexedGhostStealsAndRestingGhostsShareOneClock) {
    moveTo(scene.ghosts[3], {1, 2.7f, 299});
    moveTo(scene.ghosts[7], {-1, 2.7f, 301});
    scene.carriedCakes = 1;
    EXPECT_EQ(updateSteals(scene, 12.5f), 0);
    EXPECT_TRUE(scene.ghostHasStolen[3]);
    EXPECT_FALSE(scene.ghostHasStolen[7]);
    scene.ghostHasStolen[0] = true;  // the first resting ghost takes the elapsed time
    updateSteals(scene, 13.5f);
    EXPECT_EQ(scene.ghostCooldown[0], 4.0f);
    EXPECT_EQ(scene.ghostCooldown[3], 5.0f);
}

// Ghost 7 steps onto a wall or into a box: it is taken back (two steps for a
// wall, three for a box hit before moving) and draws a fresh direction; a
// patrol blocked by a box or her body steps along the new one.
TEST_F(Rules, ABlockedGhostIsTakenBackAndTurns) {
    const struct {
        const char* why;
        int carried;
        float ridgeZ;
        glm::vec3 start, other;
        float dt, moved;
    } cases[] = {{"chase onto a wall", 2, 290, {0, 2.7f, 280}, {}, 1.0f, 20.0f},
                 {"chase from inside a ghost", 1, 0, {0, 2.7f, 280}, {1.5f, 2.7f, 280}, 0.1f, 3.0f},
                 {"patrol onto a wall", 0, 100, {0, 2.7f, 98.5f}, {}, 1.0f, 2.0f},
                 {"patrol into a ghost", 0, 0, {0, 2.7f, 50}, {0, 2.7f, 51.5f}, 0.5f, 0.5f},
                 {"patrol into her body", 1, 0, {1, 2.7f, 300}, {}, 0.1f, 0.1f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        buildTestScene(scene, view);
        map = HeightMap{};
        if (c.ridgeZ != 0.0f) addRidgeAtZ(map, c.ridgeZ, 20.0f);
        if (c.other.y != 0.0f) moveTo(scene.ghosts[8], c.other);
        SceneObject& ghost = scene.ghosts[7];
        scene.carriedCakes = c.carried;
        moveTo(ghost, c.start);
        patrol(ghost, {0, 0, 1});
        ghost.dirX = 0;  // with dirZ 7 an impossible pair: any fresh draw differs
        ghost.dirZ = 7;
        moveGhosts(scene, map, c.dt);
        EXPECT_NEAR(groundDistance(at(ghost), c.start), c.moved, 1e-3f);
        EXPECT_NE(ghost.dirX, 0);
        EXPECT_LE(std::abs(ghost.dirX), 5);
        EXPECT_GE(ghost.dirZ, 0);
        EXPECT_LE(ghost.dirZ, 2);
        expectNear(ghost.direction, glm::normalize(glm::vec3(ghost.dirX, 0, ghost.dirZ)), 1e-5f);
    }
}

// Ghosts not resting chase a heroine with a cake within 30 units at half the
// distance per second, others patrol; they face the way they moved.
TEST_F(Rules, GhostsChaseWithinThirtyUnitsPatrolOtherwiseAndFaceTheWayTheyMoved) {
    const float h = std::sqrt(0.5f);
    const struct {
        glm::vec3 place, direction;
        bool reversed, resting;
        glm::vec3 after;
        float heading;
    } cases[] = {{{20, 2.7f, 300}, {1, 0, 0}, true, false, {19, 2.7f, 300}, 180},
                 {{0, 2.7f, 270}, {1, 0, 0}, true, false, {0.1f, 2.7f, 270}, 0},  // 30 away
                 {{-10, 2.7f, 300}, {1, 0, 0}, true, true, {-9.9f, 2.7f, 300}, 0},
                 {{0, 2.7f, 100}, {h, 0, h}, false, false, {-0.1f * h, 2.7f, 100 - 0.1f * h}, 135},
                 {{-100, 2.7f, 0}, {h, 0, h}, true, false, {-100 + 0.1f * h, 2.7f, 0.1f * h}, -45}};
    scene.carriedCakes = 1;
    for (int i = 0; i < 5; ++i) {
        moveTo(scene.ghosts[i], cases[i].place);
        patrol(scene.ghosts[i], cases[i].direction, cases[i].reversed);
        scene.ghostHasStolen[i] = cases[i].resting;
    }
    moveGhosts(scene, map, 0.1f);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(testing::Message() << "ghost " << i << " from " << testing::PrintToString(cases[i].place));
        expectNear(at(scene.ghosts[i]), cases[i].after, 1e-4f);
        EXPECT_NEAR(scene.ghosts[i].heading, cases[i].heading, 1e-3f);
    }
    scene.carriedCakes = 0;  // she is not chased without a cake
    moveGhosts(scene, map, 0.1f);
    expectNear(at(scene.ghosts[0]), {19.1f, 2.7f, 300}, 1e-4f);
    moveGhosts(scene, map, 0.0f);  // nothing moves: every ghost turns to 90
    for (int i = 0; i < kGhostCount; ++i) EXPECT_EQ(scene.ghosts[i].heading, 90.0f) << "ghost " << i;
    fillHeight(map, 10.0f);
    groundGhosts(scene, map);
    EXPECT_NEAR(at(scene.ghosts[12]).y, 12.7f, 1e-4f);
}

TEST_F(Rules, ThePhantomFleesWithinTwentyUnitsButNeverOntoAWall) {
    addRidgeAtZ(map, -5.0f, 30.0f);
    placeHeroine(scene, view.mainCamera, 51.0f, 10.0f);
    movePhantom(scene, map, 0.1f);  // a flee step of 0.7 lands on the ridge
    placeHeroine(scene, view.mainCamera, 0.0f, 300.0f);
    patrol(scene.phantom, {0, 0, 1}, false);  // towards the ridge
    scene.phantom.dirZ = 7;
    movePhantom(scene, map, 0.5f);
    EXPECT_NEAR(at(scene.phantom).z, -4.0f, 1e-4f);
    EXPECT_EQ(scene.phantom.dirZ, 7) << "the phantom never draws a new direction";
    map = HeightMap{};
    patrol(scene.phantom, {1, 0, 0});
    placeHeroine(scene, view.mainCamera, 51.0f, 16.0f);  // exactly 20 away: patrols
    movePhantom(scene, map, 0.1f);
    placeHeroine(scene, view.mainCamera, 51.1f, 15.9f);  // 19.9 away: flees at half the distance per second
    movePhantom(scene, map, 0.1f);
    EXPECT_NEAR(at(scene.phantom).x, 51.1f, 1e-4f);
    EXPECT_NEAR(at(scene.phantom).z, -4.0f - 19.9f * 0.05f, 1e-4f);
}

TEST_F(Rules, ThePhantomBobsBetween117And118AtHalfAUnitPerSecond) {
    float lowest = 200.0f;
    float highest = 0.0f;
    int turns = 0;
    for (int frame = 0; frame < 200; ++frame) {  // ten seconds
        const bool rising = scene.phantomRising;
        movePhantom(scene, map, 0.05f);
        lowest = std::min(lowest, at(scene.phantom).y);
        highest = std::max(highest, at(scene.phantom).y);
        turns += scene.phantomRising != rising;
    }
    EXPECT_NEAR(lowest, 116.985f, 0.015f);  // at most one step of 0.025 past either end
    EXPECT_NEAR(highest, 118.015f, 0.015f);
    EXPECT_EQ(turns, 5);
}

TEST_F(Rules, LongFramesAreSplitIntoEqualStepsAndEveryFrameRunsOnce) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const struct {
        float frameTime;
        int steps;
    } cases[] = {{0.016f, 1},    {0.1f, 1},       {0.1001f, 2}, {0.25f, 3}, {3.0f, 30},
                 {1000.0f, 100}, {infinity, 100}, {0.0f, 1},    {-0.5f, 1}, {nan, 1}};
    for (const auto& c : cases) EXPECT_EQ(simulationSteps(c.frameTime), c.steps) << c.frameTime;
    setHeld(input, Key::W, true);
    const FrameEvents events = frame(0.25f);  // ten units in all; a step falls half a stride in
    expectNear(at(scene.heroAnchor), {0, 4, 290});
    EXPECT_NEAR(events.distanceWalked, 10.0f, 1e-3f);
    EXPECT_EQ(events.footsteps, 1);
}

TEST_F(Rules, ACakePickedUpBesideAGhostIsSafeUntilTheNextFrame) {
    moveTo(scene.cakes[0], {1, 0, 299});
    moveTo(scene.ghosts[0], {-1, 2.7f, 300.5f});
    const FrameEvents first = frame(0.0f);
    EXPECT_EQ(first.cakesPickedUp, 1);
    EXPECT_EQ(first.cakesStolen, 0);
    const FrameEvents second = frame(0.0f);
    EXPECT_EQ(second.cakesPickedUp, 0);
    EXPECT_EQ(second.cakesStolen, 1);
    EXPECT_EQ(scene.carriedCakes, 0);
    EXPECT_EQ(scene.cakesInWorld, 9);
}

TEST_F(Rules, AGhostHuntsHerDownTakingThreeCakesFiveSecondsApartAndTheGameIsLost) {
    setCakeCounts(scene, 3, 0);
    moveTo(scene.ghosts[20], {12, 2.7f, 300});
    std::vector<float> steals;
    for (FrameEvents last; now < 140.0f && !last.lost;) {
        last = frame();
        if (last.cakesStolen > 0) steals.push_back(now);
        EXPECT_EQ(last.lost, steals.size() == 3) << "after steal " << steals.size();
    }
    ASSERT_EQ(steals.size(), 3u);
    EXPECT_NEAR(steals[0] - 100.0f, 2.0f * std::log(6.0f), 0.1f);  // closing from 12 to under 2
    for (int k : {1, 2}) {
        EXPECT_GT(steals[k] - steals[k - 1], 4.99f) << "steal " << k;
        EXPECT_LT(steals[k] - steals[k - 1], 8.5f) << "steal " << k;
    }
    placeHeroine(scene, view.mainCamera, at(scene.phantom).x, at(scene.phantom).z);
    setCakeCounts(scene, 8, 0);
    EXPECT_TRUE(frame(0.0f).won);
}

}  // namespace
