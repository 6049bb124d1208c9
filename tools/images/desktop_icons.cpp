// The desktop icons: the overlay's bright cake drawn once at 256 pixels and
// shrunk to each size, so the menu shows the same picture as the game.
#include "tools/images/desktop_icons.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/images/overlay_pictures.h"

Canvas desktopIconPicture(int size) {
    Canvas full = cakeIconPicture(CakeLook::Carried);  // not const: returned, it is moved
    if (size == full.width && size == full.height) return full;
    return shrunk(full, size, size);
}

std::string desktopIconFile(int size) { return "varnelo-" + std::to_string(size) + ".png"; }

bool writeDesktopIcons(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "make_images: cannot create %s: %s\n", dir.c_str(), error.message().c_str());
        return false;
    }
    for (int size : kDesktopIconSizes) {
        const Canvas canvas = desktopIconPicture(size);
        const std::filesystem::path target = std::filesystem::path(dir) / desktopIconFile(size);
        // Written under another name first, so no half-written icon is installed.
        const std::filesystem::path partial = target.string() + ".part";
        const bool written = writePng(partial.string(), canvas.width, canvas.height, rgbaBytes(canvas));
        if (written) std::filesystem::rename(partial, target, error);
        if (!written || error) {
            std::fprintf(stderr, "make_images: cannot write %s\n", target.c_str());
            std::filesystem::remove(partial, error);
            return false;
        }
    }
    return true;
}
