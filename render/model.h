// Imported models: per-mesh vertex arrays and buffers, the bounds of all
// vertices and the main-memory copies of the meshes. GL names are stored as
// plain unsigned ints so game code can hold models without GL headers.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include <glm/glm.hpp>

struct ShaderProgram;

// 72 bytes, the layout of the vertex buffer and of the main-memory copy.
struct Vertex {
    float normal[3];
    float position[4];  // w is always 1
    float colour[3];
    float uv[2];
    float unused[6];    // always 0
};
static_assert(sizeof(Vertex) == 72, "the vertex buffer layout is 72 bytes");

struct MeshData {
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;  // three per triangle
    std::uint32_t faceCount = 0;
    std::uint32_t vertexCount = 0;
};

struct Model {
    std::vector<std::uint32_t> faceCounts;
    std::vector<unsigned int> vertexBuffers;
    std::vector<unsigned int> vertexArrays;
    std::vector<unsigned int> indexBuffers;
    float minX = std::numeric_limits<float>::infinity();
    float maxX = -std::numeric_limits<float>::infinity();
    float minY = std::numeric_limits<float>::infinity();
    float maxY = -std::numeric_limits<float>::infinity();
    float minZ = std::numeric_limits<float>::infinity();
    float maxZ = -std::numeric_limits<float>::infinity();
    std::uint32_t meshCount = 0;
    std::vector<MeshData> meshes;
};

// Imports a COLLADA file and uploads it. Failures are silent: the model stays empty.
void loadModel(Model& model, const char* path, const glm::vec3& defaultColour, const ShaderProgram& program);
// As loadModel, with texture coordinates computed from the raw positions.
void loadModelPositionUV(Model& model, const char* path, const glm::vec3& defaultColour,
                         const ShaderProgram& program);
// One textured square showing one cell of the 16 x 16 character atlas.
void buildGlyphQuad(Model& model, const glm::vec3& colour, const ShaderProgram& program, signed char character);
void releaseModel(Model& model);
