// Display options switched by F1-F9 and the status line that confirms them.
#pragma once

#include "game/input.h"

enum MipMapMode { MipMapOff = 0, MipMapNearest = 1, MipMapLinear = 2 };

struct OptionFlags {
    bool showFrameRate = false;
    bool wireframe = false;
    bool bilinearFiltering = true;
    int mipMapMode = MipMapLinear;
    bool showObjectCount = false;
    bool frustumCulling = false;
    bool transparency = true;
    bool soundOn = true;
    float lastOptionKeyTime = 0.0f;
};

struct StatusMessage {
    const char* text = nullptr;
    int length = 0;
    bool visible = false;
    float shownAt = 0.0f;
};

// Examines F1..F9 in order behind one shared 0.5 s gate; an accepted
// key acts, prints its confirmation and becomes the status message.
// Returns true when the wireframe option changed (the caller sets the GL
// polygon mode, keeping this testable without GL).
bool handleOptionKeys(const InputState& input, float now, OptionFlags& options, StatusMessage& status);
