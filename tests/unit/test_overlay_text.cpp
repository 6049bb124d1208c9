// What the overlay draws and where: text objects, the formatted figures, the
// text runs of each option, the status line's lifetime and the icon row.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <glm/gtc/matrix_transform.hpp>
#include <string>

#include "app/options.h"
#include "app/overlay.h"
#include "game/scene.h"
#include "render/game_textures.h"

namespace {

using namespace std::string_literals;

TEST(OverlayTextObject, IsBlackAndScaledThenMovedToItsCell) {
    SceneObject object = makeTextObject(480.0f, 850.0f);
    glm::mat4 expected = glm::translate(glm::mat4(1.0f), glm::vec3(480.0f, 850.0f, 9.0f)) *
                         glm::scale(glm::mat4(1.0f), glm::vec3(20.0f));
    EXPECT_EQ(object.model, expected);
    EXPECT_EQ(object.colour, glm::vec3(0.0f));
    EXPECT_EQ(object.position, glm::vec3(480.0f, 850.0f, 9.0f));
    // The glyph quad's corners (+-1) land 20 pixels either side of the centre.
    glm::vec4 corner = object.model * glm::vec4(1.0f, -1.0f, 0.0f, 1.0f);
    EXPECT_EQ(glm::vec3(corner), glm::vec3(500.0f, 830.0f, 9.0f));
}

// Snow and ghosts share rand(); a text object made every frame must not draw from it.
TEST(OverlayTextObject, DrawsNoRandomNumbers) {
    EXPECT_EXIT(
        {
            std::srand(7);
            int first = std::rand();
            std::srand(7);
            makeTextObject(20.0f, 20.0f);
            std::exit(std::rand() == first ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(OverlayFormatting, ObjectCountKeepsTwoBytes) {
    EXPECT_EQ(objectCountCharacters(7), "7\0"s);  // the terminator is drawn as cell 0
    EXPECT_EQ(objectCountCharacters(123), "12");
    EXPECT_EQ(objectCountCharacters(45), "45");
    EXPECT_EQ(objectCountCharacters(0), "0\0"s);
}

TEST(OverlayFormatting, FiguresKeepFiveBytesOfFixedNotation) {
    EXPECT_EQ(figureCharacters(60.5f), "60.50");
    EXPECT_EQ(figureCharacters(1234.5f), "1234.");
    EXPECT_EQ(figureCharacters(16.6666f), "16.66");
    EXPECT_EQ(figureCharacters(0.0f), "0.000");
    // A zero frame time gives an infinite rate: padded with zeros, not stale bytes.
    EXPECT_EQ(figureCharacters(INFINITY), "inf\0\0"s);
    // Forty digits before the point must not run past the format buffer.
    EXPECT_EQ(figureCharacters(FLT_MAX), "34028");
}

TEST(OverlayFormatting, FrameTimeLineIsMillisecondsThenMs) {
    EXPECT_EQ(frameTimeLine(0.016f), "16ms\n");
    EXPECT_EQ(frameTimeLine(0.25f), "250ms\n");
}

TEST(OverlayRuns, NothingWhenOptionsOffAndNoStatus) {
    EXPECT_TRUE(buildOverlayText(OptionFlags{}, StatusMessage{}, OverlayFigures{}, 1200, 1000).empty());
}

TEST(OverlayRuns, BothLinesAtTheirPlacesInDrawingOrder) {
    OptionFlags options;
    options.showObjectCount = true;
    options.showFrameRate = true;
    OverlayFigures figures;
    figures.drawnObjectCount = 47;
    figures.shownFrameRate = 60.5f;
    figures.shownFrameMillis = 16.528925f;
    std::vector<OverlayText> runs = buildOverlayText(options, StatusMessage{}, figures, 1200, 1000);
    ASSERT_EQ(runs.size(), 6u);
    struct Expected {
        float x, y;
        std::string characters;
    };
    const Expected expected[] = {
        {500.0f, 850.0f, "Objekte:"}, {680.0f, 850.0f, "47"},    {450.0f, 950.0f, "Framerate:"},
        {670.0f, 950.0f, "60.50"},    {670.0f, 900.0f, "16.52"}, {790.0f, 900.0f, "ms"},
    };
    std::size_t characterCount = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(runs[i].x, expected[i].x);
        EXPECT_EQ(runs[i].y, expected[i].y);
        EXPECT_EQ(runs[i].characters, expected[i].characters);
        characterCount += runs[i].characters.size();
    }
    EXPECT_EQ(characterCount, 32u);
}

TEST(OverlayRuns, LinesFollowTheWindowSizeWithIntegerHalving) {
    OptionFlags options;
    options.showObjectCount = true;
    options.showFrameRate = true;
    std::vector<OverlayText> runs = buildOverlayText(options, StatusMessage{}, OverlayFigures{}, 801, 600);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0].x, 300.0f);  // 801 / 2 = 400
    EXPECT_EQ(runs[0].y, 450.0f);
    EXPECT_EQ(runs[2].x, 250.0f);
    EXPECT_EQ(runs[2].y, 550.0f);
    EXPECT_EQ(runs[4].x, 470.0f);
    EXPECT_EQ(runs[4].y, 500.0f);
}

TEST(OverlayRuns, StatusLineInTheLowerLeftCornerWithItsLength) {
    OptionFlags options;
    StatusMessage status;
    InputState f8;
    setHeld(f8, Key::F8, true);
    testing::internal::CaptureStdout();
    handleOptionKeys(f8, 1.0f, options, status);
    testing::internal::GetCapturedStdout();
    std::vector<OverlayText> runs = buildOverlayText(options, status, OverlayFigures{}, 1200, 1000);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].x, 20.0f);
    EXPECT_EQ(runs[0].y, 20.0f);
    EXPECT_EQ(runs[0].characters, "View Frustum Culling on");

    status.visible = false;
    EXPECT_TRUE(buildOverlayText(options, status, OverlayFigures{}, 1200, 1000).empty());
}

TEST(OverlayRuns, StatusNeverReadsPastItsText) {
    StatusMessage status;
    status.visible = true;
    status.text = "abc";
    status.length = 40;  // longer than the text
    std::vector<OverlayText> runs = buildOverlayText(OptionFlags{}, status, OverlayFigures{}, 1200, 1000);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].characters, "abc");

    status.text = nullptr;
    EXPECT_TRUE(buildOverlayText(OptionFlags{}, status, OverlayFigures{}, 1200, 1000).empty());
}

// The icon row as loading places it in a 1200 x 1000 window, with the icon
// plane's bounds (a 1.2 x 1.2 square, 60 pixels once scaled by 50).
Box iconRowAtLoading() {
    static Scene scene;  // large: off the stack
    populateScene(scene, SceneBounds{}, makeView());
    Box plane;
    growBox(plane, glm::vec3(-0.6f, -0.6f, 0.0f));
    growBox(plane, glm::vec3(0.6f, 0.6f, 0.0f));
    return iconRowBox(scene, plane);
}

bool crosses(const Box& a, const Box& b) {
    return a.min.x < b.max.x && b.min.x < a.max.x && a.min.y < b.max.y && b.min.y < a.max.y;
}

TEST(OverlayRuns, IconRowCoversTheTopLeftBandItWasPlacedIn) {
    const Box row = iconRowAtLoading();
    const float expected[4] = {30.0f, 920.0f, 720.0f, 980.0f};
    const float actual[4] = {row.min.x, row.min.y, row.max.x, row.max.y};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], 0.01f) << i;
    // A plane that failed to load covers nothing.
    Scene empty;
    const Box none = iconRowBox(empty, Box{});
    EXPECT_FALSE(crosses(none, row));
}

// The frame-rate line crossed the icon row at 1200 x 1000. The lines now
// give way to the row, together and no further than needed, at the loading
// size and after resizes (the row stays where loading put it).
TEST(OverlayRuns, OptionLinesKeepClearOfTheIconRowAfterAnyResize) {
    const Box row = iconRowAtLoading();
    OptionFlags options;
    options.showObjectCount = true;
    options.showFrameRate = true;
    StatusMessage status;
    status.text = "Framerate on";
    status.length = 12;
    status.visible = true;
    struct Case {
        int width, height;
        float dropped;  // how far the lines moved down
    };
    const Case cases[] = {
        {1200, 1000, 60.0f},  // the frame-rate line's top (970) goes 10 below the row (920)
        {1200, 1100, 160.0f}, {1300, 1040, 100.0f},
        {1600, 1200, 0.0f},   // the lines sit above the row: left alone
        {2400, 1000, 0.0f},   // right of the row
        {800, 600, 0.0f},     // the row is off the top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const std::vector<OverlayText> free = buildOverlayText(options, status, OverlayFigures{}, c.width, c.height);
        const std::vector<OverlayText> runs =
            buildOverlayText(options, status, OverlayFigures{}, c.width, c.height, row);
        ASSERT_EQ(runs.size(), 7u);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            SCOPED_TRACE(runs[i].characters);
            EXPECT_FALSE(crosses(textRunBox(runs[i]), row));
            EXPECT_EQ(runs[i].characters, free[i].characters);
            EXPECT_EQ(runs[i].x, free[i].x);
            // The status line in the lower left is not one of them.
            EXPECT_NEAR(runs[i].y, i == 6 ? free[i].y : free[i].y - c.dropped, 0.01f);
        }
    }
}

// Plays frames that start at the given times: each frame draws the status
// line if visible, then applies the hiding rule. Returns the drawn frames.
std::vector<float> framesShowingStatus(StatusMessage& status, const std::vector<float>& frameStarts) {
    std::vector<float> drawn;
    for (float start : frameStarts) {
        if (!buildOverlayText(OptionFlags{}, status, OverlayFigures{}, 1200, 1000).empty()) {
            drawn.push_back(start);
            hideExpiredStatus(status, start);
        }
    }
    return drawn;
}

TEST(StatusLifetime, TwoSecondsHoweverManyFramesThatTakes) {
    InputState f1;
    setHeld(f1, Key::F1, true);
    for (double frameLength : {1.0 / 60.0, 0.3, 0.7, 1.9}) {
        SCOPED_TRACE(frameLength);
        OptionFlags options;
        StatusMessage status;
        testing::internal::CaptureStdout();
        handleOptionKeys(f1, 10.0f, options, status);
        testing::internal::GetCapturedStdout();
        std::vector<float> starts;
        for (int i = 1; i * frameLength < 8.0; ++i) starts.push_back(static_cast<float>(10.0 + i * frameLength));
        std::vector<float> drawn = framesShowingStatus(status, starts);
        // Every frame up to 12.0 and the first one after it, then none.
        std::size_t expected = 0;
        while (expected < starts.size() && starts[expected] <= 12.0f) ++expected;
        ++expected;
        ASSERT_EQ(drawn.size(), expected);
        EXPECT_GT(drawn.back(), 12.0f);
        EXPECT_FALSE(status.visible);
    }
}

TEST(StatusLifetime, ANewKeyRestartsTheTwoSeconds) {
    OptionFlags options;
    StatusMessage status;
    InputState f2;
    setHeld(f2, Key::F2, true);
    testing::internal::CaptureStdout();
    handleOptionKeys(f2, 10.0f, options, status);
    hideExpiredStatus(status, 11.0f);
    handleOptionKeys(f2, 11.5f, options, status);
    testing::internal::GetCapturedStdout();
    hideExpiredStatus(status, 12.5f);
    EXPECT_TRUE(status.visible);
    EXPECT_STREQ(status.text, "Framerate off");
    hideExpiredStatus(status, 13.5f);
    EXPECT_TRUE(status.visible);
    hideExpiredStatus(status, 13.51f);
    EXPECT_FALSE(status.visible);
}

// Three distinct texture names for the three icon states.
constexpr unsigned int kCarried = 9, kLying = 10, kLost = 11;

GameTextures iconTextures() {
    GameTextures textures;
    textures.carriedCakeIcon = kCarried;
    textures.lyingCakeIcon = kLying;
    textures.lostCakeIcon = kLost;
    return textures;
}

TEST(IconRow, StartsWithTenLyingCakes) {
    Scene scene;
    for (unsigned int texture : iconRowTextures(scene, iconTextures())) EXPECT_EQ(texture, kLying);
}

TEST(IconRow, ReadsCarriedThenLyingThenLostFromTheLeft) {
    Scene scene;
    scene.carriedCakes = 3;
    scene.cakesInWorld = 5;
    const std::array<unsigned int, kCakeCount> expected = {
        kCarried, kCarried, kCarried, kLying, kLying, kLying, kLying, kLying, kLost, kLost,
    };
    EXPECT_EQ(iconRowTextures(scene, iconTextures()), expected);
}

}  // namespace
