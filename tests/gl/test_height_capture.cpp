// The height-map capture of the real torte: every cake and the phantom stand
// on the ground it reads there (the tiers' tops, not what lies under them),
// whatever viewport the window had, with no GL object left behind and even
// when terrain.bmp cannot be written.
#include <sys/stat.h>

#include "game/scene.h"
#include "render/game_programs.h"
#include "render/height_capture.h"
#include "render/scene_models.h"
#include "tests/gl/gl_test_support.h"
#include "tests/support/scratch_files.h"

namespace {

// Textures, framebuffers and renderbuffers among the low names.
std::vector<bool> existingObjects() {
    std::vector<bool> exist;
    for (GLuint n = 1; n <= 256; ++n)
        exist.insert(exist.end(), {glIsTexture(n) == GL_TRUE, glIsFramebuffer(n) == GL_TRUE,
                                   glIsRenderbuffer(n) == GL_TRUE});
    return exist;
}

TEST(HeightCapture, CakesAndThePhantomStandOnTheCapturedGround) {
    ScratchDirectory scratch;
    ASSERT_NO_FATAL_FAILURE(scratch.enter(true));
    GamePrograms programs;  // the models only need the attribute locations
    programs.litTextured = programs.litPlain = programs.seeThrough = programs.overlay = programs.heightCapture =
        loadBound("Shaders/terrain", "out_color");
    static SceneModels models;
    static Scene scene;
    ::testing::internal::CaptureStdout();
    loadSceneModels(models, programs);
    populateScene(scene, sceneBoundsOf(models), windowView());
    ASSERT_GT(models.torte.meshCount, 0u) << "Models/torte.dae must be generated";
    ASSERT_EQ(mkdir("terrain.bmp", 0755), 0);  // cannot be written as a file, even by root
    const std::vector<bool> before = existingObjects();
    glViewport(0, 0, 800, 600);  // a window resized before: the capture must not follow it
    HeightMap map;
    captureHeightMap(map, scene.torte, models.torte, programs.heightCapture);
    const std::string dump = ::testing::internal::GetCapturedStdout();

    for (const SceneObject& cake : scene.cakes) {
        const glm::vec3 p = cake.worldPosition();
        EXPECT_LE(heightAt(map, p.x, p.z), p.y + 0.05f) << p.x << ", " << p.z;
        EXPECT_GE(heightAt(map, p.x, p.z), p.y - 1.0f) << p.x << ", " << p.z;
    }
    const glm::vec3 phantom = scene.phantom.worldPosition();
    EXPECT_NEAR(heightAt(map, phantom.x, phantom.z), 115.0f, 0.05f);
    EXPECT_TRUE(isPassable(map, 0.0f, 300.0f)) << "the heroine's start";
    // The console dump: elements 600000 to 600999, one line each.
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = dump.find("heightmap inhalt: ", at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, 1000u);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(glm::ivec2(viewport[2], viewport[3]), glm::ivec2(800, 600));
    EXPECT_EQ(existingObjects(), before) << "the heights live in main memory now";
    glViewport(0, 0, 1200, 1000);
    releaseSceneModels(models);
    destroyShaderProgram(programs.heightCapture);
    scratch.leave();
}

}  // namespace
