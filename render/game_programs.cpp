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
    programs.shadowDepth = loadShaderProgram("Shaders/colour");
    programs.litPlain = loadShaderProgram("Shaders/phongphong");
    programs.seeThrough = loadShaderProgram("Shaders/transparency");
    programs.shadow = loadShaderProgram("Shaders/shadow");
    programs.litTextured = loadShaderProgram("Shaders/texture");
    programs.simplest = loadShaderProgram("Shaders/simplestShader");
    programs.overlay = loadShaderProgram("Shaders/text");
    programs.snowGround = loadShaderProgram("Shaders/snowGround");
    programs.heightCapture = loadShaderProgram("Shaders/terrain");
    progressLine("shader load, snow:");
    programs.snowUpdate = loadFeedbackShaderProgram("Shaders/snow");
    progressLine("shader load, snow2:");
    programs.snowPoints = loadShaderProgram("Shaders/snow2");
    checkGlError("shaders loaded");
    return programs;
}

void bindGameFragmentOutputs(GamePrograms& programs) {
    bindFragmentOutput(programs.shadowDepth, "out_color");
    bindFragmentOutput(programs.litPlain, "out_color");
    bindFragmentOutput(programs.litTextured, "out_texture");
    bindFragmentOutput(programs.seeThrough, "out_color");
    // Both shadow output names go to colour 0; the shader declares only one.
    bindFragmentOutput(programs.shadow, "fragment_color");
    bindFragmentOutput(programs.shadow, "out_color");
    bindFragmentOutput(programs.snowPoints, "out_color");
    bindFragmentOutput(programs.overlay, "out_texture");
    bindFragmentOutput(programs.snowGround, "out_color");
    bindFragmentOutput(programs.heightCapture, "out_color");
}

void destroyGamePrograms(GamePrograms& programs) {
    destroyShaderProgram(programs.snowPoints);
    destroyShaderProgram(programs.snowUpdate);
    destroyShaderProgram(programs.heightCapture);
    destroyShaderProgram(programs.snowGround);
    destroyShaderProgram(programs.overlay);
    destroyShaderProgram(programs.simplest);
    destroyShaderProgram(programs.litTextured);
    destroyShaderProgram(programs.shadow);
    destroyShaderProgram(programs.seeThrough);
    destroyShaderProgram(programs.litPlain);
    destroyShaderProgram(programs.shadowDepth);
}
