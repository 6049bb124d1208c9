// The view state of a run: the window size, the scene, overlay and light
// cameras and their projections. One record, made with its start-up values
// and kept in step with the window by onWindowResize; the app owns it and
// hands it down, tests make their own.
#pragma once

#include <glm/glm.hpp>

#include "math/camera.h"

struct View {
    int screenWidth = 1200;
    int screenHeight = 1000;
    Camera mainCamera;     // the third-person camera behind the heroine
    Camera overlayCamera;  // fixed, looking down -z at the overlay plane
    glm::mat4 projectionMatrix{1.0f};
    glm::mat4 overlayProjection{1.0f};
    Camera lightCamera;  // a copy of the start camera; only its pitch is used
    glm::mat4 lightProjection{1.0f};
    glm::mat4 lightViewBase{1.0f};
    glm::vec3 lightPosition{0.0f};
    glm::mat4 shadowBiasTranslate{1.0f};
    glm::mat4 shadowBiasScale{1.0f};
};

// Everything at its start-up value for a 1200 x 1000 window.
View makeView();
// Window-size callback. A zero-sized (minimised) window keeps the old state.
void onWindowResize(View& view, int width, int height);
// The light's view: inverse(lightViewBase) * T(-lightPosition).
glm::mat4 lightViewMatrix(const View& view);
// World to shadow-map texture space: bias * lightProjection * light view.
glm::mat4 shadowTextureMatrix(const View& view);
