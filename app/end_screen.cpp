// End screens: the message once on stdout, then the picture redrawn every
// frame until the hold ends, processing window events throughout.
#include "app/end_screen.h"

#include <GL/glew.h>

#include <cstdio>

#include "app/window.h"
#include "game/scene.h"
#include "math/camera.h"
#include "render/draw.h"
#include "render/texture.h"

namespace {

void holdEndScreen(const Scene& scene, const ShaderProgram& textProgram, unsigned int texture,
                   const OptionFlags& options, const char* message) {
    std::printf("%s\n", message);
    std::fflush(stdout);
    const double start = clockSeconds();
    // Redraw rather than wait: the window keeps answering and a resize or an
    // expose during the hold still shows the picture.
    for (;;) {
        drawEndScreenFrame(scene, textProgram, texture, options, static_cast<float>(clockSeconds()));
        swapBuffers();
        if (endScreenHoldDone(start, clockSeconds(), readInput())) return;
    }
}

}  // namespace

bool endScreenHoldDone(double startTime, double now, const InputState& input) {
    if (!input.windowOpen || isHeld(input, Key::Escape) || isHeld(input, Key::Q)) return true;
    return now - startTime >= kEndScreenHoldSeconds;
}

void drawEndScreenFrame(const Scene& scene, const ShaderProgram& textProgram, unsigned int texture,
                        const OptionFlags& options, float time) {
    glViewport(0, 0, screenWidth, screenHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    // Depth too: the plane is redrawn at the same depth every frame.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawModel(scene.endScreenModel, scene.endScreenObject, textProgram, texture, kShadowMapTexture, time, 0.0f,
              false, 1.0f, options.bilinearFiltering, options.mipMapMode, false, overlayProjection, lightCamera,
              overlayCamera);
}

void showVictoryScreen(const Scene& scene, const ShaderProgram& textProgram, const OptionFlags& options,
                       bool& running) {
    running = false;
    holdEndScreen(scene, textProgram, kVictoryTexture, options, "Congratulations, you've won!");
}

void showGameOverScreen(const Scene& scene, const ShaderProgram& textProgram, const OptionFlags& options) {
    holdEndScreen(scene, textProgram, kGameOverTexture, options, "Game over!");
}
