// Imported models: per-mesh vertex arrays and buffers, the bounds of all
// vertices and the main-memory copies of the meshes. loadModel (or
// buildGlyphQuad) makes one, releaseModel frees its GL objects; and the
// overlay's glyph quads, one record for the whole font.
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

constexpr int kGlyphCount = 256;

// The squares of all 256 atlas cells in one vertex array, made once at
// loading, so drawing text makes no GL object. Glyph b (the byte read as
// unsigned) is the six indices from 6 * b, the same square buildGlyphQuad
// makes for it. The colour is no vertex array: a run of text sets it as the
// current value of in_colour.
struct GlyphQuads {
    unsigned int vertexArray = 0;
    unsigned int vertexBuffer = 0;
    unsigned int indexBuffer = 0;
    int colourLocation = -1;  // of in_colour in the program the quads were made for; -1 without one
};

GlyphQuads makeGlyphQuads(const ShaderProgram& program);
void destroyGlyphQuads(GlyphQuads& glyphs);
