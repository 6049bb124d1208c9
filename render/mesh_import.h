// Mesh import without GL: reads a model file through Assimp into main-memory
// meshes of 72-byte vertices plus the bounds of all positions. The uploading
// importers of render/model.h build on this; it also runs without a context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

#include "math/box.h"

// 72 bytes, the layout of the vertex buffer and of the main-memory copy.
struct Vertex {
    float normal[3];
    float position[4];  // w is always 1
    float colour[3];
    float uv[2];
    float unused[6];  // always 0
};
static_assert(sizeof(Vertex) == 72, "the vertex buffer layout is 72 bytes");

struct MeshData {
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;  // three per triangle
    std::uint32_t faceCount = 0;
    std::uint32_t vertexCount = 0;
};

// Where the texture coordinates of the vertices come from.
enum class UvSource {
    File,      // the first texture-coordinate set of the mesh, else (0, 0)
    Position,  // u, v computed from the raw x, y (the grass importer)
};

struct ImportedMeshes {
    std::vector<MeshData> meshes;
    Box bounds;  // of every position of every mesh
};

// The post-processing the game asks of Assimp: triangulate and join identical
// vertices (0xA), nothing else.
constexpr unsigned int kImportFlags = 0xA;

// Reads the file. Returns false, leaving out untouched, when the file cannot
// be read or parsed, is not COLLADA, fails the COLLADA pre-check (render/collada_check.h), or holds no
// meshes. Faces that are not triangles after triangulation (points, lines) and faces with indices outside the mesh are
// dropped, so faceCount counts the triangles actually stored.
bool importMeshes(const char* path, const glm::vec3& defaultColour, UvSource uvSource, ImportedMeshes& out);
// The same from a buffer; hint is the file extension without the dot ("dae").
bool importMeshesFromMemory(const void* data, std::size_t size, const char* hint, const glm::vec3& defaultColour,
                            UvSource uvSource, ImportedMeshes& out);

// The grass importer's texture coordinate from one raw coordinate:
// (float)((trunc(c) + 100) mod period), the remainder taking the dividend's sign.
float positionTexCoord(float coordinate, int period);
