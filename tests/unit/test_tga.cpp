// TGA decoding: every image kind, both row orders, and the broken files that
// must be refused rather than decoded into zeros or read past their end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "render/tga.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct TgaSpec {
    int imageType = 2;
    int colourMapType = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapBits = 0;
    int width = 1;
    int height = 1;
    int pixelBits = 24;
    int descriptor = 0;
    Bytes id;
};

Bytes tga(const TgaSpec& spec, const Bytes& body) {
    Bytes file = {static_cast<unsigned char>(spec.id.size()),
                  static_cast<unsigned char>(spec.colourMapType),
                  static_cast<unsigned char>(spec.imageType),
                  static_cast<unsigned char>(spec.mapFirst & 0xff),
                  static_cast<unsigned char>(spec.mapFirst >> 8),
                  static_cast<unsigned char>(spec.mapLength & 0xff),
                  static_cast<unsigned char>(spec.mapLength >> 8),
                  static_cast<unsigned char>(spec.mapBits),
                  0, 0, 0, 0,  // origin
                  static_cast<unsigned char>(spec.width & 0xff),
                  static_cast<unsigned char>(spec.width >> 8),
                  static_cast<unsigned char>(spec.height & 0xff),
                  static_cast<unsigned char>(spec.height >> 8),
                  static_cast<unsigned char>(spec.pixelBits),
                  static_cast<unsigned char>(spec.descriptor)};
    file.insert(file.end(), spec.id.begin(), spec.id.end());
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

bool decode(const Bytes& file, Image& image) { return decodeTga(file.data(), file.size(), image); }

// A 2 x 2 true-colour file stored bottom row first: blue, green / red, white.
const Bytes kBgrBottomFirst = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
const Bytes kRgbBottomFirst = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};

TEST(TgaDecode, TrueColourRawArrivesAsRgbBottomRowFirst) {
    TgaSpec spec;
    spec.width = 2;
    spec.height = 2;
    Image image;
    ASSERT_TRUE(decode(tga(spec, kBgrBottomFirst), image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.bytesPerPixel, 3);
    EXPECT_EQ(image.pixels, kRgbBottomFirst);
}

TEST(TgaDecode, TopRowFirstFileIsTurnedBottomRowFirst) {
    TgaSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.descriptor = 0x20;
    // Same picture as kBgrBottomFirst, stored top row first.
    const Bytes body = {0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0};
    Image image;
    ASSERT_TRUE(decode(tga(spec, body), image));
    EXPECT_EQ(image.pixels, kRgbBottomFirst);
}

TEST(TgaDecode, RightToLeftFileIsMirrored) {
    TgaSpec spec;
    spec.width = 3;
    spec.height = 1;
    spec.pixelBits = 8;
    spec.imageType = 3;
    spec.descriptor = 0x10;
    Image image;
    ASSERT_TRUE(decode(tga(spec, {10, 20, 30}), image));
    EXPECT_EQ(image.pixels, (Bytes{30, 20, 10}));
}

TEST(TgaDecode, ThirtyTwoBitKeepsItsAlphaAndSkipsTheIdField) {
    TgaSpec spec;
    spec.width = 2;
    spec.pixelBits = 32;
    spec.id = {'h', 'i', '!'};
    Image image;
    ASSERT_TRUE(decode(tga(spec, {1, 2, 3, 4, 5, 6, 7, 8}), image));
    EXPECT_EQ(image.bytesPerPixel, 4);
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(TgaDecode, SixteenBitColourExpandsToRgb) {
    TgaSpec spec;
    spec.width = 2;
    spec.pixelBits = 16;
    // 0x7c00 pure red, 0x03e0 pure green (5-5-5, little-endian); the top bit is ignored.
    Image image;
    ASSERT_TRUE(decode(tga(spec, {0x00, 0x7c, 0xe0, 0x83}), image));
    EXPECT_EQ(image.bytesPerPixel, 3);
    EXPECT_EQ(image.pixels, (Bytes{255, 0, 0, 0, 255, 0}));
}

TEST(TgaDecode, RunLengthTrueColourWithPacketsAcrossRows) {
    TgaSpec spec;
    spec.imageType = 10;
    spec.width = 3;
    spec.height = 2;
    // A run of 4 (crosses into the second row), then a raw packet of 2.
    const Bytes body = {0x83, 30, 20, 10, 0x01, 1, 2, 3, 4, 5, 6};
    Image image;
    ASSERT_TRUE(decode(tga(spec, body), image));
    EXPECT_EQ(image.pixels, (Bytes{10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30, 3, 2, 1, 6, 5, 4}));
}

TEST(TgaDecode, LastPacketMayRunPastTheImage) {
    TgaSpec spec;
    spec.imageType = 11;
    spec.width = 2;
    spec.pixelBits = 8;
    Image image;
    ASSERT_TRUE(decode(tga(spec, {0x85, 77}), image));
    EXPECT_EQ(image.pixels, (Bytes{77, 77}));
}

TEST(TgaDecode, GreyRawAndRunLength) {
    TgaSpec raw;
    raw.imageType = 3;
    raw.width = 3;
    raw.height = 2;
    raw.pixelBits = 8;
    Image image;
    ASSERT_TRUE(decode(tga(raw, {1, 2, 3, 4, 5, 6}), image));
    EXPECT_EQ(image.bytesPerPixel, 1);
    EXPECT_EQ(image.pixels, (Bytes{1, 2, 3, 4, 5, 6}));

    TgaSpec rle = raw;
    rle.imageType = 11;
    rle.descriptor = 0x20;  // top first: the run of 9s is the top row
    ASSERT_TRUE(decode(tga(rle, {0x82, 9, 0x02, 4, 5, 6}), image));
    EXPECT_EQ(image.pixels, (Bytes{4, 5, 6, 9, 9, 9}));
}

TEST(TgaDecode, GreyWithAlphaKeepsTwoBytes) {
    TgaSpec spec;
    spec.imageType = 3;
    spec.width = 2;
    spec.pixelBits = 16;
    Image image;
    ASSERT_TRUE(decode(tga(spec, {100, 255, 50, 0}), image));
    EXPECT_EQ(image.bytesPerPixel, 2);
    EXPECT_EQ(image.pixels, (Bytes{100, 255, 50, 0}));
}

TgaSpec colourMapped(int imageType, int mapBits, int mapLength) {
    TgaSpec spec;
    spec.imageType = imageType;
    spec.colourMapType = 1;
    spec.mapLength = mapLength;
    spec.mapBits = mapBits;
    spec.pixelBits = 8;
    return spec;
}

TEST(TgaDecode, ColourMappedRawLooksUpThePalette) {
    TgaSpec spec = colourMapped(1, 24, 3);
    spec.width = 2;
    spec.height = 2;
    const Bytes palette = {0, 0, 200, 0, 200, 0, 200, 0, 0};  // red, green, blue (stored B,G,R)
    Bytes body = palette;
    body.insert(body.end(), {2, 1, 0, 0});
    Image image;
    ASSERT_TRUE(decode(tga(spec, body), image));
    EXPECT_EQ(image.bytesPerPixel, 3);
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 200, 0, 200, 0, 200, 0, 0, 200, 0, 0}));
}

TEST(TgaDecode, ColourMapIndexesCountFromTheFirstEntry) {
    TgaSpec spec = colourMapped(1, 24, 2);
    spec.mapFirst = 100;
    spec.width = 2;
    Bytes body = {0, 0, 10, 0, 0, 20};  // entries 100 and 101
    body.insert(body.end(), {101, 100});
    Image image;
    ASSERT_TRUE(decode(tga(spec, body), image));
    EXPECT_EQ(image.pixels, (Bytes{20, 0, 0, 10, 0, 0}));
}

TEST(TgaDecode, ColourMappedRunLengthWithSixteenBitIndexesAndAlphaPalette) {
    TgaSpec spec = colourMapped(9, 32, 300);
    spec.pixelBits = 16;
    spec.width = 3;
    spec.height = 1;
    Bytes body(300 * 4, 0);
    const Bytes entry299 = {1, 2, 3, 4};
    std::copy(entry299.begin(), entry299.end(), body.begin() + 299 * 4);
    body.insert(body.end(), {0x82, 0x2b, 0x01});  // index 299, three times
    Image image;
    ASSERT_TRUE(decode(tga(spec, body), image));
    EXPECT_EQ(image.bytesPerPixel, 4);
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4}));
}

TEST(TgaDecode, ColourMappedTopFirstWithGreyPalette) {
    TgaSpec spec = colourMapped(1, 8, 2);
    spec.height = 2;
    spec.descriptor = 0x20;
    Image image;
    ASSERT_TRUE(decode(tga(spec, {40, 90, 0, 1}), image));
    EXPECT_EQ(image.bytesPerPixel, 1);
    EXPECT_EQ(image.pixels, (Bytes{90, 40}));
}

TEST(TgaDecode, NonPowerOfTwoSizesKeepTheirSize) {
    TgaSpec spec;
    spec.width = 3;
    spec.height = 5;
    Image image;
    ASSERT_TRUE(decode(tga(spec, Bytes(3 * 5 * 3, 7)), image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 5);
    EXPECT_EQ(image.pixels.size(), 45u);
}

// Each broken file must be refused and leave the caller's image alone.
void expectRefused(const Bytes& file, const char* what) {
    Image image;
    image.width = 42;
    EXPECT_FALSE(decode(file, image)) << what;
    EXPECT_EQ(image.width, 42) << what;
}

TEST(TgaDecode, BrokenFilesAreRefused) {
    TgaSpec rgb;
    rgb.width = 2;
    rgb.height = 2;
    Bytes shortRaw = kBgrBottomFirst;
    shortRaw.pop_back();
    expectRefused(tga(rgb, shortRaw), "raw data one byte short");
    Bytes headerOnly = tga(rgb, {});
    headerOnly.pop_back();
    expectRefused(headerOnly, "header cut short");
    expectRefused({}, "empty");
    Image scratch;
    EXPECT_FALSE(decodeTga(nullptr, 0, scratch));

    TgaSpec rle = rgb;
    rle.imageType = 10;
    expectRefused(tga(rle, {0x82, 1, 2, 3}), "packets end one pixel early");
    expectRefused(tga(rle, {0x83, 1, 2}), "run pixel cut short");
    expectRefused(tga(rle, {0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), "raw packet cut short");

    TgaSpec huge = rgb;
    huge.width = 16384;
    huge.height = 16384;
    huge.imageType = 10;
    expectRefused(tga(huge, {0xff, 1, 2, 3}), "huge picture from one packet");
    TgaSpec tooWide = rgb;
    tooWide.width = 16385;
    tooWide.height = 1;
    expectRefused(tga(tooWide, Bytes(16385 * 3, 0)), "wider than any side we accept");
    TgaSpec empty = rgb;
    empty.width = 0;
    expectRefused(tga(empty, {}), "zero width");

    TgaSpec mapped = colourMapped(1, 24, 2);
    mapped.width = 2;
    expectRefused(tga(mapped, {0, 0, 0, 1, 1, 1, 0, 2}), "index beyond the map");
    expectRefused(tga(mapped, {0, 0, 0, 1, 1}), "palette cut short");
    TgaSpec mappedFirst = mapped;
    mappedFirst.mapFirst = 5;
    expectRefused(tga(mappedFirst, {0, 0, 0, 1, 1, 1, 5, 4}), "index below the first entry");
    TgaSpec noMap = mapped;
    noMap.mapLength = 0;
    expectRefused(tga(noMap, {0, 0}), "colour-mapped without a map");

    TgaSpec oddType = rgb;
    oddType.imageType = 32;
    expectRefused(tga(oddType, kBgrBottomFirst), "unknown image type");
    TgaSpec oddBits = rgb;
    oddBits.pixelBits = 12;
    expectRefused(tga(oddBits, Bytes(32, 0)), "odd pixel size");
    TgaSpec interleaved = rgb;
    interleaved.descriptor = 0x40;
    expectRefused(tga(interleaved, kBgrBottomFirst), "interleaved rows");

    const std::string png = "\x89PNG\r\n\x1a\n and some more bytes to pass the length";
    expectRefused(Bytes(png.begin(), png.end()), "a PNG file");
}

class TgaFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::path(::testing::TempDir()) / ("varnelo_tga_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string write(const std::string& name, const Bytes& bytes) {
        const std::string path = (dir / name).string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }
    std::filesystem::path dir;
};

TEST_F(TgaFile, ReadsWhatDecodeReads) {
    TgaSpec spec;
    spec.width = 2;
    spec.height = 2;
    Image image;
    ASSERT_TRUE(readTga(write("ok.tga", tga(spec, kBgrBottomFirst)), image));
    EXPECT_EQ(image.pixels, kRgbBottomFirst);
}

TEST_F(TgaFile, MissingEmptyAndDirectoryPathsFail) {
    Image image;
    EXPECT_FALSE(readTga((dir / "missing.tga").string(), image));
    EXPECT_FALSE(readTga(write("empty.tga", {}), image));
    EXPECT_FALSE(readTga(dir.string(), image));
    EXPECT_EQ(image.width, 0);
}

}  // namespace
