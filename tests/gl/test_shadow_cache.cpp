// The shadow map kept up to date by rectangles against the same map drawn
// whole: the real game's casters through scripted play (walking, turning,
// ghosts patrolling, cakes picked up, the wireframe option, a resize), the
// two depth textures compared texel for texel after every frame.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "app/game_app.h"
#include "game/game_frame.h"
#include "game/ghosts.h"
#include "render/draw.h"
#include "render/draw_list.h"
#include "render/model.h"
#include "render/shadow_map.h"
#include "tests/support/scratch_files.h"

namespace {

std::vector<GLuint> readDepth(GLuint framebuffer) {
    std::vector<GLuint> texels(static_cast<std::size_t>(kShadowMapSize) * kShadowMapSize);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, kShadowMapSize, kShadowMapSize, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, texels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return texels;
}

// Texels that differ, and the first of them.
struct Difference {
    std::size_t count = 0;
    std::size_t first = 0;
};

Difference compare(const std::vector<GLuint>& a, const std::vector<GLuint>& b) {
    Difference d;
    if (std::memcmp(a.data(), b.data(), a.size() * sizeof(GLuint)) == 0) return d;
    for (std::size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i]) {
            ++d.count;
            d.first = i;
        }
    return d;
}

// What the player does in frame f of the script.
InputState scriptedInput(int f) {
    InputState input;
    setHeld(input, f < 30 ? Key::W : Key::D, f < 55);
    if (f >= 15 && f < 25) {  // turning with the right button held
        input.rightButton = true;
        input.mouseX = 700;
        input.mouseY = 500;
    }
    return input;
}

TEST(ShadowCache, EqualsAFullRedrawEveryFrame) {
    ScratchDirectory scratch;
    ASSERT_NO_FATAL_FAILURE(scratch.enter(true));
    static GameApp app;  // released with the process, like the window
    ASSERT_EQ(loadGame(app), 0);
    ShadowMap whole = createShadowMap();
    onWindowResize(app.view, 1200, 1000);
    app.scene.lastWheelPosition = 0;
    startGhosts(app.scene, 0.5f);

    std::size_t movedTexels = 0;
    std::vector<GLuint> previous;
    for (int f = 0; f < 75; ++f) {
        SCOPED_TRACE(f);
        updateGameFrame(app.scene, app.view.mainCamera, app.heightMap, scriptedInput(f), 0.1f, 0.1f * f);
        if (f == 20 || f == 45) {  // a cake picked up: its shadow goes
            SceneObject& cake = app.scene.cakes[f == 20 ? 0 : 9];
            cake.collected = true;
            --app.scene.cakesInWorld;
        }
        if (f == 35) onWindowResize(app.view, 1600, 1200);
        glPolygonMode(GL_FRONT_AND_BACK, f >= 60 && f < 65 ? GL_LINE : GL_FILL);

        const DrawList list = buildDrawList(app.scene, app.models, app.programs, app.textures, true);
        FrameView view = makeFrameView(app.view, app.view.mainCamera, app.view.projectionMatrix, 0.0f);
        view.shadowMap = app.shadowMap.depthTexture;
        renderShadowPass(app.shadowMap, list, app.programs.shadowDepth, app.textures.ground, view);
        view.shadowMap = whole.depthTexture;
        redrawShadowMap(whole, list, app.programs.shadowDepth, app.textures.ground, view);

        std::vector<GLuint> kept = readDepth(app.shadowMap.framebuffer);
        const Difference d = compare(kept, readDepth(whole.framebuffer));
        ASSERT_EQ(d.count, 0u) << "texels differ, first at (" << d.first % kShadowMapSize << ", "
                               << d.first / kShadowMapSize << ")";
        if (!previous.empty()) movedTexels += compare(kept, previous).count;
        previous = std::move(kept);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // The script really moved shadows around (or the comparison proves nothing).
    EXPECT_GT(movedTexels, 100000u);
    destroyShadowMap(whole);
    scratch.leave();
}

// The footprint of a caster holds every texel it can touch; one behind the
// light or with broken bounds may touch any, one without meshes none.
TEST(ShadowCache, FootprintCoversTheCasterOrTheWholeMap) {
    View view = makeView();
    const FrameView frame = makeFrameView(view, view.mainCamera, view.projectionMatrix, 0.0f);
    Model cube;
    cube.meshCount = 1;  // bounds are all the footprint reads
    cube.bounds = Box{glm::vec3(-1.0f), glm::vec3(1.0f)};
    SceneObject object;
    DrawItem item;
    item.model = &cube;
    item.object = &object;

    object.model = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 0.0f));
    const TexelRect centre = shadowFootprint(item, frame);
    EXPECT_GT(centre.x1 - centre.x0, 2);
    EXPECT_LT(centre.x1 - centre.x0, 200);
    // The light looks down on the origin from (0, 200, 200): it is on the map.
    EXPECT_GT(centre.x0, 0);
    EXPECT_LT(centre.x1, kShadowMapSize);

    object.model = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 400.0f, 400.0f));  // behind the light
    const TexelRect behind = shadowFootprint(item, frame);
    EXPECT_EQ(behind.x0, 0);
    EXPECT_EQ(behind.y1, kShadowMapSize);

    cube.bounds = Box{};  // infinite corners
    EXPECT_EQ(shadowFootprint(item, frame).x1, kShadowMapSize);

    cube.meshCount = 0;  // a model that failed to import draws nothing
    const TexelRect nothing = shadowFootprint(item, frame);
    EXPECT_GE(nothing.x0, nothing.x1);
}

}  // namespace
