// Long run: the real game for many frames in one process, watching resident
// memory and the live GL objects after a warm-up. The overlay builds and
// releases a glyph quad per character every frame, so with the frame-rate
// and object-count lines on, a leak there shows up within a few hundred frames.
//
//   long_run [--frames N] [--warmup W] [--samples S] [--rss-limit-kib K] [--overlay on|off]
//
// Exit code 0 when memory and GL objects stayed bounded, 1 when they grew,
// 2 when the game could not start or ended early.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/game_app.h"
#include "bench/driver_pin.h"
#include "bench/gl_census.h"
#include "bench/process_stats.h"

namespace {

struct LongRunSettings {
    long frames = 20000;
    long warmup = 200;
    int samples = 10;
    long rssLimitKib = 2048;
    bool overlay = true;
};

// The whole of text as a decimal number: "2k" or "" is refused, not read as 2 or 0.
bool readNumber(const char* text, long& number) {
    char* end = nullptr;
    number = std::strtol(text, &end, 10);
    return end != text && *end == '\0';
}

bool parseSettings(int argc, char** argv, LongRunSettings& settings) {
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (flag == "--overlay") {
            settings.overlay = std::strcmp(value, "off") != 0;
            continue;
        }
        long number = 0;
        if (!readNumber(value, number)) return false;
        if (flag == "--frames")
            settings.frames = number;
        else if (flag == "--warmup")
            settings.warmup = number;
        else if (flag == "--samples")
            settings.samples = static_cast<int>(number);
        else if (flag == "--rss-limit-kib")
            settings.rssLimitKib = number;
        else
            return false;
    }
    return settings.frames > 0 && settings.warmup >= 0 && settings.samples > 0;
}

// AddressSanitizer holds freed memory in quarantine, so resident memory
// grows by design there; the GL census still applies.
constexpr bool kMemoryIsQuarantined =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

// Runs count frames; false when the game stopped before.
bool runFrames(GameApp& app, long count) {
    for (long i = 0; i < count; ++i) {
        if (runFrame(app) != FrameResult::Continue) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    LongRunSettings settings;
    if (!parseSettings(argc, argv, settings)) {
        std::fprintf(stderr,
                     "usage: long_run [--frames N] [--warmup W] [--samples S] [--rss-limit-kib K] "
                     "[--overlay on|off]\n");
        return 2;
    }
    // The position line of every frame would flood the log.
    std::FILE* report = divertStdout();
    if (!report) report = stderr;

    static GameApp app;  // large: off the stack, as in the game
    if (!openGameWindow(app)) return 2;
    // A leak the sanitizer finds at exit must be traced to the library that
    // made it; an unloaded driver shows as an unknown module.
    pinGlDriverLibraries();
    if (loadGame(app) != 0) return 2;
    // The frame-rate and object-count lines put glyph quads on screen every frame.
    app.options.showFrameRate = settings.overlay;
    app.options.showObjectCount = settings.overlay;
    prepareFirstFrame(app);

    if (!runFrames(app, settings.warmup)) {
        std::fprintf(report, "long_run: the game ended during the warm-up\n");
        return 2;
    }
    const GlCensus base = takeGlCensus();
    const long baseRss = residentKib();
    printCensus("after warm-up", base);
    std::fprintf(report, "long_run: %ld frames after %ld warm-up frames, resident %ld KiB after warm-up\n",
                 settings.frames, settings.warmup, baseRss);
    std::fflush(report);

    bool grew = false;
    long done = 0;
    long peakRss = baseRss;
    GlCensus last = base;
    for (int sample = 1; sample <= settings.samples; ++sample) {
        const long target = settings.frames * sample / settings.samples;
        if (!runFrames(app, target - done)) {
            std::fprintf(report, "long_run: the game ended after %ld frames\n", done);
            return 2;
        }
        done = target;
        last = takeGlCensus();
        const long rss = residentKib();
        if (rss > peakRss) peakRss = rss;
        std::fprintf(report,
                     "frame %ld: resident %ld KiB (%+ld), buffers %d (%lld bytes), vertex arrays %d, "
                     "textures %d, next buffer name %u\n",
                     done, rss, rss - baseRss, last.buffers, last.bufferBytes, last.vertexArrays, last.textures,
                     last.nextBuffer);
        std::fflush(report);
        if (censusGrew(base, last)) grew = true;
    }
    printCensus("at the end", last);

    bool ok = true;
    if (grew) {
        std::fprintf(report, "FAIL: live GL objects or buffer sizes grew after the warm-up\n");
        ok = false;
    }
    // Mesa hands out names in rising order and does not reuse released ones,
    // so the next names climb with every glyph quad; only live objects count.
    std::fprintf(report, "next names after %ld frames: buffer %u -> %u, vertex array %u -> %u (not judged)\n",
                 settings.frames, base.nextBuffer, last.nextBuffer, base.nextVertexArray, last.nextVertexArray);
    const long growth = peakRss - baseRss;
    if (kMemoryIsQuarantined) {
        std::fprintf(report, "resident memory grew by %ld KiB (not judged under AddressSanitizer)\n", growth);
    } else if (growth >= settings.rssLimitKib) {
        std::fprintf(report, "FAIL: resident memory grew by %ld KiB after the warm-up (limit %ld KiB)\n", growth,
                     settings.rssLimitKib);
        ok = false;
    } else {
        std::fprintf(report, "resident memory grew by %ld KiB after the warm-up (limit %ld KiB)\n", growth,
                     settings.rssLimitKib);
    }
    shutdownGame(app);
    std::fprintf(report, "%s\n", ok ? "PASS" : "FAIL");
    std::fflush(report);
    return ok ? 0 : 1;
}
