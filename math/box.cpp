// Axis-aligned boxes: growing, placing and centring.
#include "math/box.h"

#include <algorithm>
#include <cmath>

void growBox(Box& box, const glm::vec3& p) {
    box.min = glm::vec3(std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z));
    box.max = glm::vec3(std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z));
}

Box worldBox(const glm::mat4& model, const Box& bounds) {
    Box box;
    for (int corner = 0; corner < 8; ++corner) {
        glm::vec4 p =
            model * glm::vec4(corner & 1 ? bounds.max.x : bounds.min.x, corner & 2 ? bounds.max.y : bounds.min.y,
                              corner & 4 ? bounds.max.z : bounds.min.z, 1.0f);
        growBox(box, glm::vec3(p));
    }
    return box;
}

glm::vec3 boxCentre(const Box& box) {
    glm::vec3 centre = (box.min + box.max) * 0.5f;
    for (int axis = 0; axis < 3; ++axis)
        if (!std::isfinite(centre[axis])) centre[axis] = 0.0f;
    return centre;
}
