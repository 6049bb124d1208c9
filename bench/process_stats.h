// Process figures for the measuring programs: resident memory, time since
// the process started, and moving the game's console trail out of the way
// while keeping a stream for the report.
#pragma once

#include <cstdio>

// Resident set size in KiB from /proc/self/status; -1 when unreadable.
long residentKib();
// Seconds from the process's start (as the kernel recorded it) to now. The
// kernel counts in clock ticks, so this is good to about 10 ms; -1 when
// /proc cannot tell.
double secondsSinceProcessStart();
// CPU seconds the whole process has used so far, every thread counted
// (user and system). On a busy machine this stays close to the work done,
// where the wall clock also counts the waits for a core.
double processCpuSeconds();
// Points file descriptor 1 at /dev/null and returns a stream on the old
// standard output for the report; nullptr on failure (stdout unchanged).
std::FILE* divertStdout();
