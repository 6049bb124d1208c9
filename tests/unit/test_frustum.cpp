// View-frustum culling: the box test's edge cases, and planes built from the
// main camera checked against what the scene projection actually shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <glm/gtc/matrix_transform.hpp>

#include "math/box.h"
#include "math/camera.h"
#include "math/frustum.h"
#include "math/view.h"

namespace {

// The cube [-1, 1]^3 as six inward-facing planes.
FrustumPlanes unitCube() {
    FrustumPlanes cube;
    cube.planes[FrustumLeft] = Plane{1, 0, 0, 1};
    cube.planes[FrustumRight] = Plane{-1, 0, 0, 1};
    cube.planes[FrustumTop] = Plane{0, -1, 0, 1};
    cube.planes[FrustumBottom] = Plane{0, 1, 0, 1};
    cube.planes[FrustumNear] = Plane{0, 0, 1, 1};
    cube.planes[FrustumFar] = Plane{0, 0, -1, 1};
    return cube;
}

Box boxBetween(glm::vec3 low, glm::vec3 high) { return Box{low, high}; }

TEST(BoxInFrustum, BoxWhollyBehindOnePlaneIsCulledFromEverySide) {
    FrustumPlanes cube = unitCube();
    glm::mat4 identity(1.0f);
    const glm::vec3 offsets[6] = {{-3, 0, 0}, {3, 0, 0}, {0, 3, 0}, {0, -3, 0}, {0, 0, -3}, {0, 0, 3}};
    for (const glm::vec3& offset : offsets) {
        Box box = boxBetween(offset - glm::vec3(0.5f), offset + glm::vec3(0.5f));
        EXPECT_FALSE(isBoxInFrustum(cube, identity, box)) << offset.x << " " << offset.y << " " << offset.z;
    }
}

TEST(BoxInFrustum, OneCornerInsideEveryPlaneIsEnough) {
    FrustumPlanes cube = unitCube();
    glm::mat4 identity(1.0f);
    // Only the corner (0.9, 0.9, 0.9) lies inside the cube.
    EXPECT_TRUE(isBoxInFrustum(cube, identity, boxBetween(glm::vec3(0.9f), glm::vec3(5.0f))));
    // A box larger than the volume has no corner inside but straddles every plane.
    EXPECT_TRUE(isBoxInFrustum(cube, identity, boxBetween(glm::vec3(-5.0f), glm::vec3(5.0f))));
}

TEST(BoxInFrustum, CornersExactlyOnAPlaneCountAsInside) {
    FrustumPlanes cube = unitCube();
    glm::mat4 identity(1.0f);
    // A flat box lying in the plane x = 1, and one touching the far plane z = -1.
    EXPECT_TRUE(isBoxInFrustum(cube, identity, boxBetween(glm::vec3(1, -0.5f, -0.5f), glm::vec3(1, 0.5f, 0.5f))));
    EXPECT_TRUE(isBoxInFrustum(cube, identity, boxBetween(glm::vec3(-0.5f, -0.5f, -3), glm::vec3(0.5f, 0.5f, -1))));
    EXPECT_FALSE(isBoxInFrustum(cube, identity,
                                boxBetween(glm::vec3(-0.5f, -0.5f, -3), glm::vec3(0.5f, 0.5f, -1.001f))));
}

TEST(BoxInFrustum, CornersAreCarriedIntoTheWorldByTheModelMatrix) {
    FrustumPlanes cube = unitCube();
    Box box = boxBetween(glm::vec3(0.0f), glm::vec3(0.5f));
    EXPECT_TRUE(isBoxInFrustum(cube, glm::mat4(1.0f), box));
    EXPECT_FALSE(isBoxInFrustum(cube, glm::translate(glm::mat4(1.0f), glm::vec3(5, 0, 0)), box));
    glm::mat4 turned = glm::rotate(glm::mat4(1.0f), glm::radians(180.0f), glm::vec3(0, 1, 0));
    EXPECT_TRUE(isBoxInFrustum(cube, glm::translate(glm::mat4(1.0f), glm::vec3(1.2f, 0, 0)) * turned, box));
    EXPECT_FALSE(isBoxInFrustum(cube, glm::translate(glm::mat4(1.0f), glm::vec3(1.2f, 0, 0)), box));
}

TEST(BoxInFrustum, PlaneTestUsesTheFourthComponent) {
    FrustumPlanes all;
    for (Plane& plane : all.planes) plane = Plane{1, 0, 0, -3};  // x >= 3 when w is 1
    Box point = boxBetween(glm::vec3(2, 0, 0), glm::vec3(2, 0, 0));
    glm::mat4 halfW(1.0f);
    halfW[3][3] = 0.5f;  // corners come out with w = 0.5: 2 - 3 * 0.5 >= 0
    EXPECT_TRUE(isBoxInFrustum(all, halfW, point));
    EXPECT_FALSE(isBoxInFrustum(all, glm::mat4(1.0f), point));
}

class FrustumFromCamera : public ::testing::Test {
protected:
    View view = makeView();
};

// True when some point of the box (corners and a grid inside) lies in the
// clip volume of what the scene draws show.
bool boxShowsOnScreen(const View& view, const Box& box, const glm::mat4& model) {
    glm::mat4 clip = view.projectionMatrix * viewMatrix(view.mainCamera) * model;
    const int steps = 6;
    for (int i = 0; i <= steps; ++i)
        for (int j = 0; j <= steps; ++j)
            for (int k = 0; k <= steps; ++k) {
                glm::vec3 p(box.min.x + (box.max.x - box.min.x) * i / steps,
                            box.min.y + (box.max.y - box.min.y) * j / steps,
                            box.min.z + (box.max.z - box.min.z) * k / steps);
                glm::vec4 c = clip * glm::vec4(p, 1.0f);
                if (c.w > 0.0f && std::abs(c.x) <= c.w && std::abs(c.y) <= c.w && std::abs(c.z) <= c.w) return true;
            }
    return false;
}

bool boxWhollyBehindEye(const View& view, const Box& box, const glm::mat4& model) {
    glm::mat4 eyeFromModel = viewMatrix(view.mainCamera) * model;
    for (int corner = 0; corner < 8; ++corner) {
        glm::vec4 p = eyeFromModel * glm::vec4(corner & 1 ? box.max.x : box.min.x,
                                               corner & 2 ? box.max.y : box.min.y,
                                               corner & 4 ? box.max.z : box.min.z, 1.0f);
        if (p.z <= 0.0f) return false;  // the camera looks down its -z
    }
    return true;
}

// A small deterministic generator, so the poses do not touch rand().
struct Lcg {
    std::uint32_t state;
    float next(float low, float high) {
        state = state * 1664525u + 1013904223u;
        return low + (high - low) * static_cast<float>(state >> 8) / 16777216.0f;
    }
};

void checkPoses(View& view, Lcg& random, int poses, int boxesPerPose, int& shown, int& behind) {
    Camera& mainCamera = view.mainCamera;
    for (int pose = 0; pose < poses; ++pose) {
        mainCamera.yaw = random.next(-180.0f, 180.0f);
        mainCamera.pitch = random.next(1.0f, 49.0f);
        mainCamera.position = glm::vec3(0.0f, 0.0f, random.next(3.0f, 20.0f));
        mainCamera.target = glm::vec3(random.next(-300, 300), random.next(-5, 120), random.next(-300, 300));
        look(mainCamera, mainCamera.width / 2, mainCamera.height / 2, 0.0f);
        FrustumPlanes planes = buildFrustumPlanes(mainCamera, view.screenWidth, view.screenHeight);
        for (int b = 0; b < boxesPerPose; ++b) {
            glm::vec3 size(random.next(0.2f, 30.0f), random.next(0.2f, 30.0f), random.next(0.2f, 30.0f));
            Box box = boxBetween(-0.5f * size, 0.5f * size);
            glm::vec3 place = mainCamera.target + glm::vec3(random.next(-400, 400), random.next(-150, 150),
                                                            random.next(-400, 400));
            glm::mat4 model = glm::translate(glm::mat4(1.0f), place) *
                              glm::rotate(glm::mat4(1.0f), random.next(0.0f, 6.28f), glm::vec3(0, 1, 0));
            bool kept = isBoxInFrustum(planes, model, box);
            if (boxShowsOnScreen(view, box, model)) {
                ++shown;
                EXPECT_TRUE(kept) << "pose " << pose << " box " << b;
            }
            if (boxWhollyBehindEye(view, box, model)) {
                ++behind;
                EXPECT_FALSE(kept) << "pose " << pose << " box " << b;
            }
        }
    }
}

TEST_F(FrustumFromCamera, NeverCullsWhatTheCameraShowsAndAlwaysCullsWhatIsBehindIt) {
    Lcg random{12345u};
    int shown = 0, behind = 0;
    // The start window, a tall one and a wide one.
    const int sizes[3][2] = {{1200, 1000}, {600, 1000}, {1600, 500}};
    for (const auto& size : sizes) {
        onWindowResize(view, size[0], size[1]);
        checkPoses(view, random, 30, 50, shown, behind);
    }
    // Both kinds occur often enough for the checks above to mean something.
    EXPECT_GT(shown, 300);
    EXPECT_GT(behind, 300);
}

TEST_F(FrustumFromCamera, MatchesTheDrawnViewFromTheFirstFrame) {
    // The start camera is pitched down 40 degrees from its first frame: the
    // ground just ahead of the heroine is on screen and must be kept.
    Box cake = boxBetween(glm::vec3(-0.5f), glm::vec3(0.5f));
    glm::mat4 ahead = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 290.0f));
    ASSERT_TRUE(boxShowsOnScreen(view, cake, ahead));
    FrustumPlanes planes = buildFrustumPlanes(view.mainCamera, view.screenWidth, view.screenHeight);
    EXPECT_TRUE(isBoxInFrustum(planes, ahead, cake));
    // And one just behind the eye is not.
    glm::vec3 eye = view.mainCamera.target + eyeOffset(view.mainCamera);
    glm::mat4 behindEye = glm::translate(glm::mat4(1.0f), eye + glm::vec3(0.0f, 0.0f, 5.0f));
    EXPECT_FALSE(isBoxInFrustum(planes, behindEye, cake));
}

}  // namespace
