// One frame's 3D passes: the shadow pass, then the scene in its fixed draw
// order, either behind the frustum test or drawn whole.
#include "render/frame_passes.h"

#include <GL/glew.h>

#include "app/options.h"
#include "app/window.h"
#include "game/scene.h"
#include "math/camera.h"
#include "math/frustum.h"
#include "render/draw.h"
#include "render/shadow_map.h"
#include "render/texture.h"

namespace {

constexpr float kPhantomAlpha = 0.7f;

void drawCulledScene(const Scene& scene, const ScenePassPrograms& programs, const OptionFlags& options) {
    FrustumPlanes planes = buildFrustumPlanes();
    bool linear = options.bilinearFiltering;
    int mipmap = options.mipMapMode;
    drawModelIfVisible(scene.leftArmModel, scene.leftArm, planes, *programs.texture, kLeftArmTexture, 0.0f, false,
                       1.0f, linear, mipmap, projectionMatrix);
    drawModelIfVisible(scene.rightArmModel, scene.rightArm, planes, *programs.texture, kRightArmTexture, 0.0f, false,
                       1.0f, linear, mipmap, projectionMatrix);
    drawModelIfVisible(scene.bodyModel, scene.heroBody, planes, *programs.texture, kBodyTexture, 0.0f, false, 1.0f,
                       linear, mipmap, projectionMatrix);
    for (const SceneObject& ghost : scene.ghosts)
        drawModelIfVisible(scene.ghostModel, ghost, planes, *programs.phongphong, kGhostTexture, 0.0f, false, 1.0f,
                           linear, mipmap, projectionMatrix);
    for (const SceneObject& cake : scene.cakes)
        if (!cake.collected)
            drawModelIfVisible(scene.cakeModel, cake, planes, *programs.phongphong, 0, 0.0f, false, 1.0f, linear,
                               mipmap, projectionMatrix);
    drawModelIfVisible(scene.torteModel, scene.torte, planes, *programs.texture, kTorteTexture, 0.0f, false, 1.0f,
                       linear, mipmap, projectionMatrix);
    drawModelIfVisible(scene.phantomModel, scene.phantom, planes, *programs.transparency, 0, 0.0f,
                       options.transparency, kPhantomAlpha, linear, mipmap, projectionMatrix);
}

// One entry of the unculled list, with the clock read afresh for each draw.
void drawEntry(const Model& model, const SceneObject& object, const ShaderProgram& program, unsigned int texture,
               unsigned int shadowMap, bool blend, float alpha, bool torte, const OptionFlags& options) {
    float time = static_cast<float>(clockSeconds());
    drawModel(model, object, program, texture, shadowMap, time, 0.0f, blend, alpha, options.bilinearFiltering,
              options.mipMapMode, torte, projectionMatrix, lightCamera, mainCamera);
}

void drawWholeScene(const Scene& scene, const ScenePassPrograms& programs, const OptionFlags& options) {
    // Counted once before the first draw and after every draw but the last:
    // each drawn object once.
    drawnObjectCount += 1;
    drawEntry(scene.leftArmModel, scene.leftArm, *programs.texture, kLeftArmTexture, kShadowMapTexture, false, 1.0f,
              false, options);
    drawnObjectCount += 1;
    drawEntry(scene.rightArmModel, scene.rightArm, *programs.texture, kRightArmTexture, kShadowMapTexture, false,
              1.0f, false, options);
    drawnObjectCount += 1;
    drawEntry(scene.bodyModel, scene.heroBody, *programs.texture, kBodyTexture, kShadowMapTexture, false, 1.0f, false,
              options);
    drawnObjectCount += 1;
    for (const SceneObject& ghost : scene.ghosts) {
        drawEntry(scene.ghostModel, ghost, *programs.texture, kGhostTexture, kShadowMapTexture, false, 1.0f, false,
                  options);
        drawnObjectCount += 1;
    }
    for (const SceneObject& cake : scene.cakes) {
        if (cake.collected) continue;
        drawEntry(scene.cakeModel, cake, *programs.phongphong, 0, kShadowMapTexture, false, 1.0f, false, options);
        drawnObjectCount += 1;
    }
    // The landscape shows both sides of its faces, whichever way they wind.
    glDisable(GL_CULL_FACE);
    drawEntry(scene.torteModel, scene.torte, *programs.texture, kTorteTexture, kShadowMapTexture, false, 1.0f, true,
              options);
    glEnable(GL_CULL_FACE);
    drawnObjectCount += 1;
    drawEntry(scene.phantomModel, scene.phantom, *programs.transparency, 0, 0, options.transparency, kPhantomAlpha,
              false, options);
}

}  // namespace

void renderFramePasses(const Scene& scene, const ScenePassPrograms& programs, const OptionFlags& options,
                       unsigned int shadowFramebuffer) {
    renderShadowPass(scene, *programs.colour, shadowFramebuffer);
    if (options.frustumCulling)
        drawCulledScene(scene, programs, options);
    else
        drawWholeScene(scene, programs, options);
}
