// Reference pictures of the GL tests: RGB frames written to and read from
// PNG files, bottom row first as glReadPixels gives them.
#pragma once

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <string>
#include <vector>

// False when the file cannot be written.
inline bool writeRgbPng(const std::string& path, const std::vector<unsigned char>& pixels, int width, int height) {
    stbi_flip_vertically_on_write(1);
    return stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3) != 0;
}

// Empty when the file is missing, unreadable or of another size.
inline std::vector<unsigned char> readRgbPng(const std::string& path, int width, int height) {
    int w = 0, h = 0, channels = 0;
    stbi_set_flip_vertically_on_load(1);
    unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 3);
    std::vector<unsigned char> pixels;
    if (data && w == width && h == height) pixels.assign(data, data + static_cast<std::size_t>(w) * h * 3);
    stbi_image_free(data);
    return pixels;
}
