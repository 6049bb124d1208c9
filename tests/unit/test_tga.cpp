// TGA decoding: every image kind and both row orders, and the broken files
// that must be refused rather than decoded into zeros or read past their end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "render/tga.h"
#include "tests/support/scratch_files.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The header fields the tests vary (types 1 and 9 get a colour map); the
// body starts with the id field's idLength bytes.
struct Tga {
    int type, width, height, bits, descriptor = 0, mapLength = 0, mapBits = 0, mapFirst = 0, idLength = 0;
};

Bytes file(const Tga& t, const Bytes& body, std::size_t cut = 0) {
    auto lo = [](int v) { return static_cast<unsigned char>(v & 0xff); };
    auto hi = [](int v) { return static_cast<unsigned char>(v >> 8); };
    Bytes bytes = {lo(t.idLength), t.type % 8 == 1, lo(t.type), lo(t.mapFirst), hi(t.mapFirst), lo(t.mapLength),
                   hi(t.mapLength), lo(t.mapBits), 0, 0, 0, 0, lo(t.width), hi(t.width), lo(t.height), hi(t.height),
                   lo(t.bits), lo(t.descriptor)};
    for (unsigned char byte : body) bytes.push_back(byte);
    bytes.resize(bytes.size() - cut);
    return bytes;
}

// A 2 x 2 picture stored B,G,R bottom row first: blue, green / red, white.
const Bytes kBgr = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
const Bytes kRgb = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};

TEST(TgaDecode, EveryKindArrivesAsRgbOrGreyBottomRowFirst) {
    const struct { Tga tga; Bytes body; int bytesPerPixel; Bytes pixels; } cases[] = {
        {{2, 2, 2, 24}, kBgr, 3, kRgb},
        {{2, 2, 2, 24, 0x20}, {0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0}, 3, kRgb},  // top row first
        {{3, 3, 1, 8, 0x10}, {10, 20, 30}, 1, {30, 20, 10}},                              // right to left
        {{2, 2, 1, 32, 0, 0, 0, 0, 2}, {'i', 'd', 1, 2, 3, 4, 5, 6, 7, 8}, 4, {3, 2, 1, 4, 7, 6, 5, 8}},
        {{2, 2, 1, 16}, {0x00, 0x7c, 0xe0, 0x83}, 3, {255, 0, 0, 0, 255, 0}},  // 5-5-5, the top bit ignored
        {{10, 3, 2, 24}, {0x83, 3, 2, 1, 0x01, 1, 2, 3, 4, 5, 6}, 3, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 3, 2, 1, 6, 5, 4}},
        {{11, 2, 1, 8}, {0x85, 77}, 1, {77, 77}},  // the last packet may run past the image
        {{11, 3, 2, 8, 0x20}, {0x82, 9, 0x02, 4, 5, 6}, 1, {4, 5, 6, 9, 9, 9}},
        {{3, 2, 1, 16}, {100, 255, 50, 0}, 2, {100, 255, 50, 0}},
        {{1, 2, 2, 8, 0, 3, 24}, {0, 0, 9, 0, 9, 0, 9, 0, 0, 2, 1, 0, 0}, 3, {0, 0, 9, 0, 9, 0, 9, 0, 0, 9, 0, 0}},
        {{1, 2, 1, 8, 0, 2, 24, 100}, {0, 0, 10, 0, 0, 20, 101, 100}, 3, {20, 0, 0, 10, 0, 0}},
        {{9, 3, 1, 16, 0, 1, 32, 299}, {1, 2, 3, 4, 0x82, 0x2b, 0x01}, 4, {3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4}},
        {{1, 1, 2, 8, 0x20, 2, 8}, {40, 90, 0, 1}, 1, {90, 40}},  // a grey map
    };
    for (const auto& c : cases) {
        const Bytes bytes = file(c.tga, c.body);
        Image image;
        ASSERT_TRUE(decodeTga(bytes.data(), bytes.size(), image)) << c.tga.type;
        EXPECT_EQ(glm::ivec3(image.width, image.height, image.bytesPerPixel), glm::ivec3(c.tga.width, c.tga.height, c.bytesPerPixel));
        EXPECT_EQ(image.pixels, c.pixels) << c.tga.type;
    }
}

// Each is refused and leaves the caller's image alone.
TEST(TgaDecode, BrokenFilesAreRefused) {
    const struct { const char* what; Tga tga; Bytes body; std::size_t cut; } cases[] = {
        {"raw data one byte short", {2, 2, 2, 24}, kBgr, 1},
        {"header cut short", {2, 2, 2, 24}, {}, 1},
        {"empty", {2, 2, 2, 24}, {}, 18},
        {"packets end one pixel early", {10, 2, 2, 24}, {0x82, 1, 2, 3}, 0},
        {"run pixel cut short", {10, 2, 2, 24}, {0x83, 1, 2}, 0},
        {"raw packet cut short", {10, 2, 2, 24}, {0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 0},
        {"huge picture from one packet", {10, 16384, 16384, 24}, {0xff, 1, 2, 3}, 0},
        {"wider than any side we accept", {2, 16385, 1, 24}, Bytes(16385 * 3), 0},
        {"zero width", {2, 0, 2, 24}, {}, 0},
        {"index one past the map", {1, 2, 1, 8, 0, 2, 24}, {0, 0, 0, 1, 1, 1, 0, 2}, 0},
        {"palette cut short", {1, 2, 1, 8, 0, 2, 24}, {0, 0, 0, 1, 1}, 0},
        {"index below the first entry", {1, 2, 1, 8, 0, 2, 24, 5}, {0, 0, 0, 1, 1, 1, 5, 4}, 0},
        {"colour-mapped without a map", {1, 2, 1, 8}, {0, 0}, 0},
        {"unknown image type", {32, 2, 2, 24}, kBgr, 0},
        {"odd pixel size", {2, 2, 2, 12}, Bytes(32), 0},
        {"interleaved rows", {2, 2, 2, 24, 0x40}, kBgr, 0},
    };
    for (const auto& c : cases) {
        const Bytes bytes = file(c.tga, c.body, c.cut);
        Image image;
        image.width = 42;
        EXPECT_FALSE(decodeTga(bytes.data(), bytes.size(), image) || image.width != 42) << c.what;
    }
    const std::string png = "\x89PNG\r\n\x1a\n and some more bytes to pass the length";
    Image image;
    EXPECT_FALSE(decodeTga(reinterpret_cast<const unsigned char*>(png.data()), png.size(), image));
    EXPECT_FALSE(decodeTga(nullptr, 0, image));
}

TEST(TgaFile, ReadsWhatDecodeReadsAndFailsOnMissingEmptyOrFolderPaths) {
    const Bytes bytes = file({2, 2, 2, 24}, kBgr);
    TempFile good(std::string(bytes.begin(), bytes.end()), ".tga"), empty("", ".tga");
    Image image;
    for (const char* path : {"Models/no_such.tga", empty.path(), "Models"}) EXPECT_FALSE(readTga(path, image)) << path;
    ASSERT_TRUE(readTga(good.path(), image));
    EXPECT_EQ(image.pixels, kRgb);
}

}  // namespace
