// Start-up, the loading sequence, the frame loop and shutdown.
#include "app/game_app.h"

#include <GL/glew.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "app/end_screen.h"
#include "app/overlay.h"
#include "app/window.h"
#include "app/window_icon.h"
#include "game/actions.h"
#include "game/cakes.h"
#include "game/game_frame.h"
#include "game/ghosts.h"
#include "render/draw.h"
#include "render/draw_list.h"
#include "render/frame_passes.h"
#include "render/gl_check.h"
#include "render/height_capture.h"

namespace {

float now() { return static_cast<float>(clockSeconds()); }

void progress(const char* line) {
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
}

void markStage(const GameApp& app, GameStage stage) {
    if (app.stageHook) app.stageHook(stage, app.stageUser);
}

void resizeView(void* user, int width, int height) { onWindowResize(*static_cast<View*>(user), width, height); }

// The scene's view of this frame: the main camera, the frame's clock and the
// sampling options.
FrameView sceneView(const GameApp& app, float time) {
    FrameView frame = makeFrameView(app.view, app.view.mainCamera, app.view.projectionMatrix, time);
    frame.bilinear = app.options.bilinearFiltering;
    frame.mipMapMode = app.options.mipMapMode;
    frame.shadowMap = app.shadowMap.depthTexture;
    frame.target = app.frameTarget.framebuffer;
    return frame;
}

// The pause, by P, Start or minimising: the game's clock and the wind and
// footsteps stand still together.
void setPaused(GameApp& app, bool paused) {
    if (paused == app.clock.paused) return;
    if (paused)
        pauseGameClock(app.clock, now());
    else
        resumeGameClock(app.clock, now());
    setSoundPaused(app.sound, paused);
}

// The keys that act on the window and the pause rather than on the game:
// each acts once per press.
void handleWindowKeys(GameApp& app, const InputState& input, const Actions& actions) {
    if (actions.pause) setPaused(app, !app.clock.paused);
    const bool f11 = isHeld(input, Key::F11) && !isHeld(app.lastInput, Key::F11);
    const bool altEnter = isHeld(input, Key::Enter) && isHeld(input, Key::Alt) &&
                          !(isHeld(app.lastInput, Key::Enter) && isHeld(app.lastInput, Key::Alt));
    if (f11 || altEnter) {
        toggleFullscreen();
        app.pacer.period = refreshPeriod(windowRefreshRate());
    }
}

// "Paused" in the overlay's font, its run of six cells centred in the window.
void drawPausedText(const GameApp& app) {
    static const char kText[] = "Paused";
    const int count = static_cast<int>(sizeof(kText)) - 1;
    const float x = 0.5f * static_cast<float>(app.view.screenWidth) - 0.5f * kTextAdvance * (count - 1);
    const float y = 0.5f * static_cast<float>(app.view.screenHeight);
    drawText(makeTextObject(x, y), app.glyphs, app.programs.overlay, app.textures.alphabet, app.view, kTextAdvance,
             kText, count);
}

// Swap interval 1 should hold the frames to the monitor's pace; where the
// driver ignores it, the limiter waits for the next refresh instead.
void presentFrame(GameApp& app) {
    const double wait = waitBeforePresent(app.pacer, clockSeconds());
    if (wait > 0.0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
    swapBuffers();
    notePresent(app.pacer, clockSeconds());
}

void showEndScreen(GameApp& app, unsigned int texture, const char* message) {
    const DrawItem picture{&app.models.endScreen,
                           &app.scene.endScreenObject,
                           &app.programs.overlay,
                           &app.programs.overlay,
                           texture,
                           1.0f,
                           0};
    holdEndScreen(picture, app.view, app.options, app.shadowMap.depthTexture, app.frameTarget, message);
}

}  // namespace

bool openGameWindow(GameApp& app) {
    app.lastFrameTime = now();
    initWindowSystem();
    if (!openWindow(app.view.screenWidth, app.view.screenHeight)) {
        progress("Failed to initialize OpenGL window.");
        terminateWindowSystem();
        return false;
    }
    setWindowTitle("Varnelo");
    showWindowIcon("Models/cakeIcon.tga");
    setWindowSizeCallback(resizeView, &app.view);
    glewExperimental = GL_TRUE;
    glewInit();
    // Lit colours encoded by the framebuffer from here on, whatever the driver's window stores.
    app.frameTarget = makeFrameTarget(0, app.view.screenWidth, app.view.screenHeight);
    glEnable(GL_TEXTURE_2D);
    glGetError();
    glViewport(0, 0, app.view.screenWidth, app.view.screenHeight);
    app.windowOpenSeconds = now() - app.lastFrameTime;
    app.lastFrameTime = now();
    progress("window openend");
    markStage(app, GameStage::WindowOpened);
    return true;
}

int loadGame(GameApp& app) {
    app.programs = loadGamePrograms();
    glPointSize(3.0f);
    glEnable(GL_POINT_SMOOTH);
    bindGameFragmentOutputs(app.programs);
    markStage(app, GameStage::ProgramsLoaded);

    checkGlError("models 0");
    progress("models loaded, 1");
    checkGlError("models 1");
    loadSceneModels(app.models, app.programs);
    populateScene(app.scene, sceneBoundsOf(app.models), app.view);
    markStage(app, GameStage::SceneLoaded);

    checkGlError("snow part 1");
    initSnow(app.snow);
    checkGlError("snow part 2");
    markStage(app, GameStage::SnowCreated);

    if (!loadGameTextures(app.textures)) {
        // The programs go first, as the loading trail has always had it.
        destroyGamePrograms(app.programs);
        releaseSnow(app.snow);
        releaseSceneModels(app.models);
        return -1;
    }
    markStage(app, GameStage::TexturesLoaded);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    app.shadowMap = createShadowMap();
    markStage(app, GameStage::ShadowMapCreated);
    glDisable(GL_DEPTH_TEST);
    captureHeightMap(app.heightMap, app.scene.torte, app.models.torte, app.programs.heightCapture);
    glEnable(GL_DEPTH_TEST);
    markStage(app, GameStage::HeightMapCaptured);
    app.glyphs = makeGlyphQuads(app.programs.overlay);
    return 0;
}

void prepareFirstFrame(GameApp& app) {
    app.scene.lastWheelPosition = mouseWheelPosition();
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    app.frameTime = now() - app.lastFrameTime;
    app.lastFrameTime = now();
    app.clock.lastFrame = app.lastFrameTime;
    app.pacer.period = refreshPeriod(windowRefreshRate());
    // The whole loading time: the start step has no take-backs to overrun.
    startGhosts(app.scene, app.frameTime);
}

namespace {

// After the frame (or the wait of a minimised window): option keys, Esc, Q
// and a closed window, which work paused or not, then the end screens.
FrameResult finishFrame(GameApp& app) {
    InputState input = readInput();
    const float lastOptionKey = app.options.lastOptionKeyTime;
    if (handleOptionKeys(input, now(), app.options, app.status)) applyWireframe(app.options.wireframe);
    if (app.options.lastOptionKeyTime != lastOptionKey) {
        // Muted first: "Sound off" is silent, "Sound on" clicks.
        setSoundMuted(app.sound, !app.options.soundOn);
        playSoundEffect(app.sound, SoundEffect::OptionClick);
    }

    // Looked at again after the swap, so a key that went down while the
    // frame was drawn ends the game without another frame.
    app.running = app.running && !quitRequested(input);

    if (hasWon(app.scene)) {
        app.running = false;
        showEndScreen(app, app.textures.victory, "Congratulations, you've won!");
    }
    if (hasLost(app.scene)) {
        showEndScreen(app, app.textures.gameOver, "Game over!");
        return FrameResult::GameOver;
    }
    return app.running ? FrameResult::Continue : FrameResult::Quit;
}

}  // namespace

FrameResult runFrame(GameApp& app) {
    markStage(app, GameStage::FrameStarted);
    app.frameTime = now() - app.lastFrameTime;
    if (app.options.showFrameRate) {
        std::printf("%g\n", 1.0f / app.frameTime);
        std::fflush(stdout);
    }
    app.lastFrameTime = now();

    const InputState input = readInput();
    const Actions actions = actionsFromInput(input, app.lastInput, app.view.mainCamera, app.scene.lastWheelPosition);
    handleWindowKeys(app, input, actions);
    app.lastInput = input;
    app.running = app.running && !actions.quit;

    // A minimised window, or one without area, shows nothing: the game
    // pauses, and the loop sleeps until the window system has news.
    int framebufferWidth = 0, framebufferHeight = 0;
    windowFramebufferSize(framebufferWidth, framebufferHeight);
    if (!windowCanShowFrame(framebufferWidth, framebufferHeight, windowIsMinimised())) {
        setPaused(app, true);
        waitForWindowEvents();
        return finishFrame(app);
    }

    const FrameEvents events = playGameFrame(app.scene, app.view.mainCamera, app.heightMap, actions, app.clock, now());
    playFrameSounds(app.sound, events);
    markStage(app, GameStage::RulesDone);
    // Everything drawn from here reads the game's clock, which stands still while paused.
    const float gameNow = gameTime(app.clock, now());

    beginFrameTarget(app.frameTarget, app.view.screenWidth, app.view.screenHeight);
    const DrawList list = buildDrawList(app.scene, app.models, app.programs, app.textures, app.options.transparency);
    app.drawnObjectCount = renderFramePasses(list, app.shadowMap, app.programs.shadowDepth, app.textures.ground,
                                             sceneView(app, gameNow), app.options.frustumCulling);
    markStage(app, GameStage::ScenePassesDone);
    if (app.options.showObjectCount) {
        std::printf("%d\n", app.drawnObjectCount);
        std::fflush(stdout);
    }

    if (now() - app.fpsSampleTime > 0.5f) {
        app.fpsSampleTime = now();
        app.shownFrameRate = 1.0f / app.frameTime;
        app.shownFrameMillis = app.frameTime * 1000.0f;
    }
    OverlayFigures figures{app.drawnObjectCount, app.shownFrameRate, app.shownFrameMillis, app.frameTime};
    drawOverlayText(app.options, app.status, figures, app.glyphs, app.programs.overlay, app.textures.alphabet, app.view,
                    now(), iconRowBox(app.scene, app.models.icon.bounds));
    app.drawnObjectCount = 0;
    markStage(app, GameStage::OverlayDone);

    checkGlError("main: particles 1");
    glDepthMask(GL_FALSE);
    const glm::mat4 view = viewMatrix(app.view.mainCamera);
    updateSnow(app.programs.snowUpdate, app.snow, app.clock.frameTime, true, 1.0f, app.view.projectionMatrix, view);
    checkGlError("main: particles 1.5");
    drawSnow(app.programs.snowPoints, app.snow, gameNow, true, 1.0f, app.view.projectionMatrix, view);
    glDepthMask(GL_TRUE);
    checkGlError("main: particles 2");
    markStage(app, GameStage::SnowDone);

    drawIconRow(app.scene, app.models.icon, app.programs.overlay, app.textures, app.view, app.windowOpenSeconds);
    if (app.clock.paused) drawPausedText(app);  // last, over the snow
    markStage(app, GameStage::IconsDone);

    presentFrameTarget(app.frameTarget);
    presentFrame(app);
    checkGlError("SM");
    markStage(app, GameStage::FrameSwapped);
    return finishFrame(app);
}

void shutdownGame(GameApp& app) {
    destroyGlyphQuads(app.glyphs);
    destroyShadowMap(app.shadowMap);
    unloadGameTextures(app.textures);
    releaseSnow(app.snow);
    releaseSceneModels(app.models);
    // Programs go before the window: GL calls need the context that
    // terminating the window system destroys.
    destroyGamePrograms(app.programs);
    destroyFrameTarget(app.frameTarget);
    terminateWindowSystem();
    closeSound(app.sound);
}

int runVarnelo() {
    // The scene holds large arrays and models: keep it off the stack.
    static GameApp app;
    if (!openGameWindow(app)) return 1;
    if (loadGame(app) != 0) {
        destroyFrameTarget(app.frameTarget);
        terminateWindowSystem();
        return -1;
    }
    // After the loading trail, so the trail stays the same with or without a device.
    std::string whyNot;
    if (!openSound(app.sound, whyNot)) progress(("Playing without sound: " + whyNot).c_str());
    prepareFirstFrame(app);
    while (runFrame(app) == FrameResult::Continue) {
    }
    shutdownGame(app);
    return 0;
}
