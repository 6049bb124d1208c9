// Shadow mapping: a 4096 x 4096 depth texture (texture 16) with hardware
// comparison, filled every frame from the light's point of view.
#pragma once

struct Scene;
struct ShaderProgram;

constexpr int kShadowMapSize = 4096;

// Linear filtering, clamping to a far (1.0) border and hardware depth
// comparison (GL_LESS) on the texture bound to GL_TEXTURE_2D.
void applyDepthCompareSampling();
// Creates the depth texture and its framebuffer. Prints "Couldn't create
// frame buffer" and ends the process with code 0 when it is incomplete.
unsigned int createShadowMap();
// Draws the casters (arms, body, ghosts, uncollected cakes, torte) into it.
void renderShadowPass(const Scene& scene, const ShaderProgram& colourProgram, unsigned int shadowFramebuffer);
