// terrain.bmp: the height map as a 24-bit grey bitmap.
#pragma once

#include <cstddef>
#include <vector>

constexpr std::size_t kTerrainBitmapBytes = 3145782;

// Grey level of one height: the low 8 bits of trunc(height * scale).
unsigned char greyLevel(float height, float scale = 0.85f);
// The whole file in memory (header and pixels).
std::vector<unsigned char> encodeGreyBitmap(const float* values, float scale = 0.85f);
// Writes "terrain.bmp" in the working directory; false when it cannot be opened.
bool writeGreyBitmap(const float* values, float scale = 0.85f);
