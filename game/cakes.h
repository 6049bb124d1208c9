// Cakes, scoring and the two end conditions. Every cake is lying in the
// world, carried by the heroine, or lost to a ghost.
#pragma once

struct Scene;

constexpr int winThreshold = 8;

// What icon k of the row shows, from the left: carried cakes first, then
// those still lying in the world, then the lost ones.
enum class CakeIcon { Carried, Lying, Lost };

// Picks up every lying cake within reach of the heroine, continuing the
// running count c of the steal rule; returns the new carried count.
int collectCakes(Scene& scene, int c);
CakeIcon iconState(const Scene& scene, int k);
// Enough cakes carried and the heroine at the phantom.
bool hasWon(const Scene& scene);
// Fewer cakes left than the heroine must deliver.
bool hasLost(const Scene& scene);
