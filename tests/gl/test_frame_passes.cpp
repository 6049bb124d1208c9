// The frame passes with every model a white square: the objects drawn and
// counted with culling off and on, and the torte two-sided only when drawn whole.
#include <utility>

#include <glm/gtc/matrix_transform.hpp>

#include "math/camera.h"
#include "render/draw.h"
#include "render/frame_passes.h"
#include "render/game_programs.h"
#include "render/game_textures.h"
#include "render/scene_models.h"
#include "render/shadow_map.h"
#include "tests/gl/gl_test_support.h"

namespace {

TEST(FramePasses, CountWhatIsDrawnAndDrawTheTorteTwoSidedOnlyWhole) {
    View view = windowView();
    ::testing::internal::CaptureStderr();
    GamePrograms programs = loadGamePrograms();
    bindGameFragmentOutputs(programs);
    ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(programs.shadowDepth.loaded) << "run from the repository root";
    ASSERT_TRUE(programs.litTextured.loaded);
    static SceneModels models;  // large: off the stack
    static Scene scene;
    for (Model* m :
         {&models.leftArm, &models.rightArm, &models.body, &models.phantom, &models.ghost, &models.cake, &models.torte})
        buildGlyphQuad(*m, glm::vec3(1.0f), programs.litTextured, 'A');  // two triangles facing +z
    ShadowMap shadowMap = createShadowMap();
    const GameTextures textures;  // no images: the lit shaders show vertex colours
    populateScene(scene, sceneBoundsOf(models), view);
    look(view.mainCamera, view.mainCamera.width / 2, view.mainCamera.height / 2, 0.0f);
    // One frame of passes: the objects drawn and the triangles sent down the pipeline.
    const auto renderFrame = [&](bool culling) {
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
        return std::make_pair(drawn, triangles);
    };

    EXPECT_EQ(renderFrame(false).first, 47);
    // Three cakes collected, one of them right in front of the camera.
    scene.cakes[0].collected = scene.cakes[3].collected = scene.cakes[9].collected = true;
    scene.cakes[9].model = glm::translate(glm::mat4(1.0f), view.mainCamera.target);
    const auto [drawn, triangles] = renderFrame(false);
    EXPECT_EQ(drawn, 44);
    EXPECT_EQ(triangles, (43u + 44u) * 2) << "43 shadow casters (not the phantom) and 44 scene draws";
    // With culling only what passes the frustum test is drawn and counted.
    const FrustumPlanes planes = buildFrustumPlanes(view.mainCamera, view.screenWidth, view.screenHeight);
    const DrawList list = buildDrawList(scene, models, programs, textures, true);
    int inView = 0;
    for (int i = 0; i < list.count; ++i)
        inView += isBoxInFrustum(planes, list.items[i].object->model, list.items[i].model->bounds);
    ASSERT_GT(inView, 0);
    ASSERT_LT(inView, 44);  // the start view leaves some ghosts out
    EXPECT_EQ(renderFrame(true).first, inView);

    // The torte alone, its square across the view at the target turned away from the eye.
    const glm::mat4 gone = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 900.0f));  // behind the camera
    for (SceneObject* o : {&scene.leftArm, &scene.rightArm, &scene.heroBody, &scene.phantom}) o->model = gone;
    for (SceneObject& o : scene.ghosts) o.model = gone;
    for (SceneObject& o : scene.cakes) o.model = gone;
    const glm::mat4 turn = glm::inverse(glm::lookAt(glm::vec3(0.0f), eyeOffset(view.mainCamera), glm::vec3(0, 1, 0)));
    const glm::mat4 place = glm::translate(glm::mat4(1.0f), view.mainCamera.target);
    scene.torte.model = place * turn * glm::scale(glm::mat4(1.0f), glm::vec3(20.0f));
    renderFrame(false);
    const std::vector<unsigned char> whole = readRgb(0, 600, 500, 1, 1);
    EXPECT_EQ(renderFrame(true).first, 1);  // in the frustum, so drawn and counted, but one-sided
    const std::vector<unsigned char> culled = readRgb(0, 600, 500, 1, 1);
    // The sky is blue; the back of the torte's square is its white.
    EXPECT_GT(whole[0], 0.6f * whole[2]);
    EXPECT_LT(culled[0], 0.5f * culled[2]);
    releaseSceneModels(models);
    destroyShadowMap(shadowMap);
    destroyGamePrograms(programs);
}

}  // namespace
