// The world floor: the height map's texel look-up and passability, and terrain.bmp.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "tests/support/scratch_files.h"
#include "tests/unit/test_support.h"
#include "world/terrain_bitmap.h"

namespace {

using namespace testing_support;

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInfinity = std::numeric_limits<float>::infinity();
constexpr std::size_t kTexels = std::size_t(kHeightMapSize) * kHeightMapSize;

TEST(HeightMap, LooksUpTexelsByTruncationClampedToTheMap) {
    const struct {
        float x;
        int column;
        float z;
        int row;
    } cases[] = {
        {0, 512, 0, 512},    {0.7f, 512, 0.5f, 512},    {-0.8f, 511, -0.5f, 512}, {100, 646, 1.1f, 511},
        {0, 512, -100, 640}, {1e6f, 1023, -1e6f, 1023}, {-1e6f, 0, 1e6f, 0},      {kInfinity, 1023, kInfinity, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(heightMapColumn(c.x), c.column) << "x " << c.x;
        EXPECT_EQ(heightMapRow(c.z), c.row) << "z " << c.z;
    }
    HeightMap map;
    EXPECT_EQ(heightAt(map, kNaN, kNaN), 0.0f);  // read inside the map
    setHeightAtTexel(map, 511, 512, 3.0f);       // row-major
    setHeightAtTexel(map, 1023, 1023, 9.0f);
    EXPECT_EQ(heightAt(map, 0.0f, 1.1f), 3.0f);
    EXPECT_EQ(heightAt(map, 1.0e30f, -1.0e30f), 9.0f);
    map.values.clear();  // a map of the wrong size reads as flat ground
    EXPECT_EQ(heightAt(map, 10.0f, 10.0f), 0.0f);
    EXPECT_TRUE(isPassable(map, 10.0f, 10.0f));
}

TEST(HeightMap, PassableWithinTheRimWhereNoDiagonalNeighbourRisesOrDropsMoreThanFive) {
    HeightMap map;
    const struct {
        float x, z;
        bool passable;
    } rim[] = {{338, 0, true},          {0, -338, true},   {338.5f, 0, false}, {0, -338.5f, false},
               {239.5f, 239.5f, false}, {1e30f, 0, false}, {kNaN, 0, false},   {0, kNaN, false}};
    for (const auto& c : rim) EXPECT_EQ(isPassable(map, c.x, c.z), c.passable) << c.x << "," << c.z;
    setHeightAtTexel(map, heightMapRow(0.0f) + 2, heightMapColumn(338.0f) + 2, 6.0f);
    EXPECT_FALSE(isPassable(map, 338.0f, 0.0f));  // on the rim the slope still decides

    const int row = heightMapRow(20.0f), column = heightMapColumn(-30.0f);
    const std::pair<float, bool> rises[] = {{15.0f, true}, {15.01f, false}, {4.99f, false}};  // from 10
    for (int dr : {-2, 2})
        for (int dc : {-2, 2})
            for (const auto& [height, passable] : rises) {
                fillHeight(map, 10.0f);
                setHeightAtTexel(map, row + dr, column + dc, height);
                EXPECT_EQ(isPassable(map, -30.0f, 20.0f), passable) << dr << "," << dc << " " << height;
            }
}

TEST(TerrainBitmap, GreyLevelsAreTheLowByteOfTheTruncatedScaledHeight) {
    const struct {
        float height, scale;
        int grey;
    } cases[] = {{10, 0.85f, 8},    {301.2f, 0.85f, 0}, {-1.5f, 0.85f, 255}, {-0.5f, 0.85f, 0},    {299, 0.85f, 254},
                 {-200, 0.85f, 86}, {10, 1, 10},        {kNaN, 0.85f, 0},    {kInfinity, 0.85f, 0}};
    for (const auto& c : cases) EXPECT_EQ(greyLevel(c.height, c.scale), c.grey) << c.height << " at scale " << c.scale;
}

TEST(TerrainBitmap, IsA24BitBitmapOfTheMapRowsBottomUpThreeEqualBytesAPixel) {
    std::vector<float> heights(kTexels, 0.0f);
    const struct {
        std::size_t texel;
        float height;
        unsigned char grey;
    } marks[] = {{0, 10, 8}, {1023, 100, 85}, {1024, -1.5f, 255}, {kTexels - 1, 200, 170}, {2, 0, 0}};
    for (const auto& mark : marks) heights[mark.texel] = mark.height;
    const std::vector<unsigned char> file = encodeGreyBitmap(heights.data());
    ASSERT_EQ(file.size(), 3145782u);
    auto field = [&](std::size_t at, int bytes) {  // little-endian
        return (bytes == 4 ? std::uint32_t(file[at + 3]) << 24 | file[at + 2] << 16 : 0u) | file[at + 1] << 8 |
               file[at];
    };
    const struct {
        std::size_t at;
        int bytes;
        std::uint32_t value;
    } header[] = {{0, 2, 'B' | 'M' << 8}, {2, 4, 3145782}, {6, 4, 0},  {10, 4, 54}, {14, 4, 40},
                  {18, 4, 1024},          {22, 4, 1024},   {26, 2, 1}, {28, 2, 24}, {30, 4, 0},
                  {34, 4, 3145728},       {38, 4, 0},      {42, 4, 0}, {46, 4, 0},  {50, 4, 0}};
    for (const auto& h : header) EXPECT_EQ(field(h.at, h.bytes), h.value) << "offset " << h.at;
    for (const auto& mark : marks)
        for (int b = 0; b < 3; ++b) EXPECT_EQ(file[54 + 3 * mark.texel + b], mark.grey) << mark.texel;
    EXPECT_EQ(encodeGreyBitmap(heights.data(), 1.0f)[54 + 3 * 1023], 100);
}

// A longer old file is replaced; a place it cannot write (a directory, even for root) is reported.
TEST(TerrainBitmap, ReplacesAnOldFileAndReportsAPlaceItCannotWrite) {
    const std::vector<float> heights(kTexels, 10.0f);
    ScratchDirectory scratch;
    ASSERT_NO_FATAL_FAILURE(scratch.enter(false));
    std::ofstream("terrain.bmp", std::ios::binary) << std::string(5000000, 'x');
    EXPECT_TRUE(writeGreyBitmap(heights.data()));
    {  // closed before the file goes: Windows removes no open file
        std::ifstream in("terrain.bmp", std::ios::binary);
        EXPECT_TRUE(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}) ==
                    encodeGreyBitmap(heights.data()));
    }
    EXPECT_EQ(std::remove("terrain.bmp"), 0);
    std::error_code error;  // an exception here would leave the test in the scratch directory
    EXPECT_TRUE(std::filesystem::create_directory("terrain.bmp", error)) << error.message();
    EXPECT_FALSE(writeGreyBitmap(heights.data()));
    scratch.leave();
}

}  // namespace
