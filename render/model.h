// Imported models: per-mesh vertex arrays and buffers, the bounds of all
// vertices and the main-memory copies of the meshes. loadModel (or
// buildGlyphQuad) makes one, releaseModel frees its GL objects.
#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

#include "math/box.h"
#include "render/mesh_import.h"

struct ShaderProgram;

struct Model {
    std::vector<std::uint32_t> faceCounts;
    std::vector<unsigned int> vertexBuffers;
    std::vector<unsigned int> vertexArrays;
    std::vector<unsigned int> indexBuffers;
    Box bounds;  // of all vertices; empty until something is loaded
    std::uint32_t meshCount = 0;
    std::vector<MeshData> meshes;
};

// Imports a COLLADA file and uploads it. Failures are silent: the model stays empty.
void loadModel(Model& model, const char* path, const glm::vec3& defaultColour, const ShaderProgram& program);
// As loadModel, with texture coordinates computed from the raw positions.
void loadModelPositionUV(Model& model, const char* path, const glm::vec3& defaultColour, const ShaderProgram& program);
// One textured square showing one cell of the 16 x 16 character atlas.
void buildGlyphQuad(Model& model, const glm::vec3& colour, const ShaderProgram& program, signed char character);
void releaseModel(Model& model);
