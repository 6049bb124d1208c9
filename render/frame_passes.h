// One frame's 3D passes: the shadow pass, then the scene pass in its fixed
// draw order, culled or not.
#pragma once

struct Scene;
struct ShaderProgram;
struct OptionFlags;

struct ScenePassPrograms {
    const ShaderProgram* colour;
    const ShaderProgram* phongphong;
    const ShaderProgram* texture;
    const ShaderProgram* transparency;
};

// Needs the shadow framebuffer made by createShadowMap.
void renderFramePasses(const Scene& scene, const ScenePassPrograms& programs, const OptionFlags& options,
                       unsigned int shadowFramebuffer);
