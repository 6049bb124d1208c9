// GLFW 3 behind the small surface the game was designed around: a window,
// polled keys, mouse and gamepad, a wheel *position*, fullscreen, a size
// callback and a clock; and, before any of it, the heap made ready for a
// software GL driver.
#include "app/window.h"

#include <GLFW/glfw3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace {

GLFWwindow* window = nullptr;
WindowSizeCallback sizeCallback = nullptr;
void* sizeUser = nullptr;
double wheelSum = 0.0;  // GLFW 3 reports scroll offsets; the game wants a position

void onScroll(GLFWwindow*, double, double yOffset) { wheelSum += yOffset; }

void onFramebufferSize(GLFWwindow*, int width, int height) {
    if (sizeCallback) sizeCallback(sizeUser, width, height);
}

bool keyDown(int glfwKey) { return window && glfwGetKey(window, glfwKey) == GLFW_PRESS; }

int plusKey = GLFW_KEY_UNKNOWN;  // the key that types '+' in the player's layout
int minusKey = GLFW_KEY_UNKNOWN;

// '+' and '-' live on different physical keys per layout; ask GLFW once which
// key produces the character. On a US layout no key types a bare '+' (it is
// shift + '='), so that layout falls back to the '=' key.
int findCharacterKey(char character, int fallback) {
    for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key) {
        const char* name = glfwGetKeyName(key, 0);
        if (name && name[0] == character && name[1] == '\0') return key;
    }
    return fallback;
}

bool characterKeyDown(int layoutKey, int keypadKey) { return keyDown(keypadKey) || keyDown(layoutKey); }

// The names of the gamepads announced as connected, so the line for one
// pulled out can name it after GLFW has let it go.
std::string padNames[GLFW_JOYSTICK_LAST + 1];

void announcePad(int joystick, const char* what) {
    std::printf("Gamepad %s: %s\n", what, padNames[joystick].c_str());
    std::fflush(stdout);
}

void onJoystick(int joystick, int event) {
    if (joystick < 0 || joystick > GLFW_JOYSTICK_LAST) return;
    if (event == GLFW_CONNECTED && glfwJoystickIsGamepad(joystick)) {
        const char* name = glfwGetGamepadName(joystick);
        padNames[joystick] = name ? name : "unnamed gamepad";
        announcePad(joystick, "connected");
    } else if (event == GLFW_DISCONNECTED && !padNames[joystick].empty()) {
        announcePad(joystick, "disconnected");
        padNames[joystick].clear();
    }
}

PadState readPad() {
    PadState pad;
    for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick) {
        GLFWgamepadstate state;
        if (!glfwJoystickIsGamepad(joystick) || !glfwGetGamepadState(joystick, &state)) continue;
        pad.connected = true;
        pad.leftX = state.axes[GLFW_GAMEPAD_AXIS_LEFT_X];
        pad.leftY = state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y];
        pad.rightX = state.axes[GLFW_GAMEPAD_AXIS_RIGHT_X];
        pad.rightY = state.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y];
        pad.leftTrigger = state.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER];
        pad.rightTrigger = state.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER];
        pad.leftShoulder = state.buttons[GLFW_GAMEPAD_BUTTON_LEFT_BUMPER] == GLFW_PRESS;
        pad.rightShoulder = state.buttons[GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER] == GLFW_PRESS;
        pad.start = state.buttons[GLFW_GAMEPAD_BUTTON_START] == GLFW_PRESS;
        break;
    }
    return pad;
}

// The window's place and size before fullscreen, to go back to.
struct WindowedPlace {
    int x = 0, y = 0, width = 0, height = 0;
};
WindowedPlace windowedPlace;

// The monitor whose area holds the window's centre; the primary one when
// none does (a window dragged half off every screen).
GLFWmonitor* monitorOfWindow() {
    int x = 0, y = 0, width = 0, height = 0;
    glfwGetWindowPos(window, &x, &y);
    glfwGetWindowSize(window, &width, &height);
    const int centreX = x + width / 2, centreY = y + height / 2;
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    for (int i = 0; i < count; ++i) {
        const GLFWvidmode* mode = glfwGetVideoMode(monitors[i]);
        int left = 0, top = 0;
        glfwGetMonitorPos(monitors[i], &left, &top);
        if (mode && centreX >= left && centreX < left + mode->width && centreY >= top && centreY < top + mode->height)
            return monitors[i];
    }
    return glfwGetPrimaryMonitor();
}

// Mesa's software renderer keeps textures and framebuffers in ordinary heap
// memory and zero-fills them when they are made: about 200 MiB at start-up,
// 128 MiB of it the two 4096 x 4096 depth maps. Handed out in 4 KiB pages on
// first touch, that is some 50 000 page faults, half a second on a virtual
// machine and most of the loading time. So large blocks stay on the heap
// instead of getting mappings of their own, and the stretch of heap they
// will land in is marked for 2 MiB pages before the driver starts, for the
// whole run. Nothing is touched here, and pages never touched cost no memory
// (the coarser pages cost about 20 MiB more resident in all); with a GPU
// driver the stretch just holds the game's own allocations.
void reserveDriverHeap() {
#if defined(__GLIBC__)
    constexpr std::size_t kReserve = std::size_t{320} << 20;
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kReserve));  // freed, it stays on the heap
    void* block = std::malloc(kReserve);
    if (!block) return;
    // The whole 2 MiB pages inside the block.
    const std::size_t skip = (kHugePage - reinterpret_cast<std::uintptr_t>(block) % kHugePage) % kHugePage;
    const std::size_t length = (kReserve - skip) / kHugePage * kHugePage;
    // Where the kernel has no 2 MiB pages to give, nothing is lost but the speed.
    madvise(static_cast<char*>(block) + skip, length, MADV_HUGEPAGE);
    std::free(block);
#endif
}

}  // namespace

bool windowCanShowFrame(int framebufferWidth, int framebufferHeight, bool minimised) {
    return !minimised && framebufferWidth > 0 && framebufferHeight > 0;
}

CursorPoint cursorInFramebuffer(CursorPoint cursor, int windowWidth, int windowHeight, int framebufferWidth,
                                int framebufferHeight) {
    if (windowWidth <= 0 || windowHeight <= 0 || framebufferWidth <= 0 || framebufferHeight <= 0) return cursor;
    cursor.x *= static_cast<double>(framebufferWidth) / windowWidth;
    cursor.y *= static_cast<double>(framebufferHeight) / windowHeight;
    return cursor;
}

void initWindowSystem() {
    reserveDriverHeap();
    glfwInit();
}

bool openWindow(int width, int height, bool visible) {
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 2);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_COMPAT_PROFILE);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 8);
    // The lit shaders leave the sRGB encoding to the framebuffer.
    glfwWindowHint(GLFW_SRGB_CAPABLE, GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
    window = glfwCreateWindow(width, height, "", nullptr, nullptr);
    if (!window) return false;
    glfwMakeContextCurrent(window);
    // One frame a refresh where the driver honours it; the loop's limiter
    // covers drivers that do not.
    glfwSwapInterval(1);
    glfwSetScrollCallback(window, onScroll);
    glfwSetJoystickCallback(onJoystick);
    for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick)
        if (glfwJoystickPresent(joystick)) onJoystick(joystick, GLFW_CONNECTED);
    plusKey = findCharacterKey('+', GLFW_KEY_EQUAL);
    minusKey = findCharacterKey('-', GLFW_KEY_MINUS);
    return true;
}

void setWindowTitle(const char* title) {
    if (window) glfwSetWindowTitle(window, title);
}

void setWindowIcon(int width, int height, const unsigned char* rgba) {
    if (!window || !rgba) return;
    GLFWimage image;
    image.width = width;
    image.height = height;
    image.pixels = const_cast<unsigned char*>(rgba);  // GLFW copies the pixels and never writes them
    glfwSetWindowIcon(window, 1, &image);
}

void setWindowSizeCallback(WindowSizeCallback callback, void* user) {
    sizeCallback = callback;
    sizeUser = user;
    if (!window) return;
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (sizeCallback) sizeCallback(sizeUser, width, height);
}

bool windowIsOpen() { return window && !glfwWindowShouldClose(window); }

void swapBuffers() {
    if (!window) return;
    glfwSwapBuffers(window);
    glfwPollEvents();
}

InputState readInput() {
    InputState input;
    if (!window) {
        input.windowOpen = false;
        return input;
    }
    struct Binding {
        Key key;
        int glfwKey;
    };
    static const Binding bindings[] = {
        {Key::W, GLFW_KEY_W},           {Key::A, GLFW_KEY_A},       {Key::S, GLFW_KEY_S},
        {Key::D, GLFW_KEY_D},           {Key::Q, GLFW_KEY_Q},       {Key::Up, GLFW_KEY_UP},
        {Key::Down, GLFW_KEY_DOWN},     {Key::Left, GLFW_KEY_LEFT}, {Key::Right, GLFW_KEY_RIGHT},
        {Key::Escape, GLFW_KEY_ESCAPE}, {Key::F1, GLFW_KEY_F1},     {Key::F2, GLFW_KEY_F2},
        {Key::F3, GLFW_KEY_F3},         {Key::F4, GLFW_KEY_F4},     {Key::F5, GLFW_KEY_F5},
        {Key::F6, GLFW_KEY_F6},         {Key::F7, GLFW_KEY_F7},     {Key::F8, GLFW_KEY_F8},
        {Key::F9, GLFW_KEY_F9},         {Key::P, GLFW_KEY_P},       {Key::F11, GLFW_KEY_F11},
    };
    for (const Binding& b : bindings) setHeld(input, b.key, keyDown(b.glfwKey));
    setHeld(input, Key::Plus, characterKeyDown(plusKey, GLFW_KEY_KP_ADD));
    setHeld(input, Key::Minus, characterKeyDown(minusKey, GLFW_KEY_KP_SUBTRACT));
    setHeld(input, Key::Enter, keyDown(GLFW_KEY_ENTER) || keyDown(GLFW_KEY_KP_ENTER));
    setHeld(input, Key::Alt, keyDown(GLFW_KEY_LEFT_ALT) || keyDown(GLFW_KEY_RIGHT_ALT));

    // GLFW gives the cursor in window coordinates, but the cameras measure
    // the window by its framebuffer; on a scaled display the two differ.
    CursorPoint cursor;
    glfwGetCursorPos(window, &cursor.x, &cursor.y);
    int windowWidth = 0, windowHeight = 0, framebufferWidth = 0, framebufferHeight = 0;
    glfwGetWindowSize(window, &windowWidth, &windowHeight);
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    cursor = cursorInFramebuffer(cursor, windowWidth, windowHeight, framebufferWidth, framebufferHeight);
    input.mouseX = static_cast<int>(cursor.x);
    input.mouseY = static_cast<int>(cursor.y);
    input.rightButton = glfwGetMouseButton(window, GLFW_MOUSE_BUTTON_RIGHT) == GLFW_PRESS;
    input.wheel = mouseWheelPosition();
    input.windowOpen = windowIsOpen();
    input.pad = readPad();
    return input;
}

int mouseWheelPosition() { return static_cast<int>(wheelSum); }

double clockSeconds() { return glfwGetTime(); }

bool windowIsMinimised() { return window && glfwGetWindowAttrib(window, GLFW_ICONIFIED) == GLFW_TRUE; }

void windowFramebufferSize(int& width, int& height) {
    width = height = 0;
    if (window) glfwGetFramebufferSize(window, &width, &height);
}

void waitForWindowEvents() { glfwWaitEvents(); }

int windowRefreshRate() {
    if (!window) return 0;
    GLFWmonitor* monitor = glfwGetWindowMonitor(window);
    if (!monitor) monitor = monitorOfWindow();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    return mode ? mode->refreshRate : 0;
}

bool windowIsFullscreen() { return window && glfwGetWindowMonitor(window) != nullptr; }

void toggleFullscreen() {
    if (!window) return;
    if (windowIsFullscreen()) {
        const WindowedPlace& p = windowedPlace;
        glfwSetWindowMonitor(window, nullptr, p.x, p.y, p.width, p.height, GLFW_DONT_CARE);
        return;
    }
    GLFWmonitor* monitor = monitorOfWindow();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (!mode) return;
    glfwGetWindowPos(window, &windowedPlace.x, &windowedPlace.y);
    glfwGetWindowSize(window, &windowedPlace.width, &windowedPlace.height);
    // The monitor's own mode: no mode change, the desktop stays as it is.
    glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}

void closeWindow() {
    if (window) glfwSetWindowShouldClose(window, GLFW_TRUE);
}

void terminateWindowSystem() {
    glfwSetJoystickCallback(nullptr);
    glfwTerminate();
    for (std::string& name : padNames) name.clear();
    window = nullptr;
    sizeCallback = nullptr;
    sizeUser = nullptr;
}
