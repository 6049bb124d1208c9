// Texture loading and sampling modes. Draw code refers to textures by fixed
// numbers that are the GL names handed out in creation order.
#pragma once

#include <string>

enum TextureNumber : unsigned int {
    kSnowRandomTexture = 1,
    kGroundTexture = 2,
    kWonTexture = 3,
    kLeafTexture = 4,
    kLeftArmTexture = 5,
    kRightArmTexture = 6,
    kBodyTexture = 7,
    kGhostTexture = 8,
    kCarriedCakeIcon = 9,
    kLyingCakeIcon = 10,
    kLostCakeIcon = 11,
    kTorteTexture = 12,
    kVictoryTexture = 13,
    kGameOverTexture = 14,
    kAlphabetTexture = 15,
    kShadowMapTexture = 16,
    kHeightCaptureTexture = 17,
};

// Loads a TGA file into a new GL_TEXTURE_2D (GL_RGB8, mip-mapped), leaving it
// bound. On failure prints "Error loading texture <path>", leaves no texture
// behind and returns false.
bool loadTexture(const std::string& path);
// Sets the two filters of the texture bound to GL_TEXTURE_2D on the active unit.
void applyTextureSampling(bool bilinear, int mipmapMode);
