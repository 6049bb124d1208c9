// The 32 wandering ghosts and the transparent phantom: patrol, chase, steal
// with a shared cool-down clock, the phantom's flight and bobbing, and the
// ghosts' ground following.
#pragma once

struct Scene;
struct HeightMap;

constexpr float chaseRadius = 30.0f;
constexpr float stealCooldown = 5.0f;
constexpr float fleeRadius = 20.0f;
constexpr float phantomLowest = 117.0f;
constexpr float phantomHighest = 118.0f;

// Gives every ghost its start step of t seconds (no ground test, no heading).
void startGhosts(Scene& scene, float t);
// Ghost i against the other ghosts and the cakes still lying in the world.
bool ghostIsBlocked(const Scene& scene, int i);
// Patrol or chase, take-back on forbidden ground, then facing the way moved.
void moveGhosts(Scene& scene, const HeightMap& map, float dt);
// Cool-downs and steals over all ghosts, reading the clock as now; returns
// the running carried-cake count for the pick-up that follows.
int updateSteals(Scene& scene, float now);
// The phantom flees the heroine or patrols, turns, and bobs between 117 and 118.
void movePhantom(Scene& scene, const HeightMap& map, float dt);
// Stands every ghost on the ground sample under its origin.
void groundGhosts(Scene& scene, const HeightMap& map);
