// The snow on Mesa: whatever the frame times, an update never emits more than the buffers
// hold, loses nothing, keeps its 200 emitters, and every flake stays inside the snow's volume.

#include <cmath>
#include <random>

#include "math/camera.h"
#include "render/snow.h"
#include "tests/gl/gl_test_support.h"

namespace {

struct Flake {
    float life, type, vel, position[4], dir[2];
};

TEST(Snow, FlakesStayWithinCapacityAndVolumeForAnyFrameTimes) {
    View view = windowView();
    view.mainCamera.target = glm::vec3(0.0f, 60.0f, 0.0f);  // behind and above the heroine, looking down
    look(view.mainCamera, view.mainCamera.width / 2, view.mainCamera.height / 2, 0.0f);
    const glm::mat4 eye = viewMatrix(view.mainCamera);
    ::testing::internal::CaptureStderr();
    ShaderProgram update = loadFeedbackShaderProgram("Shaders/snow");
    ShaderProgram render = loadBound("Shaders/snow2", "out_color");
    ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(update.loaded);
    ASSERT_TRUE(render.loaded);
    ParticleSystem system;
    initSnow(system);
    GLuint queries[2] = {0, 0};
    glGenQueries(2, queries);

    // Due every update, the shortest spawn interval, tiny steps, everything
    // landing at once, a game's frames, a stopped and a backwards clock, any.
    std::vector<float> steps;
    for (const auto& [count, dt] :
         {std::pair{300, 1.2f}, {300, 0.8f}, {200, 1e-6f}, {20, 500.0f}, {400, 0.016f}, {20, 0.0f}, {5, -3.0f}})
        steps.insert(steps.end(), static_cast<std::size_t>(count), dt);
    std::mt19937 generator(5);
    for (int i = 0; i < 1000; ++i) steps.push_back(std::uniform_real_distribution<float>(0.0f, 3.0f)(generator));
    float clock = 0.0f;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "update " << i << " dt " << steps[i]);
        glBeginQuery(GL_PRIMITIVES_GENERATED, queries[0]);
        glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, queries[1]);
        updateSnow(update, system, steps[i], true, 1.0f, view.projectionMatrix, eye);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
        clock += std::max(steps[i], 0.0f);
        drawSnow(render, system, clock, true, 1.0f, view.projectionMatrix, eye);
        GLuint generated = 0, written = 0;
        glGetQueryObjectuiv(queries[0], GL_QUERY_RESULT, &generated);
        glGetQueryObjectuiv(queries[1], GL_QUERY_RESULT, &written);
        ASSERT_LE(generated, static_cast<GLuint>(kSnowCapacity));
        ASSERT_EQ(written, generated);
        if (i % 100 != 0) continue;
        std::vector<Flake> flakes(written);
        glBindBuffer(GL_ARRAY_BUFFER, system.buffers[0]);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(written * sizeof(Flake)), flakes.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        int emitters = 0;
        for (const Flake& f : flakes) {
            SCOPED_TRACE(testing::Message() << "flake " << &f - flakes.data());
            ASSERT_GT(f.position[1], 0.0f) << "height";
            ASSERT_LE(f.position[1], 205.0f) << "height";
            ASSERT_LT(std::abs(f.position[0]), 600.0f) << "x";
            ASSERT_LT(std::abs(f.position[2]), 600.0f) << "z";
            ASSERT_GT(f.life, 0.0f);
            ASSERT_GE(f.position[3], 0.0f) << "w";
            ASSERT_LE(f.position[3], 1.0f) << "w";
            ASSERT_GE(f.vel, 0.8f);
            ASSERT_LE(f.vel, 1.2f);
            emitters += f.type > 0.0f;
        }
        ASSERT_EQ(emitters, 200);
    }
    glDeleteQueries(2, queries);
    releaseSnow(system);
    destroyShaderProgram(render);
    destroyShaderProgram(update);
}

}  // namespace
