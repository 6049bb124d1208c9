// The math floor: the orbiting camera and its projections, footprint hits, view-frustum culling.
#include <gtest/gtest.h>

#include "game/ghosts.h"
#include "math/collision.h"
#include "math/frustum.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

const glm::mat4 kIdentity(1.0f);

// A pitch that would reach 0 or 50 is refused while the yaw change stands.
TEST(Camera, LookTurnsByTheCursorOffsetAndKeepsThePitchStrictlyInside) {
    const struct {
        int x, y;
        float dt, pitch, yaw, pitchAfter;
    } cases[] = {
        {600, 500, 0.016f, 40, 0, 40},   {900, 500, 0.01f, 40, -1.25f, 40},  // (600 - 900) / 1200 * 5 * 100 * dt
        {600, 750, 0.01f, 40, 0, 40.5f}, {600, 0, 0.1f, 10, 0, 10},         {600, 1000, 0.1f, 40, 0, 40},
        {0, 0, 0.1f, 10, 25, 10},        {0, 1000, 0.05f, 40, 12.5f, 45}};
    const Camera start = makeView().mainCamera;  // the first frame already shows the pitched eye
    expectNear(glm::vec3(start.orientation[3]), eyeOffset(start), 1e-4f);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "cursor " << c.x << "," << c.y << " from pitch " << c.pitch);
        Camera camera = makeView().mainCamera;
        camera.pitch = c.pitch;
        EXPECT_NEAR(look(camera, c.x, c.y, c.dt), c.yaw, 1e-4f) << "the yaw change returned";
        EXPECT_NEAR(camera.yaw, c.yaw, 1e-4f);
        EXPECT_NEAR(camera.pitch, c.pitchAfter, 1e-4f);
    }
}

TEST(Camera, ZoomStepsAHundredUnitsASecondBetweenFiveAndTwentyNeverOntoTheTarget) {
    const struct {
        float from;
        bool in;
        float dt, to;
    } cases[] = {
        {15, true, 0.01f, 14}, {15, false, 0.02f, 17}, {5, true, 0.01f, 5}, {20, false, 0.01f, 20},
        {15, true, 0.25f, 15}, {10, true, 0.1f, 10},   {0, false, 0.01f, 0}};  // an eye on the target has no direction:
                                                                               // left alone, not NaN
    for (const auto& c : cases) {
        Camera camera = makeView().mainCamera;
        camera.position = glm::vec3(0, 0, c.from);
        (c.in ? zoomIn : zoomOut)(camera, c.dt);
        EXPECT_NEAR(glm::length(camera.position), c.to, 1e-4f) << c.from << (c.in ? " in" : " out");
    }
}

TEST(Camera, ResizeSetsBothProjectionsButAMinimisedWindowKeepsTheOldState) {
    View view = makeView();
    onWindowResize(view, 800, 600);
    // The light never follows the window.
    EXPECT_EQ(view.screenWidth, 800);
    EXPECT_EQ(view.mainCamera.width, 800);
    EXPECT_EQ(view.overlayCamera.height, 600);
    EXPECT_EQ(view.lightCamera.width, 1200);
    const glm::mat4 projection = view.projectionMatrix;
    EXPECT_EQ(projection, glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 1000.0f));
    EXPECT_EQ(view.overlayProjection, glm::ortho(0.0f, 800.0f, 0.0f, 600.0f, 0.1f, 10.0f));  // window pixels
    onWindowResize(view, 800, 0);
    onWindowResize(view, 0, 0);
    EXPECT_EQ(view.screenWidth, 800);
    EXPECT_EQ(view.screenHeight, 600);
    EXPECT_EQ(view.mainCamera.height, 600);
    EXPECT_EQ(view.projectionMatrix, projection);
}

// Corners and edge midpoints of the bottom face against a cube widened by two in y.
TEST(Collision, AFootprintHitsThroughItsEightBottomPoints) {
    const Box cube{glm::vec3(-1), glm::vec3(1)};
    const struct {
        const char* why;
        Box box;
        bool hits;
    } cases[] = {{"overlapping", {{0.9f, -1, -1}, {3, 1, 1}}, true},
                 {"touching in x", {{1, -1, -1}, {3, 1, 1}}, false},
                 {"touching in z", {{-1, -1, -3}, {1, 1, -1}}, false},
                 {"bottom 1.9 above", {{-0.5f, 2.9f, -0.5f}, {0.5f, 10, 0.5f}}, true},
                 {"bottom 2 above", {{-0.5f, 3, -0.5f}, {0.5f, 10, 0.5f}}, false},
                 {"bottom 1.9 below", {{-0.5f, -2.9f, -0.5f}, {0.5f, -2.5f, 0.5f}}, true},
                 {"bottom 2 below", {{-0.5f, -3, -0.5f}, {0.5f, -2.5f, 0.5f}}, false},
                 {"reaching in with its top", {{-0.5f, -10, -0.5f}, {0.5f, 0, 0.5f}}, false},
                 {"covering it between the points", {{-4, -1, -4}, {4, 1, 4}}, false},
                 {"a midpoint on it", {{-4, -1, 0}, {4, 1, 4}}, true}};
    for (const auto& c : cases) EXPECT_EQ(boxHitsObject(c.box, cube), c.hits) << c.why;
}

TEST(Collision, AGhostIsBlockedByOtherGhostsAndLyingCakesNotTouchingOnesOrItself) {
    Scene scene;
    View view;
    buildTestScene(scene, view);
    const struct {
        SceneObject* object;
        glm::vec3 place;
        bool collected, blocked;
    } cases[] = {{&scene.ghosts[5], {100, 2.7f, 0}, false, false},
                 {&scene.ghosts[6], {101.5f, 2.7f, 0}, false, true},
                 {&scene.ghosts[6], {102, 2.7f, 0}, false, false},  // boxes touching
                 {&scene.cakes[3], {100, 0, 1.2f}, false, true},
                 {&scene.cakes[3], {100, 0, 1.2f}, true, false}};
    for (const auto& c : cases) {
        moveTo(*c.object, c.place);
        c.object->collected = c.collected;
        EXPECT_EQ(ghostIsBlocked(scene, 5), c.blocked) << c.place.x << "," << c.place.z << " " << c.collected;
    }
}

TEST(Frustum, ABoxIsCulledOnlyWhenAllItsCornersLieOutsideOnePlane) {
    FrustumPlanes cube;  // [-1, 1]^3, inward-facing
    for (int axis = 0; axis < 3; ++axis) {
        glm::vec3 n(0);
        n[axis] = 1;
        cube.planes[2 * axis] = Plane{n.x, n.y, n.z, 1};
        cube.planes[2 * axis + 1] = Plane{-n.x, -n.y, -n.z, 1};
        for (float side : {-3.0f, 3.0f})
            EXPECT_FALSE(isBoxInFrustum(cube, kIdentity, Box{side * n - 0.5f, side * n + 0.5f}))
                << "axis " << axis << " side " << side;
    }
    const struct {
        glm::vec3 low, high;
        bool kept;
    } cases[] = {{glm::vec3(0.9f), glm::vec3(5), true},
                 {glm::vec3(-5), glm::vec3(5), true},         // one corner in; across all
                 {{1, -0.5f, -0.5f}, {1, 0.5f, 0.5f}, true},  // lying in the plane x = 1
                 {{-0.5f, -0.5f, -3}, {0.5f, 0.5f, -1}, true},
                 {{-0.5f, -0.5f, -3}, {0.5f, 0.5f, -1.001f}, false}};
    for (const auto& c : cases)
        EXPECT_EQ(isBoxInFrustum(cube, kIdentity, Box{c.low, c.high}), c.kept)
            << testing::PrintToString(c.low) << " to " << testing::PrintToString(c.high);
    const glm::mat4 beside = glm::translate(kIdentity, glm::vec3(1.2f, 0, 0));  // corners placed by the model
    EXPECT_FALSE(isBoxInFrustum(cube, beside, Box{glm::vec3(0), glm::vec3(0.5f)}));
    EXPECT_TRUE(
        isBoxInFrustum(cube, glm::rotate(beside, 3.1416f, glm::vec3(0, 1, 0)), Box{glm::vec3(0), glm::vec3(0.5f)}));
}

// Points a hair inside the drawn view's edges are kept; a little outside, culled.
TEST(Frustum, BuiltFromTheCameraKeepsWhatTheSceneProjectionShows) {
    View view = makeView();
    for (const auto& size : {glm::ivec2(1200, 1000), glm::ivec2(600, 1000), glm::ivec2(1600, 500)})
        for (const auto& pose : {glm::vec2(0, 40), glm::vec2(73, 12), glm::vec2(-150, 49)}) {  // yaw, pitch
            onWindowResize(view, size.x, size.y);
            view.mainCamera.yaw = pose.x;
            view.mainCamera.pitch = pose.y;
            look(view.mainCamera, size.x / 2, size.y / 2, 0.0f);
            const FrustumPlanes planes = buildFrustumPlanes(view.mainCamera, size.x, size.y);
            const glm::mat4 worldFromEye = glm::inverse(viewMatrix(view.mainCamera));
            auto kept = [&](float depth, float fraction, int sx, int sy) {  // fraction 1: on the screen edge (sx, sy)
                glm::vec3 p = worldFromEye * glm::vec4(sx * fraction * depth / view.projectionMatrix[0][0],
                                                       sy * fraction * depth / view.projectionMatrix[1][1], -depth, 1);
                return isBoxInFrustum(planes, kIdentity, Box{p, p});
            };
            SCOPED_TRACE(testing::Message() << size.x << "x" << size.y << " yaw " << pose.x);
            for (float depth : {5.0f, 50.0f, 990.0f})
                for (int sx = -1; sx <= 1; ++sx)
                    for (int sy = -1; sy <= 1; ++sy) {
                        EXPECT_TRUE(kept(depth, 0.9995f, sx, sy)) << depth << " " << sx << "," << sy;
                        EXPECT_EQ(kept(depth, 1.01f, sx, sy), sx == 0 && sy == 0) << depth << " " << sx << "," << sy;
                    }
            EXPECT_TRUE(kept(0.15f, 0, 0, 0)) << "just beyond the near plane";
            EXPECT_FALSE(kept(0.05f, 0, 0, 0)) << "before the near plane";
            EXPECT_FALSE(kept(1010.0f, 0, 0, 0)) << "beyond the far plane";
            EXPECT_FALSE(kept(-1.0f, 0, 0, 0)) << "behind the eye";
        }
}

}  // namespace
