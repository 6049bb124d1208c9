// The window icon's pixels: every kind of decoded image becomes RGBA rows top
// first (decoded images keep their bottom row first), the black surround of a
// picture without alpha turns transparent, and the cake picture gives a whole icon.
#include <gtest/gtest.h>

#include <vector>

#include <glm/glm.hpp>

#include "app/window_icon.h"
#include "render/tga.h"

namespace {

using Bytes = std::vector<unsigned char>;

Image image(int width, int height, int bytesPerPixel, Bytes pixels) { return Image{width, height, bytesPerPixel, pixels}; }

TEST(WindowIcon, EveryImageKindBecomesRgbaTopRowFirst) {
    const std::pair<Image, Bytes> cases[] = {
        {image(2, 2, 1, {10, 200, 30, 40}), {30, 30, 30, 255, 40, 40, 40, 255, 10, 10, 10, 0, 200, 200, 200, 255}},
        {image(2, 2, 2, {10, 1, 200, 2, 30, 3, 40, 4}), {30, 30, 30, 3, 40, 40, 40, 4, 10, 10, 10, 1, 200, 200, 200, 2}},
        {image(2, 2, 3, {1, 2, 3, 0, 0, 26, 7, 8, 9, 250, 10, 0}), {7, 8, 9, 0, 250, 10, 0, 255, 1, 2, 3, 0, 0, 0, 26, 255}},
        {image(2, 2, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
         {9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}},
        {image(3, 1, 3, {100, 0, 0, 0, 100, 0, 0, 0, 100}), {100, 0, 0, 255, 0, 100, 0, 255, 0, 0, 100, 255}},
        // Inconsistent images give no icon.
        {Image{}, {}}, {image(2, 2, 3, Bytes(11, 255)), {}}, {image(2, 2, 5, Bytes(20, 255)), {}}, {image(0, 2, 3, {}), {}},
    };
    for (const auto& [decoded, rgba] : cases) {
        const IconPixels icon = iconPixelsOf(decoded);
        EXPECT_EQ(icon.rgba, rgba) << decoded.bytesPerPixel;
        if (!rgba.empty()) { EXPECT_EQ(glm::ivec2(icon.width, icon.height), glm::ivec2(decoded.width, decoded.height)); }
    }
}

TEST(WindowIcon, TheCakePictureIsAWholeIconClearAroundTheCake) {
    Image cake;
    ASSERT_TRUE(readTga("Models/cakeIcon.tga", cake)) << "build the game's assets first";
    const IconPixels icon = iconPixelsOf(cake);
    ASSERT_EQ(icon.rgba.size(), static_cast<std::size_t>(cake.width) * cake.height * 4);
    auto alphaAt = [&](int x, int y) { return icon.rgba[(static_cast<std::size_t>(y) * icon.width + x) * 4 + 3]; };
    EXPECT_EQ(glm::ivec3(alphaAt(0, 0), alphaAt(icon.width - 1, icon.height - 1), alphaAt(icon.width / 2, icon.height / 2)),
              glm::ivec3(0, 0, 255));
}

}  // namespace
