// The start scene against reference pictures: the whole game loaded, one frame
// of rules, the scene passes, the overlay and the icon row (no snow: it moves
// with the clock), culling off and on. VARNELO_WRITE_REFERENCE=1 rewrites them.

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

#include "app/game_app.h"
#include "app/overlay.h"
#include "game/game_frame.h"
#include "render/draw.h"
#include "render/frame_passes.h"
#include "tests/gl/gl_test_support.h"
#include "tests/support/scratch_files.h"

namespace {

constexpr int kWidth = 1200, kHeight = 1000;
// Software rasterisers round a little differently between builds, and edges
// of thin things may shift by a pixel: a few grey levels on a few pixels.
constexpr int kGreyTolerance = 4;
constexpr double kMaxOffPixelShare = 0.002;

void writePng(const std::string& path, const std::vector<unsigned char>& pixels) {
    stbi_flip_vertically_on_write(1);  // GL rows are bottom first
    ASSERT_NE(stbi_write_png(path.c_str(), kWidth, kHeight, 3, pixels.data(), kWidth * 3), 0) << path;
}

// On a mismatch the frame is kept in /tmp for a person to look at.
void expectMatchesReference(const std::vector<unsigned char>& frame, const std::string& reference,
                            const std::string& name) {
    if (std::getenv("VARNELO_WRITE_REFERENCE")) return writePng(reference, frame);
    int width = 0, height = 0, channels = 0;
    stbi_set_flip_vertically_on_load(1);
    unsigned char* expected = stbi_load(reference.c_str(), &width, &height, &channels, 3);
    ASSERT_NE(expected, nullptr) << reference;
    ASSERT_EQ(glm::ivec2(width, height), glm::ivec2(kWidth, kHeight));
    std::size_t off = 0;
    for (std::size_t i = 0; i < frame.size(); i += 3) {
        int worst = 0;
        for (std::size_t c = i; c < i + 3; ++c) worst = std::max(worst, std::abs(int(frame[c]) - int(expected[c])));
        if (worst > kGreyTolerance) ++off;
    }
    stbi_image_free(expected);
    const double share = double(off) / double(kWidth * kHeight);
    if (share > kMaxOffPixelShare) writePng("/tmp/varnelo_" + name + "_actual.png", frame);
    EXPECT_LE(share, kMaxOffPixelShare) << name << ": " << off << " pixels differ; see /tmp/varnelo_" << name
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

    // The game's frames are always stored as sRGB, with the window's depth and stencil bits.
    RenderTarget target = makeRenderTarget(GL_SRGB8_ALPHA8, kWidth, kHeight, true);
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
        drawOverlayText(app.options, app.status, OverlayFigures{drawn, 60.0f, 16.0f, 0.016f}, app.programs.overlay,
                        app.textures.alphabet, app.view, 0.0f, iconRowBox(app.scene, app.models.icon.bounds));
        drawIconRow(app.scene, app.models.icon, app.programs.overlay, app.textures, app.view, 0.1f);
        const std::string name = culling ? "start_frame_culled" : "start_frame";
        expectMatchesReference(readRgb(target.framebuffer, 0, 0, kWidth, kHeight), references + name + ".png", name);
    }
    destroyRenderTarget(target);
    glDisable(GL_FRAMEBUFFER_SRGB);
    scratch.leave();
}

}  // namespace
