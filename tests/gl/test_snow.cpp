// The snow system on Mesa: its first generation and random texture, the
// particle counts between frames, the capacity bound, how flakes move, and
// that they show up brighter than the sky.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "math/camera.h"
#include "math/view.h"
#include "render/shader_program.h"
#include "render/snow.h"
#include "tests/gl/gl_test_view.h"

namespace {

struct Flake {
    float life;
    float type;
    float vel;
    float position[4];
    float dir[2];
};
static_assert(sizeof(Flake) == 36, "one particle record");

void drainGlErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

std::vector<Flake> readFlakes(unsigned int buffer, int count) {
    std::vector<Flake> flakes(static_cast<std::size_t>(count));
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(Flake)), flakes.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return flakes;
}

struct FrameCounts {
    GLuint consumed = 0;   // points fed to the update
    GLuint generated = 0;  // records the geometry shader emitted
    GLuint written = 0;    // records that landed in the buffer
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
        render = loadShaderProgram("Shaders/snow2");
        if (render.program != 0) {
            glBindFragDataLocation(render.program, 0, "out_color");
            relinkShaderProgram(render);
        }
        ::testing::internal::GetCapturedStderr();
        ASSERT_NE(update.program, 0u);
        ASSERT_NE(render.program, 0u);
        glGenQueries(3, queries);
    }
    void TearDown() override {
        glDeleteQueries(3, queries);
        releaseSnow(system);
        destroyShaderProgram(render);
        destroyShaderProgram(update);
    }

    // One frame of snow as the game runs it: update, then draw.
    FrameCounts frame(float dt) {
        bool statistics = GLEW_ARB_pipeline_statistics_query;
        if (statistics) glBeginQuery(GL_VERTICES_SUBMITTED_ARB, queries[0]);
        glBeginQuery(GL_PRIMITIVES_GENERATED, queries[1]);
        glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, queries[2]);
        const glm::mat4 eye = viewMatrix(view.mainCamera);
        updateSnow(update, system, dt, true, 1.0f, view.projectionMatrix, eye);
        if (statistics) glEndQuery(GL_VERTICES_SUBMITTED_ARB);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
        clock += dt > 0.0f ? dt : 0.0f;
        drawSnow(render, system, clock, true, 1.0f, view.projectionMatrix, eye);
        FrameCounts counts;
        if (statistics) glGetQueryObjectuiv(queries[0], GL_QUERY_RESULT, &counts.consumed);
        glGetQueryObjectuiv(queries[1], GL_QUERY_RESULT, &counts.generated);
        glGetQueryObjectuiv(queries[2], GL_QUERY_RESULT, &counts.written);
        return counts;
    }

    View view = testWindowView();
    ShaderProgram update;
    ShaderProgram render;
    ParticleSystem system;
    GLuint queries[3] = {0, 0, 0};
    float clock = 0.0f;
};

// The game's texture table gives the snow's texture number 1, ahead of the
// images' 2 to 15: it must be the first texture the process creates. Other
// tests in this binary make textures, so the check runs in a fresh copy of
// the process.
TEST_F(Snow, RandomTextureIsTextureOne) {
    if (std::getenv("VARNELO_FRESH_PROCESS") != nullptr) {
        ASSERT_FALSE(glIsTexture(1));
        initSnow(system);
        EXPECT_EQ(system.randomTexture, 1u);
        return;
    }
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string command = "VARNELO_FRESH_PROCESS=1 '" + self +
                          "' --gtest_filter=Snow.RandomTextureIsTextureOne > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << "run " << command << " to see why";
}

// The first generation, the random texture and the rand() draws behind them
// follow one fixed order, since the scene population continues the sequence.
TEST_F(Snow, StartFieldComesFromRandInItsOrder) {
    std::srand(1);  // the runtime's default seed
    std::vector<float> texels(300);
    for (float& t : texels) t = static_cast<float>(std::rand() % 100);
    std::vector<Flake> expected(kSnowCapacity, Flake{});
    for (int i = 0; i < kSnowStartCount; ++i) {
        Flake& f = expected[static_cast<std::size_t>(i)];
        f.life = f.type = static_cast<float>(std::rand() % 10 + 5);
        f.vel = static_cast<float>((std::rand() % 5) / 10.0 + 0.8);
        int a = std::rand(), b = std::rand(), c = std::rand();
        f.position[0] = static_cast<float>(c % 800 - 400);
        f.position[1] = static_cast<float>(b % 200 + 5);
        f.position[2] = static_cast<float>(a % 800 - 400);
        f.position[3] = 1.0f;
        int first = std::rand(), second = std::rand();
        f.dir[0] = static_cast<float>((second % 5) / 10.0);
        f.dir[1] = static_cast<float>((first % 5) / 10.0);
    }
    int nextDraw = std::rand();

    std::srand(1);
    drainGlErrors();
    testing::internal::CaptureStderr();
    initSnow(system);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no GL error at any snow label";
    EXPECT_EQ(std::rand(), nextDraw) << "initSnow draws exactly 300 + 7 * 200 numbers";

    std::vector<float> texture(300, -1.0f);
    glBindTexture(GL_TEXTURE_1D, system.randomTexture);
    glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_FLOAT, texture.data());
    GLint width = 0, minFilter = 0, magFilter = 0, wrap = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_1D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexParameteriv(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetTexParameteriv(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(texture, texels);

    for (unsigned int buffer : system.buffers) {
        GLint size = 0;
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
        EXPECT_EQ(size, 360000);
        std::vector<Flake> flakes = readFlakes(buffer, kSnowCapacity);
        EXPECT_EQ(std::memcmp(flakes.data(), expected.data(), sizeof(Flake) * expected.size()), 0);
    }
    GLint bound = -1;
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, system.feedbacks[1]);
    glGetIntegeri_v(GL_TRANSFORM_FEEDBACK_BUFFER_BINDING, 0, &bound);
    EXPECT_EQ(static_cast<unsigned int>(bound), system.buffers[1]);
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
}

TEST_F(Snow, EachUpdateConsumesWhatThePreviousOneWrote) {
    initSnow(system);
    drainGlErrors();
    unsigned int firstTarget = system.buffers[1];

    // 2 s: every emitter is due, so each writes itself and one child.
    FrameCounts first = frame(2.0f);
    EXPECT_EQ(first.written, 400u);
    EXPECT_EQ(system.buffers[0], firstTarget) << "the buffer just drawn feeds the next update";
    FrameCounts second = frame(0.02f);
    EXPECT_EQ(second.written, second.generated);
    FrameCounts third = frame(0.02f);
    if (GLEW_ARB_pipeline_statistics_query) {
        EXPECT_EQ(first.consumed, 200u);
        EXPECT_EQ(second.consumed, first.written);
        EXPECT_EQ(third.consumed, second.written);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Two rand() draws per update; "random" gets them swapped, as integers 0..9.
TEST_F(Snow, WindComesFromTwoDrawsPerUpdate) {
    initSnow(system);
    std::srand(77);
    int f = std::rand();
    int s = std::rand();
    int after = std::rand();
    std::srand(77);
    frame(0.02f);
    EXPECT_EQ(std::rand(), after);
    GLfloat random[2] = {-1.0f, -1.0f};
    glGetUniformfv(update.program, glGetUniformLocation(update.program, "random"), random);
    EXPECT_EQ(random[0], static_cast<float>(s % 10));
    EXPECT_EQ(random[1], static_cast<float>(f % 10));
}

// Whatever the frame times, one update never emits more than the buffers
// hold, nothing is lost, and the 200 emitters never die out.
TEST_F(Snow, CountStaysWithinCapacityForAnyFrameTimes) {
    initSnow(system);
    std::vector<float> steps;
    auto repeat = [&](int n, float dt) { steps.insert(steps.end(), static_cast<std::size_t>(n), dt); };
    repeat(300, 1.2f);      // an emitter is due at every update
    repeat(300, 0.8f);      // the shortest spawn interval
    repeat(200, 1e-6f);
    repeat(20, 500.0f);     // everything lands at once
    repeat(400, 0.016f);
    repeat(20, 0.0f);
    repeat(5, -3.0f);       // a clock going backwards freezes the snow
    std::mt19937 generator(5);
    std::uniform_real_distribution<float> anyStep(0.0f, 3.0f);
    for (int i = 0; i < 1000; ++i) steps.push_back(anyStep(generator));
    repeat(300, 0.9f);

    GLuint previous = 200, largest = 0;
    bool statistics = GLEW_ARB_pipeline_statistics_query;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        FrameCounts counts = frame(steps[i]);
        ASSERT_LE(counts.generated, static_cast<GLuint>(kSnowCapacity)) << "update " << i << " dt " << steps[i];
        ASSERT_EQ(counts.written, counts.generated) << "update " << i;
        ASSERT_GE(counts.written, 200u) << "update " << i;
        if (statistics) {
            ASSERT_EQ(counts.consumed, previous) << "update " << i;
        }
        previous = counts.written;
        largest = std::max(largest, counts.generated);
    }
    RecordProperty("largest_generation", static_cast<int>(largest));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Flakes fall at their own speed, drift a little sideways, and die at the
// ground or of age; emitters come back near the top over the play area, and
// most new flakes gather where the camera looks.
TEST_F(Snow, FlakesFallAndAreRebornAtTheTop) {
    initSnow(system);
    GLuint count = 0;
    for (int i = 0; i < 200; ++i) count = frame(0.05f).written;
    std::vector<Flake> before = readFlakes(system.buffers[0], static_cast<int>(count));
    count = frame(0.1f).written;
    std::vector<Flake> after = readFlakes(system.buffers[0], static_cast<int>(count));

    const Camera& camera = view.mainCamera;
    glm::vec3 eye = glm::vec3(camera.orientation * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f)) + camera.target;
    std::vector<Flake> emittersBefore, emittersAfter;
    for (const Flake& f : before) {
        if (f.type > 0.0f) emittersBefore.push_back(f);
    }
    int children = 0, nearEye = 0, fading = 0;
    for (const Flake& f : after) {
        EXPECT_GT(f.position[1], 0.0f);
        EXPECT_LE(f.position[1], 205.0f);
        EXPECT_GT(f.life, 0.0f);
        EXPECT_GE(f.position[3], 0.0f);
        EXPECT_LE(f.position[3], 1.0f);
        EXPECT_GE(f.vel, 0.8f);
        EXPECT_LE(f.vel, 1.2f);
        EXPECT_LT(std::abs(f.position[0]), 600.0f);
        EXPECT_LT(std::abs(f.position[2]), 600.0f);
        if (f.type > 0.0f) {
            emittersAfter.push_back(f);
            EXPECT_EQ(f.position[3], 1.0f);
            continue;
        }
        EXPECT_TRUE(f.type == 0.0f || f.type == -1.0f) << f.type;
        ++children;
        if (std::hypot(f.position[0] - eye.x, f.position[2] - eye.z) < 100.0f) ++nearEye;
        if (f.position[3] < 1.0f) ++fading;
    }
    ASSERT_EQ(emittersBefore.size(), 200u);
    ASSERT_EQ(emittersAfter.size(), 200u);
    EXPECT_GT(children, 1000) << "emitters have been filling the sky for 10 s";
    EXPECT_GT(nearEye, children / 2);
    EXPECT_GT(fading, 0) << "young and old flakes fade instead of popping";

    int fell = 0;
    for (std::size_t i = 0; i < 200; ++i) {
        const Flake& a = emittersBefore[i];
        const Flake& b = emittersAfter[i];
        if (b.life > a.life) {
            EXPECT_GE(b.position[1], 180.0f) << "reborn near the top";
            EXPECT_LE(std::abs(b.position[0]), 400.0f);
            EXPECT_LE(std::abs(b.position[2]), 400.0f);
            continue;
        }
        ++fell;
        EXPECT_NEAR(b.life, a.life - 0.1f, 1e-4f);
        float drop = a.position[1] - b.position[1];
        EXPECT_NEAR(drop, 8.0f * a.vel * 0.1f, 1e-3f) << "falls at its vel";
        EXPECT_LT(std::abs(b.position[0] - a.position[0]), 0.5f);
        EXPECT_LT(std::abs(b.position[2] - a.position[2]), 0.5f);
        EXPECT_EQ(b.vel, a.vel);
        EXPECT_EQ(b.dir[0], a.dir[0]);
        EXPECT_EQ(b.dir[1], a.dir[1]);
    }
    EXPECT_GT(fell, 150);
}

// Over the sky the multiplying blend can only keep or brighten: flakes show
// as lighter dots, never darker ones.
TEST_F(Snow, FlakesBrightenTheSky) {
    initSnow(system);
    glViewport(0, 0, view.screenWidth, view.screenHeight);
    glPointSize(3.0f);
    glEnable(GL_POINT_SMOOTH);
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    for (int i = 0; i < 60; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDepthMask(GL_FALSE);
        frame(0.05f);
        glDepthMask(GL_TRUE);
    }
    glFinish();
    std::vector<unsigned char> pixels(static_cast<std::size_t>(view.screenWidth * view.screenHeight * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, view.screenWidth, view.screenHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    int lighter = 0, darker = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        if (pixels[i] > 110 && pixels[i + 1] > 110 && pixels[i + 2] == 255) ++lighter;
        if (pixels[i] < 74 || pixels[i + 2] < 250) ++darker;
    }
    EXPECT_GT(lighter, 300) << "flakes visible over the sky";
    EXPECT_EQ(darker, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_POINT_SMOOTH);
}

TEST_F(Snow, ReleaseDeletesEveryObject) {
    initSnow(system);
    frame(0.02f);
    ParticleSystem copy = system;
    drainGlErrors();
    releaseSnow(system);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(glIsBuffer(copy.buffers[i]));
        EXPECT_FALSE(glIsTransformFeedback(copy.feedbacks[i]));
    }
    EXPECT_FALSE(glIsTexture(copy.randomTexture));
    EXPECT_EQ(system.randomTexture, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
