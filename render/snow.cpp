// Snow: the CPU side of the transform-feedback particle system. The CPU makes
// the first generation once; from then on Shaders/snow moves, ages, kills and
// spawns particles and Shaders/snow2 draws them.
#include "render/snow.h"

#include "math/random_sequence.h"

#include <GL/glew.h>

#include <cstddef>
#include <glm/gtc/type_ptr.hpp>
#include <utility>
#include <vector>

#include "render/gl_check.h"
#include "render/shader_program.h"

namespace {

// One particle as the shaders see it: 9 tightly packed floats.
struct Particle {
    float life;
    float type;
    float vel;
    float position[4];
    float dir[2];
};
static_assert(sizeof(Particle) == 36, "the particle record is 36 bytes");

constexpr GLsizeiptr kSnowBufferBytes = kSnowCapacity * static_cast<GLsizeiptr>(sizeof(Particle));
constexpr int kRandomTexels = 100;

struct ParticleAttribute {
    const char* name;
    GLint components;
    std::size_t offset;
};

constexpr ParticleAttribute kParticleAttributes[] = {
    {"in_life", 1, offsetof(Particle, life)}, {"in_type", 1, offsetof(Particle, type)},
    {"in_vel", 1, offsetof(Particle, vel)},   {"in_position", 4, offsetof(Particle, position)},
    {"in_dir", 2, offsetof(Particle, dir)},
};

// GL takes a buffer offset in a pointer.
const void* bufferOffset(std::size_t offset) {
    return reinterpret_cast<const void*>(offset);  // NOLINT(performance-no-int-to-ptr): GL asks for it so
}

void createRandomTexture(ParticleSystem& system) {
    std::vector<float> texels(static_cast<std::size_t>(kRandomTexels) * 3);
    for (float& value : texels) value = static_cast<float>(nextRandom(gameRandom) % 100);
    glGenTextures(1, &system.randomTexture);
    glBindTexture(GL_TEXTURE_1D, system.randomTexture);
    // A float internal format: a plain GL_RGB one is normalised and would
    // clamp every value from 1 to 99 to 1.0.
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB32F, kRandomTexels, 0, GL_RGB, GL_FLOAT, texels.data());
    glTexParameterf(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    checkGlError("random tex");
}

// The first 200 flakes; the draw order is part of the game's start layout,
// since the scene population draws from the same gameRandom sequence.
std::vector<Particle> firstGeneration() {
    std::vector<Particle> particles(kSnowCapacity, Particle{});
    for (int i = 0; i < kSnowStartCount; ++i) {
        Particle& p = particles[static_cast<std::size_t>(i)];
        int r = nextRandom(gameRandom);
        p.life = p.type = static_cast<float>(r % 10 + 5);
        int v = nextRandom(gameRandom);
        p.vel = static_cast<float>((v % 5) / 10.0 + 0.8);
        int a = nextRandom(gameRandom);
        int b = nextRandom(gameRandom);
        int c = nextRandom(gameRandom);
        p.position[0] = static_cast<float>(c % 800 - 400);
        p.position[1] = static_cast<float>(b % 200 + 5);
        p.position[2] = static_cast<float>(a % 800 - 400);
        p.position[3] = 1.0f;
        int f = nextRandom(gameRandom);
        int g = nextRandom(gameRandom);
        p.dir[0] = static_cast<float>((g % 5) / 10.0);
        p.dir[1] = static_cast<float>((f % 5) / 10.0);
    }
    return particles;
}

}  // namespace

void initSnow(ParticleSystem& system) {
    system.bufferCount = 2;
    system.firstFrame = true;
    createRandomTexture(system);
    glGenBuffers(2, system.buffers);
    glGenTransformFeedbacks(2, system.feedbacks);

    std::vector<Particle> particles = firstGeneration();
    checkGlError("load particles: 1");
    for (int i = 0; i < 2; ++i) {
        glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, system.feedbacks[i]);
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, system.buffers[i]);
        glBindBuffer(GL_ARRAY_BUFFER, system.buffers[i]);
        glBufferData(GL_ARRAY_BUFFER, kSnowBufferBytes, particles.data(), GL_DYNAMIC_DRAW);
    }
    // Leave no feedback object bound, so later buffer bindings cannot change ours.
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGlError("load particles: 2");
}

void updateSnow(const ShaderProgram& updateProgram, ParticleSystem& system, float time, bool blend, float alpha,
                const glm::mat4& projection, const glm::mat4& view) {
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
    }
    GLuint program = updateProgram.program;
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_1D, system.randomTexture);

    glUniform1i(glGetUniformLocation(program, "sampler"), 0);
    glUniformMatrix4fv(glGetUniformLocation(program, "proj_mat"), 1, GL_FALSE, glm::value_ptr(projection));
    glUniformMatrix4fv(glGetUniformLocation(program, "view_mat"), 1, GL_FALSE, glm::value_ptr(view));
    glUniform1f(glGetUniformLocation(program, "alpha"), alpha);
    glUniform1f(glGetUniformLocation(program, "time"), time);
    int f = nextRandom(gameRandom);
    int s = nextRandom(gameRandom);
    glUniform2f(glGetUniformLocation(program, "random"), static_cast<float>(s % 10), static_cast<float>(f % 10));

    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_RASTERIZER_DISCARD);

    glBindBuffer(GL_ARRAY_BUFFER, system.buffers[0]);
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, system.feedbacks[1]);
    checkGlError("drawParticles: 1");

    GLint enabled[5];
    int enabledCount = 0;
    for (const ParticleAttribute& attribute : kParticleAttributes) {
        GLint location = glGetAttribLocation(program, attribute.name);
        if (location < 0) continue;
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        glVertexAttribPointer(static_cast<GLuint>(location), attribute.components, GL_FLOAT, GL_FALSE, sizeof(Particle),
                              bufferOffset(attribute.offset));
        enabled[enabledCount++] = location;
    }

    checkGlError("drawParticles: 2");
    checkGlError("drawParticles: 1");
    glBeginTransformFeedback(GL_POINTS);
    checkGlError("drawParticles: 2");
    if (system.firstFrame) {
        checkGlError("drawParticles: 4");
        glDrawArrays(GL_POINTS, 0, kSnowStartCount);
        checkGlError("drawParticles: 4.5");
        system.firstFrame = false;
    } else {
        checkGlError("drawParticles: 5");
        glDrawTransformFeedback(GL_POINTS, system.feedbacks[0]);
        checkGlError("drawParticles: 5.5");
    }
    checkGlError("drawParticles: 6");
    glEndTransformFeedback();
    checkGlError("drawParticles: 7");

    for (int i = 0; i < enabledCount; ++i) glDisableVertexAttribArray(static_cast<GLuint>(enabled[i]));
    glDisable(GL_RASTERIZER_DISCARD);
    glBindTexture(GL_TEXTURE_1D, system.randomTexture);
    glUseProgram(0);
    if (blend) glDisable(GL_BLEND);
}

void drawSnow(const ShaderProgram& renderProgram, ParticleSystem& system, float time, bool blend, float alpha,
              const glm::mat4& projection, const glm::mat4& view) {
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
    }
    checkGlError("drawParticles2: 1");
    GLuint program = renderProgram.program;
    glUseProgram(program);
    checkGlError("drawParticles2: 2");

    GLint location = glGetUniformLocation(program, "proj_mat");
    if (location >= 0) glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(projection));
    location = glGetUniformLocation(program, "view_mat");
    if (location >= 0) glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(view));
    location = glGetUniformLocation(program, "alpha");
    if (location >= 0) glUniform1f(location, alpha);
    location = glGetUniformLocation(program, "time");
    if (location >= 0) glUniform1f(location, time);
    checkGlError("drawParticles2: 3");

    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    checkGlError("drawParticles2: 4");

    glBindBuffer(GL_ARRAY_BUFFER, system.buffers[1]);
    GLint positionLocation = glGetAttribLocation(program, "in_position");
    if (positionLocation >= 0) {
        glEnableVertexAttribArray(static_cast<GLuint>(positionLocation));
        glVertexAttribPointer(static_cast<GLuint>(positionLocation), 4, GL_FLOAT, GL_FALSE, sizeof(Particle),
                              bufferOffset(offsetof(Particle, position)));
    }
    checkGlError("drawParticles2: 5");
    glDrawTransformFeedback(GL_POINTS, system.feedbacks[1]);
    checkGlError("drawParticles2: 6");
    if (positionLocation >= 0) glDisableVertexAttribArray(static_cast<GLuint>(positionLocation));
    checkGlError("drawParticles2: 10");
    glUseProgram(0);
    if (blend) glDisable(GL_BLEND);

    // The generation just drawn is the source of the next update.
    std::swap(system.buffers[0], system.buffers[1]);
    std::swap(system.feedbacks[0], system.feedbacks[1]);
}

void releaseSnow(ParticleSystem& system) {
    glDeleteBuffers(2, system.buffers);
    glDeleteTransformFeedbacks(2, system.feedbacks);
    glDeleteTextures(1, &system.randomTexture);
    system = ParticleSystem{};
}
