// The frame's actions from keys, mouse and gamepad.
#include "game/actions.h"

#include <algorithm>
#include <cmath>

#include "math/camera.h"

namespace {

float amount(bool held) { return held ? 1.0f : 0.0f; }

bool pressed(bool now, bool before) { return now && !before; }

bool triggerPressed(float now, float before) { return now > kPadTriggerPressed && !(before > kPadTriggerPressed); }

}  // namespace

bool quitRequested(const InputState& input) {
    return isHeld(input, Key::Escape) || isHeld(input, Key::Q) || !input.windowOpen;
}

Actions keyboardMouseActions(const InputState& input, const InputState& before, const Camera& camera,
                             int& wheelReference) {
    Actions actions;
    actions.forwards = amount(isHeld(input, Key::W) || isHeld(input, Key::Up));
    actions.backwards = amount(isHeld(input, Key::S) || isHeld(input, Key::Down));
    actions.left = amount(isHeld(input, Key::Left) || isHeld(input, Key::A));
    actions.right = amount(isHeld(input, Key::Right) || isHeld(input, Key::D));

    // The wheel against its reference as the zoom has always taken it: '+'
    // first (held, it swallows the wheel's move either way), then '-'.
    actions.zoomInHeld = isHeld(input, Key::Plus);
    actions.zoomOutHeld = isHeld(input, Key::Minus);
    if (!actions.zoomInHeld && input.wheel > wheelReference) actions.zoomSteps = 1;
    if (!actions.zoomInHeld && input.wheel < wheelReference) actions.zoomSteps = -1;
    wheelReference = input.wheel;

    // A cursor in the leftmost column never turned; it still does not.
    if (input.windowOpen && input.mouseX != 0 && input.rightButton) {
        // The window's centre in whole pixels, as the cursor is.
        const int centreX = camera.width / 2;
        const int centreY = camera.height / 2;
        actions.turnX = static_cast<float>(centreX - input.mouseX) / static_cast<float>(camera.width);
        actions.turnY = static_cast<float>(input.mouseY - centreY) / static_cast<float>(camera.height);
    }
    actions.pause = pressed(isHeld(input, Key::P), isHeld(before, Key::P));
    actions.quit = quitRequested(input);
    return actions;
}

void applyDeadZone(float& x, float& y) {
    const float length = std::sqrt(x * x + y * y);
    if (!(length > kPadDeadZone)) {
        x = y = 0.0f;
        return;
    }
    const float scaled = std::min(1.0f, (length - kPadDeadZone) / (1.0f - kPadDeadZone));
    x *= scaled / length;
    y *= scaled / length;
}

Actions padActions(const PadState& pad, const PadState& before) {
    Actions actions;
    if (!pad.connected) return actions;
    float walkX = pad.leftX, walkY = pad.leftY;
    applyDeadZone(walkX, walkY);
    actions.forwards = std::max(0.0f, -walkY);  // stick up, y below 0, is forwards
    actions.backwards = std::max(0.0f, walkY);
    actions.left = std::max(0.0f, -walkX);
    actions.right = std::max(0.0f, walkX);

    float turnX = pad.rightX, turnY = pad.rightY;
    applyDeadZone(turnX, turnY);
    // Stick right turns right, as the cursor right of the centre does.
    actions.turnX = -turnX * kPadTurnFraction;
    actions.turnY = turnY * kPadTurnFraction;

    if (before.connected) {
        const bool in =
            pressed(pad.rightShoulder, before.rightShoulder) || triggerPressed(pad.rightTrigger, before.rightTrigger);
        const bool out =
            pressed(pad.leftShoulder, before.leftShoulder) || triggerPressed(pad.leftTrigger, before.leftTrigger);
        actions.zoomSteps = (in ? 1 : 0) - (out ? 1 : 0);
        actions.pause = pressed(pad.start, before.start);
    }
    return actions;
}

Actions combineActions(const Actions& a, const Actions& b) {
    Actions both;
    both.forwards = std::max(a.forwards, b.forwards);
    both.backwards = std::max(a.backwards, b.backwards);
    both.left = std::max(a.left, b.left);
    both.right = std::max(a.right, b.right);
    both.turnX = a.turnX + b.turnX;
    both.turnY = a.turnY + b.turnY;
    both.zoomInHeld = a.zoomInHeld || b.zoomInHeld;
    both.zoomOutHeld = a.zoomOutHeld || b.zoomOutHeld;
    both.zoomSteps = std::clamp(a.zoomSteps + b.zoomSteps, -1, 1);
    both.pause = a.pause || b.pause;
    both.quit = a.quit || b.quit;
    return both;
}

Actions actionsFromInput(const InputState& input, const InputState& before, const Camera& camera, int& wheelReference) {
    return combineActions(keyboardMouseActions(input, before, camera, wheelReference),
                          padActions(input.pad, before.pad));
}
