// Overlay text with the frame rate (F2), the object count (F7) and a status
// line shown, drawn as the game draws it: every glyph lands on the pixels of
// a reference picture taken while each glyph was still a model of its own
// (VARNELO_WRITE_REFERENCE=1 rewrites the picture).

#include <cstdlib>
#include <string>
#include <vector>

#include "app/overlay.h"
#include "render/texture.h"
#include "tests/gl/gl_test_support.h"
#include "tests/gl/reference_image.h"

namespace {

constexpr int kWidth = 1200, kHeight = 1000;
const char* const kReference = "tests/gl/reference/overlay_text.png";

// What the overlay needs, loaded as the game loads it, and an sRGB frame of
// the window's size like the game's.
struct TextRig {
    ShaderProgram program;
    unsigned int atlas = 0;
    View view = windowView();
    OptionFlags options;
    StatusMessage status;
    RenderTarget target;
};

// Bytes above 127 reach the atlas through negative cells; "7" is followed by
// the zero byte that pads the object count to two cells.
const char kStatus[] = "Sound on \xc4\xd6\xdc\xe4\xf6\xfc\xdf";

TextRig makeTextRig() {
    TextRig rig;
    rig.program = loadBound("Shaders/text", "out_texture");
    rig.atlas = loadTexture("Models/alphabet.tga");
    rig.options.showFrameRate = true;
    rig.options.showObjectCount = true;
    rig.status = StatusMessage{kStatus, static_cast<int>(sizeof kStatus - 1), true, 0.0f};
    rig.target = makeRenderTarget(GL_SRGB8_ALPHA8, kWidth, kHeight);
    return rig;
}

void destroyTextRig(TextRig& rig) {
    destroyRenderTarget(rig.target);
    glDeleteTextures(1, &rig.atlas);
    destroyShaderProgram(rig.program);
}

// One frame's overlay text over a light grey frame, the lines giving way to
// a box where the game's icon row sits.
void drawTextFrame(TextRig& rig) {
    glBindFramebuffer(GL_FRAMEBUFFER, rig.target.framebuffer);
    glViewport(0, 0, kWidth, kHeight);
    glEnable(GL_FRAMEBUFFER_SRGB);  // the game's setting outside picture draws
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Box iconRow;
    growBox(iconRow, glm::vec3(32.0f, 922.0f, kOverlayDepth));
    growBox(iconRow, glm::vec3(718.0f, 978.0f, kOverlayDepth));
    const OverlayFigures figures{7, 59.94f, 16.68f, 0.01668f};
    drawOverlayText(rig.options, rig.status, figures, rig.program, rig.atlas, rig.view, 1.0f, iconRow);
    glDisable(GL_FRAMEBUFFER_SRGB);
}

int darkPixels(const std::vector<unsigned char>& rgb) {
    int dark = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) dark += rgb[i] < 80 && rgb[i + 1] < 80 && rgb[i + 2] < 80;
    return dark;
}

TEST(OverlayObjects, GlyphsLandOnTheReferencePixels) {
    TextRig rig = makeTextRig();
    ASSERT_NE(rig.program.program, 0u) << "build the game's assets first";
    ASSERT_NE(rig.atlas, 0u);
    drawTextFrame(rig);
    const std::vector<unsigned char> frame = readRgb(rig.target.framebuffer, 0, 0, kWidth, kHeight);
    destroyTextRig(rig);
    if (std::getenv("VARNELO_WRITE_REFERENCE")) {
        ASSERT_TRUE(writeRgbPng(kReference, frame, kWidth, kHeight)) << kReference;
        return;
    }
    const std::vector<unsigned char> reference = readRgbPng(kReference, kWidth, kHeight);
    ASSERT_EQ(reference.size(), frame.size()) << kReference << " is missing or of another size";
    // Every line, the high bytes and the zero byte are there to compare.
    EXPECT_GT(darkPixels(reference), 5000);
    // Glyph pixels are black or cut out: no tolerance for rounding is needed.
    int off = 0;
    for (std::size_t i = 0; i < frame.size(); i += 3)
        off += frame[i] != reference[i] || frame[i + 1] != reference[i + 1] || frame[i + 2] != reference[i + 2];
    if (off > 0) writeRgbPng("/tmp/varnelo_overlay_text_actual.png", frame, kWidth, kHeight);
    EXPECT_EQ(off, 0) << "pixels off; see /tmp/varnelo_overlay_text_actual.png";
}

}  // namespace
