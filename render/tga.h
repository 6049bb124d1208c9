// TGA images: true-colour, grey-scale and colour-mapped files, raw or
// run-length encoded, decoded into rows bottom first with R, G, B(, A) bytes,
// the layout glTexImage2D expects. Broken or hostile files are refused.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;              // 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA
    std::vector<unsigned char> pixels;  // width * height * bytesPerPixel, bottom row first
};

// Longest side accepted; larger claims are treated as corrupt files.
constexpr int kMaxTgaSide = 16384;

// Decodes a TGA file held in memory. Returns false (out untouched) for
// anything that is not a complete, consistent TGA image.
bool decodeTga(const unsigned char* data, std::size_t size, Image& out);
// Reads and decodes a TGA file. Returns false (out untouched) when the file
// cannot be read or does not decode.
bool readTga(const std::string& path, Image& out);
