// CPU cost of one frame of game rules (no window, no GL), with Google
// Benchmark: the scene placed by populateScene from the real model bounds,
// a synthetic tiered landscape, and a scripted player who walks, turns and
// zooms. Run from the repository root (it reads Models/).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <streambuf>

#include "game/game_frame.h"
#include "game/ghosts.h"
#include "game/scene.h"
#include "math/camera.h"
#include "render/mesh_import.h"
#include "world/height_map.h"

namespace {

// The bounds of one model file, read as the game imports it, without GL.
Box boundsOf(const char* path) {
    ImportedMeshes imported;
    if (!importMeshes(path, glm::vec3(1.0f), UvSource::File, imported)) return Box{};
    return imported.bounds;
}

// A torte of five tiers with a ramp up each, about where the real one has
// them: ground, then tops at 31, 60.6, 88.8 and 115 towards the centre.
HeightMap tieredMap() {
    struct Tier {
        float innerRadius, height, rampDegrees;
    };
    const Tier tiers[] = {{260.0f, 0.0f, 0.0f},
                          {200.0f, 31.0f, 200.0f},
                          {140.0f, 60.6f, 110.0f},
                          {80.0f, 88.8f, 20.0f},
                          {0.0f, 115.0f, 290.0f}};
    HeightMap map;
    for (int row = 0; row < kHeightMapSize; ++row) {
        // Inverse of the look-up's texel mapping, near enough for a test landscape.
        const float z = (512.0f - static_cast<float>(row) + 0.3f) / 1.28f;
        for (int column = 0; column < kHeightMapSize; ++column) {
            const float x = static_cast<float>(column - 512) / 1.34f;
            const float radius = std::sqrt(x * x + z * z);
            const float degrees = std::atan2(z, x) * 57.29578f + 180.0f;
            float height = 0.0f;
            for (int t = 1; t < 5; ++t) {
                const float outer = tiers[t - 1].innerRadius;
                if (radius >= outer) break;
                height = tiers[t].height;
                // Inside the ramp's 20-degree sector the band rises evenly.
                if (std::fabs(degrees - tiers[t].rampDegrees) < 10.0f && radius >= tiers[t].innerRadius) {
                    const float along = (outer - radius) / (outer - tiers[t].innerRadius);
                    height = tiers[t - 1].height + along * (tiers[t].height - tiers[t - 1].height);
                }
            }
            map.values[static_cast<std::size_t>(row) * kHeightMapSize + static_cast<std::size_t>(column)] = height;
        }
    }
    return map;
}

// Twelve seconds of play, repeated: walk, walk diagonally while turning,
// back up while zooming in, step aside while zooming out.
InputState scriptedInput(int frame) {
    InputState input;
    const int phase = (frame / 180) % 4;
    const int step = frame % 180;
    switch (phase) {
    case 0:
        setHeld(input, Key::W, true);
        break;
    case 1:
        setHeld(input, Key::W, true);
        setHeld(input, Key::D, true);
        input.rightButton = true;
        input.mouseX = 600 + 3 * step;
        input.mouseY = 500;
        break;
    case 2:
        setHeld(input, Key::S, true);
        setHeld(input, Key::Plus, true);
        break;
    default:
        setHeld(input, Key::A, true);
        setHeld(input, Key::Minus, true);
        input.wheel = step / 30;
        break;
    }
    return input;
}

// Discards what is written to it, so the position line costs its
// formatting but no system call.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

struct RulesWorld {
    Scene start;
    HeightMap map = tieredMap();
    RulesWorld() {
        const SceneBounds bounds{boundsOf("Models/mirelka_koerper2.dae"), boundsOf("Models/sunnytextured.dae"),
                                 boundsOf("Models/cake.dae"), boundsOf("Models/torte.dae")};
        populateScene(start, bounds, makeView());
        startGhosts(start, 0.0f);
    }
};

const RulesWorld& world() {
    static const RulesWorld instance;
    return instance;
}

constexpr float kFrameSeconds = 1.0f / 60.0f;
constexpr int kFramesPerGame = 3600;  // a fresh scene every simulated minute

void runRules(benchmark::State& state) {
    const RulesWorld& shared = world();
    Scene scene = shared.start;
    Camera camera = makeView().mainCamera;
    int frame = 0;
    float now = 1.0f;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the benchmark library's loop
        if (frame == kFramesPerGame) {
            scene = shared.start;
            camera = makeView().mainCamera;
            frame = 0;
        }
        updateGameFrame(scene, camera, shared.map, scriptedInput(frame), kFrameSeconds, now);
        ++frame;
        now += kFrameSeconds;
    }
    benchmark::DoNotOptimize(scene.heroAnchor.model);
    // Seconds per frame, printed with its SI prefix ("38.2us").
    state.counters["per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The rules as they run in the game's process minus the console: the
// position line is formatted into a stream that drops it.
void BM_RulesFrame(benchmark::State& state) {
    NullBuffer sink;
    std::streambuf* previous = std::cout.rdbuf(&sink);
    runRules(state);
    std::cout.rdbuf(previous);
}
BENCHMARK(BM_RulesFrame);

// The same with the position line flushed to a real file descriptor
// (/dev/null), as the game pays when its output is redirected.
void BM_RulesFrameWithConsole(benchmark::State& state) {
    std::cout.flush();
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (saved < 0 || null < 0) {
        state.SkipWithError("cannot redirect stdout");
        return;
    }
    dup2(null, STDOUT_FILENO);
    close(null);
    runRules(state);
    std::cout.flush();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
}
BENCHMARK(BM_RulesFrameWithConsole);

}  // namespace

BENCHMARK_MAIN();
