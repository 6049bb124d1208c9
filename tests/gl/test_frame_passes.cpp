// The frame passes in a real context: what is drawn and counted with culling
// on and off, the shadow casters, the state left behind, the two-sided torte
// and the see-through phantom; and a first frame of the real game checked
// for its heroine and a shadow.
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
#include "render/draw.h"
#include "render/frame_passes.h"
#include "render/model.h"
#include "render/shader_program.h"
#include "render/shadow_map.h"
#include "render/texture.h"
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

// Population with every model one square (two triangles, facing its own +z).
void quadImporter(Model& model, const char*, const glm::vec3& colour, const ShaderProgram& program, bool) {
    buildGlyphQuad(model, colour, program, 'A');
}

// Turns a model's own +z towards (or away from) the main camera's eye.
glm::mat4 facingTheEye(const glm::vec3& at, float size, bool away) {
    glm::vec3 toEye = mainCamera.target + eyeOffset() - at;
    glm::mat4 turn = glm::inverse(glm::lookAt(glm::vec3(0.0f), away ? toEye : -toEye, glm::vec3(0, 1, 0)));
    return glm::translate(glm::mat4(1.0f), at) * turn * glm::scale(glm::mat4(1.0f), glm::vec3(size));
}

std::vector<unsigned char> readScreen() {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(screenWidth) * screenHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, screenWidth, screenHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

glm::vec3 pixelOf(const std::vector<unsigned char>& screen, int x, int y) {
    const unsigned char* p = &screen[(static_cast<std::size_t>(y) * screenWidth + x) * 3];
    return glm::vec3(p[0], p[1], p[2]) / 255.0f;
}

// Screenshots for a person to look at; GL rows are bottom first.
void saveScreen(const std::vector<unsigned char>& screen, const char* path) {
    stbi_flip_vertically_on_write(1);
    stbi_write_png(path, screenWidth, screenHeight, 3, screen.data(), screenWidth * 3);
}

glm::ivec2 screenPointOf(const glm::vec3& world) {
    glm::vec4 clip = projectionMatrix * viewMatrix(mainCamera) * glm::vec4(world, 1.0f);
    glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2(static_cast<int>((ndc.x * 0.5f + 0.5f) * screenWidth),
                      static_cast<int>((ndc.y * 0.5f + 0.5f) * screenHeight));
}

GLint integerState(GLenum name) {
    GLint value = -99;
    glGetIntegerv(name, &value);
    return value;
}

// Texture names 1 to 15 stand in for the snow and image textures, so the
// shadow map gets its number 16. False when this context has handed out
// names beyond them already (tests sharing one process).
bool reserveImageTextureNumbers() {
    GLuint name = 0;
    while (name < 15) glGenTextures(1, &name);
    return name == 15;
}

class FramePasses : public ::testing::Test {
protected:
    void SetUp() override {
        resetCameras();
        onWindowResize(1200, 1000);
        glViewport(0, 0, screenWidth, screenHeight);
        colour = loadBound("Shaders/colour", "out_color");
        phong = loadBound("Shaders/phongphong", "out_color");
        texture = loadBound("Shaders/texture", "out_texture");
        transparency = loadBound("Shaders/transparency", "out_color");
        ASSERT_NE(colour.program, 0u);
        ASSERT_NE(phong.program, 0u);
        ASSERT_NE(texture.program, 0u);
        ASSERT_NE(transparency.program, 0u);
        programs = ScenePassPrograms{&colour, &phong, &texture, &transparency};
        if (!reserveImageTextureNumbers()) GTEST_SKIP() << "needs a fresh context: run one test per process";
        shadowFramebuffer = createShadowMap();
        GLint depthTexture = 0;
        glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &depthTexture);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        ASSERT_EQ(depthTexture, 16);
        ScenePrograms scenePrograms{&texture, &phong, &transparency, &texture};
        populateScene(scene, scenePrograms, quadImporter);
        look(mainCamera, mainCamera.width / 2, mainCamera.height / 2, 0.0f);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        drawnObjectCount = 0;
    }
    void TearDown() override {
        Model* models[] = {&scene.grassModel, &scene.anchorModel, &scene.leftArmModel, &scene.rightArmModel,
                           &scene.bodyModel,  &scene.phantomModel, &scene.ghostModel, &scene.cakeModel,
                           &scene.torteModel, &scene.iconModel,   &scene.endScreenModel, &scene.wonModel};
        for (Model* model : models) releaseModel(*model);
        glDeleteFramebuffers(1, &shadowFramebuffer);
        for (ShaderProgram* program : {&colour, &phong, &texture, &transparency}) destroyShaderProgram(*program);
        resetCameras();
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

    ShaderProgram colour, phong, texture, transparency;
    ScenePassPrograms programs{};
    unsigned int shadowFramebuffer = 0;
    Scene scene;
    OptionFlags options;
};

constexpr GLuint kQuadTriangles = 2;

TEST_F(FramePasses, CullingOffDrawsAndCountsEveryObjectButCollectedCakes) {
    options.frustumCulling = false;
    renderFramePasses(scene, programs, options, shadowFramebuffer);
    EXPECT_EQ(drawnObjectCount, 47);

    drawnObjectCount = 0;
    scene.cakes[0].collected = scene.cakes[3].collected = scene.cakes[9].collected = true;
    GLuint triangles = primitivesOf([&] { renderFramePasses(scene, programs, options, shadowFramebuffer); });
    EXPECT_EQ(drawnObjectCount, 44);
    // 43 shadow casters (no phantom) and 44 scene draws.
    EXPECT_EQ(triangles, (43u + 44u) * kQuadTriangles);
}

TEST_F(FramePasses, CullingOnCountsOnlyWhatPassesTheFrustumTest) {
    options.frustumCulling = true;
    // A collected cake right in front of the camera is still not drawn.
    scene.cakes[2].collected = true;
    scene.cakes[2].model = glm::translate(glm::mat4(1.0f), mainCamera.target);
    FrustumPlanes planes = buildFrustumPlanes();
    int expected = 0;
    std::vector<std::pair<const SceneObject*, const Model*>> list = {
        {&scene.leftArm, &scene.leftArmModel}, {&scene.rightArm, &scene.rightArmModel},
        {&scene.heroBody, &scene.bodyModel}, {&scene.torte, &scene.torteModel}, {&scene.phantom, &scene.phantomModel}};
    for (const SceneObject& ghost : scene.ghosts) list.push_back({&ghost, &scene.ghostModel});
    for (const SceneObject& cake : scene.cakes)
        if (!cake.collected) list.push_back({&cake, &scene.cakeModel});
    for (const auto& entry : list) expected += isBoxInFrustum(planes, *entry.first, *entry.second) ? 1 : 0;
    ASSERT_GT(expected, 0);
    ASSERT_LT(expected, 46);  // the start view leaves some ghosts out

    GLuint triangles = primitivesOf([&] { renderFramePasses(scene, programs, options, shadowFramebuffer); });
    EXPECT_EQ(drawnObjectCount, expected);
    EXPECT_EQ(triangles, (45u + static_cast<GLuint>(expected)) * kQuadTriangles);
}

TEST_F(FramePasses, ShadowPassDrawsThirtySixCastersWithAllCakesCollected) {
    for (SceneObject& cake : scene.cakes) cake.collected = true;
    GLuint triangles = primitivesOf([&] { renderShadowPass(scene, colour, shadowFramebuffer); });
    EXPECT_EQ(triangles, 36u * kQuadTriangles);
    for (SceneObject& cake : scene.cakes) cake.collected = false;
    triangles = primitivesOf([&] { renderShadowPass(scene, colour, shadowFramebuffer); });
    EXPECT_EQ(triangles, 46u * kQuadTriangles);
}

TEST_F(FramePasses, LeaveTheDocumentedStateForTheOverlay) {
    for (bool culling : {false, true}) {
        options.frustumCulling = culling;
        onWindowResize(800, 600);
        glActiveTexture(GL_TEXTURE0);
        glDisable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        renderFramePasses(scene, programs, options, shadowFramebuffer);
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
    renderFramePasses(scene, programs, options, shadowFramebuffer);
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
}

TEST_F(FramePasses, TorteIsTwoSidedOnlyWithCullingOff) {
    clearTheStage();
    // The torte's square across the view at the target, turned away from the camera.
    scene.torte.model = facingTheEye(mainCamera.target, 20.0f, true);

    options.frustumCulling = false;
    renderFramePasses(scene, programs, options, shadowFramebuffer);
    glm::vec3 unculled = pixelOf(readScreen(), 600, 500);
    drawnObjectCount = 0;
    options.frustumCulling = true;
    renderFramePasses(scene, programs, options, shadowFramebuffer);
    glm::vec3 culled = pixelOf(readScreen(), 600, 500);
    // The background is blue; the square has the torte's white vertex colour.
    EXPECT_GT(unculled.r, 0.6f * unculled.b);
    EXPECT_LT(culled.r, 0.5f * culled.b);
    EXPECT_EQ(drawnObjectCount, 1);  // in the frustum, so drawn and counted, but one-sided
}

TEST_F(FramePasses, PhantomIsSeeThroughOnlyWithTheTransparencyOption) {
    clearTheStage();
    scene.phantom.model = facingTheEye(mainCamera.target, 3.0f, false);
    glEnable(GL_FRAMEBUFFER_SRGB);
    glm::ivec2 at = screenPointOf(mainCamera.target);
    for (bool culling : {false, true}) {
        options.frustumCulling = culling;
        options.transparency = true;
        renderFramePasses(scene, programs, options, shadowFramebuffer);
        glm::vec3 through = pixelOf(readScreen(), at.x, at.y);
        EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
        options.transparency = false;
        renderFramePasses(scene, programs, options, shadowFramebuffer);
        glm::vec3 solid = pixelOf(readScreen(), at.x, at.y);
        // The blue sky shows through the veil; the opaque ghost is pale grey.
        EXPECT_GT(through.b - through.r, 0.3f) << culling;
        EXPECT_LT(std::abs(solid.b - solid.r), 0.15f) << culling;
        EXPECT_GT(solid.r, 0.4f) << culling;
    }
    glDisable(GL_FRAMEBUFFER_SRGB);
}

// The real game: everything loaded in its order, one frame of passes.
class FirstFrame : public ::testing::Test {
protected:
    void SetUp() override {
        // Run in a scratch folder that sees the game's data, so terrain.bmp
        // does not land in the source tree.
        ASSERT_NO_FATAL_FAILURE(scratch.enter(true));
        resetCameras();
        onWindowResize(1200, 1000);
        glViewport(0, 0, screenWidth, screenHeight);
        glEnable(GL_FRAMEBUFFER_SRGB);
        glEnable(GL_TEXTURE_2D);
    }
    void TearDown() override {
        glDisable(GL_FRAMEBUFFER_SRGB);
        scratch.leave();
        resetCameras();
    }
    ScratchDirectory scratch;
};

TEST_F(FirstFrame, ShowsTheHeroineAndAttachedShadows) {
    // Released with the process: shutting the game down would close the
    // test window too.
    static GameApp app;
    ASSERT_EQ(loadGame(app), 0);
    ASSERT_GT(app.scene.bodyModel.meshCount, 0u) << "Models/ must be generated";
    prepareFirstFrame(app);
    GLint depthTexture = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, app.shadowFramebuffer);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                          &depthTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (depthTexture != 16) GTEST_SKIP() << "needs a fresh context: run one test per process";
    // One frame of rules first, as the frame loop does: the figures find the ground.
    updateGameFrame(app.scene, app.heightMap, InputState{}, 0.016f, 0.0f);
    ScenePassPrograms passes{&app.programs.colour, &app.programs.phongphong, &app.programs.texture,
                             &app.programs.transparency};
    Scene without = app.scene;
    glm::mat4 away = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -500.0f, 0.0f));
    without.leftArm.model = without.rightArm.model = without.heroBody.model = away;

    // The level start view, then the view a player has once the mouse has
    // turned the camera: her screen region changes when she is taken away.
    std::vector<unsigned char> withHeroine, withoutHeroine;
    struct View {
        const char* shot;
        bool turned;
    };
    for (const View view : {View{"/tmp/varnelo_start_view.png", false}, View{"/tmp/varnelo_first_frame.png", true}}) {
        const char* shot = view.shot;
        if (view.turned) look(mainCamera, mainCamera.width / 2, mainCamera.height / 2, 0.0f);
        renderFramePasses(app.scene, passes, app.options, app.shadowFramebuffer);
        withHeroine = readScreen();
        saveScreen(withHeroine, shot);
        renderFramePasses(without, passes, app.options, app.shadowFramebuffer);
        withoutHeroine = readScreen();
        glm::ivec2 body = screenPointOf(app.scene.heroBody.worldPosition());
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
    glm::mat4 lightView = glm::inverse(lightViewBase) * glm::translate(glm::mat4(1.0f), -lightPosition);
    glm::vec3 lightEye = glm::vec3(glm::inverse(lightView)[3]);
    glm::vec3 hip(feet.x, ground + 2.0f, feet.z);
    glm::vec3 ray = hip - lightEye;
    glm::vec3 shade = hip + ray * ((ground - hip.y) / ray.y);
    glm::ivec2 at = screenPointOf(shade);
    glm::vec3 dark = pixelOf(withHeroine, at.x, at.y), lit = pixelOf(withoutHeroine, at.x, at.y);
    EXPECT_LT(dark.r + dark.g + dark.b, 0.85f * (lit.r + lit.g + lit.b));
}

}  // namespace
