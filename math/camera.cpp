// Cameras: rotations, mouse-look, zoom, ground steps and the view matrix.
#include "math/camera.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr double kDegreesToRadians = 3.1415927 / 180.0;

// Ground direction of the camera: where the eye sits relative to the target,
// flattened onto the ground. Returns false when the eye is straight above
// the target and there is no direction to walk in.
bool groundDirection(const Camera& camera, float& gx, float& gz) {
    glm::vec4 p = camera.orientation * glm::vec4(camera.position, 1.0f);
    float length = std::sqrt(p.x * p.x + p.z * p.z);
    if (!(length > 0.0f)) return false;
    gx = p.x / length;
    gz = p.z / length;
    return true;
}

glm::vec3 groundStep(const Camera& camera, float dt, bool sideways) {
    float gx = 0.0f, gz = 0.0f;
    if (!groundDirection(camera, gx, gz)) return glm::vec3(0.0f);
    float distance = 100.0f * dt;
    if (sideways) return glm::vec3(gz / 5.0f * distance, 0.0f, -gx / 5.0f * distance);
    return glm::vec3(gx / 5.0f * distance, 0.0f, gz / 5.0f * distance);
}

}  // namespace

glm::mat4 rotX(double degrees) {
    double a = degrees * kDegreesToRadians;
    float c = static_cast<float>(std::cos(a));
    float s = static_cast<float>(std::sin(a));
    glm::mat4 m(1.0f);  // m[column][row]
    m[1][1] = c;
    m[2][1] = -s;
    m[1][2] = s;
    m[2][2] = c;
    return m;
}

glm::mat4 rotY(double degrees) {
    double a = degrees * kDegreesToRadians;
    float c = static_cast<float>(std::cos(a));
    float s = static_cast<float>(std::sin(a));
    glm::mat4 m(1.0f);
    m[0][0] = c;
    m[2][0] = s;
    m[0][2] = -s;
    m[2][2] = c;
    return m;
}

float look(Camera& camera, int mouseX, int mouseY, float dt) {
    // The window's centre in whole pixels, as the cursor is.
    const int centreX = camera.width / 2;
    const int centreY = camera.height / 2;
    return turnCamera(camera, static_cast<float>(centreX - mouseX) / static_cast<float>(camera.width),
                      static_cast<float>(mouseY - centreY) / static_cast<float>(camera.height), dt);
}

float turnCamera(Camera& camera, float turnX, float turnY, float dt) {
    float oldYaw = camera.yaw;
    camera.yaw += turnX * 5.0f * camera.speed * dt;
    float candidate = camera.pitch + 2.0f * turnY * camera.speed * dt;
    if (candidate > 0.0f && candidate < 50.0f) camera.pitch = candidate;
    camera.orientation = rotY(camera.yaw) * rotX(-camera.pitch) * glm::translate(glm::mat4(1.0f), camera.position);
    return camera.yaw - oldYaw;
}

void zoomIn(Camera& camera, float dt) {
    float d = glm::length(camera.position);
    if (d <= 5.0f) return;
    // A step that would reach or pass the target would put the eye on it
    // (no direction left to walk or zoom out in) or flip the view.
    if (100.0f * dt >= d) return;
    camera.position -= (100.0f * dt) * camera.position / d;
    look(camera, camera.width / 2, camera.height / 2, dt);
}

void zoomOut(Camera& camera, float dt) {
    float d = glm::length(camera.position);
    if (d >= 20.0f || !(d > 0.0f)) return;
    camera.position += (100.0f * dt) * camera.position / d;
    look(camera, camera.width / 2, camera.height / 2, dt);
}

void moveTarget(Camera& camera, float dt, int sideways) {
    glm::vec3 step = groundStep(camera, dt, sideways == 1);
    camera.target.x += step.x;
    camera.target.z += step.z;
}

glm::vec3 forwardStep(const Camera& camera, float dt) { return groundStep(camera, dt, false); }

glm::vec3 sideStep(const Camera& camera, float dt) { return groundStep(camera, dt, true); }

glm::vec3 eyeOffset(const Camera& camera) {
    glm::vec4 row(camera.position, 1.0f);
    return glm::vec3(row * (rotX(camera.pitch) * rotY(-camera.yaw)));
}

glm::mat4 pitchRotation(const Camera& camera) { return rotX(-camera.pitch); }

glm::mat4 viewMatrix(const Camera& camera) {
    return glm::inverse(camera.orientation) * glm::translate(glm::mat4(1.0f), -camera.target);
}
