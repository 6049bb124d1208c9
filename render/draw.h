// Model drawing: bind a program and textures, compute one object's matrices,
// set the named uniforms (looked up by name at every draw) and draw every mesh.
#pragma once

#include <glm/glm.hpp>

#include "math/camera.h"

struct Model;
struct SceneObject;
struct ShaderProgram;
struct FrustumPlanes;

// Objects drawn by drawModelIfVisible this frame; the frame loop resets it.
extern int drawnObjectCount;

// Texture numbers are GL texture names (see render/texture.h).
void drawModel(const Model& model, SceneObject object, const ShaderProgram& program, unsigned int texture,
               unsigned int shadowMap, float time, float height, bool blend, float alpha, bool linearSampling,
               int mipmapMode, bool torte, glm::mat4 projection, Camera lightCamera, Camera viewCamera);
// The scene draw behind the view-frustum test; counts what it draws.
void drawModelIfVisible(const Model& model, SceneObject object, const FrustumPlanes& planes,
                        const ShaderProgram& program, unsigned int texture, float height, bool blend, float alpha,
                        bool linearSampling, int mipmapMode, glm::mat4 projection);
// A glyph quad of the overlay, with the character atlas (texture 15).
void drawOverlayModel(const Model& model, SceneObject object, const ShaderProgram& program, float time, bool blend,
                      float alpha, glm::mat4 projection, Camera lightCamera, Camera viewCamera);
// A textured draw without the shadow map (the overlay's cake icons).
void drawModelNoShadow(const Model& model, SceneObject object, const ShaderProgram& program, unsigned int texture,
                       float time, float height, bool blend, float alpha, glm::mat4 projection, Camera lightCamera,
                       Camera viewCamera);
// Draws every mesh of the model through its vertex array, then unbinds the
// vertex array and GL_ARRAY_BUFFER (no GL check between meshes).
void drawModelMeshes(const Model& model);
// The shadow pass draw from the light (texture 16 on unit 1).
void drawShadowCaster(const Model& model, SceneObject object, const ShaderProgram& program, Camera lightCamera,
                      Camera viewCamera);
