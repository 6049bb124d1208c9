// Shader loading on Mesa: missing and broken sources are reported in the game's words
// (with the compiler's or linker's log on stdout) and leave no usable program behind.

#include <fstream>

#include "render/shader_program.h"
#include "tests/gl/gl_test_support.h"
#include "tests/support/scratch_files.h"

namespace {

TEST(ShaderLoading, FailuresAreReportedAndLeaveNoProgram) {
    ScratchDirectory scratch;
    ASSERT_NO_FATAL_FAILURE(scratch.enter(false));
    for (const char* name : {"onlyvert.vert", "feedback.vert", "broken.vert", "short.vert"})
        std::ofstream(name) << "#version 150\nin vec4 in_position;\nvoid main() { gl_Position = in_position; }\n";
    std::ofstream("onlyfrag.frag") << "#version 150\nout vec4 out_color;\nvoid main() { out_color = vec4(1.0); }\n";
    std::ofstream("broken.frag") << "#version 150\nout vec4 out_color;\nvoid main() { out_color = vec4(1.0) }\n";
    // Without tf_dir: the second link, after the varyings are declared, fails.
    std::ofstream("short.geom.c") << "#version 150\nlayout(points) in;\nlayout(points, max_vertices = 1) out;\n"
                                     "out float tf_life, tf_type, tf_vel;\nout vec4 tf_position;\n"
                                     "void main() { tf_life = tf_type = tf_vel = 1.0; tf_position = vec4(0.0);\n"
                                     "  gl_Position = vec4(0.0); EmitVertex(); }\n";
    const std::string gs = "load shader with GS\n";
    const struct {
        const char* base;
        bool feedback;
        std::string err;
        const char* log;  // how stdout starts and what it names; null: nothing on stdout
    } cases[] = {
        {"onlyfrag", false, "Vertex shader file onlyfrag.vert does not exist.\n", nullptr},
        {"onlyvert", false, "Fragment shader file onlyvert.frag does not exist.\n", nullptr},
        {"feedback", true, gs + "Geometry shader file feedback.geom.c does not exist.\n", nullptr},
        {"broken", false, "Could not compile shader ''\nShader linking failed: ''\n", "Shader compilation failed.\n"},
        {"short", true, gs + "compile VS\ncompile GS\nShader linking failed: ''\nload shader with GS done\n", "tf_dir"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base);
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        ShaderProgram shader = c.feedback ? loadFeedbackShaderProgram(c.base) : loadShaderProgram(c.base);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.err);
        const std::string out = ::testing::internal::GetCapturedStdout();
        if (c.log) {
            EXPECT_NE(out.find(c.log), std::string::npos) << out;
            EXPECT_NE(out.find("error"), std::string::npos) << "the log follows\n" << out;
        } else {
            EXPECT_EQ(out, "");
            EXPECT_EQ(shader.vertexShader + shader.fragmentShader, 0u);  // nothing made for a missing file
        }
        EXPECT_FALSE(shader.loaded);
        EXPECT_EQ(shader.program, 0u);
        destroyShaderProgram(shader);
    }
    scratch.leave();
}

}  // namespace
