// Ground-height and passability queries: the texel mapping, the play-area
// radius, the slope limit and reads far outside the map.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/unit/test_support.h"
#include "world/height_map.h"

namespace {

using testing_support::fillHeight;
using testing_support::setHeightAtTexel;

TEST(HeightMapTexel, MapsWorldPositionsByTruncation) {
    EXPECT_EQ(heightMapColumn(0.0f), 512);
    EXPECT_EQ(heightMapRow(0.0f), 512);      // trunc(-0.3) = 0
    EXPECT_EQ(heightMapColumn(0.7f), 512);   // trunc(0.938)
    EXPECT_EQ(heightMapColumn(-0.8f), 511);  // trunc(-1.072)
    EXPECT_EQ(heightMapRow(0.5f), 512);      // trunc(0.34)
    EXPECT_EQ(heightMapRow(-0.5f), 512);     // trunc(-0.94)
    EXPECT_EQ(heightMapRow(1.1f), 511);      // trunc(1.108)
    EXPECT_EQ(heightMapColumn(100.0f), 646);
    EXPECT_EQ(heightMapRow(-100.0f), 640);
}

TEST(HeightMapTexel, HeightAtReadsTheMappedElementRowMajor) {
    HeightMap map;
    setHeightAtTexel(map, 511, 512, 3.0f);
    setHeightAtTexel(map, 512, 511, 7.0f);
    EXPECT_EQ(heightAt(map, 0.0f, 1.1f), 3.0f);
    EXPECT_EQ(heightAt(map, -0.8f, 0.0f), 7.0f);
    EXPECT_EQ(heightAt(map, 0.0f, 0.0f), 0.0f);
}

TEST(HeightMapTexel, SamplesOfThePlayAreaStayWellInsideTheMap) {
    for (int step = 0; step < 3600; ++step) {
        float angle = static_cast<float>(step) * 0.1f * 3.14159265f / 180.0f;
        float x = worldRadius * std::cos(angle);
        float z = worldRadius * std::sin(angle);
        EXPECT_GE(heightMapColumn(x) - 2, 58);
        EXPECT_LE(heightMapColumn(x) + 2, 966);
        EXPECT_GE(heightMapRow(z) - 2, 78);
        EXPECT_LE(heightMapRow(z) + 2, 946);
    }
}

TEST(HeightMapTexel, PositionsFarOutsideAreClampedToTheEdge) {
    HeightMap map;
    setHeightAtTexel(map, 1023, 1023, 9.0f);
    setHeightAtTexel(map, 0, 0, -4.0f);
    EXPECT_EQ(heightMapColumn(1.0e6f), 1023);
    EXPECT_EQ(heightMapColumn(-1.0e6f), 0);
    EXPECT_EQ(heightMapRow(-1.0e6f), 1023);
    EXPECT_EQ(heightMapRow(1.0e6f), 0);
    EXPECT_EQ(heightMapColumn(std::numeric_limits<float>::infinity()), 1023);
    EXPECT_EQ(heightMapRow(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(heightAt(map, 1.0e30f, -1.0e30f), 9.0f);
    EXPECT_EQ(heightAt(map, -1.0e30f, 1.0e30f), -4.0f);
    EXPECT_FALSE(isPassable(map, 1.0e30f, 0.0f));
}

TEST(HeightMapTexel, NaNPositionsReadInsideTheMapAndAreNeverPassable) {
    HeightMap map;
    float nan = std::numeric_limits<float>::quiet_NaN();
    int column = heightMapColumn(nan);
    int row = heightMapRow(nan);
    EXPECT_GE(column, 0);
    EXPECT_LT(column, kHeightMapSize);
    EXPECT_GE(row, 0);
    EXPECT_LT(row, kHeightMapSize);
    EXPECT_EQ(heightAt(map, nan, nan), 0.0f);
    EXPECT_FALSE(isPassable(map, nan, 0.0f));
    EXPECT_FALSE(isPassable(map, 0.0f, nan));
}

TEST(HeightMapTexel, AMapOfTheWrongSizeReadsAsFlatGround) {
    HeightMap map;
    map.values.clear();
    EXPECT_EQ(heightAt(map, 10.0f, 10.0f), 0.0f);
    EXPECT_TRUE(isPassable(map, 10.0f, 10.0f));
}

TEST(Passability, TheRadiusIsInclusiveAndJudgedBeforeTheSlope) {
    HeightMap map;
    EXPECT_TRUE(isPassable(map, 338.0f, 0.0f));
    EXPECT_TRUE(isPassable(map, 0.0f, -338.0f));
    EXPECT_FALSE(isPassable(map, 338.5f, 0.0f));
    EXPECT_FALSE(isPassable(map, 0.0f, -338.5f));
    EXPECT_FALSE(isPassable(map, 239.5f, 239.5f));  // 338.7 away
    // At exactly 338 the slope still decides.
    setHeightAtTexel(map, heightMapRow(0.0f) + 2, heightMapColumn(338.0f) + 2, 6.0f);
    EXPECT_FALSE(isPassable(map, 338.0f, 0.0f));
}

TEST(Passability, ARiseOfExactlyTheSlopeLimitPasses) {
    const int diagonals[4][2] = {{2, 2}, {-2, 2}, {2, -2}, {-2, -2}};
    for (const auto& offset : diagonals) {
        HeightMap map;
        fillHeight(map, 10.0f);
        int row = heightMapRow(20.0f);
        int column = heightMapColumn(-30.0f);
        setHeightAtTexel(map, row + offset[0], column + offset[1], 15.0f);
        EXPECT_TRUE(isPassable(map, -30.0f, 20.0f)) << offset[0] << "," << offset[1];
        setHeightAtTexel(map, row + offset[0], column + offset[1], 15.01f);
        EXPECT_FALSE(isPassable(map, -30.0f, 20.0f)) << offset[0] << "," << offset[1];
        setHeightAtTexel(map, row + offset[0], column + offset[1], 4.99f);
        EXPECT_FALSE(isPassable(map, -30.0f, 20.0f)) << "a drop counts too";
    }
}

}  // namespace
