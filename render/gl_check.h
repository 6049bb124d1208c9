// Labelled GL error checks: a diagnostic trail on standard error at fixed
// points of loading and drawing. Reporting never stops the program.
#pragma once

// Takes one pending GL error (if any) and reports it under the label.
// Further queued errors stay for the next check.
void checkGlError(const char* label);
