// Cheap geometric questions about placed things: whether a figure's footprint
// runs into another placed box, and whether two places are close on the
// ground. Yes/no answers, no response.
#pragma once

#include <glm/glm.hpp>

#include "math/box.h"

constexpr float footprintMargin = 2.0f;  // y tolerance of boxHitsObject
constexpr float nearDistance = 2.0f;     // half side of the isNear square

// Tests eight points of the bottom face of box (corners and edge midpoints)
// against other (a world box), widened by footprintMargin in y.
bool boxHitsObject(const Box& box, const Box& other);
// Less than nearDistance apart in x and in z; y is ignored.
bool isNear(const glm::vec3& a, const glm::vec3& b);
// Distance over the ground between two places (y ignored).
float groundDistance(const glm::vec3& from, const glm::vec3& to);
