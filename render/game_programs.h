// The game's eleven shader programs as one record: loading them in their
// fixed order, binding their fragment outputs, and releasing them.
#pragma once

#include "render/shader_program.h"

struct GamePrograms {
    ShaderProgram colour;          // shadow pass (depth only)
    ShaderProgram phongphong;      // lit, untextured scene objects
    ShaderProgram transparency;    // the transparent ghost
    ShaderProgram shadow;
    ShaderProgram texture;         // lit, textured scene objects
    ShaderProgram simplestShader;  // loaded, never drawn
    ShaderProgram text;            // overlay glyphs, icons, end screens
    ShaderProgram snowGround;      // loaded, never drawn
    ShaderProgram terrain;         // height-map capture
    ShaderProgram snow;            // snow update (transform feedback)
    ShaderProgram snow2;           // snow points
};

// Loads all eleven from Shaders/ in the game's load order, with the GL checks
// "shader load start" / "shaders loaded" around them. Missing or broken
// programs are reported and stay at program 0.
GamePrograms loadGamePrograms();
// Binds each program's output to colour number 0 and relinks it; programs
// that failed to load are skipped.
void bindGameFragmentOutputs(GamePrograms& programs);
// Deletes them in the reverse of the load order.
void destroyGamePrograms(GamePrograms& programs);
