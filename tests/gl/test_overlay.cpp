// Overlay text drawn into the hidden window and read back: a glyph of the
// game's font lands dark inside its cell only, and exactly count bytes are drawn.

#include "app/overlay.h"
#include "render/model.h"
#include "render/texture.h"
#include "tests/gl/gl_test_support.h"

namespace {

int darkPixels(int x0, int y0, int x1, int y1) {
    const std::vector<unsigned char> pixels = readRgb(0, x0, y0, x1 - x0, y1 - y0);
    int dark = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3)
        dark += pixels[i] < 80 && pixels[i + 1] < 80 && pixels[i + 2] < 80;
    return dark;
}

// A cell is 40 x 40 pixels around its centre, the next one half a cell on; a
// zero byte inside the count is one more cell, not the end of the text.
TEST(OverlayText, GlyphsAreDarkInsideTheirCellsOnlyAndCountBytesAreDrawn) {
    ShaderProgram program = loadBound("Shaders/text", "out_texture");
    ASSERT_NE(program.program, 0u) << "build the game's assets first";
    const unsigned int atlas = loadTexture("Models/alphabet.tga");
    ASSERT_NE(atlas, 0u);
    GlyphQuads glyphs = makeGlyphQuads(program);
    const View view = windowView();
    glDisable(GL_BLEND);
    const struct {
        const char* text;
        int count;
        bool firstCellDark, thirdCellDark;
    } cases[] = {{"A", 1, true, false}, {" ", 1, false, false}, {"AAA", 2, true, false}, {"A\0A", 3, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " bytes of \"" << c.text << "\"");
        glViewport(0, 0, view.screenWidth, view.screenHeight);
        glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawText(makeTextObject(300.0f, 500.0f), glyphs, program, atlas, view, kTextAdvance, c.text, c.count);
        EXPECT_EQ(darkPixels(282, 482, 318, 518) > 20, c.firstCellDark);
        EXPECT_EQ(darkPixels(336, 480, 364, 520) > 20, c.thirdCellDark);  // the glyph centred 40 pixels right
        EXPECT_EQ(darkPixels(240, 440, 380, 479), 0) << "below the cells";
        EXPECT_EQ(darkPixels(240, 521, 380, 560), 0) << "above the cells";
        EXPECT_EQ(darkPixels(240, 479, 279, 521), 0) << "left of the cells";
    }
    destroyGlyphQuads(glyphs);
    glDeleteTextures(1, &atlas);
    destroyShaderProgram(program);
}

}  // namespace
