// checkGlError against real GL errors provoked in a context.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

#include "render/gl_check.h"

namespace {

std::string checkAndCapture(const char* label) {
    ::testing::internal::CaptureStderr();
    checkGlError(label);
    return ::testing::internal::GetCapturedStderr();
}

void drainGlErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST(GlCheck, NoPendingErrorWritesNothing) {
    drainGlErrors();
    EXPECT_EQ(checkAndCapture("quiet"), "");
}

TEST(GlCheck, InvalidOperationIsReportedUnderItsLabel) {
    drainGlErrors();
    glEndQuery(GL_SAMPLES_PASSED);  // no query is active: GL_INVALID_OPERATION
    EXPECT_EQ(checkAndCapture("SM"), "Error at 'SM'\nGL: Operation illegal in current state.\n");
}

// Mesa keeps a single error flag (the GL allows that), so two errors cannot
// be queued there; each check must still report exactly the one it takes.
TEST(GlCheck, SuccessiveErrorsAreReportedOneCheckEach) {
    drainGlErrors();
    glEnable(0x1234);  // GL_INVALID_ENUM
    std::string first = checkAndCapture("first");
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, -1, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);  // GL_INVALID_VALUE
    std::string second = checkAndCapture("second");
    std::string third = checkAndCapture("third");
    EXPECT_EQ(first, "Error at 'first'\nGL: enum argument out of range.\n");
    EXPECT_EQ(second, "Error at 'second'\nGL: Numeric argument out of range.\n");
    EXPECT_EQ(third, "");
}

TEST(GlCheck, StackOverflowIsAnUnknownError) {
    drainGlErrors();
    GLint depth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &depth);
    glMatrixMode(GL_MODELVIEW);
    for (GLint i = 0; i < depth; ++i) glPushMatrix();  // one push too many
    std::string report = checkAndCapture("stack");
    for (GLint i = 0; i < depth - 1; ++i) glPopMatrix();
    drainGlErrors();
    EXPECT_EQ(report, "Error at 'stack'\nGL: Unknown error.\n");
}

}  // namespace
