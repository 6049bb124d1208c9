// Cameras, projections and the window-size callback.
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

void moveCameraTarget(Camera& camera, float dt, int sideways) {
    glm::vec3 step = groundStep(camera, dt, sideways == 1);
    camera.target.x += step.x;
    camera.target.z += step.z;
}

glm::mat4 perspectiveFor(int width, int height) {
    return glm::perspective(glm::radians(60.0f), static_cast<float>(width) / static_cast<float>(height), 0.1f,
                            1000.0f);
}

Camera makeMainCamera() {
    Camera camera;
    camera.position = glm::vec3(0.0f, 0.0f, 15.0f);
    camera.pitch = 40.0f;
    camera.width = screenWidth;
    camera.height = screenHeight;
    // Built as look() builds it, so the first frames already show the 40
    // degree pitch the camera claims (a bare translation would show a level
    // view until the mouse first turns the camera, and culling would work
    // from a different eye than the one drawn).
    camera.orientation = rotY(camera.yaw) * rotX(-camera.pitch) * glm::translate(glm::mat4(1.0f), camera.position);
    moveCameraTarget(camera, 15.0f, 0);
    return camera;
}

Camera makeOverlayCamera() {
    Camera camera;
    camera.position = glm::vec3(0.0f, 0.0f, 10.0f);
    camera.width = screenWidth;
    camera.height = screenHeight;
    look(camera, camera.width / 2, camera.height / 2, 10.0f);
    return camera;
}

}  // namespace

// Definition order is the start-up order: later values read earlier ones.
int screenWidth = 1200;
int screenHeight = 1000;
Camera mainCamera = makeMainCamera();
Camera overlayCamera = makeOverlayCamera();
glm::mat4 projectionMatrix = perspectiveFor(1200, 1000);
// y runs downwards until the first resize replaces this.
glm::mat4 overlayProjection = glm::ortho(0.0f, 800.0f, 600.0f, 0.0f, 0.1f, 10.0f);
Camera lightCamera = mainCamera;
glm::mat4 lightProjection = glm::perspective(glm::radians(110.0f), 4000.0f / 4000.0f, 200.0f, 500.0f);
const glm::vec3 lightPosition(0.0f, 200.0f, 200.0f);
glm::mat4 lightViewBase = rotY(0.0) * rotX(-80.0) * glm::translate(glm::mat4(1.0f), lightPosition);
glm::mat4 shadowBiasTranslate = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f));
glm::mat4 shadowBiasScale = glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));

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
    float oldYaw = camera.yaw;
    camera.yaw += (static_cast<float>(camera.width / 2 - mouseX) / static_cast<float>(camera.width)) * 5.0f *
                  camera.speed * dt;
    float candidate = camera.pitch + 2.0f *
                                         (static_cast<float>(mouseY - camera.height / 2) /
                                          static_cast<float>(camera.height)) *
                                         camera.speed * dt;
    if (candidate > 0.0f && candidate < 50.0f) camera.pitch = candidate;
    camera.orientation =
        rotY(camera.yaw) * rotX(-camera.pitch) * glm::translate(glm::mat4(1.0f), camera.position);
    return camera.yaw - oldYaw;
}

void zoomIn(float dt) {
    float d = glm::length(mainCamera.position);
    if (d <= 5.0f) return;
    // A step that would reach or pass the target would put the eye on it
    // (no direction left to walk or zoom out in) or flip the view.
    if (100.0f * dt >= d) return;
    mainCamera.position -= (100.0f * dt) * mainCamera.position / d;
    look(mainCamera, mainCamera.width / 2, mainCamera.height / 2, dt);
}

void zoomOut(float dt) {
    float d = glm::length(mainCamera.position);
    if (d >= 20.0f || !(d > 0.0f)) return;
    mainCamera.position += (100.0f * dt) * mainCamera.position / d;
    look(mainCamera, mainCamera.width / 2, mainCamera.height / 2, dt);
}

void moveTarget(float dt, int sideways) { moveCameraTarget(mainCamera, dt, sideways); }

glm::vec3 forwardStep(float dt) { return groundStep(mainCamera, dt, false); }

glm::vec3 sideStep(float dt) { return groundStep(mainCamera, dt, true); }

glm::vec3 eyeOffset() {
    glm::vec4 row(mainCamera.position, 1.0f);
    return glm::vec3(row * (rotX(mainCamera.pitch) * rotY(-mainCamera.yaw)));
}

glm::mat4 pitchRotation(const Camera& camera) { return rotX(-camera.pitch); }

glm::mat4 viewMatrix(const Camera& camera) {
    return glm::inverse(camera.orientation) * glm::translate(glm::mat4(1.0f), -camera.target);
}

void onWindowResize(int width, int height) {
    // A minimised window reports 0 x 0: there is no aspect ratio to take, so
    // the last good projections and sizes stay until it is restored.
    if (width <= 0 || height <= 0) return;
    screenWidth = width;
    screenHeight = height;
    projectionMatrix = perspectiveFor(width, height);
    overlayProjection = glm::ortho(0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height), 0.1f, 10.0f);
    mainCamera.width = overlayCamera.width = width;
    mainCamera.height = overlayCamera.height = height;
}

void resetCameras() {
    screenWidth = 1200;
    screenHeight = 1000;
    mainCamera = makeMainCamera();
    overlayCamera = makeOverlayCamera();
    projectionMatrix = perspectiveFor(1200, 1000);
    overlayProjection = glm::ortho(0.0f, 800.0f, 600.0f, 0.0f, 0.1f, 10.0f);
    lightCamera = mainCamera;
}
