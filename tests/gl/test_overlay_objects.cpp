// Overlay text with the frame rate (F2), the object count (F7) and a status
// line shown, drawn frame after frame as the game draws it: it makes no GL
// object, and every glyph lands on the pixels of a reference picture taken
// while each glyph was still a model of its own (VARNELO_WRITE_REFERENCE=1
// rewrites the picture).

#include <cstdlib>
#include <string>
#include <vector>

#include "app/overlay.h"
#include "render/model.h"
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
    GlyphQuads glyphs;
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
    rig.glyphs = makeGlyphQuads(rig.program);
    rig.options.showFrameRate = true;
    rig.options.showObjectCount = true;
    rig.status = StatusMessage{kStatus, static_cast<int>(sizeof kStatus - 1), true, 0.0f};
    rig.target = makeRenderTarget(GL_SRGB8_ALPHA8, kWidth, kHeight);
    return rig;
}

void destroyTextRig(TextRig& rig) {
    destroyRenderTarget(rig.target);
    destroyGlyphQuads(rig.glyphs);
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
    drawOverlayText(rig.options, rig.status, figures, rig.glyphs, rig.program, rig.atlas, rig.view, 1.0f, iconRow);
    glDisable(GL_FRAMEBUFFER_SRGB);
}

// The names the next glGen* calls hand out (the probes are deleted again).
struct NextNames {
    GLuint buffer = 0, vertexArray = 0, texture = 0, framebuffer = 0, renderbuffer = 0;
};

NextNames probeNextNames() {
    NextNames next;
    glGenBuffers(1, &next.buffer);
    glDeleteBuffers(1, &next.buffer);
    glGenVertexArrays(1, &next.vertexArray);
    glDeleteVertexArrays(1, &next.vertexArray);
    glGenTextures(1, &next.texture);
    glDeleteTextures(1, &next.texture);
    glGenFramebuffers(1, &next.framebuffer);
    glDeleteFramebuffers(1, &next.framebuffer);
    glGenRenderbuffers(1, &next.renderbuffer);
    glDeleteRenderbuffers(1, &next.renderbuffer);
    return next;
}

// Live buffers and vertex arrays among the names below the next ones.
int liveObjects(const NextNames& next) {
    int live = 0;
    for (GLuint name = 1; name < next.buffer; ++name) live += glIsBuffer(name) ? 1 : 0;
    for (GLuint name = 1; name < next.vertexArray; ++name) live += glIsVertexArray(name) ? 1 : 0;
    return live;
}

int darkPixels(const std::vector<unsigned char>& rgb) {
    int dark = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) dark += rgb[i] < 80 && rgb[i + 1] < 80 && rgb[i + 2] < 80;
    return dark;
}

TEST(OverlayObjects, FramesOfTextMakeNoGlObject) {
    TextRig rig = makeTextRig();
    ASSERT_NE(rig.program.program, 0u) << "build the game's assets first";
    ASSERT_NE(rig.atlas, 0u);
    drawTextFrame(rig);
    // How far the names move between two probes with nothing made between
    // them: one a probe on a driver that never hands a name out twice.
    const NextNames first = probeNextNames();
    const NextNames idle = probeNextNames();
    const int live = liveObjects(idle);
    constexpr int kFrames = 5;
    for (int frame = 0; frame < kFrames; ++frame) drawTextFrame(rig);
    const NextNames after = probeNextNames();
    const struct {
        const char* kind;
        GLuint first, idle, after;
    } rows[] = {
        {"buffers", first.buffer, idle.buffer, after.buffer},
        {"vertex arrays", first.vertexArray, idle.vertexArray, after.vertexArray},
        {"textures", first.texture, idle.texture, after.texture},
        {"framebuffers", first.framebuffer, idle.framebuffer, after.framebuffer},
        {"renderbuffers", first.renderbuffer, idle.renderbuffer, after.renderbuffer},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        EXPECT_EQ(row.after - row.idle, row.idle - row.first) << "names handed out over " << kFrames << " frames";
    }
    EXPECT_EQ(liveObjects(after), live);
    destroyTextRig(rig);
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
