// Cake pick-up, the icon row and the end conditions.
#include "game/cakes.h"

#include "game/scene.h"
#include "math/collision.h"
#include "render/texture.h"

int collectCakes(Scene& scene, int c) {
    for (SceneObject& cake : scene.cakes) {
        // Height does not matter: a cake on a tier is reached from below too.
        if (!cake.collected && isNear(cake, scene.heroAnchor)) {
            --scene.cakesInWorld;
            cake.collected = true;
            ++c;
        }
    }
    return c;
}

unsigned int iconTexture(const Scene& scene, int k) {
    if (k < scene.carriedCakes) return kCarriedCakeIcon;
    if (k < scene.carriedCakes + scene.cakesInWorld) return kLyingCakeIcon;
    return kLostCakeIcon;
}

bool hasWon(const Scene& scene) {
    return scene.carriedCakes >= winThreshold && isNear(scene.heroAnchor, scene.phantom);
}

bool hasLost(const Scene& scene) { return scene.cakesInWorld + scene.carriedCakes < winThreshold; }
