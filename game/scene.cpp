// Scene population: every object created and placed in one fixed order (the
// order fixes the gameRandom sequence and with it every ghost's patrol), and the
// rule counters reset.
#include "game/scene.h"

#include <glm/gtc/matrix_transform.hpp>

const Material plainMaterial{0.2f, 0.2f, 0.2f, 2};
const Material heroMaterial{0.2f, 0.5f, 0.2f, 10};
const Material ghostMaterial{0.2f, 0.5f, 0.3f, 50};

namespace {

const glm::vec3 kAxisX(1.0f, 0.0f, 0.0f);
const glm::vec3 kAxisY(0.0f, 1.0f, 0.0f);
const glm::vec3 kAxisZ(0.0f, 0.0f, 1.0f);

glm::mat4 rotation(float degrees, const glm::vec3& axis) {
    return glm::rotate(glm::mat4(1.0f), glm::radians(degrees), axis);
}
glm::mat4 scaling(float s) { return glm::scale(glm::mat4(1.0f), glm::vec3(s)); }
glm::mat4 translation(const glm::vec3& v) { return glm::translate(glm::mat4(1.0f), v); }

struct GhostStart {
    float x, z;
};
constexpr GhostStart kGhostStarts[kGhostCount] = {
    {-73, 311},   {-166, 256}, {-251, 206}, {-295, 78}, {-320, -28}, {-298, -75}, {-282, -142}, {-277, -151},
    {-163, -271}, {-70, -306}, {-34, -312}, {53, -303}, {173, -269}, {250, -173}, {314, -69},   {310, 4},
    {264, 178},   {114, 293},  {78, 227},   {193, 146}, {255, 47},   {250, -31},  {90, -137},   {-53, -163},
    {-150, -61},  {-130, 107}, {60, 93},    {-8, 112},  {33, -98},   {-93, -51},  {6, 52},      {4, -53},
};

const glm::vec3 kCakeStarts[kCakeCount] = {
    {-128, 0, 289},   {179, 0, -280},    {228, 0, 220},   {-131, 31, -203}, {173, 31.8f, 147},
    {82, 60.6f, 157}, {141, 60.6f, -99}, {87, 88.8f, 63}, {77, 88.8f, -65}, {-36, 115, -45},
};

constexpr float kTorteHeight = 13.2f;

}  // namespace

void populateScene(Scene& scene, const SceneBounds& bounds, const View& view) {
    scene.bounds = bounds;
    const glm::vec3 walkIn = forwardStep(view.mainCamera, 15.0f);
    // 1. The grass plane is never placed, but its object still draws its
    // three random numbers: they fix every later patrol.
    makeObjectAt(glm::vec3(1.0f, 0.0f, 3.0f), plainMaterial);

    // 2. The heroine's invisible anchor; its local x axis ends up along world y.
    scene.heroAnchor = makeObject(heroMaterial);
    scene.heroAnchor.applyWorld(rotation(90.0f, kAxisZ));
    scene.heroAnchor.applyWorld(scaling(0.025f));
    scene.heroAnchor.applyWorld(translation(glm::vec3(0.0f, 4.0f, 0.0f)));
    scene.heroAnchor.applyWorld(rotation(180.0f, kAxisY));
    scene.heroAnchor.applyWorld(translation(walkIn));

    // 3.-5. The drawn parts: arms and body.
    scene.leftArm = makeObject(heroMaterial);
    scene.leftArm.applyWorld(rotation(90.0f, kAxisY));
    scene.leftArm.applyWorld(rotation(90.0f, kAxisZ));
    scene.leftArm.applyWorld(translation(glm::vec3(0.0f, 2.7f, 0.0f)));
    scene.leftArm.applyWorld(translation(walkIn));

    scene.rightArm = makeObject(heroMaterial);
    scene.rightArm.applyWorld(rotation(90.0f, kAxisY));
    scene.rightArm.applyWorld(rotation(90.0f, kAxisZ));
    scene.rightArm.applyWorld(translation(glm::vec3(0.5f, 2.7f, 0.0f)));
    scene.rightArm.applyWorld(translation(walkIn));

    scene.heroBody = makeObject(heroMaterial);
    scene.heroBody.applyWorld(rotation(-60.0f, kAxisZ));
    scene.heroBody.applyWorld(rotation(-3.0f, kAxisX));
    scene.heroBody.applyWorld(rotation(-90.0f, kAxisY));
    scene.heroBody.applyWorld(translation(glm::vec3(0.0f, 4.0f, 0.0f)));
    scene.heroBody.applyWorld(translation(walkIn));

    // 6. The see-through goal ghost over the top tier.
    scene.phantom = makeObjectAt(glm::vec3(1.0f, 1.0f, 1.0f), plainMaterial);
    scene.phantom.applyWorld(rotation(-90.0f, kAxisX));
    scene.phantom.applyWorld(translation(glm::vec3(50.0f, 117.0f, -3.0f)));

    // 7. The array constructor draws random numbers too, before the placed
    // ghosts draw theirs.
    for (SceneObject& ghost : scene.ghosts) ghost = makePlainObject();
    for (int i = 0; i < kGhostCount; ++i) {
        SceneObject ghost = makeObjectAt(glm::vec3(0.0f, 5.0f, 0.0f), ghostMaterial);
        ghost.applyWorld(rotation(-90.0f, kAxisX));
        ghost.applyWorld(rotation(90.0f, kAxisY));
        ghost.applyWorld(scaling(0.5f));
        ghost.applyWorld(translation(glm::vec3(kGhostStarts[i].x, 2.7f, kGhostStarts[i].z)));
        scene.ghosts[i] = ghost;
    }

    // 8. Rule counters.
    scene.ghostHasStolen.fill(false);
    scene.ghostCooldown.fill(5.0f);
    scene.ghostGroundHeight.fill(0.0f);
    scene.carriedCakes = 0;
    scene.cakesInWorld = kCakeCount;
    scene.stealClock = 0.0f;
    scene.phantomRising = true;
    scene.heroGroundHeight = -0.8f;
    scene.armSwingCounter = 0.0f;
    scene.footsteps = FootstepState{};

    // 9. Cakes.
    for (SceneObject& cake : scene.cakes) cake = makePlainObject();
    for (int k = 0; k < kCakeCount; ++k) {
        SceneObject cake = makeObjectAt(glm::vec3(0.0f), plainMaterial);
        cake.applyWorld(rotation(-90.0f, kAxisX));
        cake.applyWorld(translation(kCakeStarts[k]));
        scene.cakes[k] = cake;
    }

    // 10. The torte, centred on its own bounds once they are known.
    scene.torte = makeObjectAt(glm::vec3(0.0f), plainMaterial);
    scene.torte.applyWorld(rotation(-90.0f, kAxisX));
    scene.torte.applyWorld(scaling(50.0f));
    // An import that failed leaves empty bounds, which must not turn the
    // torte's matrix into NaNs: boxCentre reads them as 0.
    const glm::vec3 centre = boxCentre(bounds.torte);
    scene.torte.applyWorld(translation(glm::vec3(centre.x, kTorteHeight, centre.z)));

    // 11.-12. Overlay icons and the end-screen plane, from the window size now.
    float width = static_cast<float>(view.screenWidth);
    float height = static_cast<float>(view.screenHeight);
    for (SceneObject& icon : scene.cakeIcons) icon = makePlainObject();
    for (int k = 0; k < kCakeCount; ++k) {
        scene.cakeIcons[k] = makeObjectAt(glm::vec3(0.0f), plainMaterial);
        scene.cakeIcons[k].applyWorld(scaling(50.0f));
        float x = static_cast<float>(view.screenWidth / 20.0 + 70.0 * k);
        float y = static_cast<float>(view.screenHeight - view.screenHeight / 20.0);
        scene.cakeIcons[k].applyWorld(translation(glm::vec3(x, y, 9.0f)));
    }

    scene.endScreenObject = makeObjectAt(glm::vec3(0.0f), plainMaterial);
    scene.endScreenObject.applyWorld(scaling(100.0f));
    scene.endScreenObject.applyWorld(translation(glm::vec3(width * 0.5f, height * 0.5f, 9.0f)));

    // 13. The unused "won" object draws its three random numbers last.
    makeObject(heroMaterial);
}
