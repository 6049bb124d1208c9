// terrain.bmp: a 1024 x 1024 24-bit grey bitmap of the captured heights.
#include "world/terrain_bitmap.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <new>

#include "world/height_map.h"

namespace {

constexpr std::size_t kHeaderBytes = 54;
constexpr std::size_t kPixelBytes = kTerrainBitmapBytes - kHeaderBytes;
static_assert(kPixelBytes == std::size_t(kHeightMapSize) * kHeightMapSize * 3, "rows of 1024 pixels, no padding");

void put16(std::vector<unsigned char>& out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<unsigned char>(value & 0xFF);
    out[at + 1] = static_cast<unsigned char>(value >> 8);
}

void put32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

unsigned char greyLevel(float height, float scale) {
    float product = height * scale;
    if (std::isnan(product)) return 0;
    double whole = std::trunc(static_cast<double>(product));
    // Floats this large are multiples of 256, so their low byte is 0; the
    // guard also keeps the conversion below defined for infinities.
    if (std::fabs(whole) >= 4611686018427387904.0) return 0;
    return static_cast<unsigned char>(static_cast<long long>(whole) & 0xFF);
}

std::vector<unsigned char> encodeGreyBitmap(const float* values, float scale) {
    std::vector<unsigned char> file(kTerrainBitmapBytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<std::uint32_t>(kTerrainBitmapBytes));
    put32(file, 6, 0);
    put32(file, 10, static_cast<std::uint32_t>(kHeaderBytes));
    put32(file, 14, 40);
    put32(file, 18, kHeightMapSize);
    put32(file, 22, kHeightMapSize);  // positive: bottom row first, as the map is stored
    put16(file, 26, 1);
    put16(file, 28, 24);
    put32(file, 30, 0);
    put32(file, 34, static_cast<std::uint32_t>(kPixelBytes));
    put32(file, 38, 0);
    put32(file, 42, 0);
    put32(file, 46, 0);
    put32(file, 50, 0);
    unsigned char* pixel = file.data() + kHeaderBytes;
    for (std::size_t k = 0; k < std::size_t(kHeightMapSize) * kHeightMapSize; ++k) {
        unsigned char grey = greyLevel(values[k], scale);
        pixel[3 * k] = grey;
        pixel[3 * k + 1] = grey;
        pixel[3 * k + 2] = grey;
    }
    return file;
}

bool writeGreyBitmap(const float* values, float scale) {
    std::vector<unsigned char> bytes;
    try {
        bytes = encodeGreyBitmap(values, scale);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::FILE* file = std::fopen("terrain.bmp", "wb");
    if (!file) return false;
    std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    bool closed = std::fclose(file) == 0;
    return written == bytes.size() && closed;
}
