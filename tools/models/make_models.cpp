// make_models <output dir>: writes the game's twelve COLLADA models. The
// output depends only on this code, so every run writes the same bytes.
#include <cstdio>
#include <string>

#include "collada_export.h"
#include "figures.h"
#include "props.h"
#include "torte.h"

namespace {

struct ModelFile {
    const char* name;
    GenModel (*make)();
};

const ModelFile kModels[] = {
    {"sakuragras.dae", makeGrass},
    {"mirelka5.dae", makeHeroFigure},
    {"mirelka_arm_l.dae", makeLeftArm},
    {"mirelka_arm_r.dae", makeRightArm},
    {"mirelka_koerper2.dae", makeHeroBody},
    {"ghost2.dae", makePhantom},
    {"sunnytextured.dae", makeGhost},
    {"cake.dae", makeCake},
    {"torte.dae", makeTorte},
    {"cakeIconPlane.dae", makeIconPlane},
    {"finish.dae", makeEndScreenPlane},
    {"won.dae", makeStar},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_models <output dir>\n");
        return 2;
    }
    const std::string directory = argv[1];
    int failures = 0;
    for (const ModelFile& file : kModels) {
        const std::string path = directory + "/" + file.name;
        if (!writeColladaFile(path, file.make())) {
            std::fprintf(stderr, "make_models: cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
