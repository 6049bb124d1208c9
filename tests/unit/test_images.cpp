// Pictures: TGA decoding of every image kind (and the broken files it must refuse rather than decode into
// zeros or read past), the window icon's RGBA rows, and the generated pictures the game loads from Models/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include <glm/gtc/type_ptr.hpp>

#include "app/window_icon.h"
#include "render/tga.h"
#include "tests/support/glm_print.h"
#include "tests/support/tga_file.h"

namespace {

// A 2 x 2 picture stored B,G,R bottom row first: blue, green / red, white.
const Bytes kBgr = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

TEST(TgaDecode, EveryKindArrivesAsRgbOrGreyBottomRowFirst) {
    const struct {
        Tga tga;
        Bytes body;
        int bytesPerPixel;
        Bytes pixels;
    } cases[] = {
        {{2, 2, 2, 24}, kBgr, 3, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}},
        {{3, 3, 1, 8, 0x10}, {10, 20, 30}, 1, {30, 20, 10}},  // right to left
        {{2, 2, 1, 32, 0, 0, 0, 0, 2}, {'i', 'd', 1, 2, 3, 4, 5, 6, 7, 8}, 4, {3, 2, 1, 4, 7, 6, 5, 8}},
        {{2, 2, 1, 16}, {0x00, 0x7c, 0xe0, 0x83}, 3, {255, 0, 0, 0, 255, 0}},  // 5-5-5, the top bit ignored
        {{10, 3, 2, 24},
         {0x83, 3, 2, 1, 0x01, 1, 2, 3, 4, 5, 6},
         3,  // a run across the rows, then a raw packet
         {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 3, 2, 1, 6, 5, 4}},
        {{11, 2, 1, 8}, {0x85, 77}, 1, {77, 77}},  // the last packet may run past the image
        {{11, 3, 2, 8, 0x20}, {0x82, 9, 0x02, 4, 5, 6}, 1, {4, 5, 6, 9, 9, 9}},  // top row first
        {{1, 2, 2, 8, 0, 3, 24, 2}, {0, 0, 9, 0, 9, 0, 9, 0, 0, 4, 3, 2, 2}, 3, {0, 0, 9, 0, 9, 0, 9, 0, 0, 9, 0, 0}},
        {{9, 3, 1, 16, 0, 1, 32, 299}, {1, 2, 3, 4, 0x82, 0x2b, 0x01}, 4, {3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4}},
        {{1, 1, 2, 8, 0x20, 2, 8}, {40, 90, 0, 1}, 1, {90, 40}},  // a grey map
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases << ", image type " << c.tga.type);
        const Bytes bytes = tgaBytes(c.tga, c.body);
        Image got;
        ASSERT_TRUE(decodeTga(bytes.data(), bytes.size(), got));
        const glm::ivec3 size(c.tga.width, c.tga.height, c.bytesPerPixel);
        EXPECT_EQ(glm::ivec3(got.width, got.height, got.bytesPerPixel), size) << "width, height, bytes a pixel";
        EXPECT_EQ(got.pixels, c.pixels);
    }
}

TEST(TgaDecode, BrokenFilesAreRefusedLeavingTheImageAlone) {
    const struct {
        const char* what;
        Tga tga;
        Bytes body;
        std::size_t cut;
    } cases[] = {
        {"raw data one byte short", {2, 2, 2, 24}, kBgr, 1},
        {"header cut short", {2, 2, 2, 24}, {}, 1},
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
        const Bytes bytes = tgaBytes(c.tga, c.body, c.cut);
        Image got{42, 0, 0, {}};
        EXPECT_FALSE(decodeTga(bytes.data(), bytes.size(), got)) << c.what;
        EXPECT_EQ(got.width, 42) << c.what << ": the image was changed";
    }
    Image untouched;
    EXPECT_FALSE(decodeTga(nullptr, 0, untouched));
}

// What the fuzzer once found in the decoder, kept beside the models that crashed the import.
TEST(TgaDecode, EveryInputTheFuzzerFoundIsRefused) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator("tests/fuzz/regressions")) {
        if (entry.path().extension() != ".tga") continue;
        SCOPED_TRACE(entry.path().string());
        std::ifstream file(entry.path(), std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        Image got;
        EXPECT_FALSE(decodeTga(bytes.data(), bytes.size(), got));
        ++files;
    }
    EXPECT_GT(files, 0) << "run the tests from the repository root";
}

// Rows turn top first; without alpha the black surround turns transparent; inconsistent images give no icon.
TEST(WindowIcon, EveryImageKindBecomesRgbaTopRowFirst) {
    const std::pair<Image, Bytes> cases[] = {
        {{2, 2, 1, {10, 200, 30, 40}}, {30, 30, 30, 255, 40, 40, 40, 255, 10, 10, 10, 0, 200, 200, 200, 255}},
        {{2, 2, 2, {10, 1, 200, 2, 30, 3, 40, 4}}, {30, 30, 30, 3, 40, 40, 40, 4, 10, 10, 10, 1, 200, 200, 200, 2}},
        {{2, 2, 3, {1, 2, 3, 0, 0, 26, 7, 8, 9, 250, 10, 0}}, {7, 8, 9, 0, 250, 10, 0, 255, 1, 2, 3, 0, 0, 0, 26, 255}},
        {{2, 2, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
         {9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}},
        {{3, 1, 3, {100, 0, 0, 0, 100, 0, 0, 0, 100}}, {100, 0, 0, 255, 0, 100, 0, 255, 0, 0, 100, 255}},
        {Image{}, {}},
        {{2, 2, 3, Bytes(11, 255)}, {}},
        {{2, 2, 5, Bytes(20, 255)}, {}},
        {{0, 2, 3, {}}, {}},
    };
    for (const auto& [image, rgba] : cases) {
        SCOPED_TRACE(testing::Message() << image.width << " x " << image.height << ", " << image.bytesPerPixel
                                        << " bytes a pixel, " << image.pixels.size() << " bytes");
        const IconPixels icon = iconPixelsOf(image);
        EXPECT_EQ(icon.rgba, rgba);
        if (rgba.empty()) continue;
        EXPECT_EQ(icon.width, image.width);
        EXPECT_EQ(icon.height, image.height);
    }
}

// The text shader discards texels under 10 %: overlay pictures need pure black and content well clear of it.
TEST(GeneratedImages, PicturesAreRgbAtTheirSizeTheRightWayUpAndShowable) {
    const struct {
        std::vector<const char*> names;
        int side;
        bool overlay;
    } groups[] = {
        {{"ground14.tga", "won.tga", "leaf.tga", "sunny.tga", "mirelka_arm_l.tga", "mirelka_arm_r.tga"}, 256, false},
        {{"mirelka_koerper2.tga", "torte_textur.tga"}, 512, false},
        {{"cakeIcon.tga", "cakeIcon2.tga", "cakeIcon3.tga"}, 256, true},
        {{"victory.tga", "gameover.tga", "alphabet.tga"}, 512, true}};
    std::map<std::string, Image> read;
    for (const auto& group : groups)
        for (const char* name : group.names) {
            SCOPED_TRACE(name);
            Image& got = read[name];
            ASSERT_TRUE(readTga(std::string("Models/") + name, got));
            EXPECT_EQ(glm::ivec3(got.width, got.height, got.bytesPerPixel), glm::ivec3(group.side, group.side, 3));
            if (!group.overlay) continue;
            std::size_t black = 0;
            std::size_t faint = 0;
            for (std::size_t i = 0; i < got.pixels.size(); i += 3) {
                const int brightest = std::max({got.pixels[i], got.pixels[i + 1], got.pixels[i + 2]});
                black += brightest == 0;
                faint += brightest > 0 && brightest < 51;
            }
            const std::size_t pixelCount = got.pixels.size() / 3;
            EXPECT_EQ(faint, 0u);
            EXPECT_GT(black, pixelCount / 4);
            EXPECT_LT(black, pixelCount - pixelCount / 50);
        }
    auto at = [&read](const char* name, int x, int y) {  // rows from the bottom, as texture coordinates count
        return glm::ivec3(glm::make_vec3(&read[name].pixels[(static_cast<std::size_t>(y) * read[name].width + x) * 3]));
    };
    const glm::ivec3 shoe = at("mirelka_koerper2.tga", 128, 10);
    EXPECT_TRUE(glm::all(glm::lessThan(shoe, glm::ivec3(110))))
        << "her shoes are dark: " << testing::PrintToString(shoe);
    const glm::ivec3 cross = at("cakeIcon3.tga", 128, 128);  // the lost cake's red cross
    EXPECT_GT(cross.r, 120);
    EXPECT_GT(cross.r, 2 * cross.g);
    EXPECT_GT(cross.r, 2 * cross.b);
}

}  // namespace
