// Keeps the GL driver's shared libraries mapped until the process ends, so
// that the leak report at exit can name them (glfwTerminate unloads the
// driver, and leaks inside an unloaded library show as "<unknown module>",
// which no suppression can match). Only the measuring programs call it.
#pragma once

// Pins every loaded library whose path names the Mesa driver, GLX, LLVM or
// the X client libraries; returns how many were pinned. Call with a context.
int pinGlDriverLibraries();
