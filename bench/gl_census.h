// A count of the live GL objects of the current context, to see whether a
// long run leaks names or lets buffers grow. Needs a current context; takes
// a few milliseconds, so it runs between frames, not in them.
#pragma once

struct GlCensus {
    // The names a fresh glGen* call hands out now (the probe is deleted again).
    unsigned int nextBuffer = 0;
    unsigned int nextVertexArray = 0;
    unsigned int nextTexture = 0;
    // Live objects among the names scanned.
    int buffers = 0;
    int vertexArrays = 0;
    int textures = 0;
    int framebuffers = 0;
    int renderbuffers = 0;
    int transformFeedbacks = 0;
    int programs = 0;
    int shaders = 0;
    long long bufferBytes = 0;  // summed GL_BUFFER_SIZE of the live buffers
};

// Scans names 1 .. max(probe names, minScan). Leaves every binding as it was.
GlCensus takeGlCensus(unsigned int minScan = 4096);
// Whether the later census holds more of anything than the earlier one.
bool censusGrew(const GlCensus& before, const GlCensus& after);
// One line: "buffers 12 (3456 bytes) vertex arrays 4 ...".
void printCensus(const char* label, const GlCensus& census);
