// The game's only door to GLFW: one window with a GL 3.2 compatibility
// context, its input (keys, mouse, the first gamepad), fullscreen, the size
// callback and the clock. It offers exactly what the frame code needs and
// nothing more; no other file calls GLFW.
#pragma once

#include "game/input.h"

// A point in window or framebuffer coordinates (origin top left).
struct CursorPoint {
    double x = 0.0;
    double y = 0.0;
};

// The cursor in framebuffer pixels, the unit of the cameras' sizes: window
// coordinates scaled by framebuffer size over window size (twice on a display
// that scales by two). Without a size on either side (a minimised window) it
// is left as it is.
CursorPoint cursorInFramebuffer(CursorPoint cursor, int windowWidth, int windowHeight, int framebufferWidth,
                                int framebufferHeight);

// Whether a frame can be shown: not while the window is minimised, nor while
// its framebuffer has no area (how some desktops minimise).
bool windowCanShowFrame(int framebufferWidth, int framebufferHeight, bool minimised);

// Called with the framebuffer size and the pointer given at installation.
using WindowSizeCallback = void (*)(void* user, int width, int height);

// Initialises GLFW (once; failure shows up as a failed open), first setting
// the heap up for a software GL driver's large zero-filled blocks.
void initWindowSystem();
// Opens a windowed width x height window with a 3.2 compatibility context,
// 24 depth and 8 stencil bits, asking for an sRGB-capable framebuffer (the
// driver may still give a linear one), swapping once a refresh where the
// driver allows it. Starts watching gamepads: each one plugged in or pulled
// out prints one line naming it. Returns false when no window can be opened.
bool openWindow(int width, int height, bool visible = true);
void setWindowTitle(const char* title);
// The window's icon from width x height RGBA pixels, top row first. Window
// systems without icons (Wayland) keep their own.
void setWindowIcon(int width, int height, const unsigned char* rgba);
// Installs the callback and calls it at once with the current framebuffer size,
// as the game expects both projections to exist before anything is drawn.
void setWindowSizeCallback(WindowSizeCallback callback, void* user);
// Window still open (not closed by the user).
bool windowIsOpen();
// Swaps the back buffer, then processes pending window events.
void swapBuffers();
// Current keys, mouse position (in framebuffer pixels), right button, wheel
// position and the first connected gamepad.
InputState readInput();
int mouseWheelPosition();
// Seconds since initWindowSystem.
double clockSeconds();
// Minimised (iconified) by the window manager.
bool windowIsMinimised();
// The framebuffer's size now, in pixels.
void windowFramebufferSize(int& width, int& height);
// Sleeps until a window event arrives (restore, close, a key, a gamepad),
// then processes it.
void waitForWindowEvents();
// The refresh rate of the monitor the window is on, in Hz; 0 when unknown.
int windowRefreshRate();
// Borderless fullscreen on the monitor that holds the window's centre, at
// that monitor's current mode; called again, back to the window's earlier
// place and size. The size callback follows either way.
void toggleFullscreen();
bool windowIsFullscreen();
// Asks the window to close, as the window manager's close button does.
void closeWindow();
void terminateWindowSystem();
