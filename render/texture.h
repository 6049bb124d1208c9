// Texture loading and sampling modes: one TGA file into one GL texture.
#pragma once

#include <string>

// Loads a TGA file into a new GL_TEXTURE_2D (GL_RGB8, mip-mapped), leaving it
// bound, and returns its name. On failure prints "Error loading texture
// <path>", leaves no texture behind and returns 0.
unsigned int loadTexture(const std::string& path);
// Sets the two filters of the texture bound to GL_TEXTURE_2D on the active unit.
void applyTextureSampling(bool bilinear, int mipmapMode);
