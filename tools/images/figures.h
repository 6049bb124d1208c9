// Pictures wrapped around the figures: the heroine's body and arms and the
// ghosts' sheet. All use a cylindrical wrap: u runs once around the figure's
// vertical axis with u = 0.5 on its front and u = 0 / 1 at its back; v = 0 at
// the bottom, v = 1 at the top.
#pragma once

#include "tools/images/canvas.h"

// Shoes, legs, a red dress with a white apron in front, neck, and a head
// with a friendly face at the front and brown hair at the back and on top.
Canvas heroineBodyPicture();
// Hand at the bottom, then a white cuff and the red sleeve; the right arm is
// the left arm mirrored around the front.
Canvas heroineArmPicture(bool left);
// A pale sheet, faintly blue towards the hem, with a friendly face in front.
Canvas ghostPicture();
