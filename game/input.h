// Input as plain values: the keys, mouse and wheel of one frame.
// The window module fills an InputState; game rules and option keys read it,
// so they run in tests without a window.
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
    Count
};

struct InputState {
    bool keys[static_cast<int>(Key::Count)] = {};
    int mouseX = 0;
    int mouseY = 0;
    bool rightButton = false;
    int wheel = 0;  // summed scroll notches since the window opened
    bool windowOpen = true;
};

inline bool isHeld(const InputState& input, Key key) { return input.keys[static_cast<int>(key)]; }
inline void setHeld(InputState& input, Key key, bool held) { input.keys[static_cast<int>(key)] = held; }
