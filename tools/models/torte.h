// The torte: the tiered-cake landscape the figures walk on. Four tiers of
// icing with sponge walls stand on a snowy ground ring; one ramp leads up to
// each tier. Its placement scales it by 50 and stands it on end, and the
// height-map capture renders it from straight above, so surfaces that face
// up never lie above one another.
#pragma once

#include "mesh_builder.h"

GenModel makeTorte();
