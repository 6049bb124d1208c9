// Fuzz target: any bytes through the COLLADA pre-check and Assimp's reader,
// as the game imports a model. An accepted file must give meshes whose
// indices all name vertices of their own mesh; a refused one must leave the
// output untouched. The grass importer's texture coordinates are computed
// from every accepted position too, as that path would.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/mesh_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ImportedMeshes out;
    out.bounds.min.x = 12345.0f;  // sentinel: a refusal must not touch it
    if (!importMeshesFromMemory(data, size, "dae", glm::vec3(1.0f, 0.0f, 0.0f), UvSource::File, out)) {
        if (out.bounds.min.x != 12345.0f || !out.meshes.empty()) std::abort();
        return 0;
    }
    if (out.meshes.empty()) std::abort();
    for (const MeshData& mesh : out.meshes) {
        if (mesh.vertices.size() != mesh.vertexCount || mesh.indices.size() != 3u * mesh.faceCount) std::abort();
        for (std::uint32_t index : mesh.indices) {
            if (index >= mesh.vertexCount) std::abort();
        }
        for (const Vertex& vertex : mesh.vertices) {
            if (vertex.position[3] != 1.0f) std::abort();
            const float u = positionTexCoord(vertex.position[0], 1048);
            const float v = positionTexCoord(vertex.position[1], 696);
            if (!(std::fabs(u) < 1048.0f) || !(std::fabs(v) < 696.0f)) std::abort();
        }
    }
    return 0;
}
