// Shadow mapping: a 4096 x 4096 depth texture with hardware comparison, kept
// up to date every frame from the light's point of view. Only the heroine and
// the ghosts move; the torte and the lying cakes are drawn once into a second
// depth texture, and each frame only the rectangles the moving casters
// covered (last frame or now) are restored from it before they are drawn
// again. The map is the same, texel for texel, as a full redraw.
#pragma once

#include <array>

#include "render/draw_list.h"

struct FrameView;
struct SceneObject;
struct ShaderProgram;

constexpr int kShadowMapSize = 4096;

// A rectangle of shadow-map texels: x0 <= x < x1, y0 <= y < y1.
struct TexelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct ShadowMap {
    unsigned int framebuffer = 0;
    unsigned int depthTexture = 0;  // texture 16, what the scene samples
    unsigned int stillFramebuffer = 0;
    unsigned int stillDepthTexture = 0;  // the still casters alone
    // What the still layer holds: its casters in order and the polygon mode
    // it was drawn in. It is drawn again when either changes.
    std::array<const SceneObject*, kMaxDrawItems> stillCasters{};
    int stillCount = -1;  // -1: not drawn yet
    int stillPolygonMode = 0;
    // Where the moving casters were drawn last frame.
    std::array<TexelRect, kMaxDrawItems> movedRects{};
    int movedCount = 0;
};

// Linear filtering, clamping to a far (1.0) border and hardware depth
// comparison (GL_LESS) on the texture bound to GL_TEXTURE_2D.
void applyDepthCompareSampling();
// Creates both depth textures and their framebuffers. Prints "Couldn't create
// frame buffer" and ends the process with code 0 when one is incomplete.
ShadowMap createShadowMap();
void destroyShadowMap(ShadowMap& shadowMap);
// Brings the map up to date with the list's casters, with the ground texture
// left on unit 0; ends with the view's target framebuffer bound and cleared,
// back faces culled and the target's viewport.
void renderShadowPass(ShadowMap& shadowMap, const DrawList& list, const ShaderProgram& depthProgram,
                      unsigned int groundTexture, const FrameView& view);
// The same map drawn whole, every caster from a cleared map: what the pass
// must always equal. For tests and measurements.
void redrawShadowMap(ShadowMap& shadowMap, const DrawList& list, const ShaderProgram& depthProgram,
                     unsigned int groundTexture, const FrameView& view);
// The texels a caster can touch: its placed bounds seen from the light, one
// texel wider on every side, clamped to the map (the whole map when part of
// it is behind the light; nothing for a model without meshes).
TexelRect shadowFootprint(const DrawItem& item, const FrameView& view);
