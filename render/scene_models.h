// The game's twelve models as one record, imported and uploaded in their
// fixed order and released together.
#pragma once

#include "game/scene.h"
#include "render/model.h"

struct GamePrograms;

struct SceneModels {
    Model grass;   // Models/sakuragras.dae: loaded for the import trail, never drawn
    Model anchor;  // Models/mirelka5.dae: loaded for the import trail, never drawn
    Model leftArm;
    Model rightArm;
    Model body;
    Model phantom;
    Model ghost;
    Model cake;
    Model torte;
    Model icon;       // the plane of every cake icon
    Model endScreen;  // the plane of both end screens
    Model won;        // Models/won.dae: loaded for the import trail, never drawn
};

// Imports every model in the game's order, each with the program whose
// attribute locations it is bound to, and the GL checks between them. A
// model that cannot be read stays empty and draws nothing.
void loadSceneModels(SceneModels& models, const GamePrograms& programs);
void releaseSceneModels(SceneModels& models);
// What placement and the rules need to know of the models.
SceneBounds sceneBoundsOf(const SceneModels& models);
