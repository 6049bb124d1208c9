// Cake pick-up, the icon row's states and the end conditions.
#include "game/cakes.h"

#include "game/scene.h"
#include "math/collision.h"

int collectCakes(Scene& scene, int c) {
    for (SceneObject& cake : scene.cakes) {
        // Height does not matter: a cake on a tier is reached from below too.
        if (!cake.collected && isNear(cake.worldPosition(), scene.heroAnchor.worldPosition())) {
            --scene.cakesInWorld;
            cake.collected = true;
            ++c;
        }
    }
    return c;
}

CakeIcon iconState(const Scene& scene, int k) {
    if (k < scene.carriedCakes) return CakeIcon::Carried;
    if (k < scene.carriedCakes + scene.cakesInWorld) return CakeIcon::Lying;
    return CakeIcon::Lost;
}

bool hasWon(const Scene& scene) {
    return scene.carriedCakes >= winThreshold &&
           isNear(scene.heroAnchor.worldPosition(), scene.phantom.worldPosition());
}

bool hasLost(const Scene& scene) { return scene.cakesInWorld + scene.carriedCakes < winThreshold; }
