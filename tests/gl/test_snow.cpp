// The snow on Mesa: whatever the frame times, one update never emits more
// than the buffers hold, nothing is lost, the emitters never die out and every
// flake stays inside the snow's volume; drawn, flakes only brighten the sky.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "math/camera.h"
#include "render/snow.h"
#include "tests/gl/gl_test_support.h"

namespace {

struct Flake {
    float life, type, vel, position[4], dir[2];
};

class Snow : public ::testing::Test {
protected:
    void SetUp() override {
        // The camera as the game has it once the mouse has been read: behind
        // and above the heroine, looking down at her.
        Camera& camera = view.mainCamera;
        camera.target = glm::vec3(0.0f, 60.0f, 0.0f);
        camera.orientation = rotY(0.0) * rotX(-camera.pitch) * glm::translate(glm::mat4(1.0f), camera.position);
        ::testing::internal::CaptureStderr();
        update = loadFeedbackShaderProgram("Shaders/snow");
        render = loadBound("Shaders/snow2", "out_color");
        ::testing::internal::GetCapturedStderr();
        ASSERT_NE(update.program, 0u);
        ASSERT_NE(render.program, 0u);
        initSnow(system);
        glGenQueries(2, queries);
    }
    void TearDown() override {
        glDeleteQueries(2, queries);
        releaseSnow(system);
        destroyShaderProgram(render);
        destroyShaderProgram(update);
    }
    // One frame of snow as the game runs it, update then draw: the records
    // the update emitted and those that landed in the buffer.
    std::pair<GLuint, GLuint> frame(float dt) {
        const glm::mat4 eye = viewMatrix(view.mainCamera);
        glBeginQuery(GL_PRIMITIVES_GENERATED, queries[0]);
        glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, queries[1]);
        updateSnow(update, system, dt, true, 1.0f, view.projectionMatrix, eye);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
        clock += std::max(dt, 0.0f);
        drawSnow(render, system, clock, true, 1.0f, view.projectionMatrix, eye);
        GLuint generated = 0, written = 0;
        glGetQueryObjectuiv(queries[0], GL_QUERY_RESULT, &generated);
        glGetQueryObjectuiv(queries[1], GL_QUERY_RESULT, &written);
        return {generated, written};
    }

    View view = testWindowView();
    ShaderProgram update, render;
    ParticleSystem system;
    GLuint queries[2] = {0, 0};
    float clock = 0.0f;
};

TEST_F(Snow, FlakesStayWithinCapacityAndVolumeForAnyFrameTimes) {
    std::vector<float> steps;
    // Due every update, the shortest spawn interval, tiny steps, everything
    // landing at once, a game's frames, a stopped and a backwards clock.
    for (const auto& [count, dt] : {std::pair{300, 1.2f}, {300, 0.8f}, {200, 1e-6f}, {20, 500.0f}, {400, 0.016f},
                                    {20, 0.0f}, {5, -3.0f}})
        steps.insert(steps.end(), static_cast<std::size_t>(count), dt);
    std::mt19937 generator(5);
    for (int i = 0; i < 1000; ++i) steps.push_back(std::uniform_real_distribution<float>(0.0f, 3.0f)(generator));
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "update " << i << " dt " << steps[i]);
        const auto [generated, written] = frame(steps[i]);
        ASSERT_LE(generated, static_cast<GLuint>(kSnowCapacity));
        ASSERT_EQ(written, generated);
        ASSERT_GE(written, 200u);
        if (i % 100 != 0) continue;
        std::vector<Flake> flakes(written);
        glBindBuffer(GL_ARRAY_BUFFER, system.buffers[0]);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(written * sizeof(Flake)), flakes.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        int emitters = 0;
        for (const Flake& f : flakes) {
            ASSERT_TRUE(f.position[1] > 0.0f && f.position[1] <= 205.0f) << f.position[1];
            ASSERT_TRUE(std::abs(f.position[0]) < 600.0f && std::abs(f.position[2]) < 600.0f);
            ASSERT_TRUE(f.life > 0.0f && f.position[3] >= 0.0f && f.position[3] <= 1.0f);
            ASSERT_TRUE(f.vel >= 0.8f && f.vel <= 1.2f) << f.vel;
            emitters += f.type > 0.0f;
        }
        ASSERT_EQ(emitters, 200);
    }
}

// Over the sky the multiplying blend can only keep or brighten: flakes show
// as lighter dots, never darker ones.
TEST_F(Snow, FlakesBrightenTheSky) {
    glViewport(0, 0, view.screenWidth, view.screenHeight);
    glPointSize(3.0f);
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    for (int i = 0; i < 60; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDepthMask(GL_FALSE);
        frame(0.05f);
        glDepthMask(GL_TRUE);
    }
    const std::vector<unsigned char> pixels = readRgb(0, 0, 0, view.screenWidth, view.screenHeight);
    int lighter = 0, darker = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        lighter += pixels[i] > 110 && pixels[i + 1] > 110 && pixels[i + 2] == 255;
        darker += pixels[i] < 74 || pixels[i + 2] < 250;
    }
    EXPECT_GT(lighter, 300) << "flakes visible over the sky";
    EXPECT_EQ(darker, 0);
}

}  // namespace
