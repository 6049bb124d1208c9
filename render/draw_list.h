// The scene as a list of draws: what every pass of a frame walks (the shadow
// pass, and the scene pass with or without the frustum test), built afresh
// from the scene each frame in the fixed drawing order. Where the passes
// treat an object differently on purpose, the item says so.
#pragma once

#include <array>

#include "game/scene.h"

struct Model;
struct ShaderProgram;
struct GamePrograms;
struct GameTextures;
struct SceneModels;

enum DrawFlag : unsigned int {
    kCastsShadow = 1u << 0,           // drawn into the shadow map
    kBlended = 1u << 1,               // the multiplying blend (the phantom, with transparency on)
    kTorte = 1u << 2,                 // the landscape: "torte" = 1 and both sides, in the whole-scene pass
    kNoShadowMapWhenWhole = 1u << 3,  // the whole-scene pass binds no shadow map for it (the phantom)
    kStill = 1u << 4,                 // never moves (the torte, the lying cakes): its shadow is drawn once
};

struct DrawItem {
    const Model* model = nullptr;
    const SceneObject* object = nullptr;
    const ShaderProgram* program = nullptr;        // in the whole-scene pass
    const ShaderProgram* culledProgram = nullptr;  // behind the frustum test (the ghosts differ)
    unsigned int texture = 0;                      // 0: untextured
    float alpha = 1.0f;
    unsigned int flags = 0;
};

// Arms, body, 32 ghosts, 10 cakes, torte, phantom.
constexpr int kMaxDrawItems = 3 + kGhostCount + kCakeCount + 2;

struct DrawList {
    std::array<DrawItem, kMaxDrawItems> items{};
    int count = 0;
};

// Left arm, right arm, body, the ghosts, the cakes still lying, the torte,
// the phantom. The items point into scene and models, which must outlive it.
DrawList buildDrawList(const Scene& scene, const SceneModels& models, const GamePrograms& programs,
                       const GameTextures& textures, bool transparency);
