// Footsteps by distance walked: one step per fixed stride of ground covered,
// however the distance is split into frames, so the steps keep their pace at
// any frame rate and stop when a wall stops her.
#pragma once

// Ground covered by one step. She walks 40 units a second, so this gives two
// and a half steps a second.
constexpr float kFootstepStride = 16.0f;

// Most steps one call reports. A frame is at most a fraction of a stride;
// this only keeps a jump across the map from counting thousands of steps.
constexpr int kMaxFootstepsPerCall = 4;

struct FootstepState {
    // Distance walked since the last step. It starts half a stride in, so
    // the first step falls soon after she sets off rather than a whole
    // stride later.
    double sinceLastStep = kFootstepStride / 2.0;
};

// Adds distance walked this frame; returns the steps that fall in it.
// Zero, negative, infinite or NaN distance adds nothing and gives no step.
int countFootsteps(FootstepState& state, float distance);
