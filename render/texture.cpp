// Texture loading and sampling modes: TGA files into mip-mapped GL_RGB8
// textures, and the filter switch applied before each textured model draw.
#include "render/texture.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "render/gl_check.h"
#include "render/tga.h"

namespace {

GLenum pixelFormat(int bytesPerPixel) {
    switch (bytesPerPixel) {
    case 3:
        return GL_RGB;
    case 4:
        return GL_RGBA;
    case 2:
        // Grey with alpha: plain GL_LUMINANCE would read every other byte as a pixel.
        return GL_LUMINANCE_ALPHA;
    default:
        return GL_LUMINANCE;
    }
}

}  // namespace

unsigned int loadTexture(const std::string& path) {
    checkGlError("13.0");
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);

    Image image;
    if (!readTga(path, image)) {
        std::fprintf(stderr, "Error loading texture %s\n", path.c_str());
        std::fflush(stderr);
        glDeleteTextures(1, &name);
        return 0;
    }
    checkGlError("13.1");

    // GL reads rows at the default unpack alignment of 4; rows of other
    // lengths are copied into padded rows so it never reads past the pixels.
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.bytesPerPixel);
    const std::size_t paddedRowBytes = (rowBytes + 3) & ~static_cast<std::size_t>(3);
    const unsigned char* pixels = image.pixels.data();
    std::vector<unsigned char> padded;
    if (paddedRowBytes != rowBytes) {
        padded.assign(paddedRowBytes * static_cast<std::size_t>(image.height), 0);
        for (int y = 0; y < image.height; ++y)
            std::memcpy(padded.data() + y * paddedRowBytes, pixels + y * rowBytes, rowBytes);
        pixels = padded.data();
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, image.width, image.height, 0, pixelFormat(image.bytesPerPixel),
                 GL_UNSIGNED_BYTE, pixels);

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glGenerateMipmap(GL_TEXTURE_2D);
    return name;
}

void applyTextureSampling(bool bilinear, int mipmapMode) {
    GLint minFilter = 0;
    if (bilinear) {
        minFilter = mipmapMode == 1 ? GL_LINEAR_MIPMAP_NEAREST : mipmapMode == 2 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
    } else {
        minFilter = mipmapMode == 1   ? GL_NEAREST_MIPMAP_NEAREST
                    : mipmapMode == 2 ? GL_NEAREST_MIPMAP_LINEAR
                                      : GL_NEAREST;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, bilinear ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
}
