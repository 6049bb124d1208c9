// The figures: the heroine's body and arms (and the whole figure for her
// anchor), the wandering ghost and the big see-through ghost. Each is
// designed upright in world orientation and then mapped into the raw frame
// that its placement in the scene turns back into that orientation.
#pragma once

#include "mesh_builder.h"

GenModel makeHeroBody();
GenModel makeLeftArm();
GenModel makeRightArm();
GenModel makeHeroFigure();
GenModel makeGhost();
GenModel makePhantom();
