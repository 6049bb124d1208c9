// Model drawing: bind a program and textures, set the named uniforms (looked
// up by name at every draw) from one object and one frame's view, and draw
// every mesh. Scene objects, overlay quads and shadow casters all come here.
#pragma once

#include <glm/glm.hpp>

#include "math/frustum.h"
#include "math/view.h"
#include "render/draw_list.h"

struct GlyphQuads;

// What every draw of one frame shares: the camera's matrices, the light, the
// time and the sampling options. Made by the frame loop, which owns the clock.
struct FrameView {
    glm::mat4 projection{1.0f};
    glm::mat4 view{1.0f};            // world to eye
    glm::vec3 viewing{0.0f};         // "viewing": the translation column of the camera's orientation
    glm::vec3 cameraPosition{0.0f};  // the camera's eye offset, the shadow casters' "viewing"
    glm::vec3 light{0.0f};           // the light turned by the light camera's pitch
    glm::mat4 lightProjection{1.0f};
    glm::mat4 lightView{1.0f};
    glm::mat4 shadowTexture{1.0f};  // world to shadow-map texture space
    FrustumPlanes frustum;          // of this camera, for the culled scene pass
    float time = 0.0f;
    bool bilinear = true;
    int mipMapMode = 2;
    unsigned int shadowMap = 0;  // the depth texture bound on unit 1
    unsigned int target = 0;     // the framebuffer the scene is drawn into (0: the window)
    int width = 0;               // its viewport
    int height = 0;
};

// The view through camera with projection (the scene's or the overlay's).
FrameView makeFrameView(const View& view, const Camera& camera, const glm::mat4& projection, float time);

// A lit scene draw: the item's texture on unit 0 with the sampling options,
// the view's shadow map on unit 1 (none with kNoShadowMapWhenWhole), "torte"
// from kTorte, the multiplying blend with kBlended. Leaves unit 1 active.
void drawModel(const DrawItem& item, const FrameView& view);
// drawModel behind the frustum test; true when it was drawn.
bool drawModelIfVisible(const DrawItem& item, const FrameView& view);
// An overlay draw (glyph, icon): the texture on unit 0 with its own sampling,
// no shadow map, back faces culled.
void drawModelNoShadow(const Model& model, const SceneObject& object, const ShaderProgram& program,
                       unsigned int texture, const FrameView& view);
// Overlay text as drawModelNoShadow draws a glyph model: one glyph quad per
// byte of characters, tinted with the object's colour, the object moved by
// step after each. Makes no GL object.
void drawGlyphRun(const GlyphQuads& glyphs, SceneObject object, const glm::mat4& step, const ShaderProgram& program,
                  unsigned int atlas, const FrameView& view, const char* characters, int count);
// The shadow pass draw of one caster from the light.
void drawShadowCaster(const DrawItem& item, const ShaderProgram& depthProgram, const FrameView& view);
// Draws every mesh of the model through its vertex array, then unbinds the
// vertex array and GL_ARRAY_BUFFER (no GL check between meshes).
void drawModelMeshes(const Model& model);
