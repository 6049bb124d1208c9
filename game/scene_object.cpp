// Scene-object operations. rand() is the runtime's, never seeded, so the
// order of calls here fixes every patrol of every run.
#include "game/scene_object.h"

#include <cmath>
#include <cstdlib>
#include <glm/gtc/matrix_transform.hpp>

namespace {

// Draws dirX and dirZ; a third of the draws point straight along -x.
void drawDirection(SceneObject& object) {
    object.dirX = std::rand() % 5 + 1;  // NOLINT(cert-msc50-cpp): the game's one fixed sequence
    int r = std::rand();                // NOLINT(cert-msc50-cpp): the game's one fixed sequence
    object.dirZ = r % 3;
    if (object.dirZ == 0) object.dirX = -object.dirX;
}

void normaliseDirection(SceneObject& object) {
    float x = static_cast<float>(object.dirX);
    float z = static_cast<float>(object.dirZ);
    float length = std::sqrt(x * x + z * z);
    object.direction = glm::vec3(x / length, 0.0f, z / length);
}

SceneObject makeObjectWithPeriod(const glm::vec3& position, const Material& material, int periodBase, int periodSpan) {
    SceneObject object;
    drawDirection(object);
    normaliseDirection(object);
    object.elapsed = 0.0f;
    object.position = position;
    object.ambient = material.ambient;
    object.diffuse = material.diffuse;
    object.specular = material.specular;
    object.shininess = material.shininess;
    object.period = std::rand() % periodSpan + periodBase;  // NOLINT(cert-msc50-cpp): the game's one fixed sequence
    object.model = glm::translate(glm::mat4(1.0f), position);
    object.reversed = false;
    object.collected = false;
    object.colour = glm::vec3(1.0f);
    object.heading = 0.0f;
    return object;
}

}  // namespace

void SceneObject::applyWorld(const glm::mat4& m) {
    position = glm::vec3(m * glm::vec4(position, 1.0f));
    model = m * model;
}

void SceneObject::applyLocal(const glm::mat4& m) {
    position = glm::vec3(glm::vec4(position, 1.0f) * m);
    model = model * m;
}

glm::vec3 SceneObject::worldPosition() const { return glm::vec3(model[3]); }

void SceneObject::patrolStep(float dt) {
    elapsed += dt;
    if (static_cast<float>(period) * 0.5f < elapsed) {
        elapsed = 0.0f;
        reversed = !reversed;
    }
    float sense = reversed ? 1.0f : -1.0f;
    glm::vec3 step(sense * dt * direction.x, 0.0f, sense * dt * direction.z);
    model = glm::translate(glm::mat4(1.0f), step) * model;
    position.x += step.x;
    position.z += step.z;
}

void SceneObject::setHeading(float degrees) {
    model = model * glm::rotate(glm::mat4(1.0f), glm::radians(-heading), glm::vec3(0.0f, 0.0f, 1.0f));
    model = model * glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(0.0f, 0.0f, 1.0f));
    heading = degrees;
}

void SceneObject::rerollDirection() {
    drawDirection(*this);
    normaliseDirection(*this);
}

SceneObject makePlainObject() {
    SceneObject object;
    drawDirection(object);
    return object;
}

SceneObject makeObjectAt(const glm::vec3& position, const Material& material) {
    return makeObjectWithPeriod(position, material, 5, 20);
}

SceneObject makeObject(const Material& material) { return makeObjectWithPeriod(glm::vec3(0.0f), material, 20, 50); }
