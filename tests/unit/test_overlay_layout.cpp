// What the overlay draws and where: text objects, the figures as the player
// reads them, each line's place, the status line's life, and the icon row,
// which the text lines must never cover.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "app/options.h"
#include "app/overlay.h"
#include "game/scene.h"
#include "render/game_textures.h"

namespace {

using namespace std::string_literals;

TEST(OverlayText, TextObjectsAreBlackScaledThenMovedAndDrawNoRandomNumbers) {
    const SceneObject object = makeTextObject(480.0f, 850.0f);
    EXPECT_EQ(object.model, glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(480, 850, 9)), glm::vec3(20.0f)));
    EXPECT_EQ(object.colour, glm::vec3(0.0f));
    EXPECT_EQ(object.position, glm::vec3(480, 850, 9));
    // Snow and ghosts share rand(); text made every frame must not draw from it.
    std::srand(7);
    const int first = std::rand();
    std::srand(7);
    makeTextObject(20.0f, 20.0f);
    EXPECT_EQ(std::rand(), first);
}

TEST(OverlayText, FiguresKeepTheirBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {objectCountCharacters(7), "7\0"s},  // the terminator is drawn as cell 0
        {objectCountCharacters(123), "12"}, {objectCountCharacters(0), "0\0"s},
        {figureCharacters(60.5f), "60.50"}, {figureCharacters(1234.5f), "1234."}, {figureCharacters(16.6666f), "16.66"},
        {figureCharacters(INFINITY), "inf\0\0"s},  // a zero frame time: padded, not stale bytes
        {figureCharacters(FLT_MAX), "34028"},      // forty digits must not overrun the format buffer
        {frameTimeLine(0.016f), "16ms\n"}, {frameTimeLine(0.25f), "250ms\n"},
    };
    for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
}

OptionFlags bothLines() {
    OptionFlags options;
    options.showObjectCount = options.showFrameRate = true;
    return options;
}

// Status shown, as after a key: visible, with its length.
StatusMessage status(const char* text, int length) { return StatusMessage{text, length, true, 0.0f}; }

TEST(OverlayText, LinesSitAtTheirPlacesInDrawingOrder) {
    EXPECT_TRUE(buildOverlayText(OptionFlags{}, StatusMessage{}, OverlayFigures{}, 1200, 1000).empty());
    const OverlayFigures figures{47, 60.5f, 16.528925f, 0.0f};
    const std::vector<OverlayText> runs = buildOverlayText(bothLines(), status("abc", 40), figures, 1200, 1000);
    const std::vector<OverlayText> odd = buildOverlayText(bothLines(), StatusMessage{}, figures, 801, 600);
    const OverlayText expected[] = {{500, 850, "Objekte:"}, {680, 850, "47"}, {450, 950, "Framerate:"},
                                    {670, 950, "60.50"},    {670, 900, "16.52"}, {790, 900, "ms"},
                                    {20, 20, "abc"}};  // never past the status text, whatever its length says
    ASSERT_EQ(runs.size(), 7u);
    ASSERT_EQ(odd.size(), 6u);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].characters, expected[i].characters) << i;
        EXPECT_EQ(glm::vec2(runs[i].x, runs[i].y), glm::vec2(expected[i].x, expected[i].y)) << i;
        // 801 x 600: the window's halves are whole pixels (400, 300).
        if (i < 6) { EXPECT_EQ(glm::vec2(odd[i].x, odd[i].y), glm::vec2(expected[i].x - 200, expected[i].y - 400)) << i; }
    }
    EXPECT_TRUE(buildOverlayText(OptionFlags{}, status(nullptr, 3), figures, 1200, 1000).empty());
}

bool crosses(const Box& a, const Box& b) {
    return a.min.x < b.max.x && b.min.x < a.max.x && a.min.y < b.max.y && b.min.y < a.max.y;
}

// The frame-rate line crossed the icon row at 1200 x 1000. The lines give
// way to the row (which stays where loading put it), together and no further
// than needed, at the loading size and after resizes.
TEST(OverlayText, OptionLinesKeepClearOfTheIconRowAfterAnyResize) {
    static Scene scene;  // large: off the stack
    populateScene(scene, SceneBounds{}, makeView());
    Box plane;  // the icon plane: 1.2 units square, 60 pixels once scaled
    growBox(plane, glm::vec3(-0.6f, -0.6f, 0.0f));
    growBox(plane, glm::vec3(0.6f, 0.6f, 0.0f));
    const Box row = iconRowBox(scene, plane);
    EXPECT_EQ(glm::round(glm::vec4(row.min.x, row.min.y, row.max.x, row.max.y)), glm::vec4(30, 920, 720, 980));
    EXPECT_FALSE(crosses(iconRowBox(Scene{}, Box{}), row));  // a plane that failed to load covers nothing
    const struct { int width, height; float dropped; } cases[] = {
        {1200, 1000, 60.0f},  // the frame-rate line's top (970) goes 10 below the row (920)
        {1200, 1100, 160.0f}, {1300, 1040, 100.0f},
        {1600, 1200, 0.0f}, {2400, 1000, 0.0f}, {800, 600, 0.0f},  // above, right of, or below the row
    };
    for (const auto& c : cases) {
        const StatusMessage shown = status("Framerate on", 12);
        const std::vector<OverlayText> free = buildOverlayText(bothLines(), shown, OverlayFigures{}, c.width, c.height);
        const std::vector<OverlayText> runs = buildOverlayText(bothLines(), shown, OverlayFigures{}, c.width, c.height, row);
        ASSERT_EQ(runs.size(), 7u);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + ": " + runs[i].characters);
            EXPECT_FALSE(crosses(textRunBox(runs[i]), row));
            EXPECT_EQ(runs[i].x, free[i].x);
            EXPECT_EQ(runs[i].y, free[i].y - (i == 6 ? 0.0f : c.dropped));  // the status line is not one of them
        }
    }
}

// Frames starting at the given times each draw the status line if visible,
// then apply the hiding rule: it shows every frame up to two seconds after
// the key and one frame past that, however long the frames.
TEST(OverlayText, StatusLinesLastTwoSecondsFromTheirLastKey) {
    InputState f1;
    setHeld(f1, Key::F1, true);
    testing::internal::CaptureStdout();
    for (double frame : {1.0 / 60.0, 0.3, 0.7, 1.9}) {
        OptionFlags options;
        StatusMessage status;
        handleOptionKeys(f1, 10.0f, options, status);
        int drawn = 0, expected = 1;
        for (int i = 1; i * frame < 8.0; ++i) {
            const float start = static_cast<float>(10.0 + i * frame);
            expected += start <= 12.0f;
            drawn += status.visible;
            hideExpiredStatus(status, start);
        }
        EXPECT_EQ(drawn, expected) << frame;
    }
    OptionFlags options;
    StatusMessage status;
    handleOptionKeys(f1, 10.0f, options, status);
    handleOptionKeys(f1, 11.5f, options, status);  // restarts the two seconds
    testing::internal::GetCapturedStdout();
    hideExpiredStatus(status, 13.5f);
    EXPECT_TRUE(status.visible);
    hideExpiredStatus(status, 13.51f);
    EXPECT_FALSE(status.visible);
}

// Left to right: carried cakes, those still lying in the world, then the lost.
TEST(OverlayText, IconRowReadsCarriedThenLyingThenLost) {
    GameTextures textures;
    textures.carriedCakeIcon = 1;
    textures.lyingCakeIcon = 2;
    textures.lostCakeIcon = 3;
    const std::pair<int, int> counts[] = {{0, 10}, {3, 5}, {0, 0}, {10, 0}};  // carried, lying
    for (const auto& [carried, lying] : counts) {
        Scene scene;
        scene.carriedCakes = carried;
        scene.cakesInWorld = lying;
        std::array<unsigned int, kCakeCount> expected;
        for (int k = 0; k < kCakeCount; ++k) expected[k] = k < carried ? 1 : k < carried + lying ? 2 : 3;
        EXPECT_EQ(iconRowTextures(scene, textures), expected) << carried << " carried, " << lying << " lying";
    }
}

}  // namespace
