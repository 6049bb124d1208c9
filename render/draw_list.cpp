// Building the frame's draw list from the scene.
#include "render/draw_list.h"

#include "render/game_programs.h"
#include "render/game_textures.h"
#include "render/scene_models.h"

namespace {

constexpr float kPhantomAlpha = 0.7f;

void add(DrawList& list, const DrawItem& item) { list.items[static_cast<std::size_t>(list.count++)] = item; }

}  // namespace

DrawList buildDrawList(const Scene& scene, const SceneModels& models, const GamePrograms& programs,
                       const GameTextures& textures, bool transparency) {
    const ShaderProgram* textured = &programs.litTextured;
    const ShaderProgram* plain = &programs.litPlain;
    DrawList list;
    add(list, {&models.leftArm, &scene.leftArm, textured, textured, textures.leftArm, 1.0f, kCastsShadow});
    add(list, {&models.rightArm, &scene.rightArm, textured, textured, textures.rightArm, 1.0f, kCastsShadow});
    add(list, {&models.body, &scene.heroBody, textured, textured, textures.body, 1.0f, kCastsShadow});
    // Behind the frustum test the ghosts are lit without their texture.
    for (const SceneObject& ghost : scene.ghosts)
        add(list, {&models.ghost, &ghost, textured, plain, textures.ghost, 1.0f, kCastsShadow});
    for (const SceneObject& cake : scene.cakes)
        if (!cake.collected) add(list, {&models.cake, &cake, plain, plain, 0, 1.0f, kCastsShadow | kStill});
    add(list, {&models.torte, &scene.torte, textured, textured, textures.torte, 1.0f, kCastsShadow | kTorte | kStill});
    // The phantom casts no shadow and is drawn last, over everything opaque.
    unsigned int phantomFlags = kNoShadowMapWhenWhole | (transparency ? kBlended : 0u);
    add(list,
        {&models.phantom, &scene.phantom, &programs.seeThrough, &programs.seeThrough, 0, kPhantomAlpha, phantomFlags});
    return list;
}
