// The player's actions from keyboard, mouse and gamepad; the pause and the
// game's clock; the frame limiter's arithmetic; a window without area.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/frame_pacing.h"
#include "app/window.h"
#include "game/actions.h"
#include "game/game_frame.h"
#include "tests/unit/test_support.h"

namespace {

using namespace testing_support;

PadState stick(float leftX, float leftY, float rightX = 0.0f, float rightY = 0.0f) {
    PadState pad;
    pad.connected = true;
    pad.leftX = leftX;
    pad.leftY = leftY;
    pad.rightX = rightX;
    pad.rightY = rightY;
    return pad;
}

float walkLength(const Actions& a) { return std::hypot(a.forwards - a.backwards, a.right - a.left); }

// Radial: inside 0.2 of the centre in any direction is rest; beyond it the
// length rises to 1 at full deflection and never past it, direction kept.
TEST(PadStick, HasARadialDeadZoneAndNeverExceedsFullDeflection) {
    const struct {
        const char* name;
        float x, y, length;
    } cases[] = {{"rest", 0.0f, 0.0f, 0.0f},
                 {"drift along x", 0.19f, 0.0f, 0.0f},
                 {"drift diagonal", 0.14f, -0.14f, 0.0f},
                 {"edge", 0.2f, 0.0f, 0.0f},
                 {"halfway", 0.0f, -0.6f, 0.5f},
                 {"full", 1.0f, 0.0f, 1.0f},
                 {"full diagonal", 0.7071f, 0.7071f, 1.0f},
                 {"square corner", 1.0f, -1.0f, 1.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        float x = c.x, y = c.y;
        applyDeadZone(x, y);
        EXPECT_NEAR(std::hypot(x, y), c.length, 1e-4f) << x << ", " << y;
        EXPECT_NEAR(x * c.y, y * c.x, 1e-6f) << "direction changed: " << x << ", " << y;
    }
}

// The left stick walks with up as forwards; full deflection is a held key's whole step.
TEST(PadActions, LeftStickWalksAtMostAtTheKeyboardsSpeed) {
    const struct {
        const char* name;
        PadState pad;
        float forwards, backwards, left, right;
    } cases[] = {{"up", stick(0, -1), 1, 0, 0, 0},
                 {"down", stick(0, 1), 0, 1, 0, 0},
                 {"left", stick(-1, 0), 0, 0, 1, 0},
                 {"right half", stick(0.6f, 0), 0, 0, 0, 0.5f},
                 {"inside the dead zone", stick(0.1f, -0.15f), 0, 0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Actions a = padActions(c.pad, c.pad);
        EXPECT_NEAR(a.forwards, c.forwards, 1e-6f);
        EXPECT_NEAR(a.backwards, c.backwards, 1e-6f);
        EXPECT_NEAR(a.left, c.left, 1e-6f);
        EXPECT_NEAR(a.right, c.right, 1e-6f);
    }
    const Actions diagonal = padActions(stick(1, -1), stick(1, -1));
    EXPECT_LE(walkLength(diagonal), 1.0f + 1e-6f) << diagonal.forwards << ", " << diagonal.right;
    EXPECT_EQ(padActions(stick(0, -1), PadState{}).forwards, 1.0f);  // exactly a key's amount
    const Actions pulledOut = padActions(PadState{}, stick(0, -1));
    EXPECT_EQ(walkLength(pulledOut), 0.0f);
}

// Right stick fully right turns right at 180 degrees a second, like the
// cursor right of the centre with the right button held.
TEST(PadActions, RightStickTurnsHalfARoundASecond) {
    const struct {
        const char* name;
        PadState pad;
        float yawPerSecond;
    } cases[] = {{"right", stick(0, 0, 1, 0), -180.0f},
                 {"left", stick(0, 0, -1, 0), 180.0f},
                 {"inside the dead zone", stick(0, 0, 0.15f, 0), 0.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Camera camera = makeView().mainCamera;
        const Actions a = padActions(c.pad, c.pad);
        EXPECT_NEAR(turnCamera(camera, a.turnX, a.turnY, 0.5f), 0.5f * c.yawPerSecond, 1e-3f);
    }
    View view = makeView();
    InputState cursor;  // the cursor right of the centre turns the same way
    cursor.rightButton = true;
    cursor.mouseX = 900;
    cursor.mouseY = 500;
    int wheel = 0;
    EXPECT_LT(keyboardMouseActions(cursor, InputState{}, view.mainCamera, wheel).turnX, 0.0f);
}

// Shoulders and triggers zoom one step per press (right in, left out); Start
// pauses once per press; a pad plugged in with a button down presses nothing.
TEST(PadActions, ButtonsActOncePerPress) {
    const PadState rest = stick(0, 0);
    PadState rightShoulder = rest;
    PadState leftTrigger = rest;
    PadState halfTrigger = rest;
    PadState start = rest;
    rightShoulder.rightShoulder = true;
    leftTrigger.leftTrigger = 1.0f;
    halfTrigger.leftTrigger = 0.4f;
    start.start = true;
    const struct {
        const char* name;
        PadState now, before;
        int zoomSteps;
        bool pause;
    } cases[] = {{"right shoulder pressed", rightShoulder, rest, 1, false},
                 {"right shoulder held", rightShoulder, rightShoulder, 0, false},
                 {"left trigger pulled", leftTrigger, rest, -1, false},
                 {"left trigger pulled on", leftTrigger, halfTrigger, -1, false},
                 {"left trigger half way", halfTrigger, rest, 0, false},
                 {"start pressed", start, rest, 0, true},
                 {"start held", start, start, 0, false},
                 {"plugged in holding start", start, PadState{}, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Actions a = padActions(c.now, c.before);
        EXPECT_EQ(a.zoomSteps, c.zoomSteps);
        EXPECT_EQ(a.pause, c.pause);
    }
}

// The keys, the wheel and '+'/'-' as the zoom has always read them.
TEST(KeyboardActions, KeysAreWholeStepsAndTheWheelMovesOneZoomStep) {
    const struct {
        const char* name;
        std::vector<Key> keys;
        int wheel;
        bool inHeld, outHeld;
        int zoomSteps;
    } cases[] = {{"wheel up", {}, 3, false, false, 1},
                 {"wheel down", {}, -2, false, false, -1},
                 {"'+' takes a wheel down", {Key::Plus}, -2, true, false, 0},
                 {"'-' and wheel up", {Key::Minus}, 1, false, true, 1},
                 {"wheel still", {Key::Minus}, 0, false, true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InputState input;
        for (Key key : c.keys) setHeld(input, key, true);
        input.wheel = c.wheel;
        int reference = 0;
        const Actions a = keyboardMouseActions(input, InputState{}, makeView().mainCamera, reference);
        EXPECT_EQ(a.zoomInHeld, c.inHeld);
        EXPECT_EQ(a.zoomOutHeld, c.outHeld);
        EXPECT_EQ(a.zoomSteps, c.zoomSteps);
        EXPECT_EQ(reference, c.wheel);
    }
    InputState keys;
    for (Key key : {Key::Up, Key::S, Key::A, Key::Right}) setHeld(keys, key, true);
    int reference = 0;
    const Actions a = keyboardMouseActions(keys, InputState{}, makeView().mainCamera, reference);
    // Held keys are whole steps, opposite ones included: they cancel in the walk, not here.
    EXPECT_EQ(a.forwards, 1.0f);
    EXPECT_EQ(a.backwards, 1.0f);
    EXPECT_EQ(a.left, 1.0f);
    EXPECT_EQ(a.right, 1.0f);
}

// Keyboard and pad together: the larger walk per direction, never more than a
// key's; turning and zoom from both; pause and quit from either.
TEST(CombinedActions, KeyboardAndPadWorkTogether) {
    InputState input;
    setHeld(input, Key::W, true);
    setHeld(input, Key::Escape, true);
    input.wheel = 1;
    input.pad = stick(0.6f, -1.0f);
    input.pad.start = true;
    InputState before;
    before.pad = stick(0, 0);
    int reference = 0;
    const Actions a = actionsFromInput(input, before, makeView().mainCamera, reference);
    EXPECT_EQ(a.forwards, 1.0f);
    EXPECT_GT(a.right, 0.0f);
    EXPECT_EQ(a.zoomSteps, 1);
    EXPECT_TRUE(a.pause);
    EXPECT_TRUE(a.quit);
    setHeld(input, Key::P, true);  // P and Start in the same frame: one toggle
    EXPECT_TRUE(actionsFromInput(input, before, makeView().mainCamera, reference).pause);
}

// Two runs of the same world: one paused for twenty seconds between two
// seconds of play, one playing the two seconds straight.
class PausedClock : public ::testing::Test {
protected:
    struct Run {
        Scene scene;
        View view;
        GameClock clock;
    };
    static void start(Run& run) {
        buildTestScene(run.scene, run.view);
        for (SceneObject& ghost : run.scene.ghosts) {
            ghost.direction = {0, 0, 1};
            ghost.period = 100;
        }
        run.scene.ghostHasStolen[0] = true;  // resting since game time 100
        run.scene.stealClock = 100.0f;
        run.clock.lastFrame = 100.0f;
    }
    // Frames of 1/8 s at wall times from..to (exact in floats).
    void play(Run& run, float from, float to) {
        for (float wall = from; wall <= to; wall += 0.125f)
            playGameFrame(run.scene, run.view.mainCamera, map, Actions{}, run.clock, wall);
    }
    Run paused, steady;
    HeightMap map;
    CoutCapture capture;
};

// The time spent paused moves nothing and prints nothing, and afterwards the
// ghost's rest and the patrols are where two seconds of play put them.
TEST_F(PausedClock, TimeSpentPausedNeverReachesACooldownOrAPatrol) {
    start(paused);
    play(paused, 100.125f, 101.0f);
    const Scene before = paused.scene;
    const std::size_t printed = capture.buffer.str().size();
    pauseGameClock(paused.clock, 101.0f);
    play(paused, 101.125f, 121.0f);
    EXPECT_EQ(paused.scene.ghostCooldown[0], before.ghostCooldown[0]);
    EXPECT_EQ(paused.scene.ghosts[1].elapsed, before.ghosts[1].elapsed);
    EXPECT_EQ(paused.scene.ghosts[1].worldPosition(), before.ghosts[1].worldPosition());
    EXPECT_EQ(paused.scene.phantom.worldPosition(), before.phantom.worldPosition());
    EXPECT_EQ(capture.buffer.str().size(), printed) << "position lines while paused";
    EXPECT_EQ(gameTime(paused.clock, 121.0f), 101.0f);
    EXPECT_EQ(paused.clock.frameTime, 0.0f);
    resumeGameClock(paused.clock, 121.0f);
    play(paused, 121.125f, 122.0f);

    start(steady);
    play(steady, 100.125f, 102.0f);
    EXPECT_NEAR(paused.scene.ghostCooldown[0], 3.0f, 1e-4f);  // two seconds of its five-second rest
    EXPECT_TRUE(paused.scene.ghostHasStolen[0]);
    EXPECT_EQ(paused.scene.ghostCooldown[0], steady.scene.ghostCooldown[0]);
    EXPECT_EQ(paused.scene.ghosts[1].elapsed, steady.scene.ghosts[1].elapsed);
    EXPECT_EQ(paused.scene.ghosts[1].worldPosition(), steady.scene.ghosts[1].worldPosition());
    EXPECT_EQ(paused.scene.phantom.worldPosition(), steady.scene.phantom.worldPosition());
}

TEST(FramePacing, PeriodsAndTheNextPresent) {
    EXPECT_DOUBLE_EQ(refreshPeriod(144), 1.0 / 144);
    EXPECT_DOUBLE_EQ(refreshPeriod(0), 1.0 / 60);  // not known
    EXPECT_DOUBLE_EQ(nextPresentTime(10.0, 0.02), 10.02);
    FramePacer pacer;
    pacer.limiting = true;
    pacer.lastPresent = 10.0;
    pacer.period = 0.02;
    const struct {
        const char* name;
        double now, wait;
    } cases[] = {
        {"just presented", 10.0, 0.02}, {"half way", 10.01, 0.01}, {"on time", 10.02, 0.0}, {"late", 10.5, 0.0}};
    for (const auto& c : cases) {
        EXPECT_NEAR(waitBeforePresent(pacer, c.now), c.wait, 1e-12) << c.name;
    }
    pacer.limiting = false;
    EXPECT_EQ(waitBeforePresent(pacer, 10.0), 0.0);
}

// The limiter steps in only after frames came faster than the monitor
// refreshes, thirty in a row; a swap that waits for the monitor, or software
// rendering slower than it, never turns it on.
TEST(FramePacing, LimitsOnlyFramesFasterThanTheRefreshRate) {
    const struct {
        const char* name;
        std::vector<double> intervals;  // seconds between presents, at 100 Hz
        bool limiting;
    } cases[] = {{"swap interval honoured", std::vector<double>(200, 0.0099), false},
                 {"slow software rendering", std::vector<double>(200, 0.05), false},
                 {"29 fast frames", std::vector<double>(29, 0.001), false},
                 {"30 fast frames", std::vector<double>(30, 0.001), true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FramePacer pacer;
        pacer.period = refreshPeriod(100);
        double t = 5.0;
        notePresent(pacer, t);
        for (double interval : c.intervals) notePresent(pacer, t += interval);
        EXPECT_EQ(pacer.limiting, c.limiting) << pacer.fastFrames;
    }
    FramePacer pacer;  // a slow frame starts the count again
    double t = 0.0;
    for (int i = 0; i < 60; ++i) notePresent(pacer, t += i % 20 == 19 ? 0.5 : 0.001);
    EXPECT_FALSE(pacer.limiting) << pacer.fastFrames;
}

// Nothing is drawn for a minimised window or one without area, and its
// projections keep the last real size, so none turns NaN.
TEST(ZeroSizeWindow, IsNeverDrawnAndKeepsAFiniteProjection) {
    const struct {
        int width, height;
        bool minimised, shown;
    } cases[] = {{1200, 1000, false, true}, {1, 1, false, true},     {0, 0, false, false},
                 {1200, 0, false, false},   {0, 1000, false, false}, {1200, 1000, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + (c.minimised ? " minimised" : ""));
        EXPECT_EQ(windowCanShowFrame(c.width, c.height, c.minimised), c.shown);
        View view = makeView();
        onWindowResize(view, c.width, c.height);
        for (int i = 0; i < 16; ++i) {
            EXPECT_TRUE(std::isfinite(view.projectionMatrix[i / 4][i % 4])) << i;
            EXPECT_TRUE(std::isfinite(view.overlayProjection[i / 4][i % 4])) << i;
        }
    }
}

}  // namespace
