// The window's icon in the task bar and the window list: the overlay's
// bright cake picture, turned into the RGBA rows, top row first, that the
// window system takes.
#pragma once

#include <string>
#include <vector>

#include "render/tga.h"

// Brightest channel below which the overlay cuts a texel out (as the text
// shader does); the icon shows those pixels as transparent.
constexpr unsigned char kIconCutOut = 26;

struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;  // width * height * 4, top row first
};

// Any decoded image (grey, grey + alpha, RGB, RGBA; rows bottom first) as
// RGBA rows top first. Near-black pixels of an image without alpha become
// transparent, as the picture's black surround is in the overlay.
IconPixels iconPixelsOf(const Image& image);
// Reads the picture and gives it to the window. A picture that cannot be
// read leaves the window system's own icon: the game plays on without one.
void showWindowIcon(const std::string& path);
