// The frame limiter's arithmetic.
#include "app/frame_pacing.h"

double refreshPeriod(int refreshRate) { return 1.0 / (refreshRate > 0 ? refreshRate : kAssumedRefreshRate); }

double nextPresentTime(double lastPresent, double period) { return lastPresent + period; }

double waitBeforePresent(const FramePacer& pacer, double now) {
    if (!pacer.limiting || pacer.lastPresent < 0.0) return 0.0;
    const double wait = nextPresentTime(pacer.lastPresent, pacer.period) - now;
    return wait > 0.0 ? wait : 0.0;
}

void notePresent(FramePacer& pacer, double presentedAt) {
    if (pacer.lastPresent >= 0.0) {
        const bool fast = presentedAt - pacer.lastPresent < kFastFrameShare * pacer.period;
        pacer.fastFrames = fast ? pacer.fastFrames + 1 : 0;
        if (pacer.fastFrames >= kFastFramesBeforeLimiting) pacer.limiting = true;
    }
    pacer.lastPresent = presentedAt;
}
