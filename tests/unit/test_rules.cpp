// Game rules on hand-built scenes: the start layout, cakes and the two end
// conditions, the steal rule, ghosts and the phantom, and whole frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "game/cakes.h"
#include "game/game_frame.h"
#include "game/ghosts.h"
#include "math/collision.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

glm::vec3 at(const SceneObject& object) { return object.worldPosition(); }

TEST(StartLayout, PlacesEveryFigureAndDrawsRandomNumbersAsAlways) {
    std::vector<int> raw(300);  // the sequence of an unseeded run
    std::srand(1);
    for (int& value : raw) value = std::rand();
    std::srand(1);
    Scene scene;
    scene.carriedCakes = 4;
    scene.ghostHasStolen.fill(true);
    View view = makeView();
    const Box box{glm::vec3(-2.0f, -1.0f, -1.0f), glm::vec3(4.0f, 1.0f, 3.0f)};
    populateScene(scene, SceneBounds{box, box, box, box}, view);
    const struct { const SceneObject& object; glm::vec3 place; } places[] = {
        {scene.ghosts[0], {-75.5f, 2.7f, 311}}, {scene.ghosts[31], {1.5f, 2.7f, -53}},
        {scene.phantom, {51, 118, -4}},        {scene.heroAnchor, {0, 4, 300}},
        {scene.leftArm, {0, 2.7f, 300}},       {scene.rightArm, {0.5f, 2.7f, 300}},
        {scene.heroBody, {0, 4, 300}},         {scene.cakes[0], {-128, 0, 289}},
        {scene.cakes[9], {-36, 115, -45}},     {scene.torte, {1, 13.2f, 1}},  // centred on its bounds in x, z
        {scene.cakeIcons[9], {690, 950, 9}},   {scene.endScreenObject, {600, 500, 9}}};
    for (const auto& p : places) expectNear(at(p.object), p.place);
    for (const SceneObject& ghost : scene.ghosts) EXPECT_NEAR(ghost.model[2].y, 0.5f, 1e-5f);  // upright, half size
    for (const SceneObject& cake : scene.cakes) EXPECT_NEAR(cake.model[2].y, 1.0f, 1e-5f);
    EXPECT_NEAR(scene.torte.model[2].y, 50.0f, 1e-3f);
    EXPECT_NEAR(glm::normalize(glm::vec3(scene.heroAnchor.model[0])).y, 1.0f, 1e-5f);
    EXPECT_EQ(scene.carriedCakes, 0);
    for (int i = 0; i < kGhostCount; ++i) EXPECT_TRUE(!scene.ghostHasStolen[i] && scene.ghostCooldown[i] == 5.0f);
    // Three draws per placed object, two per array slot: 287 in all; a
    // placed object draws dirX, dirZ, then its period.
    EXPECT_EQ(std::rand(), raw[287]);
    const std::pair<const SceneObject*, int> patrols[] = {{&scene.ghosts[0], 82}, {&scene.phantom, 15}, {&scene.torte, 228}};
    for (const auto& [object, first] : patrols) {
        int dirX = raw[first] % 5 + 1, dirZ = raw[first + 1] % 3;
        EXPECT_EQ(object->dirX, dirZ == 0 ? -dirX : dirX);
        EXPECT_EQ(object->dirZ, dirZ);
        EXPECT_EQ(object->period, raw[first + 2] % 20 + 5);
    }
    // The overlay follows the window size at population, not later resizes;
    // a failed torte import (empty bounds) leaves a finite matrix.
    onWindowResize(view, 800, 600);
    expectNear(at(scene.cakeIcons[9]), {690, 950, 9});
    populateScene(scene, SceneBounds{box, box, box, Box{}}, view);
    expectNear(at(scene.cakeIcons[9]), {670, 570, 9});
    expectNear(at(scene.torte), {0, 13.2f, 0});
}

class Rules : public ::testing::Test {
protected:
    void SetUp() override { buildTestScene(scene, view); }

    // A steady patrol along direction (or against it unless reversed).
    static void patrol(SceneObject& object, const glm::vec3& direction, bool reversed = true) {
        object.direction = direction;
        object.reversed = reversed;
        object.period = 100;
        object.elapsed = 0.0f;
    }

    Scene scene;
    View view;
    HeightMap map;
    InputState input;
};

TEST_F(Rules, CakesWithinTwoUnitsInXAndZArePickedUpOnceWhateverTheirHeight) {
    moveTo(scene.cakes[4], {2.0f, 0, 300});
    moveTo(scene.cakes[5], {1.99f, 0, 300});
    moveTo(scene.cakes[6], {-1, 88.8f, 301.5f});  // on a high tier
    EXPECT_EQ(collectCakes(scene, 3), 5);          // continues the running count
    EXPECT_EQ(collectCakes(scene, 5), 5);
    EXPECT_FALSE(scene.cakes[4].collected);
    EXPECT_TRUE(scene.cakes[5].collected && scene.cakes[6].collected);
    EXPECT_EQ(scene.cakesInWorld, 8);
}

TEST_F(Rules, TheIconRowReadsCarriedThenLyingThenLost) {
    const struct { int carried, lost; const char* row; } cases[] = {
        {0, 0, "LLLLLLLLLL"}, {2, 3, "CCLLLLLXXX"}, {0, 3, "LLLLLLLXXX"}, {10, 0, "CCCCCCCCCC"}};
    for (const auto& c : cases) {
        setCakeCounts(scene, c.carried, c.lost);
        std::string row;
        for (int k = 0; k < kCakeCount; ++k) row += "CLX"[static_cast<int>(iconState(scene, k))];
        EXPECT_EQ(row, c.row);
    }
}

TEST_F(Rules, EightCakesAtThePhantomWinAndTheGameIsLostWhenEightCanNoLongerBeDelivered) {
    const struct { float x, z; int carried, lost; bool won, gameLost; } cases[] = {
        {52.5f, -5.5f, 8, 0, true, false},  // within reach of the phantom at (51, -4)
        {52.5f, -5.5f, 10, 0, true, false}, {52.5f, -5.5f, 7, 0, false, false},
        {53.0f, -4.0f, 8, 0, false, false},  // exactly 2 away in x
        {0, 300, 0, 2, false, false},        {0, 300, 5, 2, false, false},
        {0, 300, 0, 3, false, true},         {52.5f, -5.5f, 7, 3, false, true}};
    for (const auto& c : cases) {
        placeHeroine(scene, view.mainCamera, c.x, c.z);
        setCakeCounts(scene, c.carried, c.lost);
        EXPECT_EQ(hasWon(scene), c.won) << c.carried << " carried, " << c.lost << " lost";
        EXPECT_EQ(hasLost(scene), c.gameLost) << c.carried << " carried, " << c.lost << " lost";
    }
}

// A ghost touching a heroine with cakes to spare steals, rests five seconds
// (with exactly five gone it still rests), and steals again.
TEST_F(Rules, AGhostThatStoleRestsFiveSecondsEveryTime) {
    setCakeCounts(scene, 10, 0);
    moveTo(scene.ghosts[2], {0.5f, 2.7f, 300});
    CoutCapture capture;
    const struct { float now; int carried; } steps[] = {{10.0f, 9}, {15.0f, 9}, {15.1f, 8}, {19.6f, 8}, {20.2f, 7}};
    for (const auto& s : steps) {
        scene.carriedCakes = updateSteals(scene, s.now);
        EXPECT_EQ(scene.carriedCakes, s.carried) << "at " << s.now;
    }
    EXPECT_EQ(capture.text(), "Stole cake\nStole cake\nStole cake\n");
}

TEST_F(Rules, OnlyGhostsWithACakeToTakeStealLowerIndexFirstAndShareOneClock) {
    moveTo(scene.ghosts[3], {1, 2.7f, 299});
    moveTo(scene.ghosts[7], {-1, 2.7f, 301});
    CoutCapture capture;
    EXPECT_EQ(updateSteals(scene, 12.0f), 0);  // she carries none
    EXPECT_FALSE(scene.ghostHasStolen[3]);
    setCakeCounts(scene, 1, 0);
    EXPECT_EQ(updateSteals(scene, 12.5f), 0);
    EXPECT_TRUE(scene.ghostHasStolen[3] && !scene.ghostHasStolen[7]);
    EXPECT_EQ(capture.text(), "Stole cake\n");
    // With several resting, the first takes the elapsed time and moves the clock on.
    scene.ghostHasStolen[0] = true;
    updateSteals(scene, 13.5f);
    EXPECT_FLOAT_EQ(scene.ghostCooldown[0], 4.0f);
    EXPECT_FLOAT_EQ(scene.ghostCooldown[3], 5.0f);
}

TEST_F(Rules, GhostsChaseAHeroineWithACakeWithinThirtyUnitsAndPatrolOtherwise) {
    setCakeCounts(scene, 1, 0);
    moveTo(scene.ghosts[4], {20, 2.7f, 300});   // chases at half the distance per second
    moveTo(scene.ghosts[5], {0, 2.7f, 270});    // 30 away
    moveTo(scene.ghosts[6], {-10, 2.7f, 300});  // resting
    for (int i : {4, 5, 6}) patrol(scene.ghosts[i], {1, 0, 0});
    scene.ghostHasStolen[6] = true;
    moveGhosts(scene, map, 0.1f);
    expectNear(at(scene.ghosts[4]), {19, 2.7f, 300}, 1e-4f);
    EXPECT_NEAR(scene.ghosts[4].heading, 180.0f, 1e-4f);
    expectNear(at(scene.ghosts[5]), {0.1f, 2.7f, 270}, 1e-4f);
    expectNear(at(scene.ghosts[6]), {-9.9f, 2.7f, 300}, 1e-4f);
    scene.carriedCakes = 0;
    moveGhosts(scene, map, 0.1f);
    expectNear(at(scene.ghosts[4]), {19.1f, 2.7f, 300}, 1e-4f);
}

// Ghost 7 steps onto forbidden ground or into a box: it is taken back (two
// steps back for a wall, three for a box already hit) and draws a fresh
// direction; a patrol blocked by a box or her body steps along the new one.
TEST_F(Rules, ABlockedGhostIsTakenBackAndTurns) {
    const struct { const char* why; int carried; float ridgeZ; glm::vec3 start, other; float dt, moved; } cases[] = {
        {"chase onto a wall", 2, 290, {0, 2.7f, 280}, {}, 1.0f, 20.0f},
        {"chase from inside a ghost", 1, 0, {0, 2.7f, 280}, {1.5f, 2.7f, 280}, 0.1f, 3.0f},
        {"patrol onto a wall", 0, 100, {0, 2.7f, 98.5f}, {}, 1.0f, 2.0f},
        {"patrol into a ghost", 0, 0, {0, 2.7f, 50}, {0, 2.7f, 51.5f}, 0.5f, 0.5f},
        {"patrol into her body", 1, 0, {1, 2.7f, 300}, {}, 0.1f, 0.1f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        buildTestScene(scene, view);
        map = HeightMap{};
        setCakeCounts(scene, c.carried, 0);
        if (c.ridgeZ != 0.0f) addRidgeAtZ(map, c.ridgeZ, 20.0f);
        if (c.other.y != 0.0f) moveTo(scene.ghosts[8], c.other);
        moveTo(scene.ghosts[7], c.start);
        patrol(scene.ghosts[7], {0, 0, 1});
        scene.ghosts[7].dirX = 0;  // an impossible pair: any fresh draw differs
        scene.ghosts[7].dirZ = 7;
        moveGhosts(scene, map, c.dt);
        const SceneObject& ghost = scene.ghosts[7];
        EXPECT_NEAR(groundDistance(at(ghost), c.start), c.moved, 1e-3f);
        EXPECT_TRUE(ghost.dirX != 0 && std::abs(ghost.dirX) <= 5 && ghost.dirZ >= 0 && ghost.dirZ <= 2);
        expectNear(ghost.direction, glm::normalize(glm::vec3(ghost.dirX, 0, ghost.dirZ)), 1e-5f);
    }
}

TEST_F(Rules, GhostsFaceTheWayTheyMovedAboutTheVerticalOnly) {
    const float half = std::sqrt(0.5f);
    SceneObject before = scene.ghosts[9];
    startGhosts(scene, 2.0f);  // the start step patrols along -direction without turning
    expectNear(at(scene.ghosts[9]), at(before) - 2.0f * before.direction, 1e-4f);
    EXPECT_EQ(scene.ghosts[9].heading, 0.0f);
    const struct { glm::vec3 place, direction; bool reversed; float heading; } cases[] = {
        {{100, 2.7f, 0}, {1, 0, 0}, true, 0.0f},
        {{0, 2.7f, 100}, {half, 0, half}, false, 135.0f},
        {{-100, 2.7f, 0}, {half, 0, half}, true, -45.0f}};
    for (int i = 0; i < 3; ++i) {
        moveTo(scene.ghosts[i], cases[i].place);
        patrol(scene.ghosts[i], cases[i].direction, cases[i].reversed);
    }
    moveGhosts(scene, map, 0.5f);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(scene.ghosts[i].heading, cases[i].heading, 1e-3f) << i;
    EXPECT_NEAR(scene.ghosts[1].model[2].y, 1.0f, 1e-5f);
    moveGhosts(scene, map, 0.0f);  // nothing moves: every ghost turns to 90
    for (const SceneObject& ghost : scene.ghosts) EXPECT_EQ(ghost.heading, 90.0f);
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
    EXPECT_NEAR(at(scene.phantom).x, 51.1f, 1e-4f);
    placeHeroine(scene, view.mainCamera, 51.1f, 15.9f);  // 19.9 away: flees at half the distance per second
    movePhantom(scene, map, 0.1f);
    EXPECT_NEAR(at(scene.phantom).x, 51.1f, 1e-4f);
    EXPECT_NEAR(at(scene.phantom).z, -4.0f - 19.9f * 0.05f, 1e-4f);
}

TEST_F(Rules, ThePhantomBobsBetween117And118AtHalfAUnitPerSecond) {
    float low = 200.0f, high = 0.0f, previous = at(scene.phantom).y;
    int turns = 0;
    for (int frame = 0; frame < 200; ++frame) {  // ten seconds
        bool rising = scene.phantomRising;
        movePhantom(scene, map, 0.05f);
        float y = at(scene.phantom).y;
        EXPECT_NEAR(std::fabs(y - previous), 0.025f, 1e-4f);
        low = std::min(low, y), high = std::max(high, y), previous = y;
        turns += scene.phantomRising != rising;
    }
    EXPECT_TRUE(low > 116.97f && low < 117.0f) << low;
    EXPECT_TRUE(high > 118.0f && high < 118.03f) << high;
    EXPECT_EQ(turns, 5);
}

TEST_F(Rules, GhostsStandOnTheGroundUnderThem) {
    for (float ground : {10.0f, 3.0f}) {
        fillHeight(map, ground);
        groundGhosts(scene, map);
        EXPECT_NEAR(at(scene.ghosts[12]).y, ground + 2.7f, 1e-4f);
    }
}

TEST(SimulationSteps, LongFramesAreSplitAndEveryFrameRunsOnce) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), infinity = std::numeric_limits<float>::infinity();
    const struct { float frameTime; int steps; } cases[] = {
        {0.016f, 1}, {0.1f, 1}, {0.1001f, 2}, {0.25f, 3}, {3.0f, 30}, {1000.0f, 100},
        {infinity, 100}, {0.0f, 1}, {-0.5f, 1}, {nan, 1}};
    for (const auto& c : cases) EXPECT_EQ(simulationSteps(c.frameTime), c.steps) << c.frameTime;
}

class Frames : public Rules {
protected:
    FrameEvents frame(float frameTime = 1.0f / 60.0f) {
        FrameEvents events = updateGameFrame(scene, view.mainCamera, map, input, frameTime, now);
        now += frameTime;
        return events;
    }
    CoutCapture capture;  // the position lines
    float now = 100.0f;
};

TEST_F(Frames, SheWalksFortyUnitsASecondAndEachFrameReportsItsWalkAndPickUps) {
    fillHeight(map, 3.0f);
    moveTo(scene.cakes[0], {0, 3, 250});
    setHeld(input, Key::W, true);
    FrameEvents total = frame(0.25f);  // three steps, ten units in all
    expectNear(at(scene.heroAnchor), {0, 4, 290});
    while (scene.carriedCakes == 0 && now < 102.0f) {
        FrameEvents events = frame();
        total.cakesPickedUp += events.cakesPickedUp;
        total.distanceWalked += events.distanceWalked;
        total.footsteps += events.footsteps;
    }
    EXPECT_NEAR(now - 100.25f, 38.0f / 40.0f, 2.0f / 60.0f);
    EXPECT_EQ(total.cakesPickedUp, 1);
    EXPECT_NEAR(total.distanceWalked, 300.0f - at(scene.heroAnchor).z, 1e-3f);
    EXPECT_EQ(total.footsteps, 3);  // at 8, 24 and 40 of her 48 units
    expectNear(at(scene.heroBody), {0, 7.8f, at(scene.heroAnchor).z});  // on the ground; the anchor stays at 4
}

TEST_F(Frames, ACakePickedUpBesideAGhostIsSafeUntilTheNextFrame) {
    moveTo(scene.cakes[0], {1, 0, 299});
    moveTo(scene.ghosts[0], {-1, 2.7f, 300.5f});
    FrameEvents first = frame(0.0f);
    FrameEvents second = frame(0.0f);
    EXPECT_TRUE(first.cakesPickedUp == 1 && first.cakesStolen == 0);
    EXPECT_TRUE(second.cakesPickedUp == 0 && second.cakesStolen == 1);
    EXPECT_EQ(countOccurrences(capture.text(), "Stole cake"), 1);
    EXPECT_TRUE(scene.carriedCakes == 0 && scene.cakesInWorld == 9);
}

TEST_F(Frames, AGhostHuntsHerDownAndTakesThreeCakesFiveSecondsApartAndTheGameIsLost) {
    setCakeCounts(scene, 3, 0);
    moveTo(scene.ghosts[20], {12, 2.7f, 300});
    std::vector<float> steals;
    FrameEvents last;
    while (now < 140.0f && !last.lost) {
        last = frame();
        if (last.cakesStolen > 0) steals.push_back(now);
        EXPECT_EQ(last.lost, steals.size() == 3) << "after steal " << steals.size();
    }
    ASSERT_EQ(steals.size(), 3u);
    EXPECT_NEAR(steals[0] - 100.0f, 2.0f * std::log(6.0f), 0.1f);  // closing from 12 to under 2 in x
    for (int k : {1, 2}) EXPECT_TRUE(steals[k] - steals[k - 1] > 4.99f && steals[k] - steals[k - 1] < 8.5f) << k;
    EXPECT_TRUE(scene.carriedCakes == 0 && scene.cakesInWorld == 7);
}

TEST_F(Frames, EightCakesDeliveredToTheFleeingPhantomWin) {
    setCakeCounts(scene, 8, 0);
    placeHeroine(scene, view.mainCamera, 51.0f, 60.0f);
    FrameEvents last;
    while (now < 120.0f && !last.won) {
        glm::vec3 goal = at(scene.phantom), here = at(scene.heroAnchor);
        setHeld(input, Key::W, goal.z < here.z - 1.0f);
        setHeld(input, Key::S, goal.z > here.z + 1.0f);
        setHeld(input, Key::A, goal.x < here.x - 1.0f);
        setHeld(input, Key::D, goal.x > here.x + 1.0f);
        last = frame();
    }
    EXPECT_TRUE(last.won && !last.lost);
    EXPECT_LT(at(scene.phantom).z, -4.0f);  // it fled before she got there
}

}  // namespace
