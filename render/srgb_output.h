// How colours reach the window. The lit shaders work in linear light and
// leave the sRGB encoding to the framebuffer (GL_FRAMEBUFFER_SRGB); pictures
// (the font, the cake icons, the end screens) hold colours that are already
// encoded and must be written as they are. Both need a framebuffer that
// stores sRGB: the window's own where the driver gives one, else an sRGB
// off-screen target copied to the window before each swap.
#pragma once

enum class ColourWrites {
    EncodeLinearLight,  // the scene, the sky and the snow: encoded on the way in
    AsTheyAre,          // pictures: their own colours, byte for byte
};

// Switches GL_FRAMEBUFFER_SRGB. The game runs with EncodeLinearLight; each
// picture draw switches to AsTheyAre and back to what was set before.
void setColourWrites(ColourWrites writes);
ColourWrites colourWrites();

// Where the frames are drawn and the window they are shown in.
struct FrameTarget {
    unsigned int framebuffer = 0;  // drawn into: the window itself when it stores sRGB
    unsigned int window = 0;       // shown: 0, the window (a test may stand in a framebuffer of its own)
    unsigned int colour = 0;       // the off-screen target's renderbuffers; 0 without one
    unsigned int depth = 0;
    int width = 0;
    int height = 0;
};

// Whether the framebuffer's colour buffer stores sRGB (the back buffer for
// the window, 0; the first colour attachment otherwise).
bool framebufferEncodesSrgb(unsigned int framebuffer);
// The one decision: a window that stores sRGB is drawn into directly; for a
// linear one, frames go to an sRGB target of the window's size (with the
// window's 24 depth and 8 stencil bits) and are copied over as they are.
// Should the GL refuse that target, frames go to the window after all.
// Leaves EncodeLinearLight set.
FrameTarget makeFrameTarget(unsigned int window, int width, int height);
// Before a frame is drawn: follows a resized window (a zero size, a
// minimised window, keeps the target as it is) and binds the target.
void beginFrameTarget(FrameTarget& target, int width, int height);
// After a frame is drawn, before the swap: copies the off-screen target to
// the window unchanged. Nothing to do when frames go to the window directly.
void presentFrameTarget(const FrameTarget& target);
void destroyFrameTarget(FrameTarget& target);
