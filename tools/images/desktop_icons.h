// The game's icon for desktop menus and launchers: the bright cake of the
// overlay's cake icons (Models/cakeIcon.tga), on a clear background, as PNG
// files at the sizes the icon theme folders ask for.
#pragma once

#include <string>

#include "tools/images/canvas.h"

constexpr int kDesktopIconSizes[] = {48, 128, 256};

// The icon at size x size pixels, shrunk from the 256-pixel drawing.
Canvas desktopIconPicture(int size);
// The file name of the icon of one size, "varnelo-<size>.png".
std::string desktopIconFile(int size);
// Writes every size into dir; on failure prints the reason and returns false.
bool writeDesktopIcons(const std::string& dir);
