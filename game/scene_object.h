// The scene-object record: where a placed thing is (model matrix and tracked
// position), how it is lit (a small material), and the back-and-forth patrol
// the ghosts use. A plain value, copied freely.
#pragma once

#include <glm/glm.hpp>

struct Material {
    float ambient = 0.2f;
    float diffuse = 0.6f;
    float specular = 0.2f;
    int shininess = 100;
};

struct SceneObject {
    glm::vec3 colour{0.0f};
    glm::vec3 position{0.0f};
    glm::mat4 model{1.0f};
    int period = 0;         // patrol period in seconds; reverses every period / 2
    bool reversed = false;  // true moves along +direction
    float ambient = 0.2f;
    float diffuse = 0.6f;
    float specular = 0.2f;
    int shininess = 100;
    int dirX = 0;            // +-1 .. +-5
    int dirZ = 0;            // 0 .. 2
    bool collected = false;  // a cake that has been taken
    glm::vec3 direction{0.0f};
    float elapsed = 0.0f;  // seconds since the last patrol reversal
    float heading = 0.0f;  // degrees last given to setHeading

    // Transform in world space: model = M * model.
    void applyWorld(const glm::mat4& m);
    // Transform in the object's own space: model = model * M.
    void applyLocal(const glm::mat4& m);
    glm::vec3 worldPosition() const;
    // Advances the patrol by dt seconds; a negative dt steps back.
    void patrolStep(float dt);
    // Turns the object about its own z axis to an absolute angle in degrees.
    void setHeading(float degrees);
    // Draws a new random patrol direction (two draws from gameRandom).
    void rerollDirection();
};

// The plain constructor of the object arrays: identity, default material, a
// random direction pair (two draws from gameRandom) and no normalised direction.
SceneObject makePlainObject();
// An object standing at position; three draws from gameRandom (dirX, dirZ, period 5..24).
SceneObject makeObjectAt(const glm::vec3& position, const Material& material);
// An object at the origin; three draws from gameRandom (dirX, dirZ, period 20..69).
SceneObject makeObject(const Material& material);
