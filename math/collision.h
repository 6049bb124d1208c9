// Cheap geometric questions about placed models: a model's axis-aligned box
// in the world, whether a figure's footprint runs into another object, and
// whether two objects are close on the ground. Yes/no answers, no response.
#pragma once

#include "game/scene_object.h"
#include "render/model.h"

constexpr float footprintMargin = 2.0f;  // y tolerance of boxHitsObject
constexpr float nearDistance = 2.0f;     // half side of the isNear square

struct WorldBox {
    float minX = 0.0f;
    float minY = 0.0f;
    float minZ = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;
    float maxZ = 0.0f;
};

// The axis-aligned box around the model's bounds placed by object.model;
// it grows when the object is rotated.
WorldBox worldBox(const SceneObject& object, const Model& model);
// Tests eight points of the bottom face of box (corners and edge midpoints)
// against the object's world box, widened by footprintMargin in y.
bool boxHitsObject(const WorldBox& box, const SceneObject& object, const Model& model);
// Model origins less than nearDistance apart in x and in z; y is ignored.
bool isNear(const SceneObject& a, const SceneObject& b);
