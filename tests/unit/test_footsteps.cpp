// Footsteps by distance walked: the steps fall at the same distances however
// the walk is cut into frames, and nothing that is not walking makes a step.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "game/footsteps.h"

namespace {

// Steps per frame as a string of digits, one per frame.
std::string stepsPerFrame(const std::vector<float>& distances) {
    FootstepState state;
    std::string out;
    for (float distance : distances) out += std::to_string(countFootsteps(state, distance));
    return out;
}

std::vector<float> repeated(float distance, int frames) {
    return std::vector<float>(static_cast<size_t>(frames), distance);
}

struct Walk {
    const char* name;
    std::vector<float> distances;
    std::string expected;
};

TEST(Footsteps, StepsFallHalfAStrideInAndThenEveryStride) {
    const Walk walks[] = {
        {"just short of the first step", {7.9f}, "0"},
        {"the first step half a stride in", {7.9f, 0.2f}, "01"},
        {"a stride a frame", repeated(16.0f, 4), "1111"},
        // 4 units a frame: steps at 8, 24, 40 ... are reached in frames 2, 6, 10.
        {"long frames", repeated(4.0f, 11), "01000100010"},
        // 60 frames a second at 40 units a second: 2/3 unit a frame; the
        // steps at 8 and 24 fall in frames 12 and 36.
        {"sixty frames a second", repeated(40.0f / 60.0f, 37),
         std::string(11, '0') + "1" + std::string(23, '0') + "10"},
        // 8 + 40 units: past the steps at 8, 24 and 40.
        {"two and a half strides at once", {40.0f}, "3"},
    };
    for (const Walk& walk : walks) EXPECT_EQ(stepsPerFrame(walk.distances), walk.expected) << walk.name;
}

// Any cut of the same walk into frames gives the same number of steps,
// one per stride after the first half stride.
TEST(Footsteps, TheCountDependsOnTheDistanceNotOnTheFrames) {
    std::srand(7);
    for (int trial = 0; trial < 200; ++trial) {
        FootstepState state;
        double walked = 0.0;
        int steps = 0;
        int frames = 1 + std::rand() % 2000;
        for (int frame = 0; frame < frames; ++frame) {
            // Between a thousandth of a unit and a long diagonal frame.
            float distance = 0.001f + 5.7f * static_cast<float>(std::rand()) / RAND_MAX;
            walked += distance;
            steps += countFootsteps(state, distance);
        }
        int expected = static_cast<int>(std::floor((walked + kFootstepStride / 2.0) / kFootstepStride));
        ASSERT_EQ(steps, expected) << "trial " << trial << ", " << walked << " units in " << frames << " frames";
    }
}

TEST(Footsteps, StandingStillOrBrokenDistancesMakeNoStepAndLoseNoPace) {
    const float notWalking[] = {0.0f, -3.0f, -0.0f, std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
    for (float distance : notWalking) {
        FootstepState state;
        EXPECT_EQ(countFootsteps(state, 7.0f), 0);
        EXPECT_EQ(countFootsteps(state, distance), 0) << distance;
        // The pace carries on as if that frame had not been: the step still
        // falls one unit on.
        EXPECT_EQ(countFootsteps(state, 0.9f), 0) << distance;
        EXPECT_EQ(countFootsteps(state, 0.2f), 1) << distance;
    }
}

TEST(Footsteps, AJumpAcrossTheMapCountsAFewStepsAndKeepsThePace) {
    FootstepState state;
    EXPECT_EQ(countFootsteps(state, 3.0e6f), kMaxFootstepsPerCall);
    EXPECT_GE(state.sinceLastStep, 0.0);
    EXPECT_LT(state.sinceLastStep, kFootstepStride);
    // Afterwards she steps once a stride again.
    EXPECT_EQ(stepsPerFrame(repeated(16.0f, 3)), "111");
    int steps = 0;
    for (int frame = 0; frame < 16; ++frame) steps += countFootsteps(state, 2.0f);
    EXPECT_EQ(steps, 2);
}

}  // namespace
