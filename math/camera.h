// Cameras: the orbiting third-person camera's mouse-look, zoom and walking
// steps, and the view matrix every draw builds from a camera. Angles are
// degrees throughout; conversion to radians happens at each call.
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

// Hand-built right-handed rotations (degrees), as the camera and light use.
glm::mat4 rotX(double degrees);
glm::mat4 rotY(double degrees);

// Mouse-look; returns the change of yaw in degrees.
float look(Camera& camera, int mouseX, int mouseY, float dt);
// Look by the cursor's offset from the window centre as fractions of the
// window: turnX of width (positive left of the centre), turnY of height
// (positive below it). A turnX of 0.5 turns 250 degrees a second at the
// usual speed of 100. Returns the change of yaw in degrees.
float turnCamera(Camera& camera, float turnX, float turnY, float dt);
// Zoom between the distances 5 and 20; a step that would reach the target is refused.
void zoomIn(Camera& camera, float dt);
void zoomOut(Camera& camera, float dt);
// Walks the camera's target on the ground; sideways == 1 walks to the side.
void moveTarget(Camera& camera, float dt, int sideways);
// The ground steps moveTarget takes, for the figures that walk with it.
glm::vec3 forwardStep(const Camera& camera, float dt);
glm::vec3 sideStep(const Camera& camera, float dt);
// Eye offset from the target in world axes (target not added).
glm::vec3 eyeOffset(const Camera& camera);
glm::mat4 pitchRotation(const Camera& camera);
// World to eye: inverse(orientation) * T(-target).
glm::mat4 viewMatrix(const Camera& camera);
