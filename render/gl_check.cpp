// GL error reporting.
#include "render/gl_check.h"

#include <GL/glew.h>

#include <cstdio>

namespace {

const char* describeGlError(GLenum error) {
    switch (error) {
    case GL_INVALID_ENUM:
        return "GL: enum argument out of range.";
    case GL_INVALID_VALUE:
        return "GL: Numeric argument out of range.";
    case GL_INVALID_OPERATION:
        return "GL: Operation illegal in current state.";
    case GL_OUT_OF_MEMORY:
        return "GL: Not enough memory left to execute command.";
    case GL_INVALID_FRAMEBUFFER_OPERATION:
        return "GL: Framebuffer object is not complete.";
    default:
        return "GL: Unknown error.";
    }
}

}  // namespace

void checkGlError(const char* label) {
    GLenum error = glGetError();
    if (error == GL_NO_ERROR) return;
    std::fprintf(stderr, "Error at '%s'\n%s\n", label, describeGlError(error));
    std::fflush(stderr);
}
