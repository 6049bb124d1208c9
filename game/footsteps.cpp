// Footstep pacing by distance walked.
#include "game/footsteps.h"

#include <cmath>

int countFootsteps(FootstepState& state, float distance) {
    if (!(distance > 0.0f) || !std::isfinite(distance)) return 0;  // also NaN
    // In double, the rounding of thousands of small frame distances stays far
    // below anything that could move a step from one frame to the next.
    state.sinceLastStep += distance;
    double steps = std::floor(state.sinceLastStep / kFootstepStride);
    if (steps <= 0.0) return 0;
    state.sinceLastStep -= steps * kFootstepStride;
    // Rounding can leave a hair below zero or at a full stride.
    if (state.sinceLastStep < 0.0 || state.sinceLastStep >= kFootstepStride) state.sinceLastStep = 0.0;
    return steps < kMaxFootstepsPerCall ? static_cast<int>(steps) : kMaxFootstepsPerCall;
}
