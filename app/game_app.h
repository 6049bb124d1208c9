// The game as one record and its life: start-up, the loading sequence, the
// frame loop and shutdown. The entry point owns one GameApp for the whole
// run; the benchmark drives the same functions.
#pragma once

#include "app/frame_pacing.h"
#include "app/options.h"
#include "app/sound.h"
#include "game/game_frame.h"
#include "game/input.h"
#include "game/scene.h"
#include "math/view.h"
#include "render/game_programs.h"
#include "render/game_textures.h"
#include "render/model.h"
#include "render/scene_models.h"
#include "render/shadow_map.h"
#include "render/snow.h"
#include "render/srgb_output.h"
#include "world/height_map.h"

// Points of loading and of a frame that a measuring tool (the benchmark) can
// observe; the game itself installs no hook.
enum class GameStage {
    WindowOpened,
    ProgramsLoaded,
    SceneLoaded,
    SnowCreated,
    TexturesLoaded,
    ShadowMapCreated,
    HeightMapCaptured,
    FrameStarted,
    RulesDone,
    ScenePassesDone,
    OverlayDone,
    SnowDone,
    IconsDone,
    FrameSwapped
};
using GameStageHook = void (*)(GameStage stage, void* user);

struct GameApp {
    View view = makeView();
    FrameTarget frameTarget;  // the window, or the sRGB target shown in it
    GamePrograms programs;
    SceneModels models;
    Scene scene;
    ParticleSystem snow;
    GameTextures textures;
    ShadowMap shadowMap;
    HeightMap heightMap;
    GlyphQuads glyphs;  // the overlay's text, made last at loading
    OptionFlags options;
    StatusMessage status;
    Sound sound;

    bool running = true;
    float lastFrameTime = 0.0f;
    float frameTime = 0.0f;  // wall clock between frames: the frame-rate figures
    GameClock clock;         // the rules', the snow's and the shaders' time: stands still while paused
    InputState lastInput;    // the frame before's, for presses (P, Start, F11, Alt+Enter, the pad's zoom)
    FramePacer pacer;
    float windowOpenSeconds = 0.0f;  // handed to the icon draws as their time
    float fpsSampleTime = 0.0f;
    float shownFrameRate = 0.0f;
    float shownFrameMillis = 0.0f;
    int drawnObjectCount = 0;  // objects the scene pass drew this frame

    GameStageHook stageHook = nullptr;
    void* stageUser = nullptr;
};

enum class FrameResult { Continue, Quit, GameOver };

// Opens the window and makes the context current. False when no window can
// be opened (the message is printed, GLFW terminated).
bool openGameWindow(GameApp& app);
// Loads everything in its fixed order. Returns 0, or -1 when a texture failed
// (everything made by then is released, the programs first).
int loadGame(GameApp& app);
// The last steps before the first frame: wheel reference, first clear, the
// ghosts' start step.
void prepareFirstFrame(GameApp& app);
// One frame, end screens included.
FrameResult runFrame(GameApp& app);
// Releases every GL object in the reverse order of making, closes the window
// and the sound.
void shutdownGame(GameApp& app);

// Runs the whole game; returns the process exit code (0 normal end,
// 1 no window, -1 a texture failed to load).
int runVarnelo();
