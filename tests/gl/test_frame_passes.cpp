// The frame passes in a real context: what is drawn and counted with culling
// on and off, the shadow casters, the state left behind, the two-sided torte
// and the see-through phantom; the shadow map's release; and a first frame
// of the real game checked for its heroine and a shadow.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

// The screenshot writer, private to this file; the header is not written
// for our warning level.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <glm/gtc/matrix_transform.hpp>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "app/options.h"
#include "game/game_frame.h"
#include "game/scene.h"
#include "math/camera.h"
#include "math/frustum.h"
#include "math/view.h"
#include "render/draw.h"
#include "render/draw_list.h"
#include "render/frame_passes.h"
#include "render/game_programs.h"
#include "render/game_textures.h"
#include "render/model.h"
#include "render/scene_models.h"
#include "render/shader_program.h"
#include "render/shadow_map.h"
#include "tests/gl/gl_test_view.h"
#include "tests/support/scratch_files.h"

namespace {

ShaderProgram loadBound(const std::string& base, const char* output) {
    ShaderProgram program = loadShaderProgram(base);
    if (program.program != 0) {
        glBindFragDataLocation(program.program, 0, output);
        relinkShaderProgram(program);
    }
    return program;
}

// The drawn models as one square each (two triangles, facing its own +z),
// with the colour the game gives vertices its files leave uncoloured.
struct QuadModel {
    Model SceneModels::*model;
    glm::vec3 colour;
    ShaderProgram GamePrograms::*program;
};
const QuadModel kQuadModels[] = {
    {&SceneModels::leftArm, {0, 0, 1}, &GamePrograms::litTextured},
    {&SceneModels::rightArm, {0, 0, 1}, &GamePrograms::litTextured},
    {&SceneModels::body, {0, 0, 1}, &GamePrograms::litTextured},
    {&SceneModels::phantom, {1, 1, 1}, &GamePrograms::seeThrough},
    {&SceneModels::ghost, {1, 0, 0}, &GamePrograms::litTextured},
    {&SceneModels::cake, {1, 1, 0}, &GamePrograms::litPlain},
    {&SceneModels::torte, {1, 1, 1}, &GamePrograms::litTextured},
};

// The scene's view of one frame, as the frame loop makes it.
FrameView sceneFrame(const View& view, const OptionFlags& options, const ShadowMap& shadowMap) {
    FrameView frame = makeFrameView(view, view.mainCamera, view.projectionMatrix, 0.0f);
    frame.bilinear = options.bilinearFiltering;
    frame.mipMapMode = options.mipMapMode;
    frame.shadowMap = shadowMap.depthTexture;
    return frame;
}

// Turns a model's own +z towards (or away from) the main camera's eye.
glm::mat4 facingTheEye(const Camera& camera, const glm::vec3& at, float size, bool away) {
    glm::vec3 toEye = camera.target + eyeOffset(camera) - at;
    glm::mat4 turn = glm::inverse(glm::lookAt(glm::vec3(0.0f), away ? toEye : -toEye, glm::vec3(0, 1, 0)));
    return glm::translate(glm::mat4(1.0f), at) * turn * glm::scale(glm::mat4(1.0f), glm::vec3(size));
}

// The screens read here are all 1200 x 1000.
constexpr int kScreenWidth = 1200;
constexpr int kScreenHeight = 1000;

std::vector<unsigned char> readScreen() {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

glm::vec3 pixelOf(const std::vector<unsigned char>& screen, int x, int y) {
    const unsigned char* p = &screen[(static_cast<std::size_t>(y) * kScreenWidth + x) * 3];
    return glm::vec3(p[0], p[1], p[2]) / 255.0f;
}

// Screenshots for a person to look at; GL rows are bottom first.
void saveScreen(const std::vector<unsigned char>& screen, const char* path) {
    stbi_flip_vertically_on_write(1);
    stbi_write_png(path, kScreenWidth, kScreenHeight, 3, screen.data(), kScreenWidth * 3);
}

glm::ivec2 screenPointOf(const View& view, const glm::vec3& world) {
    glm::vec4 clip = view.projectionMatrix * viewMatrix(view.mainCamera) * glm::vec4(world, 1.0f);
    glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2(static_cast<int>((ndc.x * 0.5f + 0.5f) * view.screenWidth),
                      static_cast<int>((ndc.y * 0.5f + 0.5f) * view.screenHeight));
}

GLint integerState(GLenum name) {
    GLint value = -99;
    glGetIntegerv(name, &value);
    return value;
}

class FramePasses : public ::testing::Test {
protected:
    void SetUp() override {
        glViewport(0, 0, view.screenWidth, view.screenHeight);
        programs.shadowDepth = loadBound("Shaders/colour", "out_color");
        programs.litPlain = loadBound("Shaders/phongphong", "out_color");
        programs.litTextured = loadBound("Shaders/texture", "out_texture");
        programs.seeThrough = loadBound("Shaders/transparency", "out_color");
        ASSERT_NE(programs.shadowDepth.program, 0u);
        ASSERT_NE(programs.litPlain.program, 0u);
        ASSERT_NE(programs.litTextured.program, 0u);
        ASSERT_NE(programs.seeThrough.program, 0u);
        shadowMap = createShadowMap();
        GLint depthTexture = 0;
        glBindFramebuffer(GL_FRAMEBUFFER, shadowMap.framebuffer);
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &depthTexture);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        ASSERT_EQ(static_cast<unsigned int>(depthTexture), shadowMap.depthTexture);
        for (const QuadModel& quad : kQuadModels)
            buildGlyphQuad(models.*quad.model, quad.colour, programs.*quad.program, 'A');
        populateScene(scene, sceneBoundsOf(models), view);
        look(view.mainCamera, view.mainCamera.width / 2, view.mainCamera.height / 2, 0.0f);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
    }
    void TearDown() override {
        releaseSceneModels(models);
        destroyShadowMap(shadowMap);
        destroyGamePrograms(programs);
    }

    DrawList drawList() const { return buildDrawList(scene, models, programs, textures, options.transparency); }
    // One frame of passes with the options; the count of objects drawn.
    int renderFrame() {
        return renderFramePasses(drawList(), shadowMap, programs.shadowDepth, textures.ground,
                                 sceneFrame(view, options, shadowMap), options.frustumCulling);
    }

    // Counts the triangles sent down the pipeline by one call.
    template <typename Call>
    GLuint primitivesOf(Call call) {
        GLuint query = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        call();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint count = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count;
    }

    // Moves everything but the listed object far behind the camera.
    void clearTheStage() {
        glm::mat4 away = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 900.0f));
        for (SceneObject* object : {&scene.leftArm, &scene.rightArm, &scene.heroBody, &scene.torte, &scene.phantom})
            object->model = away;
        for (SceneObject& ghost : scene.ghosts) ghost.model = away;
        for (SceneObject& cake : scene.cakes) cake.model = away;
    }

    View view = testWindowView();
    GamePrograms programs;
    SceneModels models;
    GameTextures textures;  // no images: the lit shaders show vertex colours
    ShadowMap shadowMap;
    Scene scene;
    OptionFlags options;
};

constexpr GLuint kQuadTriangles = 2;

TEST_F(FramePasses, CullingOffDrawsAndCountsEveryObjectButCollectedCakes) {
    options.frustumCulling = false;
    EXPECT_EQ(renderFrame(), 47);

    scene.cakes[0].collected = scene.cakes[3].collected = scene.cakes[9].collected = true;
    int drawn = 0;
    GLuint triangles = primitivesOf([&] { drawn = renderFrame(); });
    EXPECT_EQ(drawn, 44);
    // 43 shadow casters (no phantom) and 44 scene draws.
    EXPECT_EQ(triangles, (43u + 44u) * kQuadTriangles);
}

TEST_F(FramePasses, CullingOnCountsOnlyWhatPassesTheFrustumTest) {
    options.frustumCulling = true;
    // A collected cake right in front of the camera is still not drawn.
    scene.cakes[2].collected = true;
    scene.cakes[2].model = glm::translate(glm::mat4(1.0f), view.mainCamera.target);
    FrustumPlanes planes = buildFrustumPlanes(view.mainCamera, view.screenWidth, view.screenHeight);
    int expected = 0;
    std::vector<std::pair<const SceneObject*, const Model*>> list = {
        {&scene.leftArm, &models.leftArm}, {&scene.rightArm, &models.rightArm}, {&scene.heroBody, &models.body},
        {&scene.torte, &models.torte}, {&scene.phantom, &models.phantom}};
    for (const SceneObject& ghost : scene.ghosts) list.push_back({&ghost, &models.ghost});
    for (const SceneObject& cake : scene.cakes)
        if (!cake.collected) list.push_back({&cake, &models.cake});
    for (const auto& entry : list)
        expected += isBoxInFrustum(planes, entry.first->model, entry.second->bounds) ? 1 : 0;
    ASSERT_GT(expected, 0);
    ASSERT_LT(expected, 46);  // the start view leaves some ghosts out

    int drawn = 0;
    GLuint triangles = primitivesOf([&] { drawn = renderFrame(); });
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(triangles, (45u + static_cast<GLuint>(expected)) * kQuadTriangles);
}

TEST_F(FramePasses, ShadowPassDrawsThirtySixCastersWithAllCakesCollected) {
    for (SceneObject& cake : scene.cakes) cake.collected = true;
    auto shadowPass = [&] {
        renderShadowPass(shadowMap, drawList(), programs.shadowDepth, textures.ground,
                         sceneFrame(view, options, shadowMap));
    };
    GLuint triangles = primitivesOf(shadowPass);
    EXPECT_EQ(triangles, 36u * kQuadTriangles);
    for (SceneObject& cake : scene.cakes) cake.collected = false;
    triangles = primitivesOf(shadowPass);
    EXPECT_EQ(triangles, 46u * kQuadTriangles);
}

TEST_F(FramePasses, LeaveTheDocumentedStateForTheOverlay) {
    for (bool culling : {false, true}) {
        options.frustumCulling = culling;
        onWindowResize(view, 800, 600);
        glActiveTexture(GL_TEXTURE0);
        glDisable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        renderFrame();
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 800);
        EXPECT_EQ(viewport[3], 600);
        EXPECT_EQ(integerState(GL_DRAW_FRAMEBUFFER_BINDING), 0);
        EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);
        EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);
        EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
        EXPECT_EQ(glIsEnabled(GL_CULL_FACE), GL_TRUE);
        EXPECT_EQ(integerState(GL_CULL_FACE_MODE), GL_BACK);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_TRUE);
        EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
        GLfloat clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_FLOAT_EQ(clear[0], 0.3f);
        EXPECT_FLOAT_EQ(clear[1], 0.3f);
        EXPECT_FLOAT_EQ(clear[2], 1.0f);
        EXPECT_FLOAT_EQ(clear[3], 0.0f);
    }
    // With every object culled no draw ran: unit 0 stays active.
    options.frustumCulling = true;
    clearTheStage();
    renderFrame();
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
}

TEST_F(FramePasses, TorteIsTwoSidedOnlyWithCullingOff) {
    clearTheStage();
    // The torte's square across the view at the target, turned away from the camera.
    scene.torte.model = facingTheEye(view.mainCamera, view.mainCamera.target, 20.0f, true);

    options.frustumCulling = false;
    renderFrame();
    glm::vec3 unculled = pixelOf(readScreen(), 600, 500);
    options.frustumCulling = true;
    const int drawn = renderFrame();
    glm::vec3 culled = pixelOf(readScreen(), 600, 500);
    // The background is blue; the square has the torte's white vertex colour.
    EXPECT_GT(unculled.r, 0.6f * unculled.b);
    EXPECT_LT(culled.r, 0.5f * culled.b);
    EXPECT_EQ(drawn, 1);  // in the frustum, so drawn and counted, but one-sided
}

TEST_F(FramePasses, PhantomIsSeeThroughOnlyWithTheTransparencyOption) {
    clearTheStage();
    scene.phantom.model = facingTheEye(view.mainCamera, view.mainCamera.target, 3.0f, false);
    glEnable(GL_FRAMEBUFFER_SRGB);
    glm::ivec2 at = screenPointOf(view, view.mainCamera.target);
    for (bool culling : {false, true}) {
        options.frustumCulling = culling;
        options.transparency = true;
        renderFrame();
        glm::vec3 through = pixelOf(readScreen(), at.x, at.y);
        EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
        options.transparency = false;
        renderFrame();
        glm::vec3 solid = pixelOf(readScreen(), at.x, at.y);
        // The blue sky shows through the veil; the opaque ghost is pale grey.
        EXPECT_GT(through.b - through.r, 0.3f) << culling;
        EXPECT_LT(std::abs(solid.b - solid.r), 0.15f) << culling;
        EXPECT_GT(solid.r, 0.4f) << culling;
    }
    glDisable(GL_FRAMEBUFFER_SRGB);
}

TEST(ShadowMap, DestroyDeletesTheFramebufferAndTheDepthTexture) {
    ShadowMap shadowMap = createShadowMap();
    const ShadowMap made = shadowMap;
    ASSERT_TRUE(glIsFramebuffer(made.framebuffer));
    ASSERT_TRUE(glIsTexture(made.depthTexture));
    destroyShadowMap(shadowMap);
    EXPECT_FALSE(glIsFramebuffer(made.framebuffer));
    EXPECT_FALSE(glIsTexture(made.depthTexture));
    EXPECT_EQ(shadowMap.framebuffer, 0u);
    EXPECT_EQ(shadowMap.depthTexture, 0u);
}

// The real game: everything loaded in its order, one frame of passes.
class FirstFrame : public ::testing::Test {
protected:
    void SetUp() override {
        // Run in a scratch folder that sees the game's data, so terrain.bmp
        // does not land in the source tree.
        ASSERT_NO_FATAL_FAILURE(scratch.enter(true));
        glViewport(0, 0, kScreenWidth, kScreenHeight);
        glEnable(GL_FRAMEBUFFER_SRGB);
        glEnable(GL_TEXTURE_2D);
    }
    void TearDown() override {
        glDisable(GL_FRAMEBUFFER_SRGB);
        scratch.leave();
    }
    ScratchDirectory scratch;
};

TEST_F(FirstFrame, ShowsTheHeroineAndAttachedShadows) {
    // Released with the process: shutting the game down would close the
    // test window too.
    static GameApp app;
    app.view = testWindowView();  // as opening the game's window leaves it
    ASSERT_EQ(loadGame(app), 0);
    ASSERT_GT(app.models.body.meshCount, 0u) << "Models/ must be generated";
    prepareFirstFrame(app);
    // One frame of rules first, as the frame loop does: the figures find the ground.
    updateGameFrame(app.scene, app.view.mainCamera, app.heightMap, InputState{}, 0.016f, 0.0f);
    auto renderScene = [&](const Scene& scene) {
        renderFramePasses(buildDrawList(scene, app.models, app.programs, app.textures, app.options.transparency),
                          app.shadowMap, app.programs.shadowDepth, app.textures.ground,
                          sceneFrame(app.view, app.options, app.shadowMap), app.options.frustumCulling);
    };
    Scene without = app.scene;
    glm::mat4 away = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -500.0f, 0.0f));
    without.leftArm.model = without.rightArm.model = without.heroBody.model = away;

    // The level start view, then the view a player has once the mouse has
    // turned the camera: her screen region changes when she is taken away.
    std::vector<unsigned char> withHeroine, withoutHeroine;
    struct Shot {
        const char* path;
        bool turned;
    };
    Camera& camera = app.view.mainCamera;
    for (const Shot view : {Shot{"/tmp/varnelo_start_view.png", false}, Shot{"/tmp/varnelo_first_frame.png", true}}) {
        const char* shot = view.path;
        if (view.turned) look(camera, camera.width / 2, camera.height / 2, 0.0f);
        renderScene(app.scene);
        withHeroine = readScreen();
        saveScreen(withHeroine, shot);
        renderScene(without);
        withoutHeroine = readScreen();
        glm::ivec2 body = screenPointOf(app.view, app.scene.heroBody.worldPosition());
        int changed = 0;
        for (int dy = -20; dy <= 20; dy += 4)
            for (int dx = -20; dx <= 20; dx += 4) {
                glm::vec3 a = pixelOf(withHeroine, body.x + dx, body.y + dy);
                glm::vec3 b = pixelOf(withoutHeroine, body.x + dx, body.y + dy);
                if (glm::length(a - b) > 0.1f) ++changed;
            }
        EXPECT_GT(changed, 10) << shot;
    }

    // Her shadow: the ground just beyond her feet, on the far side from the
    // light, is darker with her than without.
    glm::vec3 feet = app.scene.heroAnchor.worldPosition();
    float ground = heightAt(app.heightMap, feet.x, feet.z);
    glm::vec3 lightEye = glm::vec3(glm::inverse(lightViewMatrix(app.view))[3]);
    glm::vec3 hip(feet.x, ground + 2.0f, feet.z);
    glm::vec3 ray = hip - lightEye;
    glm::vec3 shade = hip + ray * ((ground - hip.y) / ray.y);
    glm::ivec2 at = screenPointOf(app.view, shade);
    glm::vec3 dark = pixelOf(withHeroine, at.x, at.y), lit = pixelOf(withoutHeroine, at.x, at.y);
    EXPECT_LT(dark.r + dark.g + dark.b, 0.85f * (lit.r + lit.g + lit.b));
}

}  // namespace
