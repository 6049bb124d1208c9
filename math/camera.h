// Cameras and projections: the orbiting third-person camera, the fixed
// overlay camera, the light's camera and projection, and the window-size
// callback that keeps the projections in step with the window.
// Angles are degrees throughout; conversion to radians happens at each call.
#pragma once

#include <glm/glm.hpp>

struct Camera {
    glm::mat4 orientation{1.0f};  // RotY(yaw) * RotX(-pitch) * T(position) once look() has run
    glm::vec3 position{0.0f};     // eye offset in the camera's own frame; its length is the distance
    glm::vec3 target{0.0f};       // world point the camera orbits and follows
    float yaw = 0.0f;             // degrees about world y
    float pitch = 0.0f;           // degrees of downward tilt, kept strictly inside (0, 50)
    float speed = 100.0f;         // mouse and zoom sensitivity
    int width = 0;                // viewport size the mouse is measured against
    int height = 0;
};

// Process-wide view state, created at start-up in this order.
extern int screenWidth;
extern int screenHeight;
extern Camera mainCamera;
extern Camera overlayCamera;
extern glm::mat4 projectionMatrix;
extern glm::mat4 overlayProjection;
extern Camera lightCamera;
extern glm::mat4 lightProjection;
extern glm::mat4 lightViewBase;
extern const glm::vec3 lightPosition;
extern glm::mat4 shadowBiasTranslate;
extern glm::mat4 shadowBiasScale;

// Hand-built right-handed rotations (degrees), as the camera and light use.
glm::mat4 rotX(double degrees);
glm::mat4 rotY(double degrees);

// Mouse-look; returns the change of yaw in degrees.
float look(Camera& camera, int mouseX, int mouseY, float dt);
void zoomIn(float dt);
void zoomOut(float dt);
// Walks mainCamera.target on the ground; sideways == 1 walks to the side.
void moveTarget(float dt, int sideways);
glm::vec3 forwardStep(float dt);
glm::vec3 sideStep(float dt);
// Eye offset from the target in world axes (target not added).
glm::vec3 eyeOffset();
glm::mat4 pitchRotation(const Camera& camera);
glm::mat4 viewMatrix(const Camera& camera);
// Window-size callback. A zero-sized (minimised) window keeps the old state.
void onWindowResize(int width, int height);

// Puts every global above back to its start-up value (used by tests and by
// anyone who wants a fresh game in one process).
void resetCameras();
