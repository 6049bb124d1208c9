// Cameras, projections and the hand-built rotations.
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "math/camera.h"
#include "math/view.h"

namespace {

class CameraTest : public ::testing::Test {
protected:
    View view = makeView();
};

void expectVec3Near(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST_F(CameraTest, StartStateOrbitsFifteenUnitsBehindTheStartTarget) {
    expectVec3Near(view.mainCamera.target, glm::vec3(0.0f, 0.0f, 300.0f));
    EXPECT_FLOAT_EQ(glm::length(eyeOffset(view.mainCamera)), 15.0f);
    EXPECT_FLOAT_EQ(view.mainCamera.pitch, 40.0f);
    EXPECT_EQ(view.mainCamera.width, 1200);
    EXPECT_EQ(view.mainCamera.height, 1000);
    // The eye sits behind (+z) and above the target, looking towards -z.
    glm::vec3 eye = eyeOffset(view.mainCamera);
    EXPECT_NEAR(eye.y, 15.0f * std::sin(glm::radians(40.0f)), 1e-4f);
    EXPECT_NEAR(eye.z, 15.0f * std::cos(glm::radians(40.0f)), 1e-4f);
    // The light camera is a copy of the finished main camera.
    expectVec3Near(view.lightCamera.target, view.mainCamera.target);
    EXPECT_FLOAT_EQ(view.lightCamera.pitch, 40.0f);
}

TEST_F(CameraTest, LookAtTheCentreChangesNothing) {
    Camera camera = view.mainCamera;
    float yawChange = look(camera, camera.width / 2, camera.height / 2, 0.016f);
    EXPECT_EQ(yawChange, 0.0f);
    EXPECT_EQ(camera.yaw, view.mainCamera.yaw);
    EXPECT_EQ(camera.pitch, view.mainCamera.pitch);
}

TEST_F(CameraTest, LookTurnsRightOfCentreNegativeAndBelowCentreRaisesPitch) {
    Camera camera = view.mainCamera;
    float yawChange = look(camera, 900, 500, 0.01f);
    // (600 - 900) / 1200 * 5 * 100 * 0.01 = -1.25 degrees.
    EXPECT_NEAR(yawChange, -1.25f, 1e-5f);
    EXPECT_NEAR(camera.yaw, -1.25f, 1e-5f);
    float pitchBefore = camera.pitch;
    look(camera, 600, 750, 0.01f);  // 2 * 0.25 * 100 * 0.01 = +0.5
    EXPECT_NEAR(camera.pitch, pitchBefore + 0.5f, 1e-5f);
}

TEST_F(CameraTest, PitchStaysStrictlyInsideItsLimits) {
    Camera camera = view.mainCamera;
    camera.pitch = 10.0f;
    // Exactly 0: 10 + 2 * (-0.5) * 100 * dt = 0 with dt = 0.1.
    look(camera, camera.width / 2, 0, 0.1f);
    EXPECT_FLOAT_EQ(camera.pitch, 10.0f);
    camera.pitch = 40.0f;
    // Exactly 50: 40 + 2 * 0.5 * 100 * 0.1 = 50.
    look(camera, camera.width / 2, camera.height, 0.1f);
    EXPECT_FLOAT_EQ(camera.pitch, 40.0f);
    // Inside the limits the change is taken, and the yaw change stands either way.
    look(camera, 0, camera.height, 0.05f);
    EXPECT_FLOAT_EQ(camera.pitch, 45.0f);
    EXPECT_GT(camera.yaw, 0.0f);
}

TEST_F(CameraTest, ZoomStopsAtFiveAndTwenty) {
    view.mainCamera.position = glm::vec3(0.0f, 0.0f, 5.0f);
    zoomIn(view.mainCamera, 0.01f);
    EXPECT_FLOAT_EQ(glm::length(view.mainCamera.position), 5.0f);
    view.mainCamera.position = glm::vec3(0.0f, 0.0f, 20.0f);
    zoomOut(view.mainCamera, 0.01f);
    EXPECT_FLOAT_EQ(glm::length(view.mainCamera.position), 20.0f);
    // One zoom step moves 100 * dt along the eye direction.
    view.mainCamera.position = glm::vec3(0.0f, 0.0f, 15.0f);
    zoomIn(view.mainCamera, 0.01f);
    EXPECT_NEAR(glm::length(view.mainCamera.position), 14.0f, 1e-5f);
    zoomOut(view.mainCamera, 0.02f);
    EXPECT_NEAR(glm::length(view.mainCamera.position), 16.0f, 1e-5f);
}

TEST_F(CameraTest, StartOrientationAlreadyCarriesThePitch) {
    // The drawn eye (the orientation's translation) is the eye eyeOffset() names.
    glm::vec3 drawnEye(view.mainCamera.orientation[3]);
    glm::vec3 offset = eyeOffset(view.mainCamera);
    EXPECT_NEAR(drawnEye.x, offset.x, 1e-4f);
    EXPECT_NEAR(drawnEye.y, offset.y, 1e-4f);
    EXPECT_NEAR(drawnEye.z, offset.z, 1e-4f);
    EXPECT_GT(drawnEye.y, 9.0f);
}

TEST_F(CameraTest, ZoomNeverPutsTheEyeOnOrPastTheTarget) {
    // A long frame would move the eye 25 units: more than the 15 it has.
    zoomIn(view.mainCamera, 0.25f);
    EXPECT_FLOAT_EQ(glm::length(view.mainCamera.position), 15.0f);
    zoomIn(view.mainCamera, 0.05f);
    zoomIn(view.mainCamera, 0.1f);  // exactly the remaining 10 units
    EXPECT_FLOAT_EQ(glm::length(view.mainCamera.position), 10.0f);
    zoomOut(view.mainCamera, 0.01f);
    EXPECT_NEAR(glm::length(view.mainCamera.position), 11.0f, 1e-5f);
    // An eye already on the target (no direction) is left alone, not NaN.
    view.mainCamera.position = glm::vec3(0.0f);
    zoomOut(view.mainCamera, 0.01f);
    EXPECT_EQ(view.mainCamera.position, glm::vec3(0.0f));
}

TEST_F(CameraTest, WalkingStepsFollowTheGroundDirection) {
    // From the start pose the ground direction is +z: 20 units per unit of dt.
    expectVec3Near(forwardStep(view.mainCamera, 1.0f), glm::vec3(0.0f, 0.0f, 20.0f));
    glm::vec3 forward = forwardStep(view.mainCamera, 0.5f);
    glm::vec3 side = sideStep(view.mainCamera, 0.5f);
    // sideStep is forwardStep turned by -90 degrees about y: (gz, 0, -gx).
    expectVec3Near(side, glm::vec3(forward.z, 0.0f, -forward.x));
    moveTarget(view.mainCamera, -2.0f * 0.1f, 0);
    expectVec3Near(view.mainCamera.target, glm::vec3(0.0f, 0.0f, 296.0f));
    moveTarget(view.mainCamera, 0.1f, 1);
    expectVec3Near(view.mainCamera.target, glm::vec3(2.0f, 0.0f, 296.0f));
}

TEST_F(CameraTest, EyeStraightAboveTheTargetMakesNoStep) {
    // With the eye offset on the y axis the ground direction has no length.
    view.mainCamera.position = glm::vec3(0.0f, 15.0f, 0.0f);
    view.mainCamera.orientation = glm::translate(glm::mat4(1.0f), view.mainCamera.position);
    glm::vec3 before = view.mainCamera.target;
    glm::vec3 step = forwardStep(view.mainCamera, 1.0f);
    moveTarget(view.mainCamera, 1.0f, 0);
    moveTarget(view.mainCamera, 1.0f, 1);
    EXPECT_EQ(step, glm::vec3(0.0f));
    EXPECT_EQ(sideStep(view.mainCamera, 1.0f), glm::vec3(0.0f));
    EXPECT_EQ(view.mainCamera.target, before);
}

TEST_F(CameraTest, ResizeUpdatesBothProjectionsAndCameraSizes) {
    onWindowResize(view, 800, 600);
    EXPECT_EQ(view.screenWidth, 800);
    EXPECT_EQ(view.screenHeight, 600);
    EXPECT_EQ(view.mainCamera.width, 800);
    EXPECT_EQ(view.overlayCamera.height, 600);
    EXPECT_EQ(view.lightCamera.width, 1200);  // the light never follows the window
    glm::mat4 expected = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 1000.0f);
    EXPECT_EQ(view.projectionMatrix, expected);
    // Aspect 4/3: x scale is the y scale divided by 4/3.
    EXPECT_NEAR(view.projectionMatrix[1][1] / view.projectionMatrix[0][0], 4.0f / 3.0f, 1e-5f);
    glm::vec4 lowerLeft = view.overlayProjection * glm::vec4(0.0f, 0.0f, -1.0f, 1.0f);
    glm::vec4 upperRight = view.overlayProjection * glm::vec4(800.0f, 600.0f, -1.0f, 1.0f);
    EXPECT_NEAR(lowerLeft.x, -1.0f, 1e-6f);
    EXPECT_NEAR(lowerLeft.y, -1.0f, 1e-6f);
    EXPECT_NEAR(upperRight.x, 1.0f, 1e-6f);
    EXPECT_NEAR(upperRight.y, 1.0f, 1e-6f);
}

TEST_F(CameraTest, OverlayMatrixHasTheDocumentedEntries) {
    onWindowResize(view, 1200, 1000);
    const float* m = glm::value_ptr(view.overlayProjection);
    EXPECT_FLOAT_EQ(m[0], 2.0f / 1200.0f);
    EXPECT_FLOAT_EQ(m[5], 2.0f / 1000.0f);
    EXPECT_NEAR(m[10], -0.2020202f, 1e-6f);
    EXPECT_FLOAT_EQ(m[15], 1.0f);
    EXPECT_FLOAT_EQ(m[12], -1.0f);
    EXPECT_FLOAT_EQ(m[13], -1.0f);
    EXPECT_NEAR(m[14], -1.0202020f, 1e-6f);
}

TEST_F(CameraTest, MinimisedWindowKeepsThePreviousState) {
    onWindowResize(view, 800, 600);
    glm::mat4 projection = view.projectionMatrix;
    glm::mat4 overlay = view.overlayProjection;
    onWindowResize(view, 800, 0);
    onWindowResize(view, 0, 0);
    EXPECT_EQ(view.screenWidth, 800);
    EXPECT_EQ(view.screenHeight, 600);
    EXPECT_EQ(view.mainCamera.height, 600);
    EXPECT_EQ(view.projectionMatrix, projection);
    EXPECT_EQ(view.overlayProjection, overlay);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_TRUE(std::isfinite(view.projectionMatrix[i][j]));
}

TEST(Rotations, HandBuiltRotationsMatchGlm) {
    for (double degrees : {-80.0, -40.0, 0.0, 33.0, 90.0, 180.0}) {
        glm::mat4 x = glm::rotate(glm::mat4(1.0f), glm::radians(static_cast<float>(degrees)), glm::vec3(1, 0, 0));
        glm::mat4 y = glm::rotate(glm::mat4(1.0f), glm::radians(static_cast<float>(degrees)), glm::vec3(0, 1, 0));
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) {
                EXPECT_NEAR(rotX(degrees)[c][r], x[c][r], 1e-6f);
                EXPECT_NEAR(rotY(degrees)[c][r], y[c][r], 1e-6f);
            }
    }
    // glm::rotate by 90 degrees about x maps y to z and z to -y.
    glm::mat4 r = glm::rotate(glm::mat4(1.0f), glm::radians(90.0f), glm::vec3(1, 0, 0));
    glm::vec4 y = r * glm::vec4(0, 1, 0, 1);
    glm::vec4 z = r * glm::vec4(0, 0, 1, 1);
    EXPECT_NEAR(y.z, 1.0f, 1e-6f);
    EXPECT_NEAR(z.y, -1.0f, 1e-6f);
}

TEST(Rotations, LightPositionTurnedByTheLightPitch) {
    View view = makeView();
    glm::vec3 light = glm::vec3(pitchRotation(view.lightCamera) * glm::vec4(view.lightPosition, 1.0f));
    EXPECT_NEAR(light.x, 0.0f, 1e-3f);
    EXPECT_NEAR(light.y, 281.77f, 1e-2f);
    EXPECT_NEAR(light.z, 24.65f, 1e-2f);
}

TEST(Rotations, MatrixFromSixteenScalarsIsColumnMajor) {
    glm::mat4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(m[3][0], 13.0f);
    EXPECT_EQ(m[3][1], 14.0f);
    EXPECT_EQ(m[3][2], 15.0f);
    glm::mat4 scaled = glm::scale(glm::mat4(1.0f), glm::vec3(2.0f, 1.0f, 0.5f));
    glm::mat4 normal = glm::transpose(glm::inverse(scaled));
    EXPECT_FLOAT_EQ(normal[0][0], 0.5f);
    EXPECT_FLOAT_EQ(normal[2][2], 2.0f);
}

}  // namespace
