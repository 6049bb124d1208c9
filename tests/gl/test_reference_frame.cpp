// The start scene against reference pictures: the whole game loaded, one
// frame of rules at a fixed step, then the scene passes, the overlay and the
// icon row (no snow: it moves with the clock) with culling off and on. Any
// change to what the game draws shows up here; refactors and speed-ups must
// leave these pictures as they are.
//
// VARNELO_WRITE_REFERENCE=1 writes the pictures anew instead of comparing.
#include <GL/glew.h>
#include <gtest/gtest.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <cstdlib>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "app/overlay.h"
#include "game/game_frame.h"
#include "render/draw.h"
#include "render/draw_list.h"
#include "render/frame_passes.h"
#include "tests/support/scratch_files.h"

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 1000;
// Software rasterisers round a little differently between builds.
constexpr int kGreyTolerance = 4;
// Edges of thin things may shift by a pixel; they may differ more, but few.
constexpr double kMaxOffPixelShare = 0.002;

// An off-screen target the size of the window storing sRGB, as the game's
// frames always are (in the window's own framebuffer or in the sRGB target
// the game draws into when the window's is linear), with the window's depth
// and stencil bits.
struct OffscreenTarget {
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
};

OffscreenTarget makeOffscreenTarget() {
    OffscreenTarget target;
    glGenRenderbuffers(1, &target.colour);
    glBindRenderbuffer(GL_RENDERBUFFER, target.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_SRGB8_ALPHA8, kWidth, kHeight);
    glGenRenderbuffers(1, &target.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, target.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kWidth, kHeight);
    glGenFramebuffers(1, &target.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, target.colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, target.depth);
    return target;
}

void destroyOffscreenTarget(OffscreenTarget& target) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &target.framebuffer);
    glDeleteRenderbuffers(1, &target.colour);
    glDeleteRenderbuffers(1, &target.depth);
    target = OffscreenTarget{};
}

std::vector<unsigned char> readFrame(const OffscreenTarget& target) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(kWidth) * kHeight * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return pixels;
}

void writePng(const std::string& path, const std::vector<unsigned char>& pixels) {
    stbi_flip_vertically_on_write(1);  // GL rows are bottom first
    ASSERT_NE(stbi_write_png(path.c_str(), kWidth, kHeight, 3, pixels.data(), kWidth * 3), 0) << path;
}

// Compares with the reference picture; on a mismatch the frame is kept in
// /tmp for a person to look at.
void expectMatchesReference(const std::vector<unsigned char>& frame, const std::string& reference,
                            const std::string& name) {
    if (std::getenv("VARNELO_WRITE_REFERENCE")) {
        writePng(reference, frame);
        return;
    }
    int width = 0, height = 0, channels = 0;
    stbi_set_flip_vertically_on_load(1);
    unsigned char* expected = stbi_load(reference.c_str(), &width, &height, &channels, 3);
    ASSERT_NE(expected, nullptr) << reference;
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    std::size_t off = 0;
    int worst = 0;
    for (std::size_t i = 0; i < frame.size(); i += 3) {
        int pixelWorst = 0;
        for (std::size_t c = 0; c < 3; ++c)
            pixelWorst = std::max(pixelWorst, std::abs(int(frame[i + c]) - int(expected[i + c])));
        worst = std::max(worst, pixelWorst);
        if (pixelWorst > kGreyTolerance) ++off;
    }
    stbi_image_free(expected);
    const double share = double(off) / double(kWidth * kHeight);
    if (share > kMaxOffPixelShare) writePng("/tmp/varnelo_" + name + "_actual.png", frame);
    EXPECT_LE(share, kMaxOffPixelShare) << name << ": " << off << " pixels differ by more than " << kGreyTolerance
                                        << " grey levels (worst " << worst << "); see /tmp/varnelo_" << name
                                        << "_actual.png";
}

TEST(ReferenceFrame, StartSceneLooksAsItAlwaysHas) {
    ScratchDirectory scratch;
    ASSERT_NO_FATAL_FAILURE(scratch.enter(true));
    const std::string references = scratch.home + "/tests/gl/reference/";
    std::srand(1);  // the sequence of a fresh process, whatever ran before
    glEnable(GL_FRAMEBUFFER_SRGB);
    glEnable(GL_TEXTURE_2D);

    static GameApp app;  // released with the process, like the window
    onWindowResize(app.view, kWidth, kHeight);
    ASSERT_EQ(loadGame(app), 0);
    ASSERT_GT(app.models.body.meshCount, 0u) << "Models/ must be generated";
    updateGameFrame(app.scene, app.view.mainCamera, app.heightMap, InputState{}, 0.016f, 0.0f);

    OffscreenTarget target = makeOffscreenTarget();
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, kWidth, kHeight);
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    for (bool culling : {false, true}) {
        const DrawList list = buildDrawList(app.scene, app.models, app.programs, app.textures, true);
        FrameView view = makeFrameView(app.view, app.view.mainCamera, app.view.projectionMatrix, 0.0f);
        view.shadowMap = app.shadowMap.depthTexture;
        view.target = target.framebuffer;
        const int drawn = renderFramePasses(list, app.shadowMap, app.programs.shadowDepth, app.textures.ground, view,
                                            culling);
        OverlayFigures figures{drawn, 60.0f, 16.0f, 0.016f};
        drawOverlayText(app.options, app.status, figures, app.programs.overlay, app.textures.alphabet, app.view, 0.0f,
                        iconRowBox(app.scene, app.models.icon.bounds));
        drawIconRow(app.scene, app.models.icon, app.programs.overlay, app.textures, app.view, 0.1f);
        const std::string name = culling ? "start_frame_culled" : "start_frame";
        expectMatchesReference(readFrame(target), references + name + ".png", name);
    }
    destroyOffscreenTarget(target);
    glDisable(GL_FRAMEBUFFER_SRGB);
    scratch.leave();
}

}  // namespace
