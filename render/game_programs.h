// The game's eleven shader programs as one record: loading them in their
// fixed order, binding their fragment outputs, and destroying them. Fields
// are named after what each program draws; the comment gives its file.
#pragma once

#include "render/shader_program.h"

struct GamePrograms {
    ShaderProgram shadowDepth;    // Shaders/colour: the shadow pass, depth only
    ShaderProgram litPlain;       // Shaders/phongphong: lit, untextured scene objects
    ShaderProgram seeThrough;     // Shaders/transparency: the phantom
    ShaderProgram shadow;         // Shaders/shadow: loaded with the others, never drawn
    ShaderProgram litTextured;    // Shaders/texture: lit, textured scene objects
    ShaderProgram simplest;       // Shaders/simplestShader: loaded with the others, never drawn
    ShaderProgram overlay;        // Shaders/text: glyphs, icons, end screens
    ShaderProgram snowGround;     // Shaders/snowGround: loaded with the others, never drawn
    ShaderProgram heightCapture;  // Shaders/terrain: the height-map capture
    ShaderProgram snowUpdate;     // Shaders/snow: snow update (transform feedback)
    ShaderProgram snowPoints;     // Shaders/snow2: the snowflakes drawn
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
