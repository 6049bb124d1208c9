// What happened in one frame of game rules, as plain values. The rules fill
// it and the frame loop hands it on (to the sound, for one), so nothing that
// reacts to the game has to reach into the rules or the scene.
#pragma once

struct FrameEvents {
    int cakesPickedUp = 0;        // lying cakes she picked up this frame
    int cakesStolen = 0;          // carried cakes a ghost took this frame
    bool won = false;             // the frame ended with the victory
    bool lost = false;            // the frame ended with the game lost
    float distanceWalked = 0.0f;  // ground distance the heroine really moved
    int footsteps = 0;            // footsteps falling in this frame
};
