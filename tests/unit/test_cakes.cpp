// Cake pick-up, the icon row and the two end conditions.
#include <gtest/gtest.h>

#include "game/cakes.h"
#include "game/game_frame.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

class CakeTest : public ::testing::Test {
protected:
    void SetUp() override { buildTestScene(scene, view); }

    Scene scene;
    View view;
    HeightMap map;
};

TEST_F(CakeTest, ACakeIsReachedWithinTwoUnitsInXAndZWhateverItsHeight) {
    moveTo(scene.cakes[4], glm::vec3(2.0f, 0.0f, 300.0f));
    EXPECT_EQ(collectCakes(scene, 0), 0);
    EXPECT_FALSE(scene.cakes[4].collected);
    EXPECT_EQ(scene.cakesInWorld, 10);

    moveTo(scene.cakes[4], glm::vec3(1.99f, 0.0f, 300.0f));
    moveTo(scene.cakes[6], glm::vec3(-1.0f, 88.8f, 301.5f));  // on a high tier
    EXPECT_EQ(collectCakes(scene, 3), 5);  // continues the running count
    EXPECT_TRUE(scene.cakes[4].collected);
    EXPECT_TRUE(scene.cakes[6].collected);
    EXPECT_EQ(scene.cakesInWorld, 8);

    // A collected cake stays where it was and is not taken twice.
    EXPECT_EQ(collectCakes(scene, 5), 5);
    EXPECT_EQ(scene.cakesInWorld, 8);
}

TEST_F(CakeTest, TheIconRowReadsCarriedLyingLost) {
    for (int k = 0; k < kCakeCount; ++k) EXPECT_EQ(iconState(scene, k), CakeIcon::Lying);
    setCakeCounts(scene, 2, 3);
    const CakeIcon expected[kCakeCount] = {CakeIcon::Carried, CakeIcon::Carried, CakeIcon::Lying, CakeIcon::Lying,
                                           CakeIcon::Lying,   CakeIcon::Lying,   CakeIcon::Lying, CakeIcon::Lost,
                                           CakeIcon::Lost,    CakeIcon::Lost};
    for (int k = 0; k < kCakeCount; ++k) EXPECT_EQ(iconState(scene, k), expected[k]) << "icon " << k;
}

TEST_F(CakeTest, WinningNeedsEightCakesAtThePhantom) {
    placeHeroine(scene, view.mainCamera, 52.5f, -5.5f);  // within reach of the phantom at (51, -4)
    setCakeCounts(scene, 7, 0);
    EXPECT_FALSE(hasWon(scene));
    for (int carried : {8, 9, 10}) {
        setCakeCounts(scene, carried, 0);
        EXPECT_TRUE(hasWon(scene)) << carried;
        EXPECT_FALSE(hasLost(scene)) << carried;
    }
    placeHeroine(scene, view.mainCamera, 53.0f, -4.0f);  // 2.0 away in x
    EXPECT_FALSE(hasWon(scene));
}

TEST_F(CakeTest, TheGameIsLostOnceEightCanNoLongerBeDelivered) {
    setCakeCounts(scene, 0, 2);
    EXPECT_FALSE(hasLost(scene));
    setCakeCounts(scene, 5, 2);
    EXPECT_FALSE(hasLost(scene));
    setCakeCounts(scene, 7, 3);  // whatever she carries
    EXPECT_TRUE(hasLost(scene));
    setCakeCounts(scene, 0, 3);
    EXPECT_TRUE(hasLost(scene));
}

TEST_F(CakeTest, ACakeTouchedTogetherWithAGhostIsPickedUpAndKept) {
    moveTo(scene.cakes[0], glm::vec3(1.0f, 0.0f, 299.0f));
    moveTo(scene.ghosts[0], glm::vec3(-1.0f, 2.7f, 300.5f));
    InputState still;
    CoutCapture capture;
    updateGameFrame(scene, view.mainCamera, map, still, 0.0f, 1.0f);
    EXPECT_EQ(scene.carriedCakes, 1);
    EXPECT_EQ(scene.cakesInWorld, 9);
    EXPECT_FALSE(scene.ghostHasStolen[0]);
    EXPECT_EQ(countOccurrences(capture.text(), "Stole cake"), 0);

    // The next frame the ghost, still touching her, takes it.
    updateGameFrame(scene, view.mainCamera, map, still, 0.0f, 1.1f);
    EXPECT_EQ(scene.carriedCakes, 0);
    EXPECT_EQ(scene.cakesInWorld, 9);
    EXPECT_EQ(countOccurrences(capture.text(), "Stole cake"), 1);
    EXPECT_FALSE(hasLost(scene));
}

}  // namespace
