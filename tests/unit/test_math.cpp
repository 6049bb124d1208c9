// The math floor: the orbiting camera and its projections, boxes and the
// ground proximity test, and view-frustum culling.
#include <gtest/gtest.h>

#include "game/ghosts.h"
#include "math/collision.h"
#include "math/frustum.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

const glm::mat4 kIdentity(1.0f);

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_NEAR(actual[c][r], expected[c][r], 1e-6f) << c << "," << r;
}

TEST(Camera, StartsFifteenUnitsBehindAndAboveTheStartTarget) {
    View view = makeView();
    const float pitch = glm::radians(40.0f);
    expectNear(view.mainCamera.target, {0, 0, 300});
    expectNear(eyeOffset(view.mainCamera), {0, 15.0f * std::sin(pitch), 15.0f * std::cos(pitch)}, 1e-4f);
    // The eye the first frame draws (the orientation's translation) already carries the pitch.
    expectNear(glm::vec3(view.mainCamera.orientation[3]), eyeOffset(view.mainCamera), 1e-4f);
    // The light is turned by the light camera's pitch.
    expectNear(glm::vec3(pitchRotation(view.lightCamera) * glm::vec4(view.lightPosition, 1)), {0, 281.77f, 24.65f}, 2e-2f);
}

TEST(Camera, HandBuiltRotationsMatchGlm) {
    for (double degrees : {-80.0, 0.0, 33.0, 90.0, 180.0}) {
        const float radians = glm::radians(static_cast<float>(degrees));
        expectMatrixNear(rotX(degrees), glm::rotate(kIdentity, radians, glm::vec3(1, 0, 0)));
        expectMatrixNear(rotY(degrees), glm::rotate(kIdentity, radians, glm::vec3(0, 1, 0)));
    }
}

// Yaw follows the cursor's distance from the centre; a pitch that would
// reach 0 or 50 is refused while the yaw change stands.
TEST(Camera, LookTurnsByTheCursorOffsetAndKeepsThePitchStrictlyInside) {
    const struct { int x, y; float dt, pitch, yaw, pitchAfter; } cases[] = {
        {600, 500, 0.016f, 40, 0, 40},      // the centre of the 1200 x 1000 window
        {900, 500, 0.01f, 40, -1.25f, 40},  // (600 - 900) / 1200 * 5 * 100 * dt
        {600, 750, 0.01f, 40, 0, 40.5f},    // 2 * 0.25 * 100 * dt
        {600, 0, 0.1f, 10, 0, 10},          {600, 1000, 0.1f, 40, 0, 40},
        {0, 0, 0.1f, 10, 25, 10},           {0, 1000, 0.05f, 40, 12.5f, 45}};
    for (const auto& c : cases) {
        Camera camera = makeView().mainCamera;
        camera.pitch = c.pitch;
        EXPECT_NEAR(look(camera, c.x, c.y, c.dt), c.yaw, 1e-4f) << c.x << "," << c.y;
        EXPECT_NEAR(camera.yaw, c.yaw, 1e-4f) << c.x << "," << c.y;
        EXPECT_NEAR(camera.pitch, c.pitchAfter, 1e-4f) << c.x << "," << c.y;
    }
}

TEST(Camera, ZoomStepsAHundredUnitsASecondBetweenFiveAndTwentyNeverOntoTheTarget) {
    const struct { float from; bool in; float dt, to; } cases[] = {
        {15, true, 0.01f, 14}, {15, false, 0.02f, 17}, {5, true, 0.01f, 5}, {20, false, 0.01f, 20},
        {15, true, 0.25f, 15},  // a long frame would carry the eye past the target
        {10, true, 0.1f, 10},   // or exactly onto it
        {0, false, 0.01f, 0}};  // an eye on the target has no direction: left alone, not NaN
    for (const auto& c : cases) {
        Camera camera = makeView().mainCamera;
        camera.position = glm::vec3(0, 0, c.from);
        (c.in ? zoomIn : zoomOut)(camera, c.dt);
        EXPECT_NEAR(glm::length(camera.position), c.to, 1e-4f) << c.from << (c.in ? " in" : " out");
    }
}

TEST(Camera, WalkingStepsFollowTheGroundDirectionAndStopWithTheEyeOverhead) {
    Camera camera = makeView().mainCamera;
    expectNear(forwardStep(camera, 1.0f), {0, 0, 20});
    moveTarget(camera, -0.2f, 0);
    moveTarget(camera, 0.1f, 1);
    expectNear(camera.target, {2, 0, 296});
    camera.position = glm::vec3(0, 15, 0);  // the ground direction has no length
    camera.orientation = glm::translate(kIdentity, camera.position);
    EXPECT_EQ(forwardStep(camera, 1.0f), glm::vec3(0));
    EXPECT_EQ(sideStep(camera, 1.0f), glm::vec3(0));
    moveTarget(camera, 1.0f, 0);
    expectNear(camera.target, {2, 0, 296});
}

TEST(Camera, ResizeSetsBothProjectionsButAMinimisedWindowKeepsTheOldState) {
    View view = makeView();
    onWindowResize(view, 800, 600);
    EXPECT_TRUE(view.screenWidth == 800 && view.mainCamera.width == 800 && view.overlayCamera.height == 600);
    EXPECT_EQ(view.lightCamera.width, 1200);  // the light never follows the window
    EXPECT_EQ(view.projectionMatrix, glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 1000.0f));
    EXPECT_EQ(view.overlayProjection, glm::ortho(0.0f, 800.0f, 0.0f, 600.0f, 0.1f, 10.0f));  // window pixels
    const View before = view;
    onWindowResize(view, 800, 0);
    onWindowResize(view, 0, 0);
    EXPECT_TRUE(view.screenHeight == 600 && view.mainCamera.height == 600);
    EXPECT_EQ(view.projectionMatrix, before.projectionMatrix);
    EXPECT_EQ(view.overlayProjection, before.overlayProjection);
}

TEST(Collision, WorldBoxesFollowTheModelAndGrowWhenTurned) {
    const Box bounds{glm::vec3(-1, 0, -0.5f), glm::vec3(2, 3, 0.5f)};
    Box moved = worldBox(glm::translate(kIdentity, glm::vec3(10, 5, -20)), bounds);
    expectNear(moved.min, {9, 5, -20.5f});
    expectNear(moved.max, {12, 8, -19.5f});
    Box turned = worldBox(glm::rotate(kIdentity, glm::radians(45.0f), glm::vec3(0, 1, 0)), Box{glm::vec3(-1), glm::vec3(1)});
    expectNear(turned.max, {std::sqrt(2.0f), 1, std::sqrt(2.0f)}, 1e-5f);
    Box upright = worldBox(uprightAt(glm::vec3(0)).model, bounds);  // model z becomes world y
    expectNear(upright.min, {-1, -0.5f, -3}, 1e-5f);
    expectNear(upright.max, {2, 0.5f, 0}, 1e-5f);
}

// Eight points of a box's bottom face (corners and edge midpoints) against a
// cube, which is widened by two units in y.
TEST(Collision, AFootprintHitsThroughItsEightBottomPoints) {
    const Box cube{glm::vec3(-1), glm::vec3(1)};
    const struct { const char* why; Box box; bool hits; } cases[] = {
        {"overlapping", {{0.9f, -1, -1}, {3, 1, 1}}, true},
        {"touching in x", {{1, -1, -1}, {3, 1, 1}}, false},
        {"touching in z", {{-1, -1, -3}, {1, 1, -1}}, false},
        {"bottom 1.9 above its top", {{-0.5f, 2.9f, -0.5f}, {0.5f, 10, 0.5f}}, true},
        {"bottom 2 above its top", {{-0.5f, 3, -0.5f}, {0.5f, 10, 0.5f}}, false},
        {"bottom 1.9 below its bottom", {{-0.5f, -2.9f, -0.5f}, {0.5f, -2.5f, 0.5f}}, true},
        {"bottom 2 below its bottom", {{-0.5f, -3, -0.5f}, {0.5f, -2.5f, 0.5f}}, false},
        {"reaching in from below with its top", {{-0.5f, -10, -0.5f}, {0.5f, 0, 0.5f}}, false},
        {"covering it between the eight points", {{-4, -1, -4}, {4, 1, 4}}, false},
        {"a midpoint on it", {{-4, -1, 0}, {4, 1, 4}}, true}};
    for (const auto& c : cases) EXPECT_EQ(boxHitsObject(c.box, cube), c.hits) << c.why;
}

TEST(Collision, AGhostIsBlockedByOtherGhostsAndLyingCakesOnly) {
    Scene scene;
    View view;
    buildTestScene(scene, view);
    moveTo(scene.ghosts[5], {100, 2.7f, 0});
    EXPECT_FALSE(ghostIsBlocked(scene, 5));  // never by itself
    moveTo(scene.ghosts[6], {101.5f, 2.7f, 0});
    EXPECT_TRUE(ghostIsBlocked(scene, 5) && ghostIsBlocked(scene, 6));
    moveTo(scene.ghosts[6], {102, 2.7f, 0});  // boxes touching
    EXPECT_FALSE(ghostIsBlocked(scene, 5));
    moveTo(scene.cakes[3], {100, 0, 1.2f});
    EXPECT_TRUE(ghostIsBlocked(scene, 5));
    scene.cakes[3].collected = true;
    EXPECT_FALSE(ghostIsBlocked(scene, 5));
}

TEST(Collision, PlacesAreNearWithinTwoUnitsInXAndZWhateverTheirHeight) {
    const struct { glm::vec3 a, b; bool near; } cases[] = {
        {{0, 0, 0}, {1.9f, 50, -1.9f}, true}, {{-1.9f, 0, 0}, {0, 0, 0}, true}, {{0, 0, 0}, {2, 0, 0}, false},
        {{0, 0, 0}, {0, 0, -2}, false},        {{0, 0, 0}, {1, 0, 2.5f}, false}};
    for (const auto& c : cases) EXPECT_EQ(isNear(c.a, c.b), c.near) << c.b.x << "," << c.b.z;
}

TEST(Frustum, ABoxIsCulledOnlyWhenAllItsCornersLieOutsideOnePlane) {
    FrustumPlanes cube;  // [-1, 1]^3, inward-facing
    for (int axis = 0; axis < 3; ++axis) {
        glm::vec3 n(0);
        n[axis] = 1;
        cube.planes[2 * axis] = Plane{n.x, n.y, n.z, 1};
        cube.planes[2 * axis + 1] = Plane{-n.x, -n.y, -n.z, 1};
        for (float side : {-3.0f, 3.0f})
            EXPECT_FALSE(isBoxInFrustum(cube, kIdentity, Box{side * n - 0.5f, side * n + 0.5f})) << axis << side;
    }
    const struct { glm::vec3 low, high; bool kept; } cases[] = {
        {glm::vec3(0.9f), glm::vec3(5), true},  // one corner inside
        {glm::vec3(-5), glm::vec3(5), true},    // no corner inside, but across every plane
        {{1, -0.5f, -0.5f}, {1, 0.5f, 0.5f}, true},  // lying in the plane x = 1
        {{-0.5f, -0.5f, -3}, {0.5f, 0.5f, -1}, true},
        {{-0.5f, -0.5f, -3}, {0.5f, 0.5f, -1.001f}, false}};
    for (const auto& c : cases) EXPECT_EQ(isBoxInFrustum(cube, kIdentity, Box{c.low, c.high}), c.kept) << c.high.z;
    // The corners are placed by the model matrix.
    const Box small{glm::vec3(0), glm::vec3(0.5f)};
    EXPECT_FALSE(isBoxInFrustum(cube, glm::translate(kIdentity, glm::vec3(1.2f, 0, 0)), small));
    EXPECT_TRUE(isBoxInFrustum(cube, glm::rotate(glm::translate(kIdentity, glm::vec3(1.2f, 0, 0)), 3.1416f, glm::vec3(0, 1, 0)), small));
}

// Points a hair inside the drawn view's edges, near and far, are kept; those
// a little outside, beyond the far plane or behind the eye are culled.
TEST(Frustum, BuiltFromTheCameraKeepsWhatTheSceneProjectionShows) {
    View view = makeView();
    const int sizes[][2] = {{1200, 1000}, {600, 1000}, {1600, 500}};
    const float poses[][2] = {{0, 40}, {73, 12}, {-150, 49}};  // yaw, pitch
    for (const auto& size : sizes)
        for (const auto& pose : poses) {
            onWindowResize(view, size[0], size[1]);
            Camera& camera = view.mainCamera;
            camera.yaw = pose[0];
            camera.pitch = pose[1];
            look(camera, camera.width / 2, camera.height / 2, 0.0f);
            const FrustumPlanes planes = buildFrustumPlanes(camera, size[0], size[1]);
            const glm::mat4 worldFromEye = glm::inverse(viewMatrix(camera));
            // Kept or not: the point at depth, a fraction of the way to the screen edge (sx, sy).
            auto kept = [&](float depth, float fraction, int sx, int sy) {
                glm::vec4 eye(sx * fraction * depth / view.projectionMatrix[0][0],
                              sy * fraction * depth / view.projectionMatrix[1][1], -depth, 1);
                glm::vec3 p(worldFromEye * eye);
                return isBoxInFrustum(planes, kIdentity, Box{p, p});
            };
            SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1] << " yaw " << pose[0]);
            for (float depth : {5.0f, 50.0f, 990.0f})
                for (int sx = -1; sx <= 1; ++sx)
                    for (int sy = -1; sy <= 1; ++sy) {
                        EXPECT_TRUE(kept(depth, 0.9995f, sx, sy)) << depth << " " << sx << "," << sy;
                        EXPECT_EQ(kept(depth, 1.01f, sx, sy), sx == 0 && sy == 0) << depth;
                    }
            EXPECT_TRUE(kept(0.15f, 0, 0, 0));
            EXPECT_FALSE(kept(0.05f, 0, 0, 0));
            EXPECT_FALSE(kept(1010.0f, 0, 0, 0));
            EXPECT_FALSE(kept(-1.0f, 0, 0, 0));
        }
}

}  // namespace
