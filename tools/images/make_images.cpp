// make_images <output dir>: writes the game's fourteen TGA images, the same
// bytes on every run. Each file is written under a temporary name and then
// renamed, so a reader never sees half an image.
// make_images --icons <output dir>: writes the desktop icons (PNG) instead.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/images/canvas.h"
#include "tools/images/desktop_icons.h"
#include "tools/images/figures.h"
#include "tools/images/lettering.h"
#include "tools/images/overlay_pictures.h"
#include "tools/images/scenery.h"

namespace {

struct PictureEntry {
    const char* file;
    Canvas (*make)(const Font& font);
    bool overlay;  // drawn by the text shader: black means nothing
};

// In the game's load order.
const PictureEntry kPictures[] = {
    {"ground14.tga", [](const Font&) { return groundPicture(); }, false},
    {"won.tga", [](const Font&) { return trophyPicture(); }, false},
    {"leaf.tga", [](const Font&) { return leafPicture(); }, false},
    {"mirelka_arm_l.tga", [](const Font&) { return heroineArmPicture(true); }, false},
    {"mirelka_arm_r.tga", [](const Font&) { return heroineArmPicture(false); }, false},
    {"mirelka_koerper2.tga", [](const Font&) { return heroineBodyPicture(); }, false},
    {"sunny.tga", [](const Font&) { return ghostPicture(); }, false},
    {"cakeIcon.tga", [](const Font&) { return cakeIconPicture(CakeLook::Carried); }, true},
    {"cakeIcon2.tga", [](const Font&) { return cakeIconPicture(CakeLook::Lying); }, true},
    {"cakeIcon3.tga", [](const Font&) { return cakeIconPicture(CakeLook::Lost); }, true},
    {"torte_textur.tga", [](const Font&) { return tortePicture(); }, false},
    {"victory.tga", [](const Font& font) { return victoryPicture(font); }, true},
    {"gameover.tga", [](const Font& font) { return gameOverPicture(font); }, true},
    {"alphabet.tga", [](const Font& font) { return alphabetPicture(font); }, true},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") return writeDesktopIcons(argv[2]) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_images <output dir> | make_images --icons <output dir>\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "make_images: cannot create %s: %s\n", dir.c_str(), error.message().c_str());
        return 1;
    }
    Font font;
    if (!loadFont(kLetteringFontPath, font)) {
        std::fprintf(stderr, "make_images: cannot read the font %s (package fonts-dejavu-core)\n", kLetteringFontPath);
        return 1;
    }
    for (const PictureEntry& entry : kPictures) {
        const Canvas canvas = entry.make(font);
        const std::filesystem::path target = dir / entry.file;
        const std::filesystem::path partial = dir / (std::string(entry.file) + ".part");
        const bool written = writeTga(partial.string(), canvas.width, canvas.height,
                                      entry.overlay ? overlayBytes(canvas) : opaqueBytes(canvas));
        if (written) std::filesystem::rename(partial, target, error);
        if (!written || error) {
            std::fprintf(stderr, "make_images: cannot write %s\n", target.c_str());
            std::filesystem::remove(partial, error);
            return 1;
        }
    }
    return 0;
}
