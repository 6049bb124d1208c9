// Builds TGA files byte by byte for the reader's tests: the header fields a
// test varies (types 1 and 9 get a colour map), then the body from the id field on.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct Tga {
    int type, width, height, bits, descriptor = 0, mapLength = 0, mapBits = 0, mapFirst = 0, idLength = 0;
};

// The file, less its last cut bytes. The header as its fields lie, each value with its size in bytes
// (little-endian): id length, colour map present, type, map first entry and length, map entry bits,
// origin x and y, width, height, pixel bits, descriptor.
inline Bytes tgaBytes(const Tga& t, const Bytes& body, std::size_t cut = 0) {
    const std::pair<int, int> header[] = {{t.idLength, 1},  {t.type % 8 == 1, 1}, {t.type, 1},      {t.mapFirst, 2},
                                          {t.mapLength, 2}, {t.mapBits, 1},       {0, 4},           {t.width, 2},
                                          {t.height, 2},    {t.bits, 1},          {t.descriptor, 1}};
    Bytes bytes;
    for (const auto& [value, size] : header)
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    bytes.insert(bytes.end(), body.begin(), body.end());
    bytes.resize(bytes.size() - cut);
    return bytes;
}

// An uncompressed true-colour file (B, G, R[, A] pixels, rows bottom first) as text for a TempFile.
inline std::string tgaFile(int width, int height, int pixelBits, const Bytes& body) {
    const Bytes bytes = tgaBytes(Tga{2, width, height, pixelBits}, body);
    return std::string(bytes.begin(), bytes.end());
}
