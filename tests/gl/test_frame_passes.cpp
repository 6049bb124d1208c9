// The frame passes with one square per model: the objects drawn and counted
// with culling off and on, and the torte two-sided only when drawn whole.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <utility>

#include <glm/gtc/matrix_transform.hpp>

#include "game/scene.h"
#include "math/camera.h"
#include "math/frustum.h"
#include "render/draw.h"
#include "render/draw_list.h"
#include "render/frame_passes.h"
#include "render/game_programs.h"
#include "render/game_textures.h"
#include "render/model.h"
#include "render/scene_models.h"
#include "render/shadow_map.h"
#include "tests/gl/gl_test_support.h"

namespace {

// Each model as a square facing its own +z, in the colour the game gives
// uncoloured vertices, with the program that draws it.
const struct {
    Model SceneModels::*model;
    glm::vec3 colour;
    ShaderProgram GamePrograms::*program;
} kQuadModels[] = {
    {&SceneModels::leftArm, {0, 0, 1}, &GamePrograms::litTextured},
    {&SceneModels::rightArm, {0, 0, 1}, &GamePrograms::litTextured},
    {&SceneModels::body, {0, 0, 1}, &GamePrograms::litTextured},
    {&SceneModels::phantom, {1, 1, 1}, &GamePrograms::seeThrough},
    {&SceneModels::ghost, {1, 0, 0}, &GamePrograms::litTextured},
    {&SceneModels::cake, {1, 1, 0}, &GamePrograms::litPlain},
    {&SceneModels::torte, {1, 1, 1}, &GamePrograms::litTextured},
};

class FramePasses : public ::testing::Test {
protected:
    void SetUp() override {
        glViewport(0, 0, view.screenWidth, view.screenHeight);
        programs.shadowDepth = loadBound("Shaders/colour", "out_color");
        programs.litPlain = loadBound("Shaders/phongphong", "out_color");
        programs.litTextured = loadBound("Shaders/texture", "out_texture");
        programs.seeThrough = loadBound("Shaders/transparency", "out_color");
        ASSERT_NE(programs.shadowDepth.program, 0u);
        for (const auto& quad : kQuadModels) {
            ASSERT_NE((programs.*quad.program).program, 0u);
            buildGlyphQuad(models.*quad.model, quad.colour, programs.*quad.program, 'A');
        }
        shadowMap = createShadowMap();
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

    // One frame of passes: the objects drawn and the triangles sent down the pipeline.
    std::pair<int, GLuint> renderFrame(bool culling) {
        FrameView frame = makeFrameView(view, view.mainCamera, view.projectionMatrix, 0.0f);
        frame.shadowMap = shadowMap.depthTexture;
        GLuint query = 0, triangles = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        const int drawn = renderFramePasses(buildDrawList(scene, models, programs, textures, true), shadowMap,
                                            programs.shadowDepth, textures.ground, frame, culling);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &triangles);
        glDeleteQueries(1, &query);
        return {drawn, triangles};
    }

    View view = testWindowView();
    GamePrograms programs;
    SceneModels models;
    GameTextures textures;  // no images: the lit shaders show vertex colours
    ShadowMap shadowMap;
    Scene scene;
};

constexpr GLuint kQuadTriangles = 2;

TEST_F(FramePasses, CullingOffDrawsAndCountsEveryObjectButCollectedCakes) {
    EXPECT_EQ(renderFrame(false).first, 47);
    scene.cakes[0].collected = scene.cakes[3].collected = scene.cakes[9].collected = true;
    // 43 shadow casters (not the phantom) and 44 scene draws.
    EXPECT_EQ(renderFrame(false), std::make_pair(44, (43u + 44u) * kQuadTriangles));
}

TEST_F(FramePasses, CullingOnCountsOnlyWhatPassesTheFrustumTest) {
    // A collected cake right in front of the camera is still not drawn.
    scene.cakes[2].collected = true;
    scene.cakes[2].model = glm::translate(glm::mat4(1.0f), view.mainCamera.target);
    const FrustumPlanes planes = buildFrustumPlanes(view.mainCamera, view.screenWidth, view.screenHeight);
    const DrawList list = buildDrawList(scene, models, programs, textures, true);
    int expected = 0;
    for (int i = 0; i < list.count; ++i) {
        const DrawItem& item = list.items[static_cast<std::size_t>(i)];
        expected += isBoxInFrustum(planes, item.object->model, item.model->bounds);
    }
    ASSERT_GT(expected, 0);
    ASSERT_LT(expected, 46);  // the start view leaves some ghosts out
    EXPECT_EQ(renderFrame(true), std::make_pair(expected, (45u + static_cast<GLuint>(expected)) * kQuadTriangles));
}

TEST_F(FramePasses, TorteIsTwoSidedOnlyWithCullingOff) {
    // Everything else behind the camera; the torte's square across the view at
    // the target, turned away from the eye.
    const glm::mat4 gone = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 900.0f));
    for (SceneObject* o : {&scene.leftArm, &scene.rightArm, &scene.heroBody, &scene.phantom}) o->model = gone;
    for (SceneObject& o : scene.ghosts) o.model = gone;
    for (SceneObject& o : scene.cakes) o.model = gone;
    const Camera& camera = view.mainCamera;
    const glm::mat4 turn = glm::inverse(glm::lookAt(glm::vec3(0.0f), eyeOffset(camera), glm::vec3(0, 1, 0)));
    scene.torte.model =
        glm::translate(glm::mat4(1.0f), camera.target) * turn * glm::scale(glm::mat4(1.0f), glm::vec3(20.0f));
    const auto centre = [] {
        const std::vector<unsigned char> p = readRgb(0, 600, 500, 1, 1);
        return glm::vec3(p[0], p[1], p[2]);
    };
    renderFrame(false);
    const glm::vec3 whole = centre();
    EXPECT_EQ(renderFrame(true).first, 1);  // in the frustum, so drawn and counted, but one-sided
    const glm::vec3 culled = centre();
    // The sky is blue; the back of the torte's square is its white.
    EXPECT_GT(whole.r, 0.6f * whole.b);
    EXPECT_LT(culled.r, 0.5f * culled.b);
}

}  // namespace
