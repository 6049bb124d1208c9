// The small models: the cake, the overlay's icon plane and end-screen plane,
// the grass tufts and the little star kept with the victory assets.
#pragma once

#include "mesh_builder.h"

GenModel makeCake();
GenModel makeIconPlane();
GenModel makeEndScreenPlane();
GenModel makeGrass();
GenModel makeStar();
