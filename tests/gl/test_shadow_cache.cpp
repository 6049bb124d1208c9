// The shadow map kept up to date by rectangles against the same map drawn
// whole, texel for texel, through scripted play with the real game's casters;
// and the lookups beyond the map's edge.

#include "app/game_app.h"
#include "game/game_frame.h"
#include "game/ghosts.h"
#include "render/draw.h"
#include "render/shadow_map.h"
#include "tests/gl/gl_test_support.h"
#include "tests/support/scratch_files.h"

namespace {

std::vector<GLuint> readDepth(GLuint framebuffer) {
    std::vector<GLuint> texels(static_cast<std::size_t>(kShadowMapSize) * kShadowMapSize);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(0, 0, kShadowMapSize, kShadowMapSize, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, texels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return texels;
}

// How many texels differ and the first of them with both depths: where the kept map went stale.
testing::AssertionResult sameTexels(const std::vector<GLuint>& kept, const std::vector<GLuint>& redrawn) {
    std::size_t differing = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i] == redrawn[i]) continue;
        if (differing++ == 0) first = i;
    }
    if (differing == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << differing << " of " << kept.size() << " texels differ, the first at ("
                                       << first % kShadowMapSize << ", " << first / kShadowMapSize << "): kept "
                                       << kept[first] << ", redrawn " << redrawn[first];
}

// Walking, turning with the right button, ghosts patrolling, two cakes
// picked up, a resize and a few wireframe frames.
TEST(ShadowCache, EqualsAFullRedrawEveryFrame) {
    ScratchDirectory scratch;
    ASSERT_NO_FATAL_FAILURE(scratch.enter(true));
    static GameApp app;  // released with the process, like the window
    ASSERT_EQ(loadGame(app), 0);
    ShadowMap whole = createShadowMap();
    onWindowResize(app.view, 1200, 1000);
    app.scene.lastWheelPosition = 0;
    startGhosts(app.scene, 0.5f);

    int framesWithMovedShadows = 0;
    std::vector<GLuint> previous;
    for (int f = 0; f < 75; ++f) {
        SCOPED_TRACE(f);
        InputState input;  // walking, then turning with the right button held
        setHeld(input, f < 30 ? Key::W : Key::D, f < 55);
        input.rightButton = f >= 15 && f < 25;
        input.mouseX = 700;
        input.mouseY = 500;
        updateGameFrame(app.scene, app.view.mainCamera, app.heightMap, input, 0.1f, 0.1f * f);
        if (f == 20 || f == 45) {  // a cake picked up: its shadow goes
            app.scene.cakes[f == 20 ? 0 : 9].collected = true;
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
        ASSERT_TRUE(sameTexels(kept, readDepth(whole.framebuffer)));
        framesWithMovedShadows += kept != previous;
        previous = std::move(kept);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    EXPECT_GT(framesWithMovedShadows, 60) << "the script must really move shadows, or the comparison proves nothing";
    destroyShadowMap(whole);
    scratch.leave();
}

// Ground beyond the map's edge is lit: lookups there compare against a far border.
TEST(ShadowCache, LookupsBeyondTheMapReadTheFarBorder) {
    ShadowMap map = createShadowMap();
    glBindTexture(GL_TEXTURE_2D, map.depthTexture);
    GLint wrapS = 0;
    GLint wrapT = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    GLfloat border[4] = {0, 0, 0, 0};
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    EXPECT_EQ(wrapS, GL_CLAMP_TO_BORDER);
    EXPECT_EQ(wrapT, GL_CLAMP_TO_BORDER);
    EXPECT_EQ(border[0], 1.0f) << "the border's depth";
    destroyShadowMap(map);
}

}  // namespace
