// The game world: every placed object with its model, and the counters the
// rules work on. Owned by the entry point for the whole run.
#pragma once

#include <array>

#include "game/scene_object.h"
#include "render/model.h"

constexpr int kGhostCount = 32;
constexpr int kCakeCount = 10;

extern const Material plainMaterial;
extern const Material heroMaterial;
extern const Material ghostMaterial;

struct Scene {
    SceneObject terrainObject;
    SceneObject heroAnchor;
    SceneObject leftArm;
    SceneObject rightArm;
    SceneObject heroBody;
    SceneObject phantom;
    std::array<SceneObject, kGhostCount> ghosts;
    std::array<SceneObject, kCakeCount> cakes;
    SceneObject torte;
    std::array<SceneObject, kCakeCount> cakeIcons;
    SceneObject endScreenObject;
    SceneObject wonObject;

    Model grassModel;      // Models/sakuragras.dae, kept but never drawn
    Model anchorModel;     // Models/mirelka5.dae, imported, never drawn
    Model leftArmModel;
    Model rightArmModel;
    Model bodyModel;
    Model phantomModel;
    Model ghostModel;
    Model cakeModel;
    Model torteModel;
    Model iconModel;
    Model endScreenModel;
    Model wonModel;

    int carriedCakes = 0;
    int cakesInWorld = kCakeCount;
    std::array<bool, kGhostCount> ghostHasStolen{};
    std::array<float, kGhostCount> ghostCooldown{};
    float stealClock = 0.0f;
    std::array<float, kGhostCount> ghostGroundHeight{};
    bool phantomRising = true;
    int lastWheelPosition = 0;
    float heroGroundHeight = -0.8f;
    float armSwingCounter = 0.0f;
};

// How the population step imports a model. The game passes a function that
// imports and uploads (loadModel / loadModelPositionUV); tests can pass one
// that only reads the bounds, so placement runs without a GL context.
struct ShaderProgram;
using ModelImporter = void (*)(Model& model, const char* path, const glm::vec3& colour,
                               const ShaderProgram& program, bool uvFromPosition);

struct ScenePrograms {
    const ShaderProgram* texture;
    const ShaderProgram* phongphong;
    const ShaderProgram* transparency;
    const ShaderProgram* text;
};

// Creates and places every object, imports every model and resets the
// counters, in the fixed order that fixes the rand() sequence. Icons and the
// end-screen plane are placed from the current window size.
void populateScene(Scene& scene, const ScenePrograms& programs, ModelImporter importModel);
