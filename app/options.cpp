// Option keys F1..F9: one shared half-second gate, the option each key
// switches, and the confirmation printed and kept as the status line.
#include "app/options.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr float kOptionKeyGap = 0.5f;

// Performs the key's action and returns its confirmation text.
const char* applyOptionKey(Key key, OptionFlags& options, bool& wireframeChanged) {
    switch (key) {
    case Key::F1:
        return "No help";
    case Key::F2:
        options.showFrameRate = !options.showFrameRate;
        return options.showFrameRate ? "Framerate on" : "Framerate off";
    case Key::F3:
        options.wireframe = !options.wireframe;
        wireframeChanged = true;
        return options.wireframe ? "Wireframe on" : "Wireframe off";
    case Key::F4:
        options.bilinearFiltering = !options.bilinearFiltering;
        return options.bilinearFiltering ? "Texture Sampling Quality Bilinear"
                                         : "Texture Sampling Quality Nearest Neighbour";
    case Key::F5:
        // Any unexpected mode falls back to off, like the step from Linear.
        if (options.mipMapMode == MipMapOff) {
            options.mipMapMode = MipMapNearest;
            return "Mip Mapping Quality Nearest Neighbour";
        }
        if (options.mipMapMode == MipMapNearest) {
            options.mipMapMode = MipMapLinear;
            return "Mip Mapping Quality Linear";
        }
        options.mipMapMode = MipMapOff;
        return "Mip Mapping off";
    case Key::F6:
        options.soundOn = !options.soundOn;
        return options.soundOn ? "Sound on" : "Sound off";
    case Key::F7:
        options.showObjectCount = !options.showObjectCount;
        return options.showObjectCount ? "Object count on" : "Object count off";
    case Key::F8:
        options.frustumCulling = !options.frustumCulling;
        return options.frustumCulling ? "View Frustum Culling on" : "View Frustum Culling off";
    case Key::F9:
        options.transparency = !options.transparency;
        return options.transparency ? "Transparency on" : "Transparency off";
    default:
        return nullptr;
    }
}

}  // namespace

bool handleOptionKeys(const InputState& input, float now, OptionFlags& options, StatusMessage& status) {
    static const Key order[] = {Key::F1, Key::F2, Key::F3, Key::F4, Key::F5, Key::F6, Key::F7, Key::F8, Key::F9};
    for (Key key : order) {
        if (!isHeld(input, key) || !(now - options.lastOptionKeyTime > kOptionKeyGap)) continue;
        bool wireframeChanged = false;
        const char* message = applyOptionKey(key, options, wireframeChanged);
        options.lastOptionKeyTime = now;
        std::printf("%s\n", message);
        std::fflush(stdout);
        status.text = message;
        status.length = static_cast<int>(std::strlen(message));
        status.visible = true;
        status.shownAt = now;
        // The gate is shared: one accepted key closes it for every later key.
        return wireframeChanged;
    }
    return false;
}
