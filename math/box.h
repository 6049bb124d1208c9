// Axis-aligned boxes: the bounds of a model in its own space, and the box
// around those bounds once the model is placed in the world. The one box type
// of the game; an empty box has inverted infinite corners, so growing it by
// any point makes it that point.
#pragma once

#include <limits>

#include <glm/glm.hpp>

struct Box {
    glm::vec3 min{std::numeric_limits<float>::infinity()};
    glm::vec3 max{-std::numeric_limits<float>::infinity()};
};

// Widens the box to hold p.
void growBox(Box& box, const glm::vec3& p);
// The box around bounds placed by model; it grows when the model is rotated.
Box worldBox(const glm::mat4& model, const Box& bounds);
// Centre of the box, with non-finite coordinates (an empty box) read as 0.
glm::vec3 boxCentre(const Box& box);
