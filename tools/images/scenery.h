// Pictures of the landscape and two simple pictures the game loads but never
// shows: the snowy ground, the torte's texture, a trophy and a leaf.
#pragma once

#include "tools/images/canvas.h"

// Snowy ground: white with faint blue-grey drifts and glints; repeats seamlessly.
Canvas groundPicture();
// Three vertical strips: snow (u 0 - 1/3), icing with sprinkles for tier tops
// and ramps (1/3 - 2/3), and layered sponge for the walls (2/3 - 1). Each
// strip repeats seamlessly along v.
Canvas tortePicture();
Canvas trophyPicture();
Canvas leafPicture();
