// Mesh import through Assimp into main-memory meshes and bounds. The importer
// and its scene live only inside one call; nothing here touches GL.
#include "render/mesh_import.h"

#include "render/collada_check.h"

#include <assimp/config.h>
#include <assimp/mesh.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

MeshData convertMesh(const aiMesh* mesh, const glm::vec3& defaultColour, UvSource uvSource, Box& bounds) {
    MeshData data;
    // Assimp's scene is not validated (no aiProcess_ValidateDataStructure), so
    // a mesh without a position array is treated as empty rather than read.
    if (mesh == nullptr || mesh->mVertices == nullptr) return data;

    const std::uint32_t vertexCount = mesh->mNumVertices;
    const aiColor4D* colours = mesh->mColors[0];
    const aiVector3D* texCoords = mesh->mTextureCoords[0];
    data.vertexCount = vertexCount;
    data.vertices.assign(vertexCount, Vertex{});  // zero-filled: unset components stay 0
    for (std::uint32_t j = 0; j < vertexCount; ++j) {
        Vertex& v = data.vertices[j];
        if (mesh->mNormals != nullptr) {
            v.normal[0] = mesh->mNormals[j].x;
            v.normal[1] = mesh->mNormals[j].y;
            v.normal[2] = mesh->mNormals[j].z;
        }
        const aiVector3D& p = mesh->mVertices[j];
        v.position[0] = p.x;
        v.position[1] = p.y;
        v.position[2] = p.z;
        v.position[3] = 1.0f;
        growBox(bounds, glm::vec3(p.x, p.y, p.z));
        if (colours != nullptr) {
            v.colour[0] = colours[j].r;
            v.colour[1] = colours[j].g;
            v.colour[2] = colours[j].b;
        } else {
            v.colour[0] = defaultColour.r;
            v.colour[1] = defaultColour.g;
            v.colour[2] = defaultColour.b;
        }
        if (uvSource == UvSource::Position) {
            v.uv[0] = positionTexCoord(p.x, 1048);
            v.uv[1] = positionTexCoord(p.y, 696);
        } else if (texCoords != nullptr) {
            v.uv[0] = texCoords[j].x;
            v.uv[1] = texCoords[j].y;
        }
    }

    // Points and lines survive triangulation with fewer than three indices;
    // they are skipped, as is any face naming a vertex the mesh does not have.
    if (mesh->mFaces != nullptr) {
        data.indices.reserve(static_cast<std::size_t>(mesh->mNumFaces) * 3);
        for (std::uint32_t f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices < 3 || face.mIndices == nullptr) continue;
            if (face.mIndices[0] >= vertexCount || face.mIndices[1] >= vertexCount || face.mIndices[2] >= vertexCount) {
                continue;
            }
            data.indices.push_back(face.mIndices[0]);
            data.indices.push_back(face.mIndices[1]);
            data.indices.push_back(face.mIndices[2]);
        }
    }
    data.faceCount = static_cast<std::uint32_t>(data.indices.size() / 3);
    return data;
}

bool convertScene(const aiScene* scene, const glm::vec3& defaultColour, UvSource uvSource, ImportedMeshes& out) {
    if (scene == nullptr || scene->mMeshes == nullptr || scene->mNumMeshes == 0) return false;
    ImportedMeshes result;
    result.meshes.reserve(scene->mNumMeshes);
    for (unsigned int i = 0; i < scene->mNumMeshes; ++i) {
        result.meshes.push_back(convertMesh(scene->mMeshes[i], defaultColour, uvSource, result.bounds));
    }
    out = std::move(result);
    return true;
}

// Without this Assimp invents a stand-in "skeleton" mesh for files that have
// nodes but no geometry; such a file must import as empty.
void configure(Assimp::Importer& importer) { importer.SetPropertyBool(AI_CONFIG_IMPORT_NO_SKELETON_MESHES, true); }

}  // namespace

float positionTexCoord(float coordinate, int period) {
    // trunc to a 32-bit int; values outside its range (or NaN) would be
    // undefined behaviour to convert, so they saturate (NaN counts as 0).
    std::int64_t whole = 0;
    if (std::isnan(coordinate)) {
        whole = 0;
    } else if (coordinate >= 2147483647.0f) {
        whole = std::numeric_limits<std::int32_t>::max();
    } else if (coordinate <= -2147483648.0f) {
        whole = std::numeric_limits<std::int32_t>::min();
    } else {
        whole = static_cast<std::int32_t>(coordinate);
    }
    return static_cast<float>((whole + 100) % period);
}

bool importMeshes(const char* path, const glm::vec3& defaultColour, UvSource uvSource, ImportedMeshes& out) {
    if (path == nullptr) return false;
    std::string text;
    try {
        std::ifstream file(path, std::ios::binary);
        if (!file) return false;
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (...) {  // an allocation may throw; the game never does
        return false;
    }
    // Assimp reads the very bytes that were checked, not the file a second time.
    return importMeshesFromMemory(text.data(), text.size(), "dae", defaultColour, uvSource, out);
}

bool importMeshesFromMemory(const void* data, std::size_t size, const char* hint, const glm::vec3& defaultColour,
                            UvSource uvSource, ImportedMeshes& out) {
    try {
        if (!colladaLooksSound(static_cast<const char*>(data), size)) return false;
        Assimp::Importer importer;
        configure(importer);
        const aiScene* scene = importer.ReadFileFromMemory(data, size, kImportFlags, hint != nullptr ? hint : "");
        return convertScene(scene, defaultColour, uvSource, out);
    } catch (...) {
        return false;
    }
}
