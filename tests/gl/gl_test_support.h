// What the GL tests share: the window's view, programs with their colour
// output bound, framebuffers of a chosen storage and pixel read-back.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "math/view.h"
#include "render/shader_program.h"
#include "tests/support/glm_print.h"

// The tests' 1200 x 1000 window as the game's view has it once the window reports its size.
inline View windowView() {
    View view = makeView();
    onWindowResize(view, 1200, 1000);
    return view;
}

inline ShaderProgram loadBound(const std::string& base, const char* output) {
    ShaderProgram program = loadShaderProgram(base);
    bindFragmentOutput(program, output);
    return program;
}

// A framebuffer with a colour renderbuffer of the given storage and a depth-stencil one.
struct RenderTarget {
    GLuint framebuffer = 0, colour = 0, depth = 0;
};

inline RenderTarget makeRenderTarget(GLenum storage, int width, int height) {
    RenderTarget t;
    glGenFramebuffers(1, &t.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
    glGenRenderbuffers(1, &t.colour);
    glBindRenderbuffer(GL_RENDERBUFFER, t.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, storage, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, t.colour);
    glGenRenderbuffers(1, &t.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, t.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, t.depth);
    return t;
}

inline void destroyRenderTarget(RenderTarget& t) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &t.framebuffer);
    glDeleteRenderbuffers(1, &t.colour);
    glDeleteRenderbuffers(1, &t.depth);
    t = RenderTarget{};
}

// RGB bytes of a framebuffer's box (0: the window's back buffer), bottom row first.
inline std::vector<unsigned char> readRgb(GLuint framebuffer, int x, int y, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return pixels;
}
