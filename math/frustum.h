// View-frustum culling: six planes from a camera and the window size, and a
// conservative box-against-planes test.
#pragma once

#include <glm/glm.hpp>

#include "math/box.h"
#include "math/camera.h"

// a*x + b*y + c*z + d >= 0 on the inner side; the normal is not normalised.
struct Plane {
    float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
};

enum FrustumSide { FrustumLeft, FrustumRight, FrustumTop, FrustumBottom, FrustumNear, FrustumFar };

struct FrustumPlanes {
    Plane planes[6];  // left, right, top, bottom, near, far
};

// The volume the scene projection shows from camera in a width x height
// window (60 degrees vertical, near 0.1, far 1000).
FrustumPlanes buildFrustumPlanes(const Camera& camera, int width, int height);
// Bounds placed by model: false only when all eight corners lie outside one plane.
bool isBoxInFrustum(const FrustumPlanes& planes, const glm::mat4& model, const Box& bounds);
