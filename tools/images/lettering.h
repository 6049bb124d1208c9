// Lettering for the generated pictures: a TrueType font read with
// stb_truetype, lines of text as shapes, and the game's 16 x 16 font atlas.
#pragma once

#include <memory>
#include <string>

#include "tools/images/canvas.h"

struct FontData;

struct Font {
    std::shared_ptr<const FontData> data;
};

// The font every picture is lettered with.
constexpr const char* kLetteringFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

bool loadFont(const std::string& path, Font& font);
// One line of text as a shape: centred on centreX, its baseline at baselineY,
// capital letters capHeight pixels tall.
Shape textShape(const Font& font, const std::string& text, float centreX, float baselineY, float capHeight);

// The font atlas: 512 x 512, 16 x 16 cells of 32 pixels in character-code
// order (Latin-1), row 0 at the top. White glyphs on black, each glyph kept
// inside the middle half of its cell's width so that cells drawn at half a
// cell's advance do not collide.
constexpr int kAtlasCell = 32;
constexpr int kAtlasInkLeft = 9;    // first column of ink within a cell
constexpr int kAtlasInkRight = 23;  // one past the last
Canvas alphabetPicture(const Font& font);
