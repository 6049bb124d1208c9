// Snow: a cloud of point sprites that lives on the GPU. Each frame a geometry
// shader reads the last generation from one buffer and writes the next into
// the other with transform feedback; a second program draws the points.
#pragma once

#include <glm/glm.hpp>

#include "math/camera.h"

struct ShaderProgram;

constexpr int kSnowCapacity = 10000;
constexpr int kSnowStartCount = 200;

struct ParticleSystem {
    unsigned int buffers[2] = {0, 0};    // [0] source of the next update, [1] its target
    unsigned int feedbacks[2] = {0, 0};  // feedbacks[i] writes into buffers[i]
    int bufferCount = 2;
    bool firstFrame = true;
    unsigned int randomTexture = 0;      // 1D texture of random integers, texture 1
};

void initSnow(ParticleSystem& system);
void updateSnow(const ShaderProgram& updateProgram, ParticleSystem& system, float time, bool blend, float alpha,
                glm::mat4 projection, Camera lightCamera, Camera viewCamera);
void drawSnow(const ShaderProgram& renderProgram, ParticleSystem& system, float time, bool blend, float alpha,
              glm::mat4 projection, Camera lightCamera, Camera viewCamera);
void releaseSnow(ParticleSystem& system);
