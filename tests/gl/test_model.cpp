// Model import and upload in a real context: one vertex array and two
// buffers per mesh, the attribute layout taken from the program, the console
// trail, the glyph quad, the release, and silence on unreadable files.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "render/model.h"
#include "render/shader_program.h"
#include "tests/support/scratch_files.h"

namespace {

const char* const kVertexAll =
    "#version 150\n"
    "#extension GL_ARB_explicit_attrib_location : require\n"
    "layout(location = 0) in vec4 in_position;\n"
    "layout(location = 1) in vec3 in_normal;\n"
    "layout(location = 2) in vec2 in_texture;\n"
    "layout(location = 3) in vec3 in_colour;\n"
    "out vec3 colour;\n"
    "void main() { colour = in_colour + 0.001 * (in_normal + vec3(in_texture, 0.0)); gl_Position = in_position; }\n";
const char* const kFragmentAll =
    "#version 150\n"
    "in vec3 colour;\n"
    "out vec4 out_color;\n"
    "void main() { out_color = vec4(colour, 1.0); }\n";
// Like the text programs: no normal, no colour.
const char* const kVertexNoColour =
    "#version 150\n"
    "#extension GL_ARB_explicit_attrib_location : require\n"
    "layout(location = 0) in vec4 in_position;\n"
    "layout(location = 2) in vec2 in_texture;\n"
    "out vec2 uv;\n"
    "void main() { uv = in_texture; gl_Position = in_position; }\n";
const char* const kFragmentGreen =
    "#version 150\n"
    "in vec2 uv;\n"
    "out vec4 out_color;\n"
    "void main() { out_color = vec4(0.001 * uv.x, 1.0, 0.001 * uv.y, 1.0); }\n";

ShaderProgram makeProgram(const char* vertex, const char* fragment) {
    ShaderProgram program;
    program.vertexShader = compileShader(GL_VERTEX_SHADER, vertex);
    program.fragmentShader = compileShader(GL_FRAGMENT_SHADER, fragment);
    linkShaderProgram(program);
    return program;
}

std::string positions(const std::string& id, const std::string& values, int count) {
    return "<source id=\"" + id + "\"><float_array id=\"" + id + "-a\" count=\"" + std::to_string(count * 3) + "\">" +
           values + "</float_array><technique_common><accessor source=\"#" + id + "-a\" count=\"" +
           std::to_string(count) +
           "\" stride=\"3\"><param name=\"X\" type=\"float\"/><param name=\"Y\" type=\"float\"/>"
           "<param name=\"Z\" type=\"float\"/></accessor></technique_common></source>";
}

// A mesh of `triangles` triangles over one shared quad's corners.
std::string meshGeometry(const std::string& id, const std::string& corners, int triangles) {
    std::string indices = triangles == 2 ? "0 1 2 0 2 3" : "0 1 2";
    return "<geometry id=\"" + id + "\"><mesh>" + positions(id + "-p", corners, 4) + "<vertices id=\"" + id +
           "-v\"><input semantic=\"POSITION\" source=\"#" + id + "-p\"/></vertices><triangles count=\"" +
           std::to_string(triangles) + "\"><input semantic=\"VERTEX\" source=\"#" + id +
           "-v\" offset=\"0\"/><p>" + indices + "</p></triangles></mesh></geometry>";
}

std::string document(const std::string& geometries, const std::vector<std::string>& ids) {
    std::string nodes;
    for (const std::string& id : ids) nodes += "<node id=\"n" + id + "\"><instance_geometry url=\"#" + id + "\"/></node>";
    return "<?xml version=\"1.0\"?>\n<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" "
           "version=\"1.4.1\"><asset><unit name=\"meter\" meter=\"1\"/><up_axis>Y_UP</up_axis></asset>"
           "<library_geometries>" +
           geometries + "</library_geometries><library_visual_scenes><visual_scene id=\"s\">" + nodes +
           "</visual_scene></library_visual_scenes><scene><instance_visual_scene url=\"#s\"/></scene></COLLADA>\n";
}

const char* const kScreenQuad = "-1 -1 0 1 -1 0 1 1 0 -1 1 0";

GLint integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

GLint bufferParameter(GLenum target, GLuint buffer, GLenum name) {
    glBindBuffer(target, buffer);
    GLint value = -1;
    glGetBufferParameteriv(target, name, &value);
    glBindBuffer(target, 0);
    return value;
}

struct AttributeState {
    GLint enabled, size, stride;
    std::size_t offset;
};
AttributeState attribute(GLuint location) {
    AttributeState state{};
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &state.enabled);
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &state.size);
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &state.stride);
    void* pointer = nullptr;
    glGetVertexAttribPointerv(location, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
    state.offset = reinterpret_cast<std::size_t>(pointer);
    return state;
}

void drainGlErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST(ModelUpload, SeveralMeshesGetTheirOwnArraysBuffersAndConsoleLines) {
    drainGlErrors();
    ShaderProgram program = makeProgram(kVertexAll, kFragmentAll);
    ASSERT_NE(program.program, 0u);
    TempFile file(document(meshGeometry("a", kScreenQuad, 2) + meshGeometry("b", "0 0 0 1 0 0 1 1 0 0 1 0", 1) +
                               meshGeometry("c", "2 2 2 3 2 2 3 3 2 2 3 2", 2),
                           {"a", "b", "c"}));
    Model model;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    loadModel(model, file.path(), glm::vec3(0.1f, 0.2f, 0.3f), program);
    std::string out = ::testing::internal::GetCapturedStdout();
    std::string err = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(out,
              "number of meshes: 3\nnumber of faces: 2\n"
              "number of meshes: 3\nnumber of faces: 1\n"
              "number of meshes: 3\nnumber of faces: 2\n");
    EXPECT_EQ(err, "");  // no GL check fired
    ASSERT_EQ(model.meshCount, 3u);
    EXPECT_EQ(model.faceCounts, (std::vector<std::uint32_t>{2, 1, 2}));
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(model.bounds.min.x, -1.0f);
    EXPECT_EQ(model.bounds.max.x, 3.0f);
    EXPECT_EQ(model.bounds.max.z, 2.0f);

    std::set<GLuint> names;
    for (std::uint32_t i = 0; i < model.meshCount; ++i) {
        EXPECT_TRUE(glIsVertexArray(model.vertexArrays[i]));
        names.insert(model.vertexBuffers[i]);
        names.insert(model.indexBuffers[i]);
        EXPECT_EQ(bufferParameter(GL_ARRAY_BUFFER, model.vertexBuffers[i], GL_BUFFER_SIZE),
                  static_cast<GLint>(72 * model.meshes[i].vertexCount));
        EXPECT_EQ(bufferParameter(GL_ARRAY_BUFFER, model.vertexBuffers[i], GL_BUFFER_USAGE), GL_STATIC_DRAW);

        glBindVertexArray(model.vertexArrays[i]);
        EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(model.indexBuffers[i]));
        GLint indexBytes = -1;
        glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &indexBytes);
        EXPECT_EQ(indexBytes, static_cast<GLint>(12 * model.faceCounts[i]));
        const struct {
            GLuint location;
            GLint size;
            std::size_t offset;
        } layout[] = {{0, 4, 12}, {1, 3, 0}, {2, 2, 40}, {3, 3, 28}};
        for (const auto& expected : layout) {
            AttributeState state = attribute(expected.location);
            EXPECT_EQ(state.enabled, GL_TRUE);
            EXPECT_EQ(state.size, expected.size);
            EXPECT_EQ(state.stride, 72);
            EXPECT_EQ(state.offset, expected.offset);
        }
        GLint buffer = -1;
        glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        EXPECT_EQ(buffer, static_cast<GLint>(model.vertexBuffers[i]));
        glBindVertexArray(0);
    }
    EXPECT_EQ(names.size(), 6u);

    releaseModel(model);
    destroyShaderProgram(program);
}

// Draws into a small framebuffer of its own and reads the middle pixel.
glm::vec3 drawAndReadCentre(const Model& model, const ShaderProgram& program) {
    GLuint framebuffer = 0;
    GLuint colour = 0;
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 32, 32);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glViewport(0, 0, 32, 32);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(program.program);
    for (std::uint32_t i = 0; i < model.meshCount; ++i) {
        glBindVertexArray(model.vertexArrays[i]);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * model.faceCounts[i]), GL_UNSIGNED_INT, nullptr);
    }
    glBindVertexArray(0);
    glUseProgram(0);
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(16, 16, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &colour);
    glViewport(0, 0, 1200, 1000);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    return glm::vec3(pixel[0], pixel[1], pixel[2]) / 255.0f;
}

TEST(ModelUpload, AttributesTheProgramLacksStayDisabledAndTheModelStillDraws) {
    drainGlErrors();
    ShaderProgram program = makeProgram(kVertexNoColour, kFragmentGreen);
    ASSERT_NE(program.program, 0u);
    ASSERT_EQ(glGetAttribLocation(program.program, "in_colour"), -1);
    TempFile file(document(meshGeometry("q", kScreenQuad, 2), {"q"}));
    Model model;
    ::testing::internal::CaptureStdout();
    loadModel(model, file.path(), glm::vec3(1.0f), program);
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(model.meshCount, 1u);

    glBindVertexArray(model.vertexArrays[0]);
    EXPECT_EQ(attribute(0).enabled, GL_TRUE);
    EXPECT_EQ(attribute(1).enabled, GL_FALSE);  // no in_normal
    EXPECT_EQ(attribute(2).enabled, GL_TRUE);
    EXPECT_EQ(attribute(3).enabled, GL_FALSE);  // no in_colour
    glBindVertexArray(0);

    glm::vec3 centre = drawAndReadCentre(model, program);
    EXPECT_NEAR(centre.r, 0.0f, 0.01f);
    EXPECT_NEAR(centre.g, 1.0f, 0.01f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The same model drawn with a program that has all four attributes at the
    // same locations picks up the default colour (no colours in the file).
    ShaderProgram full = makeProgram(kVertexAll, kFragmentAll);
    Model coloured;
    ::testing::internal::CaptureStdout();
    loadModel(coloured, file.path(), glm::vec3(0.0f, 0.0f, 1.0f), full);
    ::testing::internal::GetCapturedStdout();
    glm::vec3 blue = drawAndReadCentre(coloured, full);
    EXPECT_NEAR(blue.b, 1.0f, 0.01f);
    EXPECT_NEAR(blue.r, 0.0f, 0.01f);

    releaseModel(coloured);
    releaseModel(model);
    destroyShaderProgram(full);
    destroyShaderProgram(program);
}

// The coordinate rule itself is covered without GL; here the upload path
// must use it and its three checks must stay quiet.
TEST(ModelUpload, PositionImporterUploadsDerivedTextureCoordinatesQuietly) {
    drainGlErrors();
    ShaderProgram program = makeProgram(kVertexAll, kFragmentAll);
    TempFile file(document(meshGeometry("g", "950.7 0 0 -150.2 0 0 0 600.9 0 0 -800 0", 2), {"g"}));
    Model model;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    loadModelPositionUV(model, file.path(), glm::vec3(0.0f, 1.0f, 0.0f), program);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "number of meshes: 1\nnumber of faces: 2\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(model.meshCount, 1u);
    float sumU = 0.0f;
    for (const Vertex& v : model.meshes[0].vertices) sumU += v.uv[0];
    EXPECT_EQ(sumU, 2.0f - 50.0f + 100.0f + 100.0f);
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
    releaseModel(model);
    destroyShaderProgram(program);
}

TEST(ModelUpload, GlyphQuadShowsOneAtlasCell) {
    drainGlErrors();
    ShaderProgram program = makeProgram(kVertexNoColour, kFragmentGreen);
    Model glyph;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    buildGlyphQuad(glyph, glm::vec3(0.5f, 0.25f, 1.0f), program, 'A');
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    ASSERT_EQ(glyph.meshCount, 1u);
    EXPECT_EQ(glyph.faceCounts[0], 2u);
    const MeshData& mesh = glyph.meshes[0];
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
    const float expectedX[4] = {1, -1, -1, 1};
    const float expectedY[4] = {1, 1, -1, -1};
    for (int k = 0; k < 4; ++k) {
        const Vertex& v = mesh.vertices[static_cast<std::size_t>(k)];
        EXPECT_EQ(v.position[0], expectedX[k]);
        EXPECT_EQ(v.position[1], expectedY[k]);
        EXPECT_EQ(v.position[3], 1.0f);
        EXPECT_EQ(v.normal[2], 1.0f);
        EXPECT_EQ(v.colour[1], 0.25f);
        EXPECT_FLOAT_EQ(v.uv[0], expectedX[k] > 0 ? 0.125f : 0.0625f);  // column 1
        EXPECT_FLOAT_EQ(v.uv[1], expectedY[k] > 0 ? 0.75f : 0.6875f);   // row 4
    }
    EXPECT_EQ(glyph.bounds.min.x, -1.0f);
    EXPECT_EQ(glyph.bounds.max.y, 1.0f);
    EXPECT_EQ(glyph.bounds.min.z, 0.0f);
    EXPECT_EQ(glyph.bounds.max.z, 0.0f);
    EXPECT_EQ(bufferParameter(GL_ARRAY_BUFFER, glyph.vertexBuffers[0], GL_BUFFER_SIZE), 288);
    EXPECT_EQ(bufferParameter(GL_ARRAY_BUFFER, glyph.vertexBuffers[0], GL_BUFFER_USAGE), GL_STATIC_DRAW);
    EXPECT_EQ(bufferParameter(GL_ELEMENT_ARRAY_BUFFER, glyph.indexBuffers[0], GL_BUFFER_SIZE), 24);
    EXPECT_EQ(bufferParameter(GL_ELEMENT_ARRAY_BUFFER, glyph.indexBuffers[0], GL_BUFFER_USAGE), GL_DYNAMIC_DRAW);
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_NEAR(drawAndReadCentre(glyph, program).g, 1.0f, 0.01f);
    releaseModel(glyph);

    // Codes above 127 arrive negative: column -8, row -3 with truncating division.
    Model high;
    buildGlyphQuad(high, glm::vec3(1.0f), program, static_cast<signed char>(200));
    for (const Vertex& v : high.meshes[0].vertices) {
        EXPECT_FLOAT_EQ(v.uv[0], v.position[0] > 0 ? -0.4375f : -0.5f);
        EXPECT_FLOAT_EQ(v.uv[1], v.position[1] > 0 ? 1.1875f : 1.125f);
    }
    releaseModel(high);
    destroyShaderProgram(program);
}

TEST(ModelUpload, ReleaseDeletesEveryObjectAndEmptiesTheRecord) {
    ShaderProgram program = makeProgram(kVertexAll, kFragmentAll);
    TempFile file(document(meshGeometry("a", kScreenQuad, 2) + meshGeometry("b", kScreenQuad, 1), {"a", "b"}));
    Model model;
    ::testing::internal::CaptureStdout();
    loadModel(model, file.path(), glm::vec3(1.0f), program);
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(model.meshCount, 2u);
    std::vector<GLuint> arrays = model.vertexArrays;
    std::vector<GLuint> buffers = model.vertexBuffers;
    buffers.insert(buffers.end(), model.indexBuffers.begin(), model.indexBuffers.end());

    releaseModel(model);
    for (GLuint name : arrays) EXPECT_FALSE(glIsVertexArray(name));
    for (GLuint name : buffers) EXPECT_FALSE(glIsBuffer(name));
    EXPECT_EQ(model.meshCount, 0u);
    EXPECT_TRUE(model.meshes.empty());
    EXPECT_TRUE(model.vertexArrays.empty());
    EXPECT_TRUE(model.faceCounts.empty());
    EXPECT_TRUE(std::isinf(model.bounds.min.x));
    releaseModel(model);  // an empty record releases nothing and stays empty
    EXPECT_EQ(model.meshCount, 0u);
    destroyShaderProgram(program);
}

TEST(ModelUpload, UnreadableFilesLeaveTheModelAsItWasWithoutAWord) {
    ShaderProgram program = makeProgram(kVertexAll, kFragmentAll);
    TempFile garbage("\x7f" "ELF not a model");
    TempFile truncated(document(meshGeometry("a", kScreenQuad, 2), {"a"}).substr(0, 300));
    TempFile noMeshes(document("", {"a"}));
    for (const char* path : {"Models/no_such_model.dae", garbage.path(), truncated.path(), noMeshes.path()}) {
        Model model;
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        loadModel(model, path, glm::vec3(1.0f), program);
        loadModelPositionUV(model, path, glm::vec3(1.0f), program);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << path;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << path;
        EXPECT_EQ(model.meshCount, 0u) << path;
        EXPECT_TRUE(model.vertexArrays.empty()) << path;
    }

    // A failed import into a filled model leaves it drawable as before.
    TempFile good(document(meshGeometry("a", kScreenQuad, 2), {"a"}));
    Model model;
    ::testing::internal::CaptureStdout();
    loadModel(model, good.path(), glm::vec3(1.0f), program);
    loadModel(model, garbage.path(), glm::vec3(1.0f), program);
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(model.meshCount, 1u);
    EXPECT_TRUE(glIsVertexArray(model.vertexArrays[0]));

    // A second successful import gives the first one's objects back.
    GLuint oldArray = model.vertexArrays[0];
    GLuint oldBuffer = model.vertexBuffers[0];
    ::testing::internal::CaptureStdout();
    loadModel(model, good.path(), glm::vec3(1.0f), program);
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(model.meshCount, 1u);
    EXPECT_TRUE(glIsVertexArray(model.vertexArrays[0]));
    if (model.vertexArrays[0] != oldArray) {
        EXPECT_FALSE(glIsVertexArray(oldArray));
    }
    if (model.vertexBuffers[0] != oldBuffer && model.indexBuffers[0] != oldBuffer) {
        EXPECT_FALSE(glIsBuffer(oldBuffer));
    }
    releaseModel(model);
    destroyShaderProgram(program);
}

}  // namespace
