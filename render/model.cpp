// Model import and upload: the file importers, the glyph-quad generators and
// the release. Each mesh gets one vertex array, one vertex buffer and one
// index buffer; attribute locations come from the program passed in.
#include "render/model.h"

#include <GL/glew.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "render/gl_check.h"
#include "render/mesh_import.h"
#include "render/shader_program.h"

namespace {

struct AttributeLayout {
    const char* name;
    GLint components;
    std::size_t offset;
};

// Same order and offsets for every program that draws models.
constexpr AttributeLayout kAttributes[] = {
    {"in_position", 4, offsetof(Vertex, position)},
    {"in_normal", 3, offsetof(Vertex, normal)},
    {"in_texture", 2, offsetof(Vertex, uv)},
    {"in_colour", 3, offsetof(Vertex, colour)},
};

// Which GL checks an importer reports: loadModel has one after the unbind,
// the textured variants three.
enum class CheckLabels { ModelLoad, WithTexture };

void setUpAttributes(const ShaderProgram& program) {
    for (const AttributeLayout& attribute : kAttributes) {
        GLint location = glGetAttribLocation(program.program, attribute.name);
        if (location < 0) continue;  // the program does not use it
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        // NOLINTNEXTLINE(performance-no-int-to-ptr): GL takes the offset into the buffer as a pointer.
        const void* offset = reinterpret_cast<const void*>(attribute.offset);
        glVertexAttribPointer(static_cast<GLuint>(location), attribute.components, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              offset);
    }
}

void printMeshCounts(std::uint32_t meshCount, std::uint32_t faceCount) {
    std::printf("number of meshes: %u\n", static_cast<unsigned>(meshCount));
    std::fflush(stdout);
    std::printf("number of faces: %u\n", static_cast<unsigned>(faceCount));
    std::fflush(stdout);
}

void allocateMeshArrays(Model& model, std::uint32_t meshCount) {
    model.meshCount = meshCount;
    model.faceCounts.assign(meshCount, 0);
    model.vertexBuffers.assign(meshCount, 0);
    model.indexBuffers.assign(meshCount, 0);
    model.vertexArrays.assign(meshCount, 0);
    model.meshes.assign(meshCount, MeshData{});
    if (meshCount == 0) return;
    glGenVertexArrays(static_cast<GLsizei>(meshCount), model.vertexArrays.data());
    glGenBuffers(static_cast<GLsizei>(meshCount), model.vertexBuffers.data());
    glGenBuffers(static_cast<GLsizei>(meshCount), model.indexBuffers.data());
}

void uploadImport(Model& model, ImportedMeshes& imported, const ShaderProgram& program, CheckLabels labels) {
    // The record is meant to be filled once; a second import must not leak
    // the first one's GL objects.
    if (model.meshCount > 0) releaseModel(model);

    const auto meshCount = static_cast<std::uint32_t>(imported.meshes.size());
    allocateMeshArrays(model, meshCount);
    model.bounds = imported.bounds;

    for (std::uint32_t i = 0; i < meshCount; ++i) {
        MeshData& mesh = model.meshes[i];
        mesh = std::move(imported.meshes[i]);
        glBindVertexArray(model.vertexArrays[i]);
        model.faceCounts[i] = mesh.faceCount;
        printMeshCounts(meshCount, mesh.faceCount);

        glBindBuffer(GL_ARRAY_BUFFER, model.vertexBuffers[i]);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(Vertex) * mesh.vertexCount), mesh.vertices.data(),
                     GL_STATIC_DRAW);
        setUpAttributes(program);
        if (labels == CheckLabels::WithTexture) checkGlError("models with tex 0");

        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, model.indexBuffers[i]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(std::uint32_t) * 3 * mesh.faceCount),
                     mesh.indices.data(), GL_STATIC_DRAW);
        if (labels == CheckLabels::WithTexture) checkGlError("models with tex 1");

        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        checkGlError(labels == CheckLabels::WithTexture ? "models with tex 2" : "model load 2");
    }
}

// Corners top-right, top-left, bottom-left, bottom-right, as two triangles.
constexpr std::uint32_t kGlyphQuadIndices[6] = {0, 1, 2, 0, 2, 3};

// The four corners of the square showing one atlas cell.
std::vector<Vertex> glyphQuadVertices(signed char character, const glm::vec3& colour) {
    const float cornerX[4] = {1.0f, -1.0f, -1.0f, 1.0f};
    const float cornerY[4] = {1.0f, 1.0f, -1.0f, -1.0f};
    // Truncating division on the signed code: codes above 127 arrive negative
    // and give a negative cell, as the atlas lookup always has.
    const int column = character % 16;
    const int row = character / 16;
    std::vector<Vertex> vertices(4, Vertex{});
    for (int k = 0; k < 4; ++k) {
        Vertex& v = vertices[static_cast<std::size_t>(k)];
        v.normal[2] = 1.0f;
        v.position[0] = cornerX[k];
        v.position[1] = cornerY[k];
        v.position[3] = 1.0f;
        v.colour[0] = colour.r;
        v.colour[1] = colour.g;
        v.colour[2] = colour.b;
        v.uv[0] = static_cast<float>(column) * 0.0625f + (cornerX[k] >= 0.0f ? 0.0625f : 0.0f);
        v.uv[1] = 1.0f - (static_cast<float>(row) * 0.0625f + (cornerY[k] < 0.0f ? 0.0625f : 0.0f));
    }
    return vertices;
}

}  // namespace

void loadModel(Model& model, const char* path, const glm::vec3& defaultColour, const ShaderProgram& program) {
    ImportedMeshes imported;
    if (!importMeshes(path, defaultColour, UvSource::File, imported)) return;
    uploadImport(model, imported, program, CheckLabels::ModelLoad);
}

void loadModelPositionUV(Model& model, const char* path, const glm::vec3& defaultColour, const ShaderProgram& program) {
    ImportedMeshes imported;
    if (!importMeshes(path, defaultColour, UvSource::Position, imported)) return;
    uploadImport(model, imported, program, CheckLabels::WithTexture);
}

void buildGlyphQuad(Model& model, const glm::vec3& colour, const ShaderProgram& program, signed char character) {
    if (model.meshCount > 0) releaseModel(model);
    allocateMeshArrays(model, 1);

    MeshData& mesh = model.meshes[0];
    model.faceCounts[0] = mesh.faceCount = 2;
    mesh.vertexCount = 4;
    mesh.vertices = glyphQuadVertices(character, colour);
    for (const Vertex& v : mesh.vertices) growBox(model.bounds, glm::vec3(v.position[0], v.position[1], 0.0f));
    mesh.indices.assign(kGlyphQuadIndices, kGlyphQuadIndices + 6);

    glBindVertexArray(model.vertexArrays[0]);
    glBindBuffer(GL_ARRAY_BUFFER, model.vertexBuffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(Vertex) * 4), mesh.vertices.data(), GL_STATIC_DRAW);
    setUpAttributes(program);
    checkGlError("models with tex 0");
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, model.indexBuffers[0]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(std::uint32_t) * 6), mesh.indices.data(),
                 GL_STATIC_DRAW);
    checkGlError("models with tex 1");
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGlError("models with tex 2");
}

GlyphQuads makeGlyphQuads(const ShaderProgram& program) {
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;
    vertices.reserve(static_cast<std::size_t>(4) * kGlyphCount);
    indices.reserve(static_cast<std::size_t>(6) * kGlyphCount);
    for (int code = 0; code < kGlyphCount; ++code) {
        const auto first = static_cast<std::uint32_t>(vertices.size());
        // The colour is left at zero here: each run of text sets its own.
        const std::vector<Vertex> quad = glyphQuadVertices(static_cast<signed char>(code), glm::vec3(0.0f));
        vertices.insert(vertices.end(), quad.begin(), quad.end());
        for (std::uint32_t index : kGlyphQuadIndices) indices.push_back(first + index);
    }

    GlyphQuads glyphs;
    glGenVertexArrays(1, &glyphs.vertexArray);
    glGenBuffers(1, &glyphs.vertexBuffer);
    glGenBuffers(1, &glyphs.indexBuffer);
    glBindVertexArray(glyphs.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, glyphs.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(Vertex) * vertices.size()), vertices.data(),
                 GL_STATIC_DRAW);
    setUpAttributes(program);
    // The colour comes from the attribute's current value, set per run.
    glyphs.colourLocation = glGetAttribLocation(program.program, "in_colour");
    if (glyphs.colourLocation >= 0) glDisableVertexAttribArray(static_cast<GLuint>(glyphs.colourLocation));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, glyphs.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(std::uint32_t) * indices.size()),
                 indices.data(), GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGlError("glyph quads");
    return glyphs;
}

void destroyGlyphQuads(GlyphQuads& glyphs) {
    glDeleteVertexArrays(1, &glyphs.vertexArray);  // names of 0 are ignored
    glDeleteBuffers(1, &glyphs.vertexBuffer);
    glDeleteBuffers(1, &glyphs.indexBuffer);
    glyphs = GlyphQuads{};
}

void releaseModel(Model& model) {
    for (std::uint32_t i = 0; i < model.meshCount; ++i) {
        if (i < model.vertexArrays.size()) glDeleteVertexArrays(1, &model.vertexArrays[i]);
        if (i < model.vertexBuffers.size()) glDeleteBuffers(1, &model.vertexBuffers[i]);
        if (i < model.indexBuffers.size()) glDeleteBuffers(1, &model.indexBuffers[i]);
    }
    model = Model{};
}
