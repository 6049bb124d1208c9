// Frame pacing when the driver ignores the swap interval: the game measures
// how fast frames are presented and, once they come faster than the monitor
// refreshes, waits before each present so that it never presents more
// frames than the monitor shows. Plain arithmetic on seconds; the loop does
// the waiting.
#pragma once

// Frames in a row faster than the refresh rate before the limiter steps in:
// a swap that waits for the monitor never gives that many.
constexpr int kFastFramesBeforeLimiting = 30;
// A frame counts as fast when it comes this much sooner than a refresh
// period: a swap that waits for the monitor comes about one period apart.
constexpr double kFastFrameShare = 0.8;
// Monitors that do not say their rate are taken as 60 Hz.
constexpr int kAssumedRefreshRate = 60;

struct FramePacer {
    double period = 1.0 / kAssumedRefreshRate;  // seconds between the monitor's refreshes
    double lastPresent = -1.0;                  // clock at the last present; below 0 before the first
    int fastFrames = 0;                         // fast frames in a row
    bool limiting = false;                      // once on, stays on: the driver will not change its mind
};

// Seconds between refreshes at refreshRate Hz (60 Hz when it is not known, 0 or less).
double refreshPeriod(int refreshRate);
// The earliest clock at which the next frame may be presented: one period
// after the last present.
double nextPresentTime(double lastPresent, double period);
// Seconds to wait at clock now before presenting: none while not limiting,
// before the first present, or when the frame is already late.
double waitBeforePresent(const FramePacer& pacer, double now);
// Records a present at clock presentedAt and counts it as fast or not.
void notePresent(FramePacer& pacer, double presentedAt);
