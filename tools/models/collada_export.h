// The generated models written as COLLADA through Assimp's exporter: one
// node (identity transform) and one geometry per mesh, Y up, metres. The
// output depends on nothing but the meshes, so every run writes the same bytes.
#pragma once

#include <string>

#include "mesh_builder.h"

// The exported document; empty if Assimp refuses the scene.
std::string colladaDocument(const GenModel& model);
// Writes the document to path; false if it cannot be made or written.
bool writeColladaFile(const std::string& path, const GenModel& model);
