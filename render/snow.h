// Snow: a cloud of point sprites that lives on the GPU. Each frame a geometry
// shader reads the last generation from one buffer and writes the next into
// the other with transform feedback; a second program draws the points.
#pragma once

#include <glm/glm.hpp>

struct ShaderProgram;

constexpr int kSnowCapacity = 10000;
constexpr int kSnowStartCount = 200;

struct ParticleSystem {
    unsigned int buffers[2] = {0, 0};    // [0] source of the next update, [1] its target
    unsigned int feedbacks[2] = {0, 0};  // feedbacks[i] writes into buffers[i]
    int bufferCount = 2;
    bool firstFrame = true;
    unsigned int randomTexture = 0;  // 1D texture of random integers, texture 1
};

// Makes the random texture (texture 1), both buffers with the first
// generation and their feedback objects; releaseSnow frees them.
void initSnow(ParticleSystem& system);
// One generation onward; time is the frame time the flakes move by.
void updateSnow(const ShaderProgram& updateProgram, ParticleSystem& system, float time, bool blend, float alpha,
                const glm::mat4& projection, const glm::mat4& view);
// Draws the generation just made; time is the clock.
void drawSnow(const ShaderProgram& renderProgram, ParticleSystem& system, float time, bool blend, float alpha,
              const glm::mat4& projection, const glm::mat4& view);
void releaseSnow(ParticleSystem& system);
