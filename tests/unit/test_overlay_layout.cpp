// Where the overlay puts its text (the figures as the player reads them, each line's place), never over the
// icon row, and what the icon row shows.
#include <gtest/gtest.h>

#include <cfloat>

#include "app/overlay.h"
#include "render/game_textures.h"
#include "tests/support/glm_print.h"

namespace {

using namespace std::string_literals;

TEST(OverlayText, FiguresKeepTheirBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {objectCountCharacters(7), "7\0"s},  // the terminator is drawn as cell 0
        {objectCountCharacters(123), "12"},
        {objectCountCharacters(0), "0\0"s},
        {figureCharacters(60.5f), "60.50"},
        {figureCharacters(1234.5f), "1234."},
        {figureCharacters(16.6666f), "16.66"},
        {figureCharacters(INFINITY), "inf\0\0"s},  // a zero frame time: padded, not stale bytes
        {figureCharacters(FLT_MAX), "34028"},      // forty digits must not overrun the format buffer
        {frameTimeLine(0.016f), "16ms\n"},
        {frameTimeLine(0.25f), "250ms\n"},
    };
    for (const auto& row : cases) EXPECT_EQ(row.first, row.second) << "row " << &row - cases;
}

std::vector<OverlayText> runs(const char* status, int length, int width, int height, const Box& keepClear = Box{}) {
    OptionFlags options;
    options.showObjectCount = options.showFrameRate = true;
    const OverlayFigures figures{47, 60.5f, 16.528925f, 0.0f};
    return buildOverlayText(options, StatusMessage{status, length, true, 0.0f}, figures, width, height, keepClear);
}

// At 801 x 600 they move by whole-pixel halves; the status line never reads past its text, whatever its length.
TEST(OverlayText, LinesSitAtTheirPlacesInDrawingOrder) {
    EXPECT_TRUE(buildOverlayText(OptionFlags{}, StatusMessage{}, OverlayFigures{}, 1200, 1000).empty());
    EXPECT_TRUE(buildOverlayText(OptionFlags{}, {nullptr, 3, true, 0.0f}, OverlayFigures{}, 1200, 1000).empty());
    const std::vector<OverlayText> big = runs("abc", 40, 1200, 1000);
    const std::vector<OverlayText> odd = runs("abc", 3, 801, 600);
    const OverlayText expected[] = {{500, 850, "Objekte:"}, {680, 850, "47"},    {450, 950, "Framerate:"},
                                    {670, 950, "60.50"},    {670, 900, "16.52"}, {790, 900, "ms"},
                                    {20, 20, "abc"}};
    ASSERT_EQ(big.size(), 7u);
    ASSERT_EQ(odd.size(), 7u);
    for (std::size_t i = 0; i < big.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "line " << i << ", " << expected[i].characters);
        EXPECT_EQ(big[i].characters, expected[i].characters);
        const glm::vec2 place(expected[i].x, expected[i].y);
        const glm::vec2 moved = i < 6 ? glm::vec2(200, 400) : glm::vec2(0);
        EXPECT_EQ(glm::vec2(big[i].x, big[i].y), place) << "at 1200 x 1000";
        EXPECT_EQ(glm::vec2(odd[i].x, odd[i].y) + moved, place) << "at 801 x 600";
    }
}

// The icon row stays where loading put it; the option lines (not the status line) move to 10 pixels below it.
TEST(OverlayText, OptionLinesKeepClearOfTheIconRowAfterAnyResize) {
    static Scene scene;  // large: off the stack
    populateScene(scene, SceneBounds{}, makeView());
    const Box row = iconRowBox(scene, Box{glm::vec3(-0.6f, -0.6f, 0.0f), glm::vec3(0.6f, 0.6f, 0.0f)});
    EXPECT_EQ(glm::round(glm::vec4(row.min.x, row.min.y, row.max.x, row.max.y)), glm::vec4(30, 920, 720, 980));
    const Box none = iconRowBox(Scene{}, Box{});  // a plane that failed to load covers nothing
    EXPECT_FALSE(none.min.x < none.max.x);
    const glm::vec3 cases[] = {{1200, 1000, 60}, {1200, 1100, 160}, {1300, 1040, 100},  // width, height, drop
                               {1600, 1200, 0},  {2400, 1000, 0},   {800, 600, 0}};     // above, right of, below it
    for (const glm::vec3& c : cases) {
        SCOPED_TRACE(testing::Message() << "window " << c.x << " x " << c.y);
        const std::vector<OverlayText> free = runs("F", 1, c.x, c.y);
        const std::vector<OverlayText> clear = runs("F", 1, c.x, c.y, row);
        ASSERT_EQ(clear.size(), 7u);
        for (std::size_t i = 0; i < clear.size(); ++i) {
            const Box b = textRunBox(clear[i]);
            const bool overlaps =
                b.min.x < row.max.x && row.min.x < b.max.x && b.min.y < row.max.y && row.min.y < b.max.y;
            EXPECT_FALSE(overlaps) << "line " << i << " spans " << testing::PrintToString(b.min) << " to "
                                   << testing::PrintToString(b.max) << " across the icon row";
            EXPECT_EQ(glm::vec2(clear[i].x, clear[i].y), glm::vec2(free[i].x, free[i].y - (i < 6) * c.z))
                << "line " << i;
        }
    }
}

// Left to right: the carried cakes, those still lying in the world, the lost.
TEST(OverlayText, IconRowReadsCarriedThenLyingThenLost) {
    GameTextures textures;
    textures.carriedCakeIcon = 1;
    textures.lyingCakeIcon = 2;
    textures.lostCakeIcon = 3;
    for (const auto& [carried, lying] : {std::pair(0, 10), {3, 5}, {0, 0}, {10, 0}, {0, 9}}) {
        Scene scene;
        scene.carriedCakes = carried;
        scene.cakesInWorld = lying;
        std::array<unsigned int, kCakeCount> expected;
        for (int k = 0; k < kCakeCount; ++k) expected[k] = k < carried ? 1 : k < carried + lying ? 2 : 3;
        EXPECT_EQ(iconRowTextures(scene, textures), expected) << carried << " carried, " << lying << " lying";
    }
}

}  // namespace
