// Box and proximity tests. All comparisons are strict, so boxes that only
// touch do not hit and objects exactly nearDistance apart are not near.
#include "math/collision.h"

#include <algorithm>
#include <cmath>

WorldBox worldBox(const SceneObject& object, const Model& model) {
    const float xs[2] = {model.minX, model.maxX};
    const float ys[2] = {model.minY, model.maxY};
    const float zs[2] = {model.minZ, model.maxZ};
    WorldBox box;
    bool first = true;
    for (float x : xs) {
        for (float y : ys) {
            for (float z : zs) {
                glm::vec4 p = object.model * glm::vec4(x, y, z, 1.0f);
                if (first) {
                    box = WorldBox{p.x, p.y, p.z, p.x, p.y, p.z};
                    first = false;
                    continue;
                }
                box.minX = std::min(box.minX, p.x);
                box.minY = std::min(box.minY, p.y);
                box.minZ = std::min(box.minZ, p.z);
                box.maxX = std::max(box.maxX, p.x);
                box.maxY = std::max(box.maxY, p.y);
                box.maxZ = std::max(box.maxZ, p.z);
            }
        }
    }
    return box;
}

bool boxHitsObject(const WorldBox& box, const SceneObject& object, const Model& model) {
    WorldBox other = worldBox(object, model);
    float y = box.minY;
    // A figure standing up to footprintMargin above or below still counts.
    if (!(other.minY - footprintMargin < y && y < other.maxY + footprintMargin)) return false;
    float xm = (box.minX + box.maxX) * 0.5f;
    float zm = (box.minZ + box.maxZ) * 0.5f;
    const float points[8][2] = {{box.minX, box.minZ}, {box.maxX, box.minZ}, {box.minX, box.maxZ},
                                {box.maxX, box.maxZ}, {xm, box.minZ},       {xm, box.maxZ},
                                {box.minX, zm},       {box.maxX, zm}};
    for (const auto& point : points) {
        if (other.minX < point[0] && point[0] < other.maxX && other.minZ < point[1] && point[1] < other.maxZ) {
            return true;
        }
    }
    return false;
}

bool isNear(const SceneObject& a, const SceneObject& b) {
    glm::vec3 pa = a.worldPosition();
    glm::vec3 pb = b.worldPosition();
    return std::fabs(pa.x - pb.x) < nearDistance && std::fabs(pa.z - pb.z) < nearDistance;
}
