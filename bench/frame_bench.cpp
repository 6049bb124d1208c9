// Frame benchmark: the real game at 1200 x 1000 with default options and
// with the F2 and F7 counters shown, frame times against the floor of a bare
// frame (clear the window, clear the shadow map, swap), the split of a frame
// over its passes, the shadow pass alone, and the start-up time per loading
// stage. Not a test: it reports.
//
//   frame_bench [--warmup W] [--frames N] [--rounds R] [--finish-frames F] [--shadow-runs S]
//               [--variant-frames V]
//
// Game frames, game frames with the frame rate and object count shown (F2,
// F7) and floor frames alternate in R rounds of N frames each, so a neighbour
// loading the machine for a while touches all of them alike.
#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "app/window.h"
#include "bench/floor_quad.h"
#include "bench/process_stats.h"
#include "render/draw.h"
#include "render/draw_list.h"
#include "render/shadow_map.h"

namespace {

using Clock = std::chrono::steady_clock;

struct BenchSettings {
    int warmup = 30;
    int frames = 100;
    int rounds = 3;
    int finishFrames = 40;
    int shadowRuns = 10;
    int variantFrames = 40;
};

bool parseSettings(int argc, char** argv, BenchSettings& settings) {
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) return false;
        char* end = nullptr;
        const long number = std::strtol(argv[++i], &end, 10);
        if (end == argv[i] || *end != '\0') return false;  // "2k" or "" is refused, not read as 2 or 0
        const int value = static_cast<int>(number);
        if (flag == "--warmup")
            settings.warmup = value;
        else if (flag == "--frames")
            settings.frames = value;
        else if (flag == "--rounds")
            settings.rounds = value;
        else if (flag == "--finish-frames")
            settings.finishFrames = value;
        else if (flag == "--shadow-runs")
            settings.shadowRuns = value;
        else if (flag == "--variant-frames")
            settings.variantFrames = value;
        else
            return false;
    }
    return settings.warmup >= 0 && settings.frames > 0 && settings.rounds > 0 && settings.finishFrames >= 0 &&
           settings.shadowRuns >= 0 && settings.variantFrames >= 0;
}

constexpr int kLoadingStages = 7;  // WindowOpened .. HeightMapCaptured
constexpr int kFrameStages = 7;    // FrameStarted .. FrameSwapped
constexpr int kFirstFrameStage = static_cast<int>(GameStage::FrameStarted);

const char* const kLoadingNames[kLoadingStages] = {"window opened",      "programs loaded", "scene loaded",
                                                   "snow created",       "textures loaded", "shadow map created",
                                                   "height map captured"};
// The spans between consecutive frame stages, and from the swap to the end of runFrame.
const char* const kSpanNames[kFrameStages] = {"rules", "shadow+scene", "overlay",   "snow",
                                              "icons", "swap",         "after swap"};

// What the stage hook records. Frame stages land in the current frame's slots.
struct StageRecord {
    Clock::time_point mainStart;
    double mainAfterProcessStart = 0.0;              // seconds from the process start to main
    std::array<double, kLoadingStages> loadingAt{};  // seconds from the process start
    std::array<Clock::time_point, kFrameStages> frameAt{};
    const GLuint* timestampQueries = nullptr;  // kFrameStages per frame, or none
    bool finishAtStages = false;
};

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void onStage(GameStage stage, void* user) {
    StageRecord& record = *static_cast<StageRecord*>(user);
    const int index = static_cast<int>(stage);
    if (index < kFirstFrameStage) {
        record.loadingAt[static_cast<std::size_t>(index)] =
            record.mainAfterProcessStart + secondsBetween(record.mainStart, Clock::now());
        return;
    }
    const int frameIndex = index - kFirstFrameStage;
    // Waiting for the GL here charges every pass with its own rendering; the
    // plain run lets the driver overlap them as the game does.
    if (record.finishAtStages) glFinish();
    record.frameAt[static_cast<std::size_t>(frameIndex)] = Clock::now();
    if (record.timestampQueries) glQueryCounter(record.timestampQueries[frameIndex], GL_TIMESTAMP);
}

double median(std::vector<double> values) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// The smallest value that at least 95 % of the samples do not exceed.
double percentile95(std::vector<double> values) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const std::size_t rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(values.size())));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

// Per-span samples in milliseconds.
using SpanSamples = std::array<std::vector<double>, kFrameStages>;

void addCpuSpans(const StageRecord& record, Clock::time_point frameEnd, SpanSamples& spans) {
    for (int s = 0; s < kFrameStages; ++s) {
        const Clock::time_point to = s + 1 < kFrameStages ? record.frameAt[static_cast<std::size_t>(s) + 1] : frameEnd;
        spans[static_cast<std::size_t>(s)].push_back(1000.0 *
                                                     secondsBetween(record.frameAt[static_cast<std::size_t>(s)], to));
    }
}

void printSpans(std::FILE* out, const char* title, const SpanSamples& spans, int count) {
    std::fprintf(out, "%s (median ms):", title);
    double total = 0.0;
    for (int s = 0; s < count; ++s) {
        const double m = median(spans[static_cast<std::size_t>(s)]);
        total += m;
        std::fprintf(out, " %s %.2f,", kSpanNames[s], m);
    }
    std::fprintf(out, " sum %.2f\n", total);
}

// The window size of the game being measured.
const View* measuredView = nullptr;

// The bare frame: the same clears and the same swap, nothing drawn.
void bareFrame(unsigned int shadowFramebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, measuredView->screenWidth, measuredView->screenHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glViewport(0, 0, kShadowMapSize, kShadowMapSize);
    glClear(GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, measuredView->screenWidth, measuredView->screenHeight);
    swapBuffers();
}

// The floor's parts, each waited for: the window clear, the shadow-map depth
// clear, the swap, and for comparison the depth clear of a map half as wide.
struct FloorParts {
    std::vector<double> windowClear, shadowClear, swap, halfShadowClear;
};

double finishedMs(void (*work)(unsigned int), unsigned int framebuffer) {
    glFinish();
    const Clock::time_point start = Clock::now();
    work(framebuffer);
    glFinish();
    return 1000.0 * secondsBetween(start, Clock::now());
}

void clearWindow(unsigned int) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, measuredView->screenWidth, measuredView->screenHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void clearDepthOf(unsigned int framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClear(GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void swapOnly(unsigned int) { swapBuffers(); }

FloorParts measureFloorParts(unsigned int shadowFramebuffer, int runs) {
    // A 2048 x 2048 depth target like the shadow map's, made and released here.
    GLuint texture = 0;
    GLuint framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, kShadowMapSize / 2, kShadowMapSize / 2, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture, 0);
    const GLenum noColour = GL_NONE;
    glDrawBuffers(1, &noColour);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    FloorParts parts;
    for (int i = 0; i < runs; ++i) {
        parts.windowClear.push_back(finishedMs(clearWindow, 0));
        parts.shadowClear.push_back(finishedMs(clearDepthOf, shadowFramebuffer));
        parts.halfShadowClear.push_back(finishedMs(clearDepthOf, framebuffer));
        parts.swap.push_back(finishedMs(swapOnly, 0));
    }
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    return parts;
}

// The game under each display option the player can switch, against the
// defaults: what each option costs or saves on this renderer.
struct OptionVariant {
    const char* name;
    void (*apply)(OptionFlags& options);
};

const OptionVariant kOptionVariants[] = {
    {"defaults", [](OptionFlags&) {}},
    {"culling on (F8)", [](OptionFlags& o) { o.frustumCulling = true; }},
    {"mip-mapping off (F5)", [](OptionFlags& o) { o.mipMapMode = MipMapOff; }},
    {"nearest sampling (F4)", [](OptionFlags& o) { o.bilinearFiltering = false; }},
    {"phantom opaque (F9)", [](OptionFlags& o) { o.transparency = false; }},
    {"frame rate and object count shown (F2, F7)", [](OptionFlags& o) { o.showFrameRate = o.showObjectCount = true; }},
};

bool timerQueriesAvailable() { return GLEW_VERSION_3_3 || GLEW_ARB_timer_query; }

}  // namespace

int main(int argc, char** argv) {
    static StageRecord record;
    record.mainStart = Clock::now();
    // Without /proc the stages count from main instead.
    record.mainAfterProcessStart = std::max(0.0, secondsSinceProcessStart());

    BenchSettings settings;
    if (!parseSettings(argc, argv, settings)) {
        std::fprintf(stderr,
                     "usage: frame_bench [--warmup W] [--frames N] [--rounds R] [--finish-frames F] "
                     "[--shadow-runs S] [--variant-frames V]\n");
        return 2;
    }
    // The game's per-frame position line goes nowhere, as a player's console would not slow it.
    std::FILE* report = divertStdout();
    if (!report) report = stderr;

    static GameApp app;  // large: off the stack, as in the game
    app.stageHook = onStage;
    app.stageUser = &record;
    measuredView = &app.view;
    if (!openGameWindow(app)) return 2;
    if (loadGame(app) != 0) return 2;
    prepareFirstFrame(app);
    const double prepared = record.mainAfterProcessStart + secondsBetween(record.mainStart, Clock::now());
    if (runFrame(app) != FrameResult::Continue) return 2;
    const double firstFrame = record.mainAfterProcessStart + secondsBetween(record.mainStart, Clock::now());

    std::fprintf(report, "frame_bench: %d x %d, %s, GL %s\n", app.view.screenWidth, app.view.screenHeight,
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                 reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    std::fprintf(report, "start-up, seconds from the process start: main %.3f", record.mainAfterProcessStart);
    for (int s = 0; s < kLoadingStages; ++s) std::fprintf(report, ", %s %.3f", kLoadingNames[s], record.loadingAt[s]);
    std::fprintf(report, ", first frame prepared %.3f, first frame swapped %.3f\n", prepared, firstFrame);
    std::fprintf(report, "start-up, seconds per stage: window %.3f",
                 record.loadingAt[0] - record.mainAfterProcessStart);
    for (int s = 1; s < kLoadingStages; ++s)
        std::fprintf(report, ", %s %.3f", kLoadingNames[s], record.loadingAt[s] - record.loadingAt[s - 1]);
    std::fprintf(report, ", prepare %.3f, first frame %.3f\n", prepared - record.loadingAt[kLoadingStages - 1],
                 firstFrame - prepared);
    std::fflush(report);

    for (int i = 0; i < settings.warmup; ++i) {
        if (runFrame(app) != FrameResult::Continue) return 2;
    }

    const bool withQueries = timerQueriesAvailable();
    const int measured = settings.frames * settings.rounds;
    std::vector<GLuint> queries(withQueries ? static_cast<std::size_t>(measured) * kFrameStages : 0);
    if (withQueries) glGenQueries(static_cast<GLsizei>(queries.size()), queries.data());

    FloorQuad floorQuad;
    if (!makeFloorQuad(floorQuad)) return 2;
    std::vector<double> frameMs;
    std::vector<double> countersMs;  // the same frames with the frame rate and object count shown (F2, F7)
    std::vector<double> floorMs;
    std::vector<double> bareMs;
    std::vector<double> frameCpuMs, floorCpuMs;  // CPU time per frame, each round's block averaged
    SpanSamples cpuSpans;
    for (int round = 0; round < settings.rounds; ++round) {
        glFinish();
        double cpuStart = processCpuSeconds();
        for (int i = 0; i < settings.frames; ++i) {
            const int frame = round * settings.frames + i;
            record.timestampQueries = withQueries ? &queries[static_cast<std::size_t>(frame) * kFrameStages] : nullptr;
            const Clock::time_point start = Clock::now();
            if (runFrame(app) != FrameResult::Continue) return 2;
            const Clock::time_point end = Clock::now();
            frameMs.push_back(1000.0 * secondsBetween(start, end));
            addCpuSpans(record, end, cpuSpans);
        }
        record.timestampQueries = nullptr;
        glFinish();
        frameCpuMs.push_back(1000.0 * (processCpuSeconds() - cpuStart) / settings.frames);
        const OptionFlags plain = app.options;
        app.options.showFrameRate = app.options.showObjectCount = true;
        for (int i = 0; i < settings.frames; ++i) {
            const Clock::time_point start = Clock::now();
            if (runFrame(app) != FrameResult::Continue) return 2;
            countersMs.push_back(1000.0 * secondsBetween(start, Clock::now()));
        }
        app.options = plain;
        glFinish();
        cpuStart = processCpuSeconds();
        for (int i = 0; i < settings.frames; ++i) {
            const Clock::time_point start = Clock::now();
            drawFloorFrame(floorQuad, app.textures.torte, app.shadowMap.depthTexture, app.view.screenWidth,
                           app.view.screenHeight);
            floorMs.push_back(1000.0 * secondsBetween(start, Clock::now()));
        }
        glFinish();
        floorCpuMs.push_back(1000.0 * (processCpuSeconds() - cpuStart) / settings.frames);
        for (int i = 0; i < settings.frames / 4; ++i) {
            const Clock::time_point start = Clock::now();
            bareFrame(app.shadowMap.framebuffer);
            bareMs.push_back(1000.0 * secondsBetween(start, Clock::now()));
        }
    }

    SpanSamples gpuSpans;
    if (withQueries) {
        for (int frame = 0; frame < measured; ++frame) {
            GLuint64 at[kFrameStages] = {};
            for (int s = 0; s < kFrameStages; ++s)
                glGetQueryObjectui64v(queries[static_cast<std::size_t>(frame) * kFrameStages + s], GL_QUERY_RESULT,
                                      &at[s]);
            for (int s = 0; s + 1 < kFrameStages; ++s)
                gpuSpans[static_cast<std::size_t>(s)].push_back(static_cast<double>(at[s + 1] - at[s]) / 1e6);
        }
        glDeleteQueries(static_cast<GLsizei>(queries.size()), queries.data());
    }

    SpanSamples finishSpans;
    std::vector<double> finishFrameMs;
    record.finishAtStages = true;
    for (int i = 0; i < settings.finishFrames; ++i) {
        const Clock::time_point start = Clock::now();
        if (runFrame(app) != FrameResult::Continue) return 2;
        glFinish();
        const Clock::time_point end = Clock::now();
        finishFrameMs.push_back(1000.0 * secondsBetween(start, end));
        addCpuSpans(record, end, finishSpans);
    }
    record.finishAtStages = false;

    // The shadow pass on its own, waited for on both sides.
    std::vector<double> shadowMs;
    std::vector<double> shadowGpuMs;
    GLuint elapsedQuery = 0;
    if (withQueries) glGenQueries(1, &elapsedQuery);
    const DrawList shadowList = buildDrawList(app.scene, app.models, app.programs, app.textures, true);
    FrameView shadowView = makeFrameView(app.view, app.view.mainCamera, app.view.projectionMatrix, 0.0f);
    shadowView.shadowMap = app.shadowMap.depthTexture;
    for (int i = 0; i < settings.shadowRuns; ++i) {
        glFinish();
        const Clock::time_point start = Clock::now();
        if (withQueries) glBeginQuery(GL_TIME_ELAPSED, elapsedQuery);
        renderShadowPass(app.shadowMap, shadowList, app.programs.shadowDepth, app.textures.ground, shadowView);
        if (withQueries) glEndQuery(GL_TIME_ELAPSED);
        glFinish();
        shadowMs.push_back(1000.0 * secondsBetween(start, Clock::now()));
        if (withQueries) {
            GLuint64 elapsed = 0;
            glGetQueryObjectui64v(elapsedQuery, GL_QUERY_RESULT, &elapsed);
            shadowGpuMs.push_back(static_cast<double>(elapsed) / 1e6);
        }
    }
    if (withQueries) glDeleteQueries(1, &elapsedQuery);
    const FloorParts floorParts = measureFloorParts(app.shadowMap.framebuffer, 20);

    std::vector<double> variantMedians;
    const OptionFlags defaults = app.options;
    for (const OptionVariant& variant : kOptionVariants) {
        if (settings.variantFrames == 0) break;
        app.options = defaults;
        variant.apply(app.options);
        std::vector<double> times;
        for (int i = 0; i < settings.variantFrames; ++i) {
            const Clock::time_point start = Clock::now();
            if (runFrame(app) != FrameResult::Continue) return 2;
            times.push_back(1000.0 * secondsBetween(start, Clock::now()));
        }
        variantMedians.push_back(median(times));
    }
    app.options = defaults;

    const double frameMedian = median(frameMs);
    const double floorMedian = median(floorMs);
    const double countersMedian = median(countersMs);
    std::fprintf(report,
                 "frames: %d warm-up, then %d rounds of %d game frames, %d with F2 and F7 on, %d floor frames and %d "
                 "bare frames\n",
                 settings.warmup, settings.rounds, settings.frames, settings.frames, settings.frames,
                 settings.frames / 4);
    std::fprintf(report, "frame: median %.2f ms, p95 %.2f ms (%.1f fps)\n", frameMedian, percentile95(frameMs),
                 1000.0 / frameMedian);
    std::fprintf(report,
                 "frame with the frame rate and object count shown (F2, F7): median %.2f ms, p95 %.2f ms (%+.1f %% "
                 "against the frame)\n",
                 countersMedian, percentile95(countersMs), 100.0 * (countersMedian / frameMedian - 1.0));
    std::fprintf(report, "floor (one lit, textured, shadow-sampled full-window quad): median %.2f ms, p95 %.2f ms\n",
                 floorMedian, percentile95(floorMs));
    std::fprintf(report, "bare frame (window and shadow-map clears, swap): median %.2f ms\n", median(bareMs));
    std::fprintf(report,
                 "floor parts, each waited for (median ms): window clear %.2f, shadow-map depth clear %.2f, swap %.2f;"
                 " a 2048 x 2048 depth clear would take %.2f\n",
                 median(floorParts.windowClear), median(floorParts.shadowClear), median(floorParts.swap),
                 median(floorParts.halfShadowClear));
    std::fprintf(report, "frame / floor: median %.2f (target 1.05), p95 frame / median floor %.2f (target 1.3)\n",
                 frameMedian / floorMedian, percentile95(frameMs) / floorMedian);
    std::fprintf(report,
                 "CPU time per frame, all threads (median of rounds): frame %.2f ms, floor %.2f ms, ratio %.2f\n",
                 median(frameCpuMs), median(floorCpuMs), median(frameCpuMs) / median(floorCpuMs));
    printSpans(report, "per pass, CPU clock between stage hooks", cpuSpans, kFrameStages);
    if (withQueries)
        printSpans(report, "per pass, GL timestamps between stage hooks", gpuSpans, kFrameStages - 1);
    else
        std::fprintf(report, "per pass, GL timestamps: no timer queries in this context\n");
    if (settings.finishFrames > 0) {
        printSpans(report, "per pass, glFinish at every hook", finishSpans, kFrameStages);
        std::fprintf(report, "frame with glFinish at every hook: median %.2f ms\n", median(finishFrameMs));
    }
    if (settings.shadowRuns > 0) {
        std::fprintf(report, "shadow pass alone (%d runs): median %.2f ms between glFinish calls", settings.shadowRuns,
                     median(shadowMs));
        if (withQueries) std::fprintf(report, ", GL time elapsed median %.2f ms", median(shadowGpuMs));
        std::fprintf(report, "\n");
    }
    if (!variantMedians.empty()) {
        std::fprintf(report, "display options (%d frames each, median ms):", settings.variantFrames);
        for (std::size_t v = 0; v < variantMedians.size(); ++v)
            std::fprintf(report, "%s %s %.2f", v == 0 ? "" : ",", kOptionVariants[v].name, variantMedians[v]);
        std::fprintf(report, "\n");
    }
    std::fflush(report);

    destroyFloorQuad(floorQuad);
    shutdownGame(app);
    return 0;
}
