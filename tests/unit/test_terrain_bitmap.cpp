// terrain.bmp: grey levels from heights, the header field by field, the pixel
// order, and writing (or failing to write) the file in the working directory.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "world/height_map.h"
#include "world/terrain_bitmap.h"
#include "tests/support/scratch_files.h"

namespace {

constexpr std::size_t kTexels = std::size_t(kHeightMapSize) * kHeightMapSize;

std::uint32_t read32(const std::vector<unsigned char>& bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}
std::uint16_t read16(const std::vector<unsigned char>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

TEST(GreyLevel, TruncatesTheScaledHeightAndKeepsItsLowByte) {
    EXPECT_EQ(greyLevel(10.0f), 8);       // trunc(8.5)
    EXPECT_EQ(greyLevel(301.2f), 0);      // trunc(256.02) = 256
    EXPECT_EQ(greyLevel(-1.5f), 255);     // trunc(-1.275) = -1
    EXPECT_EQ(greyLevel(-0.5f), 0);       // trunc(-0.425) = 0, not -1
    EXPECT_EQ(greyLevel(0.0f), 0);
    EXPECT_EQ(greyLevel(299.0f), 254);    // trunc(254.15)
    EXPECT_EQ(greyLevel(-200.0f), 86);    // -170 & 0xFF
    EXPECT_EQ(greyLevel(10.0f, 1.0f), 10);
}

TEST(GreyLevel, ValuesWithoutAnIntegerGiveZero) {
    EXPECT_EQ(greyLevel(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(greyLevel(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(greyLevel(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(greyLevel(1e30f), 0);  // a multiple of 256
}

TEST(EncodeGreyBitmap, HeaderFieldByField) {
    std::vector<float> heights(kTexels, 10.0f);
    std::vector<unsigned char> file = encodeGreyBitmap(heights.data());
    ASSERT_EQ(file.size(), 3145782u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(read32(file, 2), 3145782u);
    EXPECT_EQ(read32(file, 6), 0u);
    EXPECT_EQ(read32(file, 10), 54u);
    EXPECT_EQ(read32(file, 14), 40u);
    EXPECT_EQ(read32(file, 18), 1024u);
    EXPECT_EQ(read32(file, 22), 1024u);
    EXPECT_EQ(read16(file, 26), 1u);
    EXPECT_EQ(read16(file, 28), 24u);
    EXPECT_EQ(read32(file, 30), 0u);
    EXPECT_EQ(read32(file, 34), 3145728u);
    for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(read32(file, at), 0u) << at;
    EXPECT_EQ(file[54], 8);
    EXPECT_EQ(file.back(), 8);
}

TEST(EncodeGreyBitmap, PixelsFollowTheMapOrderThreeEqualBytesEach) {
    std::vector<float> heights(kTexels, 0.0f);
    heights[0] = 10.0f;                      // row 0 (bottom), column 0
    heights[1023] = 100.0f;                  // row 0, last column
    heights[1024] = -1.5f;                   // row 1, column 0
    heights[kTexels - 1] = 200.0f;           // top row, last column
    std::vector<unsigned char> file = encodeGreyBitmap(heights.data());
    auto pixel = [&](std::size_t k) { return &file[54 + 3 * k]; };
    const std::size_t marked[] = {0, 1023, 1024, kTexels - 1};
    const unsigned char grey[] = {8, 85, 255, 170};
    for (int i = 0; i < 4; ++i) {
        for (int b = 0; b < 3; ++b) EXPECT_EQ(pixel(marked[i])[b], grey[i]) << marked[i];
    }
    EXPECT_EQ(pixel(2)[0], 0);
    // A different scale changes the levels.
    EXPECT_EQ(encodeGreyBitmap(heights.data(), 1.0f)[54 + 3 * 1023], 100);
}

class WriteGreyBitmap : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(scratch.enter(false)); }
    void TearDown() override { scratch.leave(); }
    ScratchDirectory scratch;
};

TEST_F(WriteGreyBitmap, WritesExactlyTheEncodedFileAndReplacesAnOldOne) {
    {
        std::ofstream old("terrain.bmp", std::ios::binary);
        old << std::string(5000000, 'x');
    }
    std::vector<float> heights(kTexels, 10.0f);
    heights[77] = 301.2f;
    ASSERT_TRUE(writeGreyBitmap(heights.data()));
    std::ifstream in("terrain.bmp", std::ios::binary);
    std::vector<unsigned char> written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written.size(), 3145782u);
    EXPECT_TRUE(written == encodeGreyBitmap(heights.data()));
}

TEST_F(WriteGreyBitmap, ReportsAFileItCannotOpen) {
    // A directory in the way cannot be opened as a file, even by root.
    ASSERT_EQ(mkdir("terrain.bmp", 0755), 0);
    std::vector<float> heights(kTexels, 10.0f);
    EXPECT_FALSE(writeGreyBitmap(heights.data()));
    struct stat info {};
    ASSERT_EQ(stat("terrain.bmp", &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

}  // namespace
