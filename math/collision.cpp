// Footprint and proximity tests. All comparisons are strict, so boxes that
// only touch do not hit and places exactly nearDistance apart are not near.
#include "math/collision.h"

#include <cmath>

bool boxHitsObject(const Box& box, const Box& other) {
    float y = box.min.y;
    // A figure standing up to footprintMargin above or below still counts.
    if (!(other.min.y - footprintMargin < y && y < other.max.y + footprintMargin)) return false;
    float xm = (box.min.x + box.max.x) * 0.5f;
    float zm = (box.min.z + box.max.z) * 0.5f;
    const float points[8][2] = {{box.min.x, box.min.z}, {box.max.x, box.min.z}, {box.min.x, box.max.z},
                                {box.max.x, box.max.z}, {xm, box.min.z},        {xm, box.max.z},
                                {box.min.x, zm},        {box.max.x, zm}};
    for (const auto& point : points) {
        if (other.min.x < point[0] && point[0] < other.max.x && other.min.z < point[1] && point[1] < other.max.z)
            return true;
    }
    return false;
}

bool isNear(const glm::vec3& a, const glm::vec3& b) {
    return std::fabs(a.x - b.x) < nearDistance && std::fabs(a.z - b.z) < nearDistance;
}

float groundDistance(const glm::vec3& from, const glm::vec3& to) {
    const float dx = to.x - from.x;
    const float dz = to.z - from.z;
    return std::sqrt(dx * dx + dz * dz);
}
