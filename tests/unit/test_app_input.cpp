// How the app reads the player: option keys behind their shared half-second
// gate with their confirmations, the end-screen hold, and cursor scaling.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/end_screen.h"
#include "app/options.h"
#include "app/window.h"

namespace {

InputState holding(const std::vector<Key>& keys) {
    InputState input;
    for (Key key : keys) setHeld(input, key, true);
    return input;
}

// What one call printed, and whether the wireframe changed.
std::pair<std::string, bool> press(const std::vector<Key>& keys, float now, OptionFlags& options,
                                   StatusMessage& status) {
    ::testing::internal::CaptureStdout();
    bool changed = handleOptionKeys(holding(keys), now, options, status);
    return {::testing::internal::GetCapturedStdout(), changed};
}

std::string flags(const OptionFlags& o) {  // as digits, in the order of the keys F2 to F9
    return std::to_string(o.showFrameRate) + std::to_string(o.wireframe) + std::to_string(o.bilinearFiltering) +
           std::to_string(o.mipMapMode) + std::to_string(o.soundOn) + std::to_string(o.showObjectCount) +
           std::to_string(o.frustumCulling) + std::to_string(o.transparency);
}

// Two presses of each key from the start: the confirmations, the status line, the one option switched.
TEST(OptionKeys, EachKeySwitchesItsOwnOptionAndConfirmsIt) {
    const struct {
        Key key;
        const char *first, *second, *flagsAfterFirst;
    } cases[] = {
        {Key::F1, "No help", "No help", "00121001"},
        {Key::F2, "Framerate on", "Framerate off", "10121001"},
        {Key::F3, "Wireframe on", "Wireframe off", "01121001"},
        {Key::F4, "Texture Sampling Quality Nearest Neighbour", "Texture Sampling Quality Bilinear", "00021001"},
        {Key::F5, "Mip Mapping off", "Mip Mapping Quality Nearest Neighbour", "00101001"},
        {Key::F6, "Sound off", "Sound on", "00120001"},
        {Key::F7, "Object count on", "Object count off", "00121101"},
        {Key::F8, "View Frustum Culling on", "View Frustum Culling off", "00121011"},
        {Key::F9, "Transparency off", "Transparency on", "00121000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        OptionFlags options;
        StatusMessage status;
        const auto [printed, wireframeChanged] = press({c.key}, 3.0f, options, status);
        EXPECT_EQ(printed, std::string(c.first) + "\n");
        EXPECT_EQ(wireframeChanged, c.key == Key::F3);
        EXPECT_EQ(flags(options), c.flagsAfterFirst);
        status = StatusMessage{};
        EXPECT_EQ(press({c.key}, 4.0f, options, status).first, std::string(c.second) + "\n");
        EXPECT_STREQ(status.text, c.second);
        EXPECT_TRUE(status.visible);
        EXPECT_EQ(status.shownAt, 4.0f);
        EXPECT_EQ(status.length, static_cast<int>(std::strlen(c.second)));
    }
}

// One gate for all keys: strictly more than half a second after the last
// accepted key (or the start), one key per opening, the earliest in order.
TEST(OptionKeys, OneGateStrictlyHalfASecondWide) {
    const struct {
        std::vector<Key> keys;
        float now;
        const char* printed;
    } presses[] = {{{Key::F1}, 0.5f, ""},
                   {{Key::F1}, 0.75f, "No help\n"},
                   {{Key::F1}, 1.25f, ""},
                   {{Key::F1}, 1.3f, "No help\n"},
                   {{Key::F2, Key::F7}, 2.0f, "Framerate on\n"},
                   {{Key::F7}, 2.4f, ""},
                   {{Key::W, Key::Escape, Key::Q, Key::Plus}, 2.55f, ""},  // other keys neither act nor close the gate
                   {{Key::F7}, 2.55f, "Object count on\n"},
                   {{Key::F5}, 3.1f, "Mip Mapping off\n"},
                   {{Key::F5}, 3.7f, "Mip Mapping Quality Nearest Neighbour\n"},
                   {{Key::F5}, 4.3f, "Mip Mapping Quality Linear\n"}};
    OptionFlags options;
    StatusMessage status;
    for (const auto& p : presses) EXPECT_EQ(press(p.keys, p.now, options, status).first, p.printed) << "at " << p.now;
    options.mipMapMode = 7;  // anything unexpected steps to off
    EXPECT_EQ(press({Key::F5}, 5.0f, options, status).first, "Mip Mapping off\n");
    EXPECT_EQ(options.mipMapMode, MipMapOff);
}

TEST(EndScreenHold, LastsFourSecondsUnlessQuitOrClosed) {
    InputState closed;
    closed.windowOpen = false;
    const struct {
        double now;
        InputState input;
        bool done;
    } cases[] = {{13.999, {}, false},
                 {14.0, {}, true},
                 {10.0, holding({Key::Escape}), true},
                 {10.0, holding({Key::Q}), true},
                 {10.0, closed, true},
                 {11.0, holding({Key::W, Key::Up, Key::F1, Key::F9, Key::Plus}), false}};
    for (const auto& c : cases) EXPECT_EQ(endScreenHoldDone(10.0, c.now, c.input), c.done) << "row " << &c - cases;
}

// The camera reads framebuffer pixels: each axis scaled by its own ratio; without a size, as it is.
TEST(WindowCursor, IsScaledByTheFramebufferOverTheWindowSize) {
    const struct {
        int window[2], framebuffer[2];
        CursorPoint expected;
    } cases[] = {{{1200, 1000}, {1200, 1000}, {300.5, 250}},  {{1200, 1000}, {2400, 2000}, {601, 500}},
                 {{1000, 500}, {1500, 2000}, {450.75, 1000}}, {{0, 0}, {0, 0}, {300.5, 250}},
                 {{1200, 0}, {2400, 0}, {300.5, 250}},        {{1200, 1000}, {0, 0}, {300.5, 250}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "window " << c.window[0] << " x " << c.window[1] << ", framebuffer "
                                        << c.framebuffer[0] << " x " << c.framebuffer[1]);
        const CursorPoint p =
            cursorInFramebuffer({300.5, 250}, c.window[0], c.window[1], c.framebuffer[0], c.framebuffer[1]);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
    }
}

}  // namespace
