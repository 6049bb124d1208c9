// The view of the GL tests' window, made and kept as the game keeps its own:
// the start-up values, then what the window's size callback reports. Tests
// that draw copy it and change only their copy.
#pragma once

#include "math/view.h"

const View& testWindowView();
