// Height-map capture: the torte rendered straight down into a float target
// whose pixels hold world heights, read back once at start-up and exported
// as terrain.bmp. Every GL object it makes is gone when it returns.
#pragma once

#include <glm/glm.hpp>

#include "world/height_map.h"

struct Model;
struct SceneObject;
struct ShaderProgram;

void captureHeightMap(HeightMap& map, const SceneObject& landscape, const Model& landscapeModel,
                      const ShaderProgram& terrainProgram);
void drawLandscapeForCapture(const SceneObject& object, const ShaderProgram& program, const Model& mesh,
                             const glm::mat4& projectionView, const glm::mat4& view);
// Writes terrain.bmp from the captured heights; false when it cannot be written.
bool exportHeightMapBitmap(const HeightMap& map);
