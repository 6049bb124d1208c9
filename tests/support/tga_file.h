// Builds TGA files byte by byte for the reader's tests: the header fields a
// test varies (types 1 and 9 get a colour map), then the body from the id field on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct Tga {
    int type, width, height, bits, descriptor = 0, mapLength = 0, mapBits = 0, mapFirst = 0, idLength = 0;
};

// The file, less its last cut bytes.
inline Bytes tgaBytes(const Tga& t, const Bytes& body, std::size_t cut = 0) {
    auto lo = [](int v) { return static_cast<unsigned char>(v & 0xff); };
    auto hi = [](int v) { return static_cast<unsigned char>(v >> 8); };
    Bytes bytes = {lo(t.idLength),
                   t.type % 8 == 1,
                   lo(t.type),
                   lo(t.mapFirst),
                   hi(t.mapFirst),
                   lo(t.mapLength),
                   hi(t.mapLength),
                   lo(t.mapBits),
                   0,
                   0,
                   0,
                   0,
                   lo(t.width),
                   hi(t.width),
                   lo(t.height),
                   hi(t.height),
                   lo(t.bits),
                   lo(t.descriptor)};
    for (unsigned char byte : body) bytes.push_back(byte);
    bytes.resize(bytes.size() - cut);
    return bytes;
}

// An uncompressed true-colour file (B, G, R[, A] pixels, rows bottom first) as text for a TempFile.
inline std::string tgaFile(int width, int height, int pixelBits, const Bytes& body) {
    const Bytes bytes = tgaBytes(Tga{2, width, height, pixelBits}, body);
    return std::string(bytes.begin(), bytes.end());
}
