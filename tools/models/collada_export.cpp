// COLLADA export of the model generator. Each GenMesh becomes an aiMesh
// (positions, normals, and texture coordinates and vertex colours where the
// mesh has them) under its own child node of the root, and Assimp's exporter
// writes the document. Assimp stamps <modified> with the time of the run
// whatever the scene says; that one element is set to a fixed date here, so
// the same meshes always give the same bytes.
#include "collada_export.h"

#include <assimp/commonMetaData.h>
#include <assimp/material.h>
#include <assimp/mesh.h>
#include <assimp/metadata.h>
#include <assimp/scene.h>
#include <assimp/Exporter.hpp>

#include <cstdio>
#include <memory>

namespace {

const char* const kFixedDate = "2000-01-01T00:00:00Z";

aiMesh* exportMesh(const GenMesh& source) {
    auto* mesh = new aiMesh;
    mesh->mName = aiString(source.name);
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mMaterialIndex = 0;
    const unsigned int count = static_cast<unsigned int>(source.vertices.size());
    mesh->mNumVertices = count;
    mesh->mVertices = new aiVector3D[count];
    mesh->mNormals = new aiVector3D[count];
    if (source.hasUv) {
        mesh->mTextureCoords[0] = new aiVector3D[count];
        mesh->mNumUVComponents[0] = 2;
    }
    if (source.hasColour) mesh->mColors[0] = new aiColor4D[count];
    for (unsigned int i = 0; i < count; ++i) {
        const GenVertex& v = source.vertices[i];
        mesh->mVertices[i] = aiVector3D(v.position.x, v.position.y, v.position.z);
        mesh->mNormals[i] = aiVector3D(v.normal.x, v.normal.y, v.normal.z);
        if (source.hasUv) mesh->mTextureCoords[0][i] = aiVector3D(v.uv.x, v.uv.y, 0.0f);
        if (source.hasColour) mesh->mColors[0][i] = aiColor4D(v.colour.r, v.colour.g, v.colour.b, 1.0f);
    }
    mesh->mNumFaces = static_cast<unsigned int>(source.indices.size() / 3);
    mesh->mFaces = new aiFace[mesh->mNumFaces];
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
        aiFace& face = mesh->mFaces[f];
        face.mNumIndices = 3;
        face.mIndices = new unsigned int[3];
        for (unsigned int k = 0; k < 3; ++k) face.mIndices[k] = source.indices[3 * f + k];
    }
    return mesh;
}

// The scene owns everything put into it; its destructor frees it all.
std::unique_ptr<aiScene> exportScene(const GenModel& model) {
    auto scene = std::make_unique<aiScene>();
    scene->mRootNode = new aiNode("Scene");
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial*[1];
    scene->mMaterials[0] = new aiMaterial;
    const aiString materialName("defaultMaterial");
    scene->mMaterials[0]->AddProperty(&materialName, AI_MATKEY_NAME);

    const unsigned int count = static_cast<unsigned int>(model.meshes.size());
    scene->mNumMeshes = count;
    scene->mMeshes = new aiMesh*[count];
    aiNode* root = scene->mRootNode;
    root->mNumChildren = count;
    root->mChildren = new aiNode*[count];
    for (unsigned int i = 0; i < count; ++i) {
        scene->mMeshes[i] = exportMesh(model.meshes[i]);
        // A node per mesh, named after it: the root must not hold meshes
        // itself, or the exporter wraps everything in another node.
        auto* node = new aiNode(model.meshes[i].name);
        node->mParent = root;
        node->mNumMeshes = 1;
        node->mMeshes = new unsigned int[1]{i};
        root->mChildren[i] = node;
    }

    scene->mMetaData = aiMetadata::Alloc(3);
    scene->mMetaData->Set(0, "Author", aiString("Varnelo"));
    scene->mMetaData->Set(1, AI_METADATA_SOURCE_GENERATOR, aiString("Varnelo model generator"));
    scene->mMetaData->Set(2, "Created", aiString(kFixedDate));
    return scene;
}

}  // namespace

std::string colladaDocument(const GenModel& model) {
    std::unique_ptr<aiScene> scene = exportScene(model);
    Assimp::Exporter exporter;
    const aiExportDataBlob* blob = exporter.ExportToBlob(scene.get(), "collada");
    if (blob == nullptr || blob->data == nullptr) return std::string();
    std::string document(static_cast<const char*>(blob->data), blob->size);

    const std::string open = "<modified>";
    const std::string close = "</modified>";
    std::size_t start = document.find(open);
    std::size_t end = start == std::string::npos ? start : document.find(close, start);
    if (end == std::string::npos) return std::string();
    start += open.size();
    document.replace(start, end - start, kFixedDate);
    return document;
}

bool writeColladaFile(const std::string& path, const GenModel& model) {
    const std::string document = colladaDocument(model);
    if (document.empty()) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(document.data(), 1, document.size(), file) == document.size();
    bool closed = std::fclose(file) == 0;
    return written && closed;
}
