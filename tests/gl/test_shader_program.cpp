// Shader loading on Mesa: the console lines for missing and broken sources,
// no usable program after any failure, and every program the game ships.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "render/game_programs.h"
#include "tests/gl/gl_test_support.h"
#include "tests/support/scratch_files.h"

namespace {

const char* const kVertex = "#version 150\nin vec4 in_position;\nvoid main() { gl_Position = in_position; }\n";

struct Console {
    std::string out, err;
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

TEST(ShaderLoading, FailuresAreReportedAndLeaveNoProgram) {
    ScratchDirectory scratch;
    ASSERT_NO_FATAL_FAILURE(scratch.enter(false));
    for (const char* name : {"onlyvert.vert", "feedback.vert", "broken.vert", "short.vert", "clash.vert"})
        std::ofstream(name) << kVertex;
    std::ofstream("onlyfrag.frag") << "#version 150\nout vec4 out_color;\nvoid main() { out_color = vec4(1.0); }\n";
    std::ofstream("broken.frag") << "#version 150\nout vec4 out_color;\nvoid main() { out_color = vec4(1.0) }\n";
    // A geometry shader without tf_dir: the second link, after the varyings are declared, fails.
    std::ofstream("short.geom.c") << "#version 150\nlayout(points) in;\nlayout(points, max_vertices = 1) out;\n"
                                     "out float tf_life, tf_type, tf_vel;\nout vec4 tf_position;\n"
                                     "void main() { tf_life = tf_type = tf_vel = 1.0; tf_position = vec4(0.0);\n"
                                     "  gl_Position = vec4(0.0); EmitVertex(); }\n";
    const struct {
        const char* base;
        bool feedback;
        std::string err;
        const char* inLog;  // what the compiler's or linker's log on stdout names; null: no log
    } cases[] = {
        {"onlyfrag", false, "Vertex shader file onlyfrag.vert does not exist.\n", nullptr},
        {"nothing", false, "Vertex shader file nothing.vert does not exist.\n", nullptr},
        {"onlyvert", false, "Fragment shader file onlyvert.frag does not exist.\n", nullptr},
        {"feedback", true, "load shader with GS\nGeometry shader file feedback.geom.c does not exist.\n", nullptr},
        {"broken", false, "Could not compile shader ''\nShader linking failed: ''\n", "error"},
        {"short", true, "load shader with GS\ncompile VS\ncompile GS\nShader linking failed: ''\nload shader with GS done\n",
         "tf_dir"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base);
        ShaderProgram shader;
        const Console console = capture([&] { shader = c.feedback ? loadFeedbackShaderProgram(c.base) : loadShaderProgram(c.base); });
        EXPECT_EQ(console.err, c.err);
        if (c.inLog) {
            EXPECT_NE(console.out.find(c.inLog), std::string::npos) << console.out;
        } else {
            EXPECT_EQ(console.out, "");
            EXPECT_EQ(shader.vertexShader + shader.fragmentShader, 0u);  // nothing made for a missing file
        }
        EXPECT_FALSE(shader.loaded);
        EXPECT_EQ(shader.program, 0u);
        destroyShaderProgram(shader);
    }
    EXPECT_EQ(capture([] { loadShaderProgram("broken"); }).out.rfind("Shader compilation failed.\n", 0), 0u);

    // Binding a second output to colour 0, where out_color sits by its layout, fails the relink.
    std::ofstream("clash.frag") << "#version 150\n#extension GL_ARB_explicit_attrib_location : require\n"
                                   "layout(location = 0) out vec4 out_color;\nout vec4 extra;\n"
                                   "void main() { out_color = vec4(1.0); extra = vec4(0.0); }\n";
    ShaderProgram clash = loadShaderProgram("clash");
    ASSERT_NE(clash.program, 0u);
    EXPECT_EQ(capture([&] { bindFragmentOutput(clash, "extra"); }).err, "Shader linking failed: ''\n");
    EXPECT_EQ(clash.program, 0u);
    EXPECT_FALSE(clash.loaded);
    destroyShaderProgram(clash);
    scratch.leave();
}

// CR LF sources reach the compiler as LF, or a line continuation becomes a stray backslash.
TEST(ShaderLoading, SourcesAreReadAsText) {
    TempFile crlf("#version 150\r\nvoid main() { gl_Position = \\\r\n vec4(0.0); }\r\n", ".vert");
    EXPECT_EQ(readTextFile(crlf.path()), "#version 150\nvoid main() { gl_Position = \\\n vec4(0.0); }\n");
}

// Every shipped program compiles, links and takes its output binding silently
// on Mesa, and all that draw models agree on the attribute locations (a model
// imported with one program is drawn with the others).
TEST(GamePrograms, AllLoadAndBindSilently) {
    GamePrograms programs;
    Console console = capture([&] {
        programs = loadGamePrograms();
        bindGameFragmentOutputs(programs);
    });
    EXPECT_EQ(console.err, "shader load, snow:\nload shader with GS\ncompile VS\ncompile GS\nload shader with GS done\n"
                           "shader load, snow2:\n");
    EXPECT_EQ(console.out, "") << "compiler or linker complaints";
    for (const ShaderProgram* p : {&programs.shadowDepth, &programs.litPlain, &programs.seeThrough, &programs.shadow,
                                   &programs.litTextured, &programs.simplest, &programs.overlay, &programs.snowGround,
                                   &programs.heightCapture, &programs.snowUpdate, &programs.snowPoints}) {
        ASSERT_TRUE(p->loaded && p->program != 0u);
        if (p == &programs.snowUpdate || p == &programs.snowPoints) continue;
        const char* attributes[4] = {"in_position", "in_normal", "in_texture", "in_colour"};
        for (GLint location = 0; location < 4; ++location) {
            const GLint found = glGetAttribLocation(p->program, attributes[location]);
            EXPECT_TRUE(found == -1 || found == location) << attributes[location] << " at " << found;
        }
    }
    destroyGamePrograms(programs);
}

}  // namespace
