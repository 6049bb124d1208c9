// Option keys behind their shared half-second gate, their confirmations and
// the status message they set; the end-screen hold rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/end_screen.h"
#include "app/options.h"

namespace {

InputState holding(std::initializer_list<Key> keys) {
    InputState input;
    for (Key key : keys) setHeld(input, key, true);
    return input;
}

struct Press {
    bool wireframeChanged;
    std::string printed;
};

Press press(const InputState& input, float now, OptionFlags& options, StatusMessage& status) {
    ::testing::internal::CaptureStdout();
    bool changed = handleOptionKeys(input, now, options, status);
    return {changed, ::testing::internal::GetCapturedStdout()};
}

TEST(OptionKeys, HeldKeyTogglesAboutTwiceASecondNotEveryFrame) {
    OptionFlags options;
    StatusMessage status;
    const InputState f3 = holding({Key::F3});
    std::vector<float> accepted;
    std::string printed;
    for (int frame = 0; frame <= 180; ++frame) {  // three seconds at 60 frames a second
        float now = static_cast<float>(frame) / 60.0f;
        Press result = press(f3, now, options, status);
        printed += result.printed;
        if (result.wireframeChanged) accepted.push_back(now);
    }
    ASSERT_EQ(accepted.size(), 5u);
    EXPECT_GT(accepted[0], 0.5f);
    for (std::size_t i = 1; i < accepted.size(); ++i) {
        EXPECT_GT(accepted[i] - accepted[i - 1], 0.5f);
        EXPECT_LT(accepted[i] - accepted[i - 1], 0.5f + 1.5f / 60.0f);
    }
    EXPECT_TRUE(options.wireframe);
    EXPECT_EQ(printed, "Wireframe on\nWireframe off\nWireframe on\nWireframe off\nWireframe on\n");
}

TEST(OptionKeys, GateIsStrictAndCountsFromTheStart) {
    OptionFlags options;
    StatusMessage status;
    EXPECT_EQ(press(holding({Key::F1}), 0.5f, options, status).printed, "");
    EXPECT_FALSE(status.visible);
    EXPECT_EQ(press(holding({Key::F1}), 0.75f, options, status).printed, "No help\n");
    EXPECT_EQ(press(holding({Key::F1}), 1.25f, options, status).printed, "");  // exactly 0.5 s later
    EXPECT_EQ(press(holding({Key::F1}), 1.3f, options, status).printed, "No help\n");
}

TEST(OptionKeys, OneKeyPerGateEarliestInOrderWins) {
    OptionFlags options;
    StatusMessage status;
    Press both = press(holding({Key::F2, Key::F7}), 1.0f, options, status);
    EXPECT_EQ(both.printed, "Framerate on\n");
    EXPECT_TRUE(options.showFrameRate);
    EXPECT_FALSE(options.showObjectCount);

    EXPECT_EQ(press(holding({Key::F7}), 1.4f, options, status).printed, "");
    EXPECT_FALSE(options.showObjectCount);
    EXPECT_EQ(press(holding({Key::F7}), 1.55f, options, status).printed, "Object count on\n");
    EXPECT_TRUE(options.showObjectCount);
    EXPECT_TRUE(options.showFrameRate);
    EXPECT_STREQ(status.text, "Object count on");
}

TEST(OptionKeys, MipMapStepsOffNearestLinearFromTheStart) {
    OptionFlags options;
    StatusMessage status;
    const InputState f5 = holding({Key::F5});
    EXPECT_EQ(press(f5, 1.0f, options, status).printed, "Mip Mapping off\n");
    EXPECT_EQ(options.mipMapMode, MipMapOff);
    EXPECT_EQ(press(f5, 2.0f, options, status).printed, "Mip Mapping Quality Nearest Neighbour\n");
    EXPECT_EQ(options.mipMapMode, MipMapNearest);
    EXPECT_EQ(press(f5, 3.0f, options, status).printed, "Mip Mapping Quality Linear\n");
    EXPECT_EQ(options.mipMapMode, MipMapLinear);

    options.mipMapMode = 7;  // anything unexpected steps to off
    EXPECT_EQ(press(f5, 4.0f, options, status).printed, "Mip Mapping off\n");
    EXPECT_EQ(options.mipMapMode, MipMapOff);
}

TEST(OptionKeys, FirstF4TurnsBilinearFilteringOff) {
    OptionFlags options;
    StatusMessage status;
    EXPECT_EQ(press(holding({Key::F4}), 1.0f, options, status).printed,
              "Texture Sampling Quality Nearest Neighbour\n");
    EXPECT_FALSE(options.bilinearFiltering);
    EXPECT_EQ(press(holding({Key::F4}), 2.0f, options, status).printed, "Texture Sampling Quality Bilinear\n");
    EXPECT_TRUE(options.bilinearFiltering);
}

// Two presses of every key from the start values: the option it switches,
// the confirmation and the status message with the documented length.
TEST(OptionKeys, EveryKeyPrintsItsMessageAndSetsTheStatus) {
    struct Case {
        Key key;
        const char* first;
        int firstLength;
        const char* second;
        int secondLength;
    };
    const Case cases[] = {
        {Key::F1, "No help", 7, "No help", 7},
        {Key::F2, "Framerate on", 12, "Framerate off", 13},
        {Key::F3, "Wireframe on", 12, "Wireframe off", 13},
        {Key::F4, "Texture Sampling Quality Nearest Neighbour", 42, "Texture Sampling Quality Bilinear", 33},
        {Key::F5, "Mip Mapping off", 15, "Mip Mapping Quality Nearest Neighbour", 37},
        {Key::F6, "Sound off", 9, "Sound on", 8},
        {Key::F7, "Object count on", 15, "Object count off", 16},
        {Key::F8, "View Frustum Culling on", 23, "View Frustum Culling off", 24},
        {Key::F9, "Transparency off", 16, "Transparency on", 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        OptionFlags options;
        StatusMessage status;
        const InputState input = holding({c.key});
        Press first = press(input, 3.0f, options, status);
        EXPECT_EQ(first.printed, std::string(c.first) + "\n");
        EXPECT_EQ(first.wireframeChanged, c.key == Key::F3);
        EXPECT_STREQ(status.text, c.first);
        EXPECT_EQ(status.length, c.firstLength);
        EXPECT_EQ(status.length, static_cast<int>(std::strlen(status.text)));
        EXPECT_TRUE(status.visible);
        EXPECT_EQ(status.shownAt, 3.0f);
        EXPECT_EQ(options.lastOptionKeyTime, 3.0f);

        status.visible = false;
        Press second = press(input, 4.0f, options, status);
        EXPECT_EQ(second.printed, std::string(c.second) + "\n");
        EXPECT_STREQ(status.text, c.second);
        EXPECT_EQ(status.length, c.secondLength);
        EXPECT_EQ(status.length, static_cast<int>(std::strlen(status.text)));
        EXPECT_TRUE(status.visible);
        EXPECT_EQ(status.shownAt, 4.0f);
    }
}

TEST(OptionKeys, EachKeySwitchesOnlyItsOwnOption) {
    const OptionFlags start;
    auto after = [](Key key) {
        OptionFlags options;
        StatusMessage status;
        press(holding({key}), 1.0f, options, status);
        return options;
    };
    EXPECT_NE(after(Key::F2).showFrameRate, start.showFrameRate);
    EXPECT_NE(after(Key::F3).wireframe, start.wireframe);
    EXPECT_NE(after(Key::F4).bilinearFiltering, start.bilinearFiltering);
    EXPECT_NE(after(Key::F5).mipMapMode, start.mipMapMode);
    EXPECT_NE(after(Key::F7).showObjectCount, start.showObjectCount);
    EXPECT_NE(after(Key::F8).frustumCulling, start.frustumCulling);
    EXPECT_NE(after(Key::F9).transparency, start.transparency);
    OptionFlags f9 = after(Key::F9);
    EXPECT_EQ(f9.showFrameRate, start.showFrameRate);
    EXPECT_EQ(f9.wireframe, start.wireframe);
    EXPECT_EQ(f9.bilinearFiltering, start.bilinearFiltering);
    EXPECT_EQ(f9.mipMapMode, start.mipMapMode);
    EXPECT_EQ(f9.showObjectCount, start.showObjectCount);
    EXPECT_EQ(f9.frustumCulling, start.frustumCulling);
}

TEST(OptionKeys, OtherKeysDoNothing) {
    OptionFlags options;
    StatusMessage status;
    Press result = press(holding({Key::W, Key::Escape, Key::Q, Key::Plus}), 5.0f, options, status);
    EXPECT_FALSE(result.wireframeChanged);
    EXPECT_EQ(result.printed, "");
    EXPECT_FALSE(status.visible);
    EXPECT_EQ(status.text, nullptr);
    EXPECT_EQ(options.lastOptionKeyTime, 0.0f);
    // They do not close the gate either: F1 right after is accepted.
    EXPECT_EQ(press(holding({Key::F1}), 5.0f, options, status).printed, "No help\n");
}

TEST(EndScreenHold, LastsFourSecondsUnlessQuitOrClosed) {
    const InputState idle;
    EXPECT_FALSE(endScreenHoldDone(10.0, 10.0, idle));
    EXPECT_FALSE(endScreenHoldDone(10.0, 13.999, idle));
    EXPECT_TRUE(endScreenHoldDone(10.0, 14.0, idle));
    EXPECT_TRUE(endScreenHoldDone(10.0, 20.0, idle));

    EXPECT_TRUE(endScreenHoldDone(10.0, 10.0, holding({Key::Escape})));
    EXPECT_TRUE(endScreenHoldDone(10.0, 10.0, holding({Key::Q})));
    InputState closed;
    closed.windowOpen = false;
    EXPECT_TRUE(endScreenHoldDone(10.0, 10.0, closed));

    // Game keys and option keys do not cut it short.
    EXPECT_FALSE(endScreenHoldDone(10.0, 11.0, holding({Key::W, Key::Up, Key::F1, Key::F9, Key::Plus})));
}

}  // namespace
