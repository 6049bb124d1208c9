// Overlay text and end screens drawn into the hidden window and read back:
// glyphs of the game's font land dark in their cells, exactly count bytes
// are drawn, and an end-screen frame shows its picture on black.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <string>
#include <vector>

#include "app/end_screen.h"
#include "app/overlay.h"
#include "app/window.h"
#include "game/scene.h"
#include "math/view.h"
#include "render/draw_list.h"
#include "render/game_textures.h"
#include "render/model.h"
#include "render/shader_program.h"
#include "render/srgb_output.h"
#include "render/texture.h"
#include "tests/gl/gl_test_view.h"

namespace {

struct PixelBox {
    int x0, y0, x1, y1;  // window pixels, x1 and y1 excluded
};

std::vector<unsigned char> readBox(const PixelBox& box) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>((box.x1 - box.x0) * (box.y1 - box.y0) * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

int darkPixels(const PixelBox& box) {
    std::vector<unsigned char> pixels = readBox(box);
    int dark = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3)
        if (pixels[i] < 80 && pixels[i + 1] < 80 && pixels[i + 2] < 80) ++dark;
    return dark;
}

glm::ivec3 pixelAt(int x, int y) {
    std::vector<unsigned char> p = readBox({x, y, x + 1, y + 1});
    return {p[0], p[1], p[2]};
}

void clearToLightGrey(const View& view) {
    glViewport(0, 0, view.screenWidth, view.screenHeight);
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The text program and the game's font atlas.
class OverlayTextDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fileExists("Shaders/text.vert")) << "build the game's assets first";
        ASSERT_TRUE(fileExists("Models/alphabet.tga")) << "build the game's assets first";
        program = loadShaderProgram("Shaders/text");
        bindFragmentOutput(program, "out_texture");
        ASSERT_NE(program.program, 0u);
        atlas = loadTexture("Models/alphabet.tga");
        ASSERT_NE(atlas, 0u);
        glDisable(GL_BLEND);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        clearToLightGrey(view);
    }
    void TearDown() override {
        glDeleteTextures(1, &atlas);
        destroyShaderProgram(program);
    }
    void drawAt300x500(const char* characters, int count) {
        drawText(makeTextObject(300.0f, 500.0f), program, atlas, view, kTextAdvance, characters, count);
    }

    View view = testWindowView();
    ShaderProgram program;
    unsigned int atlas = 0;
};

TEST_F(OverlayTextDrawing, GlyphIsDarkInsideItsCellOnly) {
    drawAt300x500("A", 1);
    EXPECT_GT(darkPixels({282, 482, 318, 518}), 20);
    // A cell is 40 x 40 pixels around its centre; nothing dark around it.
    EXPECT_EQ(darkPixels({240, 440, 360, 479}), 0);
    EXPECT_EQ(darkPixels({240, 521, 360, 560}), 0);
    EXPECT_EQ(darkPixels({240, 479, 279, 521}), 0);
    EXPECT_EQ(darkPixels({321, 479, 360, 521}), 0);
}

TEST_F(OverlayTextDrawing, SpaceCellIsBlank) {
    drawAt300x500(" ", 1);
    EXPECT_EQ(darkPixels({240, 440, 360, 560}), 0);
}

TEST_F(OverlayTextDrawing, DrawsExactlyCountBytesAdvancingHalfACell) {
    const PixelBox thirdCell{336, 480, 364, 520};  // the glyph centred 40 pixels right
    drawAt300x500("AAA", 2);
    EXPECT_EQ(darkPixels(thirdCell), 0);

    clearToLightGrey(view);
    // A zero byte inside the count is one more cell, not the end of the text.
    drawAt300x500("A\0A", 3);
    EXPECT_GT(darkPixels(thirdCell), 20);
    EXPECT_EQ(darkPixels({240, 440, 380, 479}), 0);
}

TEST_F(OverlayTextDrawing, FrameOverlayDrawsLinesAndStatusThenHidesAnExpiredStatus) {
    OptionFlags options;
    options.showObjectCount = true;
    options.showFrameRate = true;
    OverlayFigures figures;
    figures.drawnObjectCount = 47;
    figures.shownFrameRate = 60.5f;
    figures.shownFrameMillis = 16.5f;
    figures.frameTime = 0.016f;
    StatusMessage status;
    status.text = "No help";
    status.length = 7;
    status.visible = true;
    const float now = static_cast<float>(clockSeconds());
    status.shownAt = now - 3.0f;

    ::testing::internal::CaptureStdout();
    drawOverlayText(options, status, figures, program, atlas, view, now, Box{});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "16ms\n");

    const int half = view.screenWidth / 2;
    const int screenHeight = view.screenHeight;
    EXPECT_GT(darkPixels({half - 120, screenHeight - 170, half + 100, screenHeight - 130}), 50);  // Objekte: 47
    EXPECT_GT(darkPixels({half - 170, screenHeight - 70, half + 190, screenHeight - 30}), 50);   // Framerate: 60.50
    EXPECT_GT(darkPixels({half + 50, screenHeight - 120, half + 210, screenHeight - 80}), 50);    // 16.50 ms
    EXPECT_GT(darkPixels({0, 0, 180, 40}), 30);                                                   // No help
    EXPECT_EQ(darkPixels({0, 200, 300, 400}), 0);
    // Drawn once more, then hidden: its two seconds are over.
    EXPECT_FALSE(status.visible);
}

// The frame's overlay order: the option lines (frame rate and object count)
// over a cleared window, then the cake icon row where loading placed it,
// with the game's icon plane and lying-cake picture. Returns the row's pixels.
std::vector<unsigned char> iconRowAfterOptionLines(const ShaderProgram& program, unsigned int atlas, bool linesOn,
                                                   bool keepRowClear) {
    static Scene scene;  // large: off the stack
    View view = testWindowView();
    populateScene(scene, SceneBounds{}, view);
    Model plane;
    loadModel(plane, "Models/cakeIconPlane.dae", glm::vec3(1.0f), program);
    GameTextures textures;
    textures.lyingCakeIcon = loadTexture("Models/cakeIcon2.tga");
    const Box row = iconRowBox(scene, plane.bounds);

    clearToLightGrey(view);
    OptionFlags options;
    options.showFrameRate = linesOn;
    options.showObjectCount = linesOn;
    StatusMessage status;
    const OverlayFigures figures{47, 888.88f, 88.88f, 0.016f};
    ::testing::internal::CaptureStdout();
    drawOverlayText(options, status, figures, program, atlas, view, 0.0f, keepRowClear ? row : Box{});
    ::testing::internal::GetCapturedStdout();
    drawIconRow(scene, plane, program, textures, view, 0.1f);
    const std::vector<unsigned char> pixels = readBox({static_cast<int>(row.min.x), static_cast<int>(row.min.y),
                                                       static_cast<int>(row.max.x), static_cast<int>(row.max.y)});
    releaseModel(plane);
    glDeleteTextures(1, &textures.lyingCakeIcon);
    return pixels;
}

TEST_F(OverlayTextDrawing, IconRowReadsTheSameWithTheOptionLinesOn) {
    ASSERT_TRUE(fileExists("Models/cakeIconPlane.dae")) << "build the game's assets first";
    const std::vector<unsigned char> alone = iconRowAfterOptionLines(program, atlas, false, true);
    EXPECT_EQ(iconRowAfterOptionLines(program, atlas, true, true), alone);
    // Left where the window size alone puts them, the lines cross the row:
    // the comparison above can see it.
    EXPECT_NE(iconRowAfterOptionLines(program, atlas, true, false), alone);
}

TEST(EndScreenDrawing, PictureOnBlackEveryFrame) {
    const ShaderProgram program = [] {
        ShaderProgram loaded = loadShaderProgram("Shaders/text");
        bindFragmentOutput(loaded, "out_texture");
        return loaded;
    }();
    ASSERT_NE(program.program, 0u);

    // A red picture on a stand-in plane the size of the real one.
    GLuint picture = 0;
    glGenTextures(1, &picture);
    glBindTexture(GL_TEXTURE_2D, picture);
    std::vector<unsigned char> red(8 * 8 * 3, 0);
    for (std::size_t i = 0; i < red.size(); i += 3) red[i] = 220;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 8, 8, 0, GL_RGB, GL_UNSIGNED_BYTE, red.data());
    glGenerateMipmap(GL_TEXTURE_2D);

    Model plane;
    buildGlyphQuad(plane, glm::vec3(1.0f), program, 'A');
    SceneObject placed;
    placed.colour = glm::vec3(1.0f);
    placed.applyWorld(glm::scale(glm::mat4(1.0f), glm::vec3(100.0f)));
    placed.applyWorld(glm::translate(glm::mat4(1.0f), glm::vec3(600.0f, 500.0f, 9.0f)));
    const DrawItem item{&plane, &placed, &program, &program, picture, 1.0f, 0};

    const View& view = testWindowView();
    clearToLightGrey(view);
    const OptionFlags options;
    // The hold redraws at the same depth each frame; every frame must show it.
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame);
        drawEndScreenFrame(item, view, options, 0, 1.0f);
        glm::ivec3 centre = pixelAt(600, 500);
        EXPECT_GT(centre.r, 120);
        EXPECT_LT(centre.g, 60);
        EXPECT_LT(centre.b, 60);
        EXPECT_EQ(pixelAt(20, 20), glm::ivec3(0));
        EXPECT_EQ(pixelAt(600, 620), glm::ivec3(0));  // above the 200-pixel plane
    }

    releaseModel(plane);
    glDeleteTextures(1, &picture);
    ShaderProgram owned = program;
    destroyShaderProgram(owned);
}

// A closed window ends the hold after one frame; each message is printed once.
TEST(EndScreenDrawing, ScreensPrintOnceAndReturnWhenTheWindowIsClosed) {
    Model plane;
    SceneObject placed;
    ShaderProgram none;
    const DrawItem item{&plane, &placed, &none, &none, 0, 1.0f, 0};
    FrameTarget target;  // the window itself
    closeWindow();
    ::testing::internal::CaptureStdout();
    holdEndScreen(item, testWindowView(), OptionFlags{}, 0, target, "Congratulations, you've won!");
    holdEndScreen(item, testWindowView(), OptionFlags{}, 0, target, "Game over!");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Congratulations, you've won!\nGame over!\n");
}

}  // namespace
