// The game's eleven shader programs: load order, output bindings, release.
#include "render/game_programs.h"

#include <cstdio>

#include "render/gl_check.h"

namespace {

void progressLine(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
}

}  // namespace

GamePrograms loadGamePrograms() {
    GamePrograms programs;
    checkGlError("shader load start");
    programs.colour = loadShaderProgram("Shaders/colour");
    programs.phongphong = loadShaderProgram("Shaders/phongphong");
    programs.transparency = loadShaderProgram("Shaders/transparency");
    programs.shadow = loadShaderProgram("Shaders/shadow");
    programs.texture = loadShaderProgram("Shaders/texture");
    programs.simplestShader = loadShaderProgram("Shaders/simplestShader");
    programs.text = loadShaderProgram("Shaders/text");
    programs.snowGround = loadShaderProgram("Shaders/snowGround");
    programs.terrain = loadShaderProgram("Shaders/terrain");
    progressLine("shader load, snow:");
    programs.snow = loadFeedbackShaderProgram("Shaders/snow");
    progressLine("shader load, snow2:");
    programs.snow2 = loadShaderProgram("Shaders/snow2");
    checkGlError("shaders loaded");
    return programs;
}

void bindGameFragmentOutputs(GamePrograms& programs) {
    bindFragmentOutput(programs.colour, "out_color");
    bindFragmentOutput(programs.phongphong, "out_color");
    bindFragmentOutput(programs.texture, "out_texture");
    bindFragmentOutput(programs.transparency, "out_color");
    // Both shadow output names go to colour 0; the shader declares only one.
    bindFragmentOutput(programs.shadow, "fragment_color");
    bindFragmentOutput(programs.shadow, "out_color");
    bindFragmentOutput(programs.snow2, "out_color");
    bindFragmentOutput(programs.text, "out_texture");
    bindFragmentOutput(programs.snowGround, "out_color");
    bindFragmentOutput(programs.terrain, "out_color");
}

void destroyGamePrograms(GamePrograms& programs) {
    destroyShaderProgram(programs.snow2);
    destroyShaderProgram(programs.snow);
    destroyShaderProgram(programs.terrain);
    destroyShaderProgram(programs.snowGround);
    destroyShaderProgram(programs.text);
    destroyShaderProgram(programs.simplestShader);
    destroyShaderProgram(programs.texture);
    destroyShaderProgram(programs.shadow);
    destroyShaderProgram(programs.transparency);
    destroyShaderProgram(programs.phongphong);
    destroyShaderProgram(programs.colour);
}
