// The sRGB output: colour writes switched per kind of draw, and the frame
// target chosen once from the window's colour encoding.
#include "render/srgb_output.h"

#include <GL/glew.h>

namespace {

// Storage for the target's current size; false when the GL refuses it.
bool allocateTargetStorage(FrameTarget& target, int width, int height) {
    glBindRenderbuffer(GL_RENDERBUFFER, target.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_SRGB8_ALPHA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, target.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    target.width = width;
    target.height = height;
    // Attached once they exist: a renderbuffer name is no object until first bound.
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, target.colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, target.depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, target.window);
    return complete;
}

// Gives up the off-screen target: frames go to the window itself.
void drawIntoTheWindow(FrameTarget& target, int width, int height) {
    const unsigned int window = target.window;
    destroyFrameTarget(target);
    target.framebuffer = window;
    target.window = window;
    target.width = width;
    target.height = height;
}

}  // namespace

void setColourWrites(ColourWrites writes) {
    if (writes == ColourWrites::EncodeLinearLight)
        glEnable(GL_FRAMEBUFFER_SRGB);
    else
        glDisable(GL_FRAMEBUFFER_SRGB);
}

ColourWrites colourWrites() {
    return glIsEnabled(GL_FRAMEBUFFER_SRGB) ? ColourWrites::EncodeLinearLight : ColourWrites::AsTheyAre;
}

bool framebufferEncodesSrgb(unsigned int framebuffer) {
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    GLint encoding = GL_LINEAR;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, framebuffer == 0 ? GL_BACK_LEFT : GL_COLOR_ATTACHMENT0,
                                          GL_FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING, &encoding);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
    return encoding == GL_SRGB;
}

FrameTarget makeFrameTarget(unsigned int window, int width, int height) {
    setColourWrites(ColourWrites::EncodeLinearLight);
    FrameTarget target;
    target.framebuffer = window;
    target.window = window;
    target.width = width;
    target.height = height;
    if (framebufferEncodesSrgb(window)) return target;

    glGenFramebuffers(1, &target.framebuffer);
    glGenRenderbuffers(1, &target.colour);
    glGenRenderbuffers(1, &target.depth);
    // A minimised window has no size yet; the first frame with one sizes it.
    // Should the GL refuse it, a darker scene beats no picture at all.
    if (!allocateTargetStorage(target, width > 0 ? width : 1, height > 0 ? height : 1))
        drawIntoTheWindow(target, width, height);
    return target;
}

void beginFrameTarget(FrameTarget& target, int width, int height) {
    if (target.framebuffer != target.window && width > 0 && height > 0 &&
        (width != target.width || height != target.height) && !allocateTargetStorage(target, width, height))
        drawIntoTheWindow(target, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
}

void presentFrameTarget(const FrameTarget& target) {
    if (target.framebuffer == target.window) return;
    // With the encoding switched on, the copy would decode the target's
    // bytes into the linear window: the scene would come out dark again.
    const ColourWrites before = colourWrites();
    setColourWrites(ColourWrites::AsTheyAre);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target.window);
    glBlitFramebuffer(0, 0, target.width, target.height, 0, 0, target.width, target.height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    setColourWrites(before);
}

void destroyFrameTarget(FrameTarget& target) {
    if (target.framebuffer != target.window) {
        glBindFramebuffer(GL_FRAMEBUFFER, target.window);
        if (target.framebuffer != 0) glDeleteFramebuffers(1, &target.framebuffer);
        if (target.colour != 0) glDeleteRenderbuffers(1, &target.colour);
        if (target.depth != 0) glDeleteRenderbuffers(1, &target.depth);
    }
    target = FrameTarget{};
}
