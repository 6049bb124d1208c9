// Shadow mapping: the depth texture and its framebuffer, and the per-frame
// pass that renders the casters from the light into it.
#include "render/shadow_map.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>

#include "render/draw.h"
#include "render/gl_check.h"

void applyDepthCompareSampling() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
    // Lookups outside the map compare against the far end: lit.
    const GLfloat border[4] = {1.0f, 0.0f, 0.0f, 0.0f};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LESS);
}

ShadowMap createShadowMap() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glActiveTexture(GL_TEXTURE1);

    GLuint depthTexture = 0;
    glGenTextures(1, &depthTexture);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, kShadowMapSize, kShadowMapSize, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_BYTE, nullptr);
    applyDepthCompareSampling();
    glBindTexture(GL_TEXTURE_2D, depthTexture);

    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    const GLenum noColour = GL_NONE;
    glDrawBuffers(1, &noColour);

    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::printf("Couldn't create frame buffer\n");
        std::fflush(stdout);
        std::exit(0);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glActiveTexture(GL_TEXTURE0);
    checkGlError("after basic shadow mapping");
    return ShadowMap{framebuffer, depthTexture};
}

void destroyShadowMap(ShadowMap& shadowMap) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (shadowMap.framebuffer != 0) glDeleteFramebuffers(1, &shadowMap.framebuffer);
    if (shadowMap.depthTexture != 0) glDeleteTextures(1, &shadowMap.depthTexture);
    shadowMap = ShadowMap{};
}

void renderShadowPass(const ShadowMap& shadowMap, const DrawList& list, const ShaderProgram& depthProgram,
                      unsigned int groundTexture, const FrameView& view) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, groundTexture);
    glActiveTexture(GL_TEXTURE1);
    glViewport(0, 0, kShadowMapSize, kShadowMapSize);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowMap.framebuffer);
    // Set but never enabled: the back-faces-only pass keeps lit faces clear
    // of their own depth without an offset.
    glPolygonOffset(1.1f, 4.0f);
    glCullFace(GL_FRONT);
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    for (int i = 0; i < list.count; ++i) {
        const DrawItem& item = list.items[static_cast<std::size_t>(i)];
        if (item.flags & kCastsShadow) drawShadowCaster(item, depthProgram, view);
    }

    glBindFramebuffer(GL_FRAMEBUFFER, view.target);
    glCullFace(GL_BACK);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPolygonOffset(0.0f, 0.0f);
    glActiveTexture(GL_TEXTURE0);
    glViewport(0, 0, view.width, view.height);
}
