// Fuzz target: any bytes through the TGA decoder. Besides not crashing, a
// decoded image must match its own size claims, and a refused file must
// leave the output untouched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/tga.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Image image;
    image.width = -7;  // sentinel: a refusal must not touch it
    if (!decodeTga(data, size, image)) {
        if (image.width != -7 || image.height != 0 || !image.pixels.empty()) std::abort();
        return 0;
    }
    if (image.width <= 0 || image.height <= 0 || image.width > kMaxTgaSide || image.height > kMaxTgaSide) std::abort();
    if (image.bytesPerPixel < 1 || image.bytesPerPixel > 4) std::abort();
    const std::size_t expected = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) *
                                 static_cast<std::size_t>(image.bytesPerPixel);
    if (image.pixels.size() != expected) std::abort();
    return 0;
}
