// The cursor reaches the camera in framebuffer pixels: on a display that
// scales the framebuffer to twice the window, a cursor resting at the
// window's centre must not turn the camera.
#include <gtest/gtest.h>

#include "app/window.h"
#include "math/camera.h"
#include "math/view.h"

namespace {

TEST(WindowCursor, ScaledByFramebufferOverWindowSize) {
    struct Case {
        const char* name;
        CursorPoint cursor;
        int windowWidth, windowHeight, framebufferWidth, framebufferHeight;
        CursorPoint expected;
    };
    const Case cases[] = {
        {"unscaled", {300.5, 250.0}, 1200, 1000, 1200, 1000, {300.5, 250.0}},
        {"scaled by two", {300.5, 250.0}, 1200, 1000, 2400, 2000, {601.0, 500.0}},
        {"each axis by its own ratio", {100.0, 100.0}, 1000, 500, 1500, 2000, {150.0, 400.0}},
        {"minimised window", {300.0, 250.0}, 0, 0, 0, 0, {300.0, 250.0}},
        {"window without height", {300.0, 250.0}, 1200, 0, 2400, 0, {300.0, 250.0}},
        {"framebuffer without size", {300.0, 250.0}, 1200, 1000, 0, 0, {300.0, 250.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CursorPoint scaled =
            cursorInFramebuffer(c.cursor, c.windowWidth, c.windowHeight, c.framebufferWidth, c.framebufferHeight);
        EXPECT_DOUBLE_EQ(scaled.x, c.expected.x);
        EXPECT_DOUBLE_EQ(scaled.y, c.expected.y);
    }
}

TEST(WindowCursor, RestingAtTheCentreOfAScaledWindowLeavesTheCameraStill) {
    View view = makeView();
    onWindowResize(view, 2400, 2000);  // the framebuffer of a 1200 x 1000 window scaled by two
    const CursorPoint centre = cursorInFramebuffer({600.0, 500.0}, 1200, 1000, 2400, 2000);
    Camera camera = view.mainCamera;
    camera.pitch = 20.0f;
    look(camera, static_cast<int>(centre.x), static_cast<int>(centre.y), 0.1f);
    EXPECT_EQ(camera.yaw, view.mainCamera.yaw);
    EXPECT_EQ(camera.pitch, 20.0f);
}

}  // namespace
