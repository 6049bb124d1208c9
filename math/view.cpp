// The view state: start-up values, the resize rule and the light matrices.
#include "math/view.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

glm::mat4 perspectiveFor(int width, int height) {
    return glm::perspective(glm::radians(60.0f), static_cast<float>(width) / static_cast<float>(height), 0.1f, 1000.0f);
}

Camera makeMainCamera(int width, int height) {
    Camera camera;
    camera.position = glm::vec3(0.0f, 0.0f, 15.0f);
    camera.pitch = 40.0f;
    camera.width = width;
    camera.height = height;
    // Built as look() builds it, so the first frames already show the 40
    // degree pitch the camera claims (a bare translation would show a level
    // view until the mouse first turns the camera, and culling would work
    // from a different eye than the one drawn).
    camera.orientation = rotY(camera.yaw) * rotX(-camera.pitch) * glm::translate(glm::mat4(1.0f), camera.position);
    moveTarget(camera, 15.0f, 0);
    return camera;
}

Camera makeOverlayCamera(int width, int height) {
    Camera camera;
    camera.position = glm::vec3(0.0f, 0.0f, 10.0f);
    camera.width = width;
    camera.height = height;
    look(camera, camera.width / 2, camera.height / 2, 10.0f);
    return camera;
}

}  // namespace

View makeView() {
    View view;
    view.mainCamera = makeMainCamera(view.screenWidth, view.screenHeight);
    view.overlayCamera = makeOverlayCamera(view.screenWidth, view.screenHeight);
    view.projectionMatrix = perspectiveFor(view.screenWidth, view.screenHeight);
    // y runs downwards until the first resize replaces this.
    view.overlayProjection = glm::ortho(0.0f, 800.0f, 600.0f, 0.0f, 0.1f, 10.0f);
    view.lightCamera = view.mainCamera;
    view.lightProjection = glm::perspective(glm::radians(110.0f), 4000.0f / 4000.0f, 200.0f, 500.0f);
    view.lightPosition = glm::vec3(0.0f, 200.0f, 200.0f);
    view.lightViewBase = rotY(0.0) * rotX(-80.0) * glm::translate(glm::mat4(1.0f), view.lightPosition);
    view.shadowBiasTranslate = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f));
    view.shadowBiasScale = glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));
    return view;
}

void onWindowResize(View& view, int width, int height) {
    // A minimised window reports 0 x 0: there is no aspect ratio to take, so
    // the last good projections and sizes stay until it is restored.
    if (width <= 0 || height <= 0) return;
    view.screenWidth = width;
    view.screenHeight = height;
    view.projectionMatrix = perspectiveFor(width, height);
    view.overlayProjection = glm::ortho(0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height), 0.1f, 10.0f);
    view.mainCamera.width = view.overlayCamera.width = width;
    view.mainCamera.height = view.overlayCamera.height = height;
}

glm::mat4 lightViewMatrix(const View& view) {
    return glm::inverse(view.lightViewBase) * glm::translate(glm::mat4(1.0f), -view.lightPosition);
}

glm::mat4 shadowTextureMatrix(const View& view) {
    return view.shadowBiasTranslate * view.shadowBiasScale * view.lightProjection * lightViewMatrix(view);
}
