// The frame target is cleared once a frame, by the end of the shadow pass:
// the pass leaves alone whatever framebuffer was bound when it began, and
// hands the view's target over cleared to the sky.

#include <array>

#include "render/draw.h"
#include "render/shadow_map.h"
#include "tests/gl/gl_test_support.h"

namespace {

std::array<int, 3> pixelOf(GLuint framebuffer) {
    const std::vector<unsigned char> rgb = readRgb(framebuffer, 10, 10, 1, 1);
    return {rgb[0], rgb[1], rgb[2]};
}

void paint(GLuint framebuffer, float r, float g, float b) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TEST(ShadowPassTarget, OnlyTheViewsTargetIsCleared) {
    ShadowMap map = createShadowMap();
    RenderTarget boundBefore = makeRenderTarget(GL_RGBA8, 64, 64);
    RenderTarget frame = makeRenderTarget(GL_RGBA8, 64, 64);
    glDisable(GL_FRAMEBUFFER_SRGB);
    glViewport(0, 0, 64, 64);
    paint(frame.framebuffer, 0.0f, 1.0f, 0.0f);
    paint(boundBefore.framebuffer, 1.0f, 0.0f, 0.0f);  // left bound as the pass begins
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);              // the game's clear colour all along
    FrameView view = makeFrameView(windowView(), Camera{}, glm::mat4(1.0f), 0.0f);
    view.shadowMap = map.depthTexture;
    view.target = frame.framebuffer;
    view.width = view.height = 64;
    renderShadowPass(map, DrawList{}, ShaderProgram{}, 0, view);
    EXPECT_EQ(pixelOf(boundBefore.framebuffer), (std::array<int, 3>{255, 0, 0}))
        << "the framebuffer bound before the pass";
    EXPECT_EQ(pixelOf(frame.framebuffer), (std::array<int, 3>{76, 76, 255})) << "the view's target: the sky";
    destroyRenderTarget(frame);
    destroyRenderTarget(boundBefore);
    destroyShadowMap(map);
    glViewport(0, 0, 1200, 1000);
}

}  // namespace
