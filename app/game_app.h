// The game as one record and its life: start-up, loading, the frame loop and
// shutdown. The entry point owns one GameApp for the whole run.
#pragma once

#include "app/options.h"

// Runs the whole game; returns the process exit code (0 normal end,
// 1 no window, -1 a texture failed to load).
int runVarnelo();
