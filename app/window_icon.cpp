// The window icon: a decoded TGA turned into top-first RGBA rows for the window.
#include "app/window_icon.h"

#include <algorithm>
#include <cstddef>

#include "app/window.h"

IconPixels iconPixelsOf(const Image& image) {
    IconPixels icon;
    const std::size_t channels = static_cast<std::size_t>(image.bytesPerPixel);
    const std::size_t width = static_cast<std::size_t>(image.width);
    const std::size_t height = static_cast<std::size_t>(image.height);
    if (channels < 1 || channels > 4 || width == 0 || height == 0 || image.pixels.size() != width * height * channels)
        return icon;
    const bool hasAlpha = channels == 2 || channels == 4;
    icon.width = image.width;
    icon.height = image.height;
    icon.rgba.resize(width * height * 4);
    for (std::size_t row = 0; row < height; ++row) {
        // The image's bottom row is the icon's last.
        const unsigned char* from = &image.pixels[(height - 1 - row) * width * channels];
        unsigned char* to = &icon.rgba[row * width * 4];
        for (std::size_t x = 0; x < width; ++x, from += channels, to += 4) {
            const bool grey = channels < 3;
            to[0] = from[0];
            to[1] = grey ? from[0] : from[1];
            to[2] = grey ? from[0] : from[2];
            const unsigned char brightest = std::max(to[0], std::max(to[1], to[2]));
            to[3] = hasAlpha ? from[channels - 1] : (brightest < kIconCutOut ? 0 : 255);
        }
    }
    return icon;
}

void showWindowIcon(const std::string& path) {
    Image image;
    if (!readTga(path, image)) return;
    const IconPixels icon = iconPixelsOf(image);
    if (!icon.rgba.empty()) setWindowIcon(icon.width, icon.height, icon.rgba.data());
}
