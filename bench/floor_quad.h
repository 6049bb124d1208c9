// The floor a game frame is measured against: clear the window, draw one
// window-filling quad with a lit, textured, shadow-sampled fragment shader
// (a mip-mapped texture lookup, one depth-compare lookup, one pow) and swap.
// One full screen of the game's kind of shading, and nothing else.
#pragma once

struct FloorQuad {
    unsigned int program = 0;
    unsigned int vertexArray = 0;
    unsigned int buffer = 0;
};

// Needs a current context; false when the shader does not build.
bool makeFloorQuad(FloorQuad& quad);
void destroyFloorQuad(FloorQuad& quad);
// One floor frame into the window, sampling texture and the depth-compare
// shadowMap, then the swap.
void drawFloorFrame(const FloorQuad& quad, unsigned int texture, unsigned int shadowMap, int width, int height);
