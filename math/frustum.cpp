// View-frustum planes from a camera and the box-against-planes test.
#include "math/frustum.h"

#include <cmath>

namespace {

constexpr float kNearDistance = 0.1f;
constexpr float kFarDistance = 1000.0f;
constexpr double kHalfFieldOfViewRadians = 30.0 * 3.1415927 / 180.0;
// The side faces are widened a hair so that float rounding at the screen
// edge can only ever keep an object, never drop a visible one.
constexpr float kSideMargin = 1.001f;

Plane planeThrough(const glm::vec3& normal, const glm::vec3& corner) {
    return Plane{normal.x, normal.y, normal.z, -glm::dot(normal, corner)};
}

}  // namespace

FrustumPlanes buildFrustumPlanes(const Camera& camera, int width, int height) {
    // Everything comes from the orientation the view matrix is made of, so
    // the volume is exactly what the scene draws show (eyeOffset() only
    // agrees with it once look() has rebuilt the orientation).
    const glm::mat4& orientation = camera.orientation;
    glm::vec3 eye = camera.target + glm::vec3(orientation[3]);
    glm::vec3 direction = glm::normalize(-glm::vec3(orientation * glm::vec4(0.0f, 0.0f, 1.0f, 0.0f)));
    glm::vec3 up = glm::normalize(glm::vec3(orientation * glm::vec4(0.0f, 1.0f, 0.0f, 0.0f)));
    glm::vec3 right = glm::normalize(glm::cross(direction, up));

    float aspect = static_cast<float>(width) / static_cast<float>(height > 0 ? height : 1);
    float tangent = static_cast<float>(std::tan(kHalfFieldOfViewRadians)) * kSideMargin;
    float hn = tangent * kNearDistance, wn = hn * aspect;
    float hf = tangent * kFarDistance, wf = hf * aspect;

    glm::vec3 nc = eye + direction * kNearDistance;
    glm::vec3 fc = eye + direction * kFarDistance;
    glm::vec3 ntl = nc + hn * up - wn * right, ntr = nc + hn * up + wn * right;
    glm::vec3 nbl = nc - hn * up - wn * right, nbr = nc - hn * up + wn * right;
    glm::vec3 ftl = fc + hf * up - wf * right, ftr = fc + hf * up + wf * right;
    glm::vec3 fbl = fc - hf * up - wf * right, fbr = fc - hf * up + wf * right;

    FrustumPlanes frustum;
    frustum.planes[FrustumLeft] = planeThrough(glm::cross(fbl - nbl, ntl - nbl), nbl);
    frustum.planes[FrustumRight] = planeThrough(glm::cross(nbr - fbr, ftr - fbr), fbr);
    frustum.planes[FrustumTop] = planeThrough(glm::cross(ftr - ftl, ntl - ftl), ftl);
    frustum.planes[FrustumBottom] = planeThrough(glm::cross(nbr - nbl, fbl - nbl), nbl);
    frustum.planes[FrustumNear] = planeThrough(glm::cross(nbl - nbr, ntr - nbr), nbr);
    frustum.planes[FrustumFar] = planeThrough(glm::cross(fbr - fbl, ftl - fbl), fbl);
    return frustum;
}

bool isBoxInFrustum(const FrustumPlanes& planes, const glm::mat4& model, const Box& bounds) {
    const float xs[2] = {bounds.min.x, bounds.max.x};
    const float ys[2] = {bounds.min.y, bounds.max.y};
    const float zs[2] = {bounds.min.z, bounds.max.z};
    for (const Plane& plane : planes.planes) {
        bool anyInside = false;
        for (int corner = 0; corner < 8 && !anyInside; ++corner) {
            glm::vec4 p = model * glm::vec4(xs[corner & 1], ys[(corner >> 1) & 1], zs[corner >> 2], 1.0f);
            // Not "< 0" negated: a corner exactly on the plane is inside.
            anyInside = !(plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d * p.w < 0.0f);
        }
        if (!anyInside) return false;
    }
    return true;
}
