// Shadow mapping: a 4096 x 4096 depth texture with hardware comparison and
// the framebuffer that renders into it, filled every frame from the light's
// point of view by the shadow pass.
#pragma once

struct DrawList;
struct FrameView;
struct ShaderProgram;

constexpr int kShadowMapSize = 4096;

struct ShadowMap {
    unsigned int framebuffer = 0;
    unsigned int depthTexture = 0;  // texture 16 of the texture table
};

// Linear filtering, clamping to a far (1.0) border and hardware depth
// comparison (GL_LESS) on the texture bound to GL_TEXTURE_2D.
void applyDepthCompareSampling();
// Creates the depth texture and its framebuffer. Prints "Couldn't create
// frame buffer" and ends the process with code 0 when it is incomplete.
ShadowMap createShadowMap();
void destroyShadowMap(ShadowMap& shadowMap);
// Draws the list's casters into the map from the light, with the ground
// texture left on unit 0; ends with the view's target framebuffer bound and
// cleared, back faces culled and the target's viewport.
void renderShadowPass(const ShadowMap& shadowMap, const DrawList& list, const ShaderProgram& depthProgram,
                      unsigned int groundTexture, const FrameView& view);
