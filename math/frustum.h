// View-frustum culling: six planes from the main camera and a conservative
// box-against-planes test.
#pragma once

#include <glm/glm.hpp>

struct Model;
struct SceneObject;

// a*x + b*y + c*z + d >= 0 on the inner side; the normal is not normalised.
struct Plane {
    float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
};

enum FrustumSide { FrustumLeft, FrustumRight, FrustumTop, FrustumBottom, FrustumNear, FrustumFar };

struct FrustumPlanes {
    Plane planes[6];  // left, right, top, bottom, near, far
};

// From mainCamera, screenWidth and screenHeight: the volume the scene
// projection shows (60 degrees vertical, near 0.1, far 1000).
FrustumPlanes buildFrustumPlanes();
bool isBoxInFrustum(const FrustumPlanes& planes, const SceneObject& object, const Model& model);
