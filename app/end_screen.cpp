// End screens: the message once on stdout, then the picture redrawn every
// frame until the hold ends, processing window events throughout.
#include "app/end_screen.h"

#include <GL/glew.h>

#include <cstdio>

#include "app/window.h"
#include "render/draw.h"
#include "render/srgb_output.h"

bool endScreenHoldDone(double startTime, double now, const InputState& input) {
    if (!input.windowOpen || isHeld(input, Key::Escape) || isHeld(input, Key::Q)) return true;
    return now - startTime >= kEndScreenHoldSeconds;
}

void drawEndScreenFrame(const DrawItem& picture, const View& view, const OptionFlags& options, unsigned int shadowMap,
                        float time) {
    glViewport(0, 0, view.screenWidth, view.screenHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    // Depth too: the plane is redrawn at the same depth every frame.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    FrameView overlay = makeFrameView(view, view.overlayCamera, view.overlayProjection, time);
    overlay.bilinear = options.bilinearFiltering;
    overlay.mipMapMode = options.mipMapMode;
    overlay.shadowMap = shadowMap;
    const ColourWrites before = colourWrites();
    setColourWrites(ColourWrites::AsTheyAre);
    drawModel(picture, overlay);
    setColourWrites(before);
}

void holdEndScreen(const DrawItem& picture, const View& view, const OptionFlags& options, unsigned int shadowMap,
                   FrameTarget& target, const char* message) {
    std::printf("%s\n", message);
    std::fflush(stdout);
    const double start = clockSeconds();
    // Redraw rather than wait: the window keeps answering and a resize or an
    // expose during the hold still shows the picture.
    for (;;) {
        beginFrameTarget(target, view.screenWidth, view.screenHeight);
        drawEndScreenFrame(picture, view, options, shadowMap, static_cast<float>(clockSeconds()));
        presentFrameTarget(target);
        swapBuffers();
        if (endScreenHoldDone(start, clockSeconds(), readInput())) return;
    }
}
