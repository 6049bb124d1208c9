// The game's images: their load order, the trail around it, and release.
#include "render/game_textures.h"

#include <cstdio>

#include <GL/glew.h>

#include "render/gl_check.h"
#include "render/texture.h"

namespace {

// The images in the order that gives them the numbers 2 to 15, with the
// checks that precede some of them.
struct TextureEntry {
    const char* path;
    const char* checkBefore;
    unsigned int GameTextures::*name;
};

const TextureEntry kTextures[] = {
    {"Models/ground14.tga", nullptr, &GameTextures::ground},
    {"Models/won.tga", "load textures 2", &GameTextures::won},
    {"Models/leaf.tga", "load textures 3", &GameTextures::leaf},
    {"Models/mirelka_arm_l.tga", "load textures 4", &GameTextures::leftArm},
    {"Models/mirelka_arm_r.tga", "load textures 5", &GameTextures::rightArm},
    {"Models/mirelka_koerper2.tga", "load textures 5", &GameTextures::body},
    {"Models/sunny.tga", "load textures 6", &GameTextures::ghost},
    {"Models/cakeIcon.tga", nullptr, &GameTextures::carriedCakeIcon},
    {"Models/cakeIcon2.tga", nullptr, &GameTextures::lyingCakeIcon},
    {"Models/cakeIcon3.tga", nullptr, &GameTextures::lostCakeIcon},
    {"Models/torte_textur.tga", nullptr, &GameTextures::torte},
    {"Models/victory.tga", nullptr, &GameTextures::victory},
    {"Models/gameover.tga", nullptr, &GameTextures::gameOver},
    {"Models/alphabet.tga", nullptr, &GameTextures::alphabet},
};
constexpr unsigned int kFirstNumber = 2;  // texture 1 is the snow's

void progress(const char* line) {
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
}

}  // namespace

bool loadGameTextures(GameTextures& textures) {
    progress("before load textures ");
    checkGlError("load textures 0");
    progress("after load textures 1 ");
    checkGlError("load textures 1");
    unsigned int number = kFirstNumber;
    for (const TextureEntry& entry : kTextures) {
        if (entry.checkBefore) checkGlError(entry.checkBefore);
        const unsigned int name = loadTexture(entry.path);
        if (name == 0) {
            unloadGameTextures(textures);
            return false;
        }
        // The texture table numbers the images; a driver that hands out other
        // names is worth knowing about, but the real names are what is bound.
        if (name != number) {
            std::fprintf(stderr, "Texture %s has name %u instead of %u\n", entry.path, name, number);
            std::fflush(stderr);
        }
        textures.*entry.name = name;
        ++number;
    }
    progress("after load textures ");
    checkGlError("after load textures");
    return true;
}

void unloadGameTextures(GameTextures& textures) {
    for (const TextureEntry& entry : kTextures) {
        unsigned int& name = textures.*entry.name;
        if (name != 0) glDeleteTextures(1, &name);
    }
    textures = GameTextures{};
}

unsigned int iconTextureOf(const GameTextures& textures, CakeIcon icon) {
    switch (icon) {
    case CakeIcon::Carried:
        return textures.carriedCakeIcon;
    case CakeIcon::Lying:
        return textures.lyingCakeIcon;
    case CakeIcon::Lost:
        break;
    }
    return textures.lostCakeIcon;
}
