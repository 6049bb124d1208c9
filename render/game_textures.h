// The game's fourteen images as one record of GL texture names, loaded in
// their fixed order and unloaded together. Draw code binds these names.
#pragma once

#include "game/cakes.h"

struct GameTextures {
    unsigned int ground = 0;  // Models/ground14.tga: bound on unit 0 during the shadow pass
    unsigned int won = 0;     // Models/won.tga: loaded with the others, never drawn
    unsigned int leaf = 0;    // Models/leaf.tga: loaded with the others, never drawn
    unsigned int leftArm = 0;
    unsigned int rightArm = 0;
    unsigned int body = 0;
    unsigned int ghost = 0;
    unsigned int carriedCakeIcon = 0;
    unsigned int lyingCakeIcon = 0;
    unsigned int lostCakeIcon = 0;
    unsigned int torte = 0;
    unsigned int victory = 0;
    unsigned int gameOver = 0;
    unsigned int alphabet = 0;  // the 16 x 16 character atlas of the overlay
};

// Loads the images in their fixed order with the loading trail's lines and
// checks. Each name is compared with the number the game's texture table
// gives it (2 to 15, after the snow's texture 1); a different name is
// reported on standard error and the real one used. On a failed image the
// ones loaded so far are unloaded and false is returned.
bool loadGameTextures(GameTextures& textures);
void unloadGameTextures(GameTextures& textures);
// The texture that shows an icon state.
unsigned int iconTextureOf(const GameTextures& textures, CakeIcon icon);
