// One frame's 3D passes: the shadow pass, then the scene in its fixed draw
// order, either behind the frustum test or drawn whole.
#include "render/frame_passes.h"

#include <GL/glew.h>

#include "render/draw.h"
#include "render/shadow_map.h"

namespace {

// Behind the frustum test every object is drawn one-sided, with the shadow
// map, "torte" 0 and its culled program (the ghosts go untextured).
DrawItem culledVariant(const DrawItem& item) {
    DrawItem culled = item;
    culled.program = item.culledProgram;
    culled.flags &= ~(kTorte | kNoShadowMapWhenWhole);
    return culled;
}

int drawCulledScene(const DrawList& list, const FrameView& view) {
    int drawn = 0;
    for (int i = 0; i < list.count; ++i)
        if (drawModelIfVisible(culledVariant(list.items[static_cast<std::size_t>(i)]), view)) ++drawn;
    return drawn;
}

int drawWholeScene(const DrawList& list, const FrameView& view) {
    for (int i = 0; i < list.count; ++i) {
        const DrawItem& item = list.items[static_cast<std::size_t>(i)];
        // The landscape shows both sides of its faces, whichever way they wind.
        const bool twoSided = (item.flags & kTorte) != 0;
        if (twoSided) glDisable(GL_CULL_FACE);
        drawModel(item, view);
        if (twoSided) glEnable(GL_CULL_FACE);
    }
    return list.count;
}

}  // namespace

int renderFramePasses(const DrawList& list, ShadowMap& shadowMap, const ShaderProgram& depthProgram,
                      unsigned int groundTexture, const FrameView& view, bool frustumCulling) {
    renderShadowPass(shadowMap, list, depthProgram, groundTexture, view);
    return frustumCulling ? drawCulledScene(list, view) : drawWholeScene(list, view);
}
