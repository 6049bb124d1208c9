// Shader loading against Mesa: the console trail of missing and broken
// sources, the transform-feedback layout, and every program the game ships.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "render/game_programs.h"
#include "render/shader_program.h"

namespace {

namespace fs = std::filesystem;

const char* kPlainVertex =
    "#version 150\n"
    "in vec4 in_position;\n"
    "void main() { gl_Position = in_position; }\n";
const char* kPlainFragment =
    "#version 150\n"
    "out vec4 out_color;\n"
    "void main() { out_color = vec4(1.0); }\n";

// A scratch folder for shader files, removed again after the test.
class ShaderFiles {
public:
    ShaderFiles() {
        std::string pattern = (fs::temp_directory_path() / "varnelo-shaders-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) != nullptr) folder_ = buffer.data();
    }
    ~ShaderFiles() {
        std::error_code ignored;
        if (!folder_.empty()) fs::remove_all(folder_, ignored);
    }
    std::string base(const std::string& name) const { return (fs::path(folder_) / name).string(); }
    void write(const std::string& fileName, const std::string& text) const {
        std::ofstream(fs::path(folder_) / fileName) << text;
    }
    bool ok() const { return !folder_.empty(); }

private:
    std::string folder_;
};

struct Console {
    std::string out;
    std::string err;
};

Console capture(const std::function<void()>& action) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    action();
    Console console;
    console.err = ::testing::internal::GetCapturedStderr();
    console.out = ::testing::internal::GetCapturedStdout();
    return console;
}

// Both streams into one file, so the order of lines across them shows.
std::string captureInterleaved(const std::function<void()>& action) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return "(no temporary file)";
    int savedOut = dup(1);
    int savedErr = dup(2);
    dup2(fileno(file), 1);
    dup2(fileno(file), 2);
    action();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    std::string text;
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text.push_back(static_cast<char>(c));
    std::fclose(file);
    return text;
}

void drainGlErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

// True if no shader or program exists among the next names after probe:
// GL hands out names upwards, so anything created after probe would be there.
bool nothingCreatedAfter(GLuint probe) {
    for (GLuint name = probe + 1; name <= probe + 16; ++name) {
        if (glIsShader(name) || glIsProgram(name)) return false;
    }
    return true;
}

TEST(ShaderLoading, MissingSourceFilesGiveOneLineAndNoGlObject) {
    ShaderFiles files;
    ASSERT_TRUE(files.ok());
    files.write("onlyfrag.frag", kPlainFragment);
    files.write("onlyvert.vert", kPlainVertex);
    files.write("feedback.vert", kPlainVertex);
    drainGlErrors();

    struct Case {
        std::string base;
        bool feedback;
        std::string expectedErr;
    };
    const std::vector<Case> cases = {
        {files.base("onlyfrag"), false, "Vertex shader file " + files.base("onlyfrag") + ".vert does not exist.\n"},
        {files.base("nothing"), false, "Vertex shader file " + files.base("nothing") + ".vert does not exist.\n"},
        {files.base("onlyvert"), false, "Fragment shader file " + files.base("onlyvert") + ".frag does not exist.\n"},
        {files.base("feedback"), true,
         "load shader with GS\nGeometry shader file " + files.base("feedback") + ".geom.c does not exist.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        GLuint probe = glCreateShader(GL_VERTEX_SHADER);
        ShaderProgram shader;
        Console console = capture([&] {
            shader = c.feedback ? loadFeedbackShaderProgram(c.base) : loadShaderProgram(c.base);
        });
        EXPECT_EQ(console.err, c.expectedErr);
        EXPECT_EQ(console.out, "");
        EXPECT_FALSE(shader.loaded);
        EXPECT_EQ(shader.vertexShader, 0u);
        EXPECT_EQ(shader.fragmentShader, 0u);
        EXPECT_EQ(shader.program, 0u);
        EXPECT_TRUE(nothingCreatedAfter(probe));
        glDeleteShader(probe);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ShaderLoading, BrokenFragmentShaderIsReportedThenFailsToLink) {
    ShaderFiles files;
    ASSERT_TRUE(files.ok());
    files.write("broken.vert", kPlainVertex);
    files.write("broken.frag", "#version 150\nout vec4 out_color;\nvoid main() { out_color = vec4(1.0) }\n");
    drainGlErrors();

    ShaderProgram shader;
    Console console = capture([&] { shader = loadShaderProgram(files.base("broken")); });
    EXPECT_EQ(console.err, "Could not compile shader ''\nShader linking failed: ''\n");
    const std::string header = "Shader compilation failed.\n";
    ASSERT_EQ(console.out.compare(0, header.size(), header), 0) << console.out;
    // The compiler's log, then the linker's: two non-empty reports.
    EXPECT_NE(console.out.find("error", header.size()), std::string::npos) << console.out;
    EXPECT_FALSE(shader.loaded);
    EXPECT_EQ(shader.program, 0u);
    // The shaders stay in the record, to be released with it.
    EXPECT_TRUE(glIsShader(shader.vertexShader));
    EXPECT_TRUE(glIsShader(shader.fragmentShader));
    destroyShaderProgram(shader);

    // The same failure once more with both streams in one file: the order of
    // the lines across stdout and stderr.
    std::string trail = captureInterleaved([&] { shader = loadShaderProgram(files.base("broken")); });
    const std::string start = "Shader compilation failed.\nCould not compile shader ''\n";
    ASSERT_EQ(trail.compare(0, start.size(), start), 0) << trail;
    std::size_t compileLog = start.size();
    std::size_t linkLine = trail.find("Shader linking failed: ''\n");
    ASSERT_NE(linkLine, std::string::npos) << trail;
    EXPECT_GT(linkLine, compileLog) << "the compiler log comes before the link failure\n" << trail;
    EXPECT_GT(trail.size(), linkLine + std::string("Shader linking failed: ''\n").size())
        << "the linker log follows\n" << trail;
    destroyShaderProgram(shader);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Mesa never fails a compile or link without a log, so an empty log is only
// seen on success: a clean program leaves no line on stdout at all.
TEST(ShaderLoading, CleanProgramPrintsNoLogLine) {
    ShaderFiles files;
    ASSERT_TRUE(files.ok());
    files.write("clean.vert", kPlainVertex);
    files.write("clean.frag", kPlainFragment);
    ShaderProgram shader;
    Console console = capture([&] { shader = loadShaderProgram(files.base("clean")); });
    EXPECT_EQ(console.out, "");
    EXPECT_EQ(console.err, "");
    EXPECT_TRUE(shader.loaded);
    EXPECT_NE(shader.program, 0u);
    destroyShaderProgram(shader);
}

// CR LF sources must reach the compiler as LF, or a line continuation
// becomes a stray backslash.
TEST(ShaderLoading, SourcesAreReadAsText) {
    ShaderFiles files;
    ASSERT_TRUE(files.ok());
    {
        std::ofstream out(fs::path(files.base("crlf.vert")), std::ios::binary);
        out << "#version 150\r\nin vec4 in_position;\r\nvoid main() { gl_Position = \\\r\n in_position; }\r\n";
    }
    EXPECT_TRUE(fileExists(files.base("crlf.vert")));
    EXPECT_FALSE(fileExists(files.base("absent.vert")));
    EXPECT_EQ(readTextFile(files.base("crlf.vert")),
              "#version 150\nin vec4 in_position;\nvoid main() { gl_Position = \\\n in_position; }\n");
}

TEST(ShaderLoading, FailedRelinkLeavesNoProgram) {
    ShaderFiles files;
    ASSERT_TRUE(files.ok());
    files.write("clash.vert", kPlainVertex);
    // Binding "extra" to colour 0 collides with the fixed location of out_color.
    files.write("clash.frag",
                "#version 150\n#extension GL_ARB_explicit_attrib_location : require\n"
                "layout(location = 0) out vec4 out_color;\nout vec4 extra;\n"
                "void main() { out_color = vec4(1.0); extra = vec4(0.0); }\n");
    ShaderProgram shader;
    capture([&] { shader = loadShaderProgram(files.base("clash")); });
    ASSERT_NE(shader.program, 0u) << "an unbound second output links on its own";
    GLuint oldProgram = shader.program;

    Console console = capture([&] { bindFragmentOutput(shader, "extra"); });
    EXPECT_EQ(console.err, "Shader linking failed: ''\n");
    EXPECT_NE(console.out, "");
    EXPECT_EQ(shader.program, 0u);
    EXPECT_FALSE(shader.loaded);
    EXPECT_FALSE(glIsProgram(oldProgram));

    // A record without a program is skipped silently.
    drainGlErrors();
    console = capture([&] { bindFragmentOutput(shader, "out_color"); });
    EXPECT_EQ(console.err, "");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    destroyShaderProgram(shader);
}

TEST(ShaderLoading, FeedbackProgramCapturesTheParticleRecordInOrder) {
    drainGlErrors();
    ShaderProgram snow;
    Console console = capture([&] { snow = loadFeedbackShaderProgram("Shaders/snow"); });
    EXPECT_EQ(console.err, "load shader with GS\ncompile VS\ncompile GS\nload shader with GS done\n");
    EXPECT_EQ(console.out, "");
    ASSERT_NE(snow.program, 0u);
    EXPECT_TRUE(snow.loaded);

    GLint mode = 0, count = 0, stride = 0;
    glGetProgramiv(snow.program, GL_TRANSFORM_FEEDBACK_BUFFER_MODE, &mode);
    glGetProgramiv(snow.program, GL_TRANSFORM_FEEDBACK_VARYINGS, &count);
    EXPECT_EQ(mode, GL_INTERLEAVED_ATTRIBS);
    ASSERT_EQ(count, 5);
    const char* names[5] = {"tf_life", "tf_type", "tf_vel", "tf_position", "tf_dir"};
    const GLenum types[5] = {GL_FLOAT, GL_FLOAT, GL_FLOAT, GL_FLOAT_VEC4, GL_FLOAT_VEC2};
    for (GLuint i = 0; i < 5; ++i) {
        char name[64] = {};
        GLsizei length = 0, size = 0;
        GLenum type = 0;
        glGetTransformFeedbackVarying(snow.program, i, sizeof(name), &length, &size, &type, name);
        EXPECT_STREQ(name, names[i]) << "varying " << i;
        EXPECT_EQ(type, types[i]) << names[i];
        EXPECT_EQ(size, 1) << names[i];
        stride += (type == GL_FLOAT_VEC4 ? 4 : type == GL_FLOAT_VEC2 ? 2 : 1) * 4;
    }
    EXPECT_EQ(stride, 36) << "one particle record";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    destroyShaderProgram(snow);
}

// The second link, after the varyings are declared, can fail on its own (a
// geometry shader without one of the outputs); that must not count as loaded.
TEST(ShaderLoading, FeedbackProgramMissingAVaryingIsNotLoaded) {
    ShaderFiles files;
    ASSERT_TRUE(files.ok());
    files.write("short.vert", kPlainVertex);
    files.write("short.geom.c",
                "#version 150\nlayout(points) in;\nlayout(points, max_vertices = 1) out;\n"
                "out float tf_life;\nout float tf_type;\nout float tf_vel;\nout vec4 tf_position;\n"
                "void main() { tf_life = 1.0; tf_type = 0.0; tf_vel = 1.0; tf_position = vec4(0.0);\n"
                "  gl_Position = vec4(0.0); EmitVertex(); }\n");
    ShaderProgram shader;
    Console console = capture([&] { shader = loadFeedbackShaderProgram(files.base("short")); });
    EXPECT_EQ(console.err,
              "load shader with GS\ncompile VS\ncompile GS\nShader linking failed: ''\nload shader with GS done\n");
    EXPECT_NE(console.out.find("tf_dir"), std::string::npos) << console.out;
    EXPECT_EQ(shader.program, 0u);
    EXPECT_FALSE(shader.loaded);
    destroyShaderProgram(shader);
}

// Every program the game ships compiles and links cleanly on Mesa, keeps the
// model attributes at their shared locations, and survives the output binding.
TEST(GamePrograms, AllElevenLoadBindAndRelease) {
    drainGlErrors();
    GamePrograms programs;
    Console console = capture([&] { programs = loadGamePrograms(); });
    EXPECT_EQ(console.err,
              "shader load, snow:\nload shader with GS\ncompile VS\ncompile GS\nload shader with GS done\n"
              "shader load, snow2:\n");
    EXPECT_EQ(console.out, "") << "compiler or linker complaints";

    struct Entry {
        const char* name;
        ShaderProgram* shader;
        const char* output;  // what colour 0 must end up as; null: not bound
    };
    Entry entries[] = {
        {"colour", &programs.shadowDepth, "out_color"},
        {"phongphong", &programs.litPlain, "out_color"},
        {"transparency", &programs.seeThrough, "out_color"},
        {"shadow", &programs.shadow, nullptr},
        {"texture", &programs.litTextured, "out_texture"},
        {"simplestShader", &programs.simplest, nullptr},
        {"text", &programs.overlay, "out_texture"},
        {"snowGround", &programs.snowGround, "out_color"},
        {"terrain", &programs.heightCapture, "out_color"},
        {"snow", &programs.snowUpdate, nullptr},
        {"snow2", &programs.snowPoints, "out_color"},
    };
    for (const Entry& e : entries) {
        EXPECT_NE(e.shader->program, 0u) << e.name;
        EXPECT_TRUE(e.shader->loaded) << e.name;
    }

    // A model imported with one program is drawn with the others, so every
    // model program must agree on where each attribute lives.
    const char* attributes[4] = {"in_position", "in_normal", "in_texture", "in_colour"};
    for (const Entry& e : entries) {
        if (std::string(e.name).rfind("snow", 0) == 0 && std::string(e.name) != "snowGround") continue;
        for (GLint location = 0; location < 4; ++location) {
            GLint found = glGetAttribLocation(e.shader->program, attributes[location]);
            EXPECT_TRUE(found == -1 || found == location) << e.name << " " << attributes[location] << " at " << found;
        }
    }

    console = capture([&] { bindGameFragmentOutputs(programs); });
    EXPECT_EQ(console.err, "");
    EXPECT_EQ(console.out, "");
    for (const Entry& e : entries) {
        ASSERT_NE(e.shader->program, 0u) << e.name << " lost by the relink";
        if (e.output) {
            EXPECT_EQ(glGetFragDataLocation(e.shader->program, e.output), 0) << e.name;
        }
    }
    GLint shadowOut = glGetFragDataLocation(programs.shadow.program, "out_color");
    GLint shadowFragment = glGetFragDataLocation(programs.shadow.program, "fragment_color");
    EXPECT_TRUE(shadowOut == 0 || shadowFragment == 0) << "shadow writes colour 0 under one of its names";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    std::vector<GLuint> names;
    for (const Entry& e : entries) {
        names.push_back(e.shader->program);
        names.push_back(e.shader->vertexShader);
        names.push_back(e.shader->fragmentShader);
    }
    destroyGamePrograms(programs);
    for (GLuint name : names) EXPECT_FALSE(glIsProgram(name) || glIsShader(name)) << name;
    destroyGamePrograms(programs);  // a second release touches nothing
    for (const Entry& e : entries) EXPECT_EQ(e.shader->program, 0u) << e.name;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Quads at the shared model attribute locations: position (0), texture (2),
// colour (3); each vertex x, y, z, u, v, r, g, b.
struct QuadMesh {
    GLuint vertexArray = 0;
    GLuint buffer = 0;
    GLsizei vertexCount = 0;
};

QuadMesh makeQuads(const std::vector<float>& vertices) {
    QuadMesh mesh;
    mesh.vertexCount = static_cast<GLsizei>(vertices.size() / 8);
    glGenVertexArrays(1, &mesh.vertexArray);
    glBindVertexArray(mesh.vertexArray);
    glGenBuffers(1, &mesh.buffer);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
                 GL_STATIC_DRAW);
    const GLsizei stride = 8 * sizeof(float);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);  // w defaults to 1
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(5 * sizeof(float)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return mesh;
}

void releaseQuads(QuadMesh& mesh) {
    glDeleteVertexArrays(1, &mesh.vertexArray);
    glDeleteBuffers(1, &mesh.buffer);
}

// Two triangles over the parallelogram corner, corner + along, corner + across.
void addQuad(std::vector<float>& out, const glm::vec3& corner, const glm::vec3& along, const glm::vec3& across,
             float u0, float u1, const glm::vec3& colour) {
    const glm::vec3 p[4] = {corner, corner + along, corner + along + across, corner + across};
    const float u[4] = {u0, u1, u1, u0};
    const float v[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    for (int i : {0, 1, 2, 0, 2, 3}) {
        out.insert(out.end(), {p[i].x, p[i].y, p[i].z, u[i], v[i], colour.r, colour.g, colour.b});
    }
}

void setMatrix(GLuint program, const char* name, const glm::mat4& value) {
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(value));
}

// The capture renders the landscape from above into a float target; each
// pixel must hold the world height of the surface there, exactly for a level
// surface (the float quarter turn of the capture view must not tilt it).
TEST(ShippedShaders, TerrainWritesTheWorldHeightIntoRed) {
    ShaderProgram terrain;
    capture([&] { terrain = loadShaderProgram("Shaders/terrain"); });
    bindFragmentOutput(terrain, "out_color");
    ASSERT_NE(terrain.program, 0u);

    GLuint renderbuffer = 0, framebuffer = 0;
    glGenRenderbuffers(1, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_R32F, 64, 64);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, 64, 64);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    // Two flat terraces, world x < 66 at height 12.5 and x >= 66 at 140.
    std::vector<float> vertices;
    addQuad(vertices, {-380.0f, 12.5f, 380.0f}, {446.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -780.0f}, 0, 0, {});
    addQuad(vertices, {66.0f, 140.0f, 380.0f}, {446.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -780.0f}, 0, 0, {});
    QuadMesh mesh = makeQuads(vertices);

    glm::mat4 projection = glm::ortho(-380.0f, 512.0f, -400.0f, 380.0f, -200.0f, 50.0f);
    glm::mat4 view = glm::rotate(glm::mat4(1.0f), glm::radians(90.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 5.0f, 0.0f));  // lifts both by 5
    glUseProgram(terrain.program);
    setMatrix(terrain.program, "pvm_mat", projection * view * model);
    setMatrix(terrain.program, "vm_mat", view * model);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glBindVertexArray(mesh.vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, mesh.vertexCount);
    glBindVertexArray(0);
    glUseProgram(0);

    std::vector<float> heights(64 * 64, -1.0f);
    glReadPixels(0, 0, 64, 64, GL_RED, GL_FLOAT, heights.data());
    // Column 10 lies at world x about -240, column 50 at about 317; rows 2 to
    // 60 inside both terraces.
    for (int row = 2; row < 60; ++row) {
        EXPECT_FLOAT_EQ(heights[static_cast<std::size_t>(row * 64 + 10)], 17.5f) << "row " << row;
        EXPECT_FLOAT_EQ(heights[static_cast<std::size_t>(row * 64 + 50)], 145.0f) << "row " << row;
    }

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &renderbuffer);
    releaseQuads(mesh);
    destroyShaderProgram(terrain);
    glViewport(0, 0, 1200, 1000);
    glEnable(GL_DEPTH_TEST);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The overlay images keep pure black as background: texels whose brightest
// channel is under 0.1 are cut out, the rest is tinted by the vertex colour.
TEST(ShippedShaders, TextCutsOutBlackAndTintsTheRest) {
    ShaderProgram text;
    capture([&] { text = loadShaderProgram("Shaders/text"); });
    bindFragmentOutput(text, "out_texture");
    ASSERT_NE(text.program, 0u);

    // Black, near black (brightest 0.086), dark red (0.2) and a light tan.
    const unsigned char texels[4 * 3] = {0, 0, 0, 20, 12, 22, 51, 0, 0, 204, 153, 102};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 4, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    // One quad over the whole window, tinted (1, 0.5, 1).
    std::vector<float> vertices;
    addQuad(vertices, {-1.0f, -1.0f, 0.0f}, {2.0f, 0.0f, 0.0f}, {0.0f, 2.0f, 0.0f}, 0.0f, 1.0f,
            {1.0f, 0.5f, 1.0f});
    QuadMesh mesh = makeQuads(vertices);
    glViewport(0, 0, 400, 100);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glUseProgram(text.program);
    glUniform1i(glGetUniformLocation(text.program, "texUnit"), 0);
    setMatrix(text.program, "proj_mat", glm::mat4(1.0f));
    setMatrix(text.program, "view_mat", glm::mat4(1.0f));
    setMatrix(text.program, "model_mat", glm::mat4(1.0f));
    glBindVertexArray(mesh.vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, mesh.vertexCount);
    glBindVertexArray(0);
    glUseProgram(0);

    unsigned char pixels[4][3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int i = 0; i < 4; ++i) glReadPixels(50 + 100 * i, 50, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixels[i]);
    const int expected[4][3] = {{0, 0, 255}, {0, 0, 255}, {51, 0, 0}, {204, 77, 102}};
    for (int i = 0; i < 4; ++i) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(pixels[i][c], expected[i][c], 1) << "texel " << i << " channel " << c;
    }

    releaseQuads(mesh);
    glDeleteTextures(1, &texture);
    destroyShaderProgram(text);
    glViewport(0, 0, 1200, 1000);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
