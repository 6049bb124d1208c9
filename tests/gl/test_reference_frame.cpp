// The start scene of the whole game: one frame of rules, the scene passes, the
// overlay and the icon row (no snow: it moves with the clock), culling off and
// on, against reference pictures (VARNELO_WRITE_REFERENCE=1 rewrites them);
// and the height map its capture of the torte produced.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/game_app.h"
#include "app/overlay.h"
#include "game/game_frame.h"
#include "math/random_sequence.h"
#include "render/draw.h"
#include "render/frame_passes.h"
#include "tests/gl/gl_test_support.h"
#include "tests/gl/reference_image.h"
#include "tests/support/scratch_files.h"

namespace {

constexpr int kWidth = 1200, kHeight = 1000;
// Software rasterisers round a little differently between builds, and edges
// of thin things may shift by a pixel: a few grey levels on a few pixels.
constexpr int kGreyTolerance = 4;
constexpr int kMaxOffPixels = kWidth * kHeight / 500;

void writePng(const std::string& path, const std::vector<unsigned char>& pixels) {
    ASSERT_TRUE(writeRgbPng(path, pixels, kWidth, kHeight)) << path;
}

// On a mismatch the frame is kept in the temporary folder for a person to look at.
void expectMatchesReference(const std::vector<unsigned char>& frame, const std::string& name) {
    const std::string reference = "tests/gl/reference/" + name + ".png";
    if (std::getenv("VARNELO_WRITE_REFERENCE")) return writePng(reference, frame);
    const std::vector<unsigned char> expected = readRgbPng(reference, kWidth, kHeight);
    ASSERT_EQ(expected.size(), frame.size())
        << reference << ": missing, unreadable or not " << kWidth << " x " << kHeight;
    int off = 0;
    for (std::size_t i = 0; i < frame.size(); i += 3)
        off += std::max({std::abs(frame[i] - expected[i]), std::abs(frame[i + 1] - expected[i + 1]),
                         std::abs(frame[i + 2] - expected[i + 2])}) > kGreyTolerance;
    const std::string kept = (std::filesystem::temp_directory_path() / ("varnelo_" + name + "_actual.png")).string();
    if (off > kMaxOffPixels) writePng(kept, frame);
    EXPECT_LE(off, kMaxOffPixels) << name << ": see " << kept;
}

// The whole game loaded once per process, in a scratch folder (terrain.bmp
// lands there), after the window had another viewport: the capture must not follow it.
GameApp& startScene() {
    static GameApp app;  // released with the process, like the window
    static bool loaded = false;
    if (!loaded) {
        ScratchDirectory scratch;
        scratch.enter(true);
        seedRandomSequence(gameRandom, 1);  // the sequence of a fresh process, whatever ran before
        onWindowResize(app.view, kWidth, kHeight);
        glViewport(0, 0, 800, 600);
        loaded = loadGame(app) == 0;
        scratch.leave();
    }
    return app;
}

TEST(ReferenceFrame, StartSceneLooksAsItAlwaysHas) {
    GameApp& app = startScene();
    ASSERT_GT(app.models.body.meshCount, 0u) << "Models/ must be generated";
    updateGameFrame(app.scene, app.view.mainCamera, app.heightMap, InputState{}, 0.016f, 0.0f);
    glEnable(GL_FRAMEBUFFER_SRGB);
    glEnable(GL_TEXTURE_2D);
    // The game's frames are always stored as sRGB, with the window's depth and stencil bits.
    RenderTarget target = makeRenderTarget(GL_SRGB8_ALPHA8, kWidth, kHeight);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, kWidth, kHeight);
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    for (bool culling : {false, true}) {
        const DrawList list = buildDrawList(app.scene, app.models, app.programs, app.textures, true);
        FrameView view = makeFrameView(app.view, app.view.mainCamera, app.view.projectionMatrix, 0.0f);
        view.shadowMap = app.shadowMap.depthTexture;
        view.target = target.framebuffer;
        const int drawn =
            renderFramePasses(list, app.shadowMap, app.programs.shadowDepth, app.textures.ground, view, culling);
        drawOverlayText(app.options, app.status, OverlayFigures{drawn, 60.0f, 16.0f, 0.016f}, app.glyphs,
                        app.programs.overlay, app.textures.alphabet, app.view, 0.0f,
                        iconRowBox(app.scene, app.models.icon.bounds));
        drawIconRow(app.scene, app.models.icon, app.programs.overlay, app.textures, app.view, 0.1f);
        expectMatchesReference(readRgb(target.framebuffer, 0, 0, kWidth, kHeight),
                               culling ? "start_frame_culled" : "start_frame");
    }
    destroyRenderTarget(target);
    glDisable(GL_FRAMEBUFFER_SRGB);
}

// The captured heights: every cake and the phantom stand on the ground there
// (the tiers' tops, not what lies under them), and the heroine can stand at her start.
TEST(HeightCapture, CakesAndThePhantomStandOnTheCapturedGround) {
    const GameApp& app = startScene();
    for (const SceneObject& cake : app.scene.cakes) {
        const glm::vec3 p = cake.worldPosition();
        SCOPED_TRACE(testing::Message() << "cake " << &cake - app.scene.cakes.data() << " at " << p.x << ", " << p.z);
        const float ground = heightAt(app.heightMap, p.x, p.z);
        EXPECT_LE(ground, p.y + 0.05f);
        EXPECT_GE(ground, p.y - 1.0f);
    }
    const glm::vec3 phantom = app.scene.phantom.worldPosition();
    EXPECT_NEAR(heightAt(app.heightMap, phantom.x, phantom.z), 115.0f, 0.05f);
    EXPECT_TRUE(isPassable(app.heightMap, 0.0f, 300.0f)) << "the heroine's start";
}

// A walk from her start over the captured ground in half-unit steps (under one
// frame's walk) by the game's own passability reaches every cake and the
// phantom (within two units in x and z), or a round is lost to the landscape.
TEST(HeightCapture, EveryCakeAndThePhantomCanBeReachedOnFoot) {
    const GameApp& app = startScene();
    constexpr int kSize = static_cast<int>(4.0f * worldRadius) + 1;
    const auto world = [](int i) { return 0.5f * static_cast<float>(i) - worldRadius; };
    const auto cell = [](float v) { return static_cast<int>(std::lround(2.0f * (v + worldRadius))); };
    std::vector<char> reached(static_cast<std::size_t>(kSize) * kSize, 0);
    const auto at = [&](int x, int z) -> char& { return reached[static_cast<std::size_t>(z) * kSize + x]; };
    std::vector<std::pair<int, int>> open{{cell(0.0f), cell(300.0f)}};
    while (!open.empty()) {
        const auto [x, z] = open.back();
        open.pop_back();
        for (const auto& [nx, nz] : {std::pair{x + 1, z}, {x - 1, z}, {x, z + 1}, {x, z - 1}})
            if (nx >= 0 && nz >= 0 && nx < kSize && nz < kSize && !at(nx, nz) &&
                isPassable(app.heightMap, world(nx), world(nz))) {
                at(nx, nz) = 1;
                open.push_back({nx, nz});
            }
    }
    std::vector<glm::vec3> goals{app.scene.phantom.worldPosition()};
    for (const SceneObject& cake : app.scene.cakes) goals.push_back(cake.worldPosition());
    for (const glm::vec3& p : goals) {
        bool near = false;
        for (int z = cell(p.z) - 3; z <= cell(p.z) + 3; ++z)
            for (int x = cell(p.x) - 3; x <= cell(p.x) + 3; ++x)
                near |= std::fabs(world(x) - p.x) < 2.0f && std::fabs(world(z) - p.z) < 2.0f && at(x, z);
        EXPECT_TRUE(near) << p.x << ", " << p.z;
    }
}

}  // namespace
