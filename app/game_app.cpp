// Start-up, the frame loop and shutdown.
#include "app/game_app.h"

#include <GL/glew.h>

#include <cstdio>

#include "app/window.h"
#include "math/camera.h"
#include "render/gl_check.h"

namespace {

struct FrameClock {
    float lastFrameTime = 0.0f;
    float frameTime = 0.0f;
    float windowOpenSeconds = 0.0f;
};

float now() { return static_cast<float>(clockSeconds()); }

}  // namespace

int runVarnelo() {
    FrameClock clock;
    clock.lastFrameTime = now();
    initWindowSystem();
    if (!openWindow(screenWidth, screenHeight)) {
        std::fprintf(stderr, "Failed to initialize OpenGL window.\n");
        terminateWindowSystem();
        return 1;
    }
    setWindowTitle("Varnelo");
    setWindowSizeCallback(onWindowResize);
    glewExperimental = GL_TRUE;
    glewInit();
    glEnable(GL_FRAMEBUFFER_SRGB);
    glEnable(GL_TEXTURE_2D);
    glGetError();
    glViewport(0, 0, screenWidth, screenHeight);
    clock.windowOpenSeconds = now() - clock.lastFrameTime;
    clock.lastFrameTime = now();
    std::fprintf(stderr, "window openend\n");
    std::fflush(stderr);

    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    clock.frameTime = now() - clock.lastFrameTime;
    clock.lastFrameTime = now();

    bool running = true;
    while (running) {
        clock.frameTime = now() - clock.lastFrameTime;
        clock.lastFrameTime = now();
        glViewport(0, 0, screenWidth, screenHeight);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        swapBuffers();
        checkGlError("SM");
        InputState input = readInput();
        running = running && !isHeld(input, Key::Escape) && !isHeld(input, Key::Q) && input.windowOpen;
    }

    terminateWindowSystem();
    return 0;
}
