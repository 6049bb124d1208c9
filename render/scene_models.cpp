// The game's models: their import order, the checks between imports, release.
#include "render/scene_models.h"

#include "render/game_programs.h"
#include "render/gl_check.h"

namespace {

enum class Importer { FileUv, PositionUv };

struct ModelEntry {
    Model SceneModels::*model;
    const char* path;
    glm::vec3 colour;  // for vertices the file gives no colour
    ShaderProgram GamePrograms::*program;
    Importer importer;
    const char* checkBefore;
    const char* checkAfter;
};

const ModelEntry kModels[] = {
    {&SceneModels::grass,
     "Models/sakuragras.dae",
     {0, 1, 0},
     &GamePrograms::litTextured,
     Importer::PositionUv,
     nullptr,
     "models 1.1"},
    {&SceneModels::anchor,
     "Models/mirelka5.dae",
     {0, 0, 1},
     &GamePrograms::litPlain,
     Importer::FileUv,
     "models 2.1",
     "models 2.2"},
    {&SceneModels::leftArm,
     "Models/mirelka_arm_l.dae",
     {0, 0, 1},
     &GamePrograms::litTextured,
     Importer::FileUv,
     nullptr,
     nullptr},
    {&SceneModels::rightArm,
     "Models/mirelka_arm_r.dae",
     {0, 0, 1},
     &GamePrograms::litTextured,
     Importer::FileUv,
     nullptr,
     nullptr},
    {&SceneModels::body,
     "Models/mirelka_koerper2.dae",
     {0, 0, 1},
     &GamePrograms::litTextured,
     Importer::FileUv,
     nullptr,
     nullptr},
    {&SceneModels::phantom,
     "Models/ghost2.dae",
     {1, 1, 1},
     &GamePrograms::seeThrough,
     Importer::FileUv,
     nullptr,
     nullptr},
    {&SceneModels::ghost,
     "Models/sunnytextured.dae",
     {1, 0, 0},
     &GamePrograms::litTextured,
     Importer::FileUv,
     nullptr,
     "models 2"},
    {&SceneModels::cake,
     "Models/cake.dae",
     {1, 1, 0},
     &GamePrograms::litPlain,
     Importer::FileUv,
     nullptr,
     "models 2.1"},
    {&SceneModels::torte,
     "Models/torte.dae",
     {1, 1, 1},
     &GamePrograms::litTextured,
     Importer::FileUv,
     nullptr,
     nullptr},
    {&SceneModels::icon,
     "Models/cakeIconPlane.dae",
     {1, 1, 1},
     &GamePrograms::overlay,
     Importer::FileUv,
     nullptr,
     nullptr},
    {&SceneModels::endScreen,
     "Models/finish.dae",
     {1, 1, 1},
     &GamePrograms::overlay,
     Importer::FileUv,
     nullptr,
     nullptr},
    {&SceneModels::won, "Models/won.dae", {0, 0, 0}, &GamePrograms::overlay, Importer::FileUv, nullptr, nullptr},
};

}  // namespace

void loadSceneModels(SceneModels& models, const GamePrograms& programs) {
    for (const ModelEntry& entry : kModels) {
        if (entry.checkBefore) checkGlError(entry.checkBefore);
        Model& model = models.*entry.model;
        const ShaderProgram& program = programs.*entry.program;
        if (entry.importer == Importer::PositionUv)
            loadModelPositionUV(model, entry.path, entry.colour, program);
        else
            loadModel(model, entry.path, entry.colour, program);
        if (entry.checkAfter) checkGlError(entry.checkAfter);
    }
}

void releaseSceneModels(SceneModels& models) {
    for (const ModelEntry& entry : kModels) releaseModel(models.*entry.model);
}

SceneBounds sceneBoundsOf(const SceneModels& models) {
    return SceneBounds{models.body.bounds, models.ghost.bounds, models.cake.bounds, models.torte.bounds};
}
