// Pictures the overlay draws with the text shader, which drops near-black
// texels and multiplies the rest by the draw colour: the three cake icons and
// the two end screens. Their background is clear (exported as pure black).
#pragma once

#include "tools/images/canvas.h"
#include "tools/images/lettering.h"

enum class CakeLook {
    Carried,  // bright and full
    Lying,    // the same cake, pale: still out in the world
    Lost,     // greyed and crossed out
};

Canvas cakeIconPicture(CakeLook look);
// "YOU WON!" over a cake among stars.
Canvas victoryPicture(const Font& font);
// "GAME OVER" over a ghost making off with a cake.
Canvas gameOverPicture(const Font& font);
