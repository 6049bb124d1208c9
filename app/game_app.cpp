// Start-up, the loading sequence, the frame loop and shutdown.
#include "app/game_app.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstring>

#include "app/end_screen.h"
#include "app/overlay.h"
#include "app/window.h"
#include "game/game_frame.h"
#include "math/camera.h"
#include "render/draw.h"
#include "render/frame_passes.h"
#include "render/gl_check.h"
#include "render/model.h"
#include "render/shadow_map.h"
#include "render/texture.h"
#include "world/height_capture.h"

namespace {

float now() { return static_cast<float>(clockSeconds()); }

void progress(const char* line) {
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
}

// GL checks that bracket particular imports of the loading sequence. The
// population step itself knows nothing of GL, so the importer adds them.
struct ImportChecks {
    const char* path;
    const char* before;
    const char* after;
};

const ImportChecks kImportChecks[] = {
    {"Models/sakuragras.dae", nullptr, "models 1.1"},
    {"Models/mirelka5.dae", "models 2.1", "models 2.2"},
    {"Models/sunnytextured.dae", nullptr, "models 2"},
    {"Models/cake.dae", nullptr, "models 2.1"},
};

void importAndUpload(Model& model, const char* path, const glm::vec3& colour, const ShaderProgram& program,
                     bool uvFromPosition) {
    const ImportChecks* checks = nullptr;
    for (const ImportChecks& entry : kImportChecks)
        if (std::strcmp(entry.path, path) == 0) checks = &entry;
    if (checks && checks->before) checkGlError(checks->before);
    if (uvFromPosition)
        loadModelPositionUV(model, path, colour, program);
    else
        loadModel(model, path, colour, program);
    if (checks && checks->after) checkGlError(checks->after);
}

// The fourteen images in the order that makes them textures 2 to 15, with the
// checks that precede some of them.
struct TextureEntry {
    const char* path;
    const char* checkBefore;
};

const TextureEntry kTextures[] = {
    {"Models/ground14.tga", nullptr},
    {"Models/won.tga", "load textures 2"},
    {"Models/leaf.tga", "load textures 3"},
    {"Models/mirelka_arm_l.tga", "load textures 4"},
    {"Models/mirelka_arm_r.tga", "load textures 5"},
    {"Models/mirelka_koerper2.tga", "load textures 5"},
    {"Models/sunny.tga", "load textures 6"},
    {"Models/cakeIcon.tga", nullptr},
    {"Models/cakeIcon2.tga", nullptr},
    {"Models/cakeIcon3.tga", nullptr},
    {"Models/torte_textur.tga", nullptr},
    {"Models/victory.tga", nullptr},
    {"Models/gameover.tga", nullptr},
    {"Models/alphabet.tga", nullptr},
};

bool loadGameTextures() {
    progress("before load textures ");
    checkGlError("load textures 0");
    progress("after load textures 1 ");
    checkGlError("load textures 1");
    for (const TextureEntry& entry : kTextures) {
        if (entry.checkBefore) checkGlError(entry.checkBefore);
        if (!loadTexture(entry.path)) return false;
    }
    progress("after load textures ");
    checkGlError("after load textures");
    return true;
}

void markStage(const GameApp& app, GameStage stage) {
    if (app.stageHook) app.stageHook(stage, app.stageUser);
}

void releaseSceneModels(Scene& scene) {
    Model* models[] = {&scene.grassModel,   &scene.anchorModel, &scene.leftArmModel, &scene.rightArmModel,
                       &scene.bodyModel,    &scene.phantomModel, &scene.ghostModel,  &scene.cakeModel,
                       &scene.torteModel,   &scene.iconModel,   &scene.endScreenModel, &scene.wonModel};
    for (Model* model : models) releaseModel(*model);
}

}  // namespace

bool openGameWindow(GameApp& app) {
    app.lastFrameTime = now();
    initWindowSystem();
    if (!openWindow(screenWidth, screenHeight)) {
        progress("Failed to initialize OpenGL window.");
        terminateWindowSystem();
        return false;
    }
    setWindowTitle("Varnelo");
    setWindowSizeCallback(onWindowResize);
    glewExperimental = GL_TRUE;
    glewInit();
    glEnable(GL_FRAMEBUFFER_SRGB);
    glEnable(GL_TEXTURE_2D);
    glGetError();
    glViewport(0, 0, screenWidth, screenHeight);
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
    ScenePrograms scenePrograms{&app.programs.texture, &app.programs.phongphong, &app.programs.transparency,
                                &app.programs.text};
    populateScene(app.scene, scenePrograms, importAndUpload);
    markStage(app, GameStage::SceneLoaded);

    checkGlError("snow part 1");
    initSnow(app.snow);
    checkGlError("snow part 2");
    markStage(app, GameStage::SnowCreated);

    if (!loadGameTextures()) {
        destroyGamePrograms(app.programs);
        return -1;
    }
    markStage(app, GameStage::TexturesLoaded);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    app.shadowFramebuffer = createShadowMap();
    markStage(app, GameStage::ShadowMapCreated);
    glDisable(GL_DEPTH_TEST);
    captureHeightMap(app.heightMap, app.scene.torte, app.scene.torteModel, app.programs.terrain);
    glEnable(GL_DEPTH_TEST);
    markStage(app, GameStage::HeightMapCaptured);
    return 0;
}

void prepareFirstFrame(GameApp& app) {
    app.scene.lastWheelPosition = mouseWheelPosition();
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    app.frameTime = now() - app.lastFrameTime;
    app.lastFrameTime = now();
    startGhosts(app.scene, simulationStep(app.frameTime));
}

FrameResult runFrame(GameApp& app) {
    markStage(app, GameStage::FrameStarted);
    app.frameTime = now() - app.lastFrameTime;
    if (app.options.showFrameRate) {
        std::printf("%g\n", 1.0f / app.frameTime);
        std::fflush(stdout);
    }
    app.lastFrameTime = now();

    // A stalled frame (a dragged window, a busy machine) is simulated as a
    // short one: the rules' back-off steps scale with the frame time and are
    // not checked, so a long step could carry a ghost out of the world.
    updateGameFrame(app.scene, app.heightMap, readInput(), simulationStep(app.frameTime), now());
    markStage(app, GameStage::RulesDone);

    ScenePassPrograms passPrograms{&app.programs.colour, &app.programs.phongphong, &app.programs.texture,
                                   &app.programs.transparency};
    renderFramePasses(app.scene, passPrograms, app.options, app.shadowFramebuffer);
    markStage(app, GameStage::ScenePassesDone);
    if (app.options.showObjectCount) {
        std::printf("%d\n", drawnObjectCount);
        std::fflush(stdout);
    }

    if (now() - app.fpsSampleTime > 0.5f) {
        app.fpsSampleTime = now();
        app.shownFrameRate = 1.0f / app.frameTime;
        app.shownFrameMillis = app.frameTime * 1000.0f;
    }
    OverlayFigures figures{drawnObjectCount, app.shownFrameRate, app.shownFrameMillis, app.frameTime};
    drawOverlayText(app.options, app.status, figures, app.programs.text);
    drawnObjectCount = 0;
    markStage(app, GameStage::OverlayDone);

    checkGlError("main: particles 1");
    glDepthMask(GL_FALSE);
    updateSnow(app.programs.snow, app.snow, app.frameTime, true, 1.0f, projectionMatrix, lightCamera, mainCamera);
    checkGlError("main: particles 1.5");
    drawSnow(app.programs.snow2, app.snow, now(), true, 1.0f, projectionMatrix, lightCamera, mainCamera);
    glDepthMask(GL_TRUE);
    checkGlError("main: particles 2");
    markStage(app, GameStage::SnowDone);

    drawIconRow(app.scene, app.programs.text, app.windowOpenSeconds);
    markStage(app, GameStage::IconsDone);

    swapBuffers();
    checkGlError("SM");
    markStage(app, GameStage::FrameSwapped);

    InputState input = readInput();
    if (handleOptionKeys(input, now(), app.options, app.status)) applyWireframe(app.options.wireframe);

    app.running = app.running && !isHeld(input, Key::Escape) && !isHeld(input, Key::Q) && input.windowOpen;

    if (hasWon(app.scene)) showVictoryScreen(app.scene, app.programs.text, app.options, app.running);
    if (hasLost(app.scene)) {
        showGameOverScreen(app.scene, app.programs.text, app.options);
        return FrameResult::GameOver;
    }
    return app.running ? FrameResult::Continue : FrameResult::Quit;
}

void shutdownGame(GameApp& app) {
    releaseSceneModels(app.scene);
    releaseSnow(app.snow);
    for (GLuint texture = kGroundTexture; texture <= kShadowMapTexture; ++texture) glDeleteTextures(1, &texture);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &app.shadowFramebuffer);
    app.shadowFramebuffer = 0;
    // Programs go before the window: GL calls need the context that
    // terminating the window system destroys.
    destroyGamePrograms(app.programs);
    terminateWindowSystem();
}

int runVarnelo() {
    // The scene holds large arrays and models: keep it off the stack.
    static GameApp app;
    if (!openGameWindow(app)) return 1;
    if (loadGame(app) != 0) return -1;
    prepareFirstFrame(app);
    while (runFrame(app) == FrameResult::Continue) {
    }
    shutdownGame(app);
    return 0;
}
