// A small COLLADA 1.4.1 writer for the generated models: one geometry and
// one node (identity transform) per mesh, Y up, metres. The output depends on
// nothing but the meshes, so every run writes the same bytes.
#pragma once

#include <string>

#include "mesh_builder.h"

std::string colladaDocument(const GenModel& model);
// Writes the document to path; false if the file cannot be written.
bool writeColladaFile(const std::string& path, const GenModel& model);
// The exact decimal form of a value on the writer's 1/4096 grid.
std::string gridNumber(float value);
