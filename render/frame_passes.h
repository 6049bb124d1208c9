// One frame's 3D passes: the shadow pass, then the scene pass in its fixed
// draw order, culled or not. Both walk the same draw list.
#pragma once

struct DrawList;
struct FrameView;
struct ShaderProgram;
struct ShadowMap;

// Returns the number of objects drawn in the scene pass: every item with
// culling off, those passing the frustum test with it on.
int renderFramePasses(const DrawList& list, ShadowMap& shadowMap, const ShaderProgram& depthProgram,
                      unsigned int groundTexture, const FrameView& view, bool frustumCulling);
