// Shadow mapping: the depth textures and their framebuffers, and the
// per-frame pass that keeps the map up to date from the light.
#include "render/shadow_map.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "game/scene_object.h"
#include "math/box.h"
#include "render/draw.h"
#include "render/gl_check.h"
#include "render/model.h"

namespace {

constexpr TexelRect kWholeMap{0, 0, kShadowMapSize, kShadowMapSize};

bool isEmpty(const TexelRect& r) { return r.x0 >= r.x1 || r.y0 >= r.y1; }

TexelRect unite(const TexelRect& a, const TexelRect& b) {
    if (isEmpty(a)) return b;
    if (isEmpty(b)) return a;
    return TexelRect{std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

// A depth texture of the map's size with the comparison sampling, and a
// framebuffer that renders only into it.
void makeDepthTarget(GLuint& texture, GLuint& framebuffer) {
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, kShadowMapSize, kShadowMapSize, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_BYTE, nullptr);
    applyDepthCompareSampling();
    glBindTexture(GL_TEXTURE_2D, texture);

    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture, 0);
    const GLenum noColour = GL_NONE;
    glDrawBuffers(1, &noColour);
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::printf("Couldn't create frame buffer\n");
        std::fflush(stdout);
        std::exit(0);
    }
}

// The state every caster draw of the pass expects. Nothing is cleared here:
// what is bound now is the frame target, which endCasters clears once.
void beginCasters(unsigned int groundTexture) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, groundTexture);
    glActiveTexture(GL_TEXTURE1);
    glViewport(0, 0, kShadowMapSize, kShadowMapSize);
    // Set but never enabled: the back-faces-only pass keeps lit faces clear
    // of their own depth without an offset.
    glPolygonOffset(1.1f, 4.0f);
    glCullFace(GL_FRONT);
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
}

void endCasters(const FrameView& view) {
    glBindFramebuffer(GL_FRAMEBUFFER, view.target);
    glCullFace(GL_BACK);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPolygonOffset(0.0f, 0.0f);
    glActiveTexture(GL_TEXTURE0);
    glViewport(0, 0, view.width, view.height);
}

void drawCasters(const DrawList& list, unsigned int mask, unsigned int flags, const ShaderProgram& depthProgram,
                 const FrameView& view) {
    for (int i = 0; i < list.count; ++i) {
        const DrawItem& item = list.items[static_cast<std::size_t>(i)];
        if ((item.flags & mask) == flags) drawShadowCaster(item, depthProgram, view);
    }
}

void copyDepth(GLuint from, GLuint to, const TexelRect& r) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(r.x0, r.y0, r.x1, r.y1, r.x0, r.y0, r.x1, r.y1, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
}

// Whether the still layer holds exactly the list's still casters, drawn in
// the current polygon mode (the wireframe option draws the map in lines).
bool stillLayerIsCurrent(const ShadowMap& map, const DrawList& list, int polygonMode) {
    if (map.stillCount < 0 || polygonMode != map.stillPolygonMode) return false;
    int n = 0;
    for (int i = 0; i < list.count; ++i) {
        const DrawItem& item = list.items[static_cast<std::size_t>(i)];
        if ((item.flags & (kCastsShadow | kStill)) != (kCastsShadow | kStill)) continue;
        if (n >= map.stillCount || map.stillCasters[static_cast<std::size_t>(n)] != item.object) return false;
        ++n;
    }
    return n == map.stillCount;
}

void drawStillLayer(ShadowMap& map, const DrawList& list, int polygonMode, const ShaderProgram& depthProgram,
                    const FrameView& view) {
    glBindFramebuffer(GL_FRAMEBUFFER, map.stillFramebuffer);
    glClear(GL_DEPTH_BUFFER_BIT);
    drawCasters(list, kCastsShadow | kStill, kCastsShadow | kStill, depthProgram, view);
    map.stillCount = 0;
    for (int i = 0; i < list.count; ++i) {
        const DrawItem& item = list.items[static_cast<std::size_t>(i)];
        if ((item.flags & (kCastsShadow | kStill)) == (kCastsShadow | kStill))
            map.stillCasters[static_cast<std::size_t>(map.stillCount++)] = item.object;
    }
    map.stillPolygonMode = polygonMode;
}

}  // namespace

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
    ShadowMap map;
    makeDepthTarget(map.depthTexture, map.framebuffer);
    makeDepthTarget(map.stillDepthTexture, map.stillFramebuffer);
    glBindTexture(GL_TEXTURE_2D, map.depthTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glActiveTexture(GL_TEXTURE0);
    checkGlError("after basic shadow mapping");
    return map;
}

void destroyShadowMap(ShadowMap& shadowMap) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const GLuint framebuffers[2] = {shadowMap.framebuffer, shadowMap.stillFramebuffer};
    const GLuint textures[2] = {shadowMap.depthTexture, shadowMap.stillDepthTexture};
    glDeleteFramebuffers(2, framebuffers);  // names of 0 are ignored
    glDeleteTextures(2, textures);
    shadowMap = ShadowMap{};
}

TexelRect shadowFootprint(const DrawItem& item, const FrameView& view) {
    if (item.model->meshCount == 0) return TexelRect{};  // draws nothing
    const Box box = worldBox(item.object->model, item.model->bounds);
    const glm::mat4 toClip = view.lightProjection * view.lightView;
    float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
    for (int corner = 0; corner < 8; ++corner) {
        const glm::vec4 clip =
            toClip * glm::vec4(corner & 1 ? box.max.x : box.min.x, corner & 2 ? box.max.y : box.min.y,
                               corner & 4 ? box.max.z : box.min.z, 1.0f);
        // Behind the light (or an empty or broken box) the projection says
        // nothing: the whole map may be touched.
        if (!(clip.w > 0.0f) || !std::isfinite(clip.x) || !std::isfinite(clip.y)) return kWholeMap;
        const float x = (clip.x / clip.w * 0.5f + 0.5f) * kShadowMapSize;
        const float y = (clip.y / clip.w * 0.5f + 0.5f) * kShadowMapSize;
        x0 = corner == 0 ? x : std::min(x0, x);
        y0 = corner == 0 ? y : std::min(y0, y);
        x1 = corner == 0 ? x : std::max(x1, x);
        y1 = corner == 0 ? y : std::max(y1, y);
    }
    // Texel centres inside the projected box, and one more for rounding and lines.
    const auto clampTexel = [](float v) {
        return static_cast<int>(std::min(std::max(v, -1.0f), static_cast<float>(kShadowMapSize) + 1.0f));
    };
    TexelRect r{clampTexel(std::floor(x0)) - 1, clampTexel(std::floor(y0)) - 1, clampTexel(std::ceil(x1)) + 2,
                clampTexel(std::ceil(y1)) + 2};
    r.x0 = std::max(r.x0, 0);
    r.y0 = std::max(r.y0, 0);
    r.x1 = std::min(r.x1, kShadowMapSize);
    r.y1 = std::min(r.y1, kShadowMapSize);
    return r;
}

void renderShadowPass(ShadowMap& shadowMap, const DrawList& list, const ShaderProgram& depthProgram,
                      unsigned int groundTexture, const FrameView& view) {
    beginCasters(groundTexture);
    GLint polygonMode[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);

    // Where the moving casters are now; with last frame's places, that is
    // all the map that can have changed.
    std::array<TexelRect, kMaxDrawItems> now{};
    int nowCount = 0;
    for (int i = 0; i < list.count; ++i) {
        const DrawItem& item = list.items[static_cast<std::size_t>(i)];
        if ((item.flags & (kCastsShadow | kStill)) == kCastsShadow)
            now[static_cast<std::size_t>(nowCount++)] = shadowFootprint(item, view);
    }

    if (!stillLayerIsCurrent(shadowMap, list, polygonMode[0])) {
        drawStillLayer(shadowMap, list, polygonMode[0], depthProgram, view);
        copyDepth(shadowMap.stillFramebuffer, shadowMap.framebuffer, kWholeMap);
    } else {
        // Each caster's places now and last frame as one rectangle; should
        // one of them be the whole map, one copy does for all.
        std::array<TexelRect, kMaxDrawItems> dirty{};
        const int count = std::max(nowCount, shadowMap.movedCount);
        bool whole = false;
        for (int i = 0; i < count; ++i) {
            const std::size_t k = static_cast<std::size_t>(i);
            dirty[k] = unite(i < nowCount ? now[k] : TexelRect{},
                             i < shadowMap.movedCount ? shadowMap.movedRects[k] : TexelRect{});
            whole =
                whole || (dirty[k].x1 - dirty[k].x0 == kShadowMapSize && dirty[k].y1 - dirty[k].y0 == kShadowMapSize);
        }
        for (int i = 0; i < (whole ? 1 : count); ++i) {
            const TexelRect& r = whole ? kWholeMap : dirty[static_cast<std::size_t>(i)];
            if (!isEmpty(r)) copyDepth(shadowMap.stillFramebuffer, shadowMap.framebuffer, r);
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, shadowMap.framebuffer);
    drawCasters(list, kCastsShadow | kStill, kCastsShadow, depthProgram, view);
    shadowMap.movedRects = now;
    shadowMap.movedCount = nowCount;
    endCasters(view);
}

void redrawShadowMap(ShadowMap& shadowMap, const DrawList& list, const ShaderProgram& depthProgram,
                     unsigned int groundTexture, const FrameView& view) {
    beginCasters(groundTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowMap.framebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawCasters(list, kCastsShadow, kCastsShadow, depthProgram, view);
    // The still layer no longer matches what surrounds the moving casters.
    shadowMap.stillCount = -1;
    endCasters(view);
}
