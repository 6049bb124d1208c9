// Input as plain values: the keys, mouse, wheel and gamepad of one frame.
// The window module fills an InputState; option keys read it, and the
// frame's actions (game/actions.h) are made from it, so all of it runs in
// tests without a window.
#pragma once

enum class Key {
    W,
    A,
    S,
    D,
    Q,
    Up,
    Down,
    Left,
    Right,
    Escape,
    Plus,   // '+' wherever the keyboard layout puts it, or the keypad's +
    Minus,  // '-' likewise
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    P,      // pause
    F11,    // fullscreen
    Enter,  // with Alt: fullscreen
    Alt,    // either Alt key
    Count
};

// The first connected gamepad, as GLFW's standard mapping reports it: sticks
// from -1 to 1 with y pointing down, triggers from -1 (released) to 1.
struct PadState {
    bool connected = false;
    float leftX = 0.0f;
    float leftY = 0.0f;
    float rightX = 0.0f;
    float rightY = 0.0f;
    float leftTrigger = -1.0f;
    float rightTrigger = -1.0f;
    bool leftShoulder = false;
    bool rightShoulder = false;
    bool start = false;
};

struct InputState {
    bool keys[static_cast<int>(Key::Count)] = {};
    int mouseX = 0;
    int mouseY = 0;
    bool rightButton = false;
    int wheel = 0;  // summed scroll notches since the window opened
    bool windowOpen = true;
    PadState pad;
};

inline bool isHeld(const InputState& input, Key key) { return input.keys[static_cast<int>(key)]; }
inline void setHeld(InputState& input, Key key, bool held) { input.keys[static_cast<int>(key)] = held; }
