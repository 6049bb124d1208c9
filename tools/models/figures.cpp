// The figures. Design frame: y up, the figure faces -z, units are world
// units, the origin is the scene object's origin. Heights are given above the
// ground the figure stands on.
#include "figures.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float kPi = 3.14159265358979f;
const glm::vec3 kWhite(1.0f);

glm::mat4 rotation(float degrees, const glm::vec3& axis) {
    return glm::rotate(glm::mat4(1.0f), glm::radians(degrees), axis);
}
glm::mat4 scaling(float s) { return glm::scale(glm::mat4(1.0f), glm::vec3(s)); }

const glm::vec3 kX(1.0f, 0.0f, 0.0f);
const glm::vec3 kY(0.0f, 1.0f, 0.0f);
const glm::vec3 kZ(0.0f, 0.0f, 1.0f);

// The rotations and scales of each placement, composed in the order the
// scene applies them (each applyWorld multiplies on the left).
glm::mat4 bodyPlacement() { return rotation(-90.0f, kY) * rotation(-3.0f, kX) * rotation(-60.0f, kZ); }
glm::mat4 armPlacement() { return rotation(90.0f, kZ) * rotation(90.0f, kY); }
glm::mat4 anchorPlacement() { return rotation(180.0f, kY) * scaling(0.025f) * rotation(90.0f, kZ); }
glm::mat4 ghostPlacement() { return scaling(0.5f) * rotation(90.0f, kY) * rotation(-90.0f, kX); }
glm::mat4 phantomPlacement() { return rotation(-90.0f, kX); }

// The heroine's body origin stands 4.8 above the ground, her arms' origins 3.5.
constexpr float kBodyOriginHeight = 4.8f;
constexpr float kArmOriginHeight = 3.5f;
constexpr float kHeroHeight = 6.0f;
// Where the arms hang, from the body's vertical axis (her right is +x).
constexpr float kShoulderOffset = 0.86f;
constexpr float kHandOffset = 0.98f;
constexpr float kRightArmOrigin = 0.5f;  // the right arm object stands this far to +x

GenMesh rotated(const GenMesh& mesh, const glm::mat4& rotation) {
    GenMesh out = mesh;
    glm::mat3 r(rotation);
    for (GenVertex& v : out.vertices) {
        v.position = r * v.position;
        v.normal = r * v.normal;
    }
    return out;
}

GenMesh translated(const GenMesh& mesh, const glm::vec3& offset) {
    GenMesh out = mesh;
    for (GenVertex& v : out.vertices) v.position += offset;
    return out;
}

// Rings of a lathe given as (height above ground, radius); v = height / total.
std::vector<LatheRing> heroRings(const std::vector<glm::vec2>& profile, const glm::vec3& axis) {
    std::vector<LatheRing> rings;
    for (const glm::vec2& p : profile) {
        LatheRing ring;
        ring.centre = glm::vec3(axis.x, p.x - kBodyOriginHeight, axis.z);
        ring.radius = p.y;
        ring.v = p.x / kHeroHeight;
        ring.colour = kWhite;
        rings.push_back(ring);
    }
    return rings;
}

// Body with head, dress and legs, relative to the body object's origin.
GenMesh heroBodyMesh() {
    GenMesh mesh;
    mesh.name = "mirelka_koerper2";
    mesh.hasUv = true;
    mesh.hasColour = true;
    const int segments = 32;
    const glm::vec3 axis(0.0f);

    // Dress, shoulders and neck, then the head as a sphere up to the crown.
    std::vector<glm::vec2> profile = {
        {1.80f, 1.00f}, {1.95f, 0.97f}, {2.30f, 0.85f}, {2.70f, 0.70f}, {3.05f, 0.56f}, {3.30f, 0.47f},
        {3.55f, 0.52f}, {3.85f, 0.58f}, {4.10f, 0.60f}, {4.30f, 0.57f}, {4.42f, 0.45f}, {4.49f, 0.28f},
        {4.53f, 0.19f}, {4.66f, 0.19f},
    };
    const float headCentre = 5.30f;
    const float headRadius = 0.70f;
    for (float degrees : {25.0f, 40.0f, 55.0f, 70.0f, 85.0f, 100.0f, 115.0f, 130.0f, 145.0f, 160.0f, 172.0f, 180.0f}) {
        float a = glm::radians(degrees);
        float radius = degrees == 180.0f ? 0.0f : headRadius * std::sin(a);  // the crown is an exact pole
        profile.push_back({headCentre - headRadius * std::cos(a), radius});
    }
    addLathe(mesh, heroRings(profile, axis), segments, glm::vec3(0.0f, 3.5f - kBodyOriginHeight, 0.0f));

    // Underside of the skirt, where the legs come out.
    std::vector<glm::vec2> underside = {{1.86f, 0.0f}, {1.82f, 0.6f}, {1.80f, 1.00f}};
    addLathe(mesh, heroRings(underside, axis), segments, glm::vec3(0.0f, 2.6f - kBodyOriginHeight, 0.0f));

    // Legs with shoes; the shoes reach a little forward.
    for (float side : {-1.0f, 1.0f}) {
        std::vector<LatheRing> rings;
        const float x = 0.3f * side;
        struct LegRing {
            float height, radius, forward;
        };
        for (const LegRing& r : {LegRing{0.0f, 0.0f, 0.07f}, LegRing{0.0f, 0.21f, 0.07f},
                                 LegRing{0.18f, 0.23f, 0.07f}, LegRing{0.30f, 0.21f, 0.03f},
                                 LegRing{0.36f, 0.17f, 0.0f}, LegRing{1.0f, 0.18f, 0.0f},
                                 LegRing{1.90f, 0.22f, 0.0f}}) {
            LatheRing ring;
            ring.centre = glm::vec3(x, r.height - kBodyOriginHeight, -r.forward);
            ring.radius = r.radius;
            ring.v = r.height / kHeroHeight;
            ring.colour = kWhite;
            rings.push_back(ring);
        }
        addLathe(mesh, rings, 16, glm::vec3(x, 1.0f - kBodyOriginHeight, 0.0f));
    }
    return mesh;
}

// One arm relative to its object's origin; `axisOffset` is the body axis's
// x relative to that origin (0 for the left arm, -0.5 for the right one).
GenMesh armMesh(const char* name, float side, float axisOffset) {
    GenMesh mesh;
    mesh.name = name;
    mesh.hasUv = true;
    mesh.hasColour = true;
    const float handBottom = 2.9f;  // above the ground
    const float length = 1.7f;
    // (t along the arm from fingertips 0 to shoulder 1, radius); v = t.
    const glm::vec2 profile[] = {
        {0.0f, 0.0f},    {0.025f, 0.08f}, {0.06f, 0.13f},  {0.11f, 0.14f}, {0.15f, 0.10f},
        {0.152f, 0.15f}, {0.20f, 0.15f},  {0.202f, 0.13f}, {0.50f, 0.14f}, {0.80f, 0.16f},
        {0.92f, 0.17f},  {0.97f, 0.13f},  {1.0f, 0.0f},
    };
    std::vector<LatheRing> rings;
    for (const glm::vec2& p : profile) {
        float t = p.x;
        float x = side * (kHandOffset + (kShoulderOffset - kHandOffset) * t) + axisOffset;
        LatheRing ring;
        ring.centre = glm::vec3(x, handBottom + length * t - kArmOriginHeight, 0.0f);
        ring.radius = p.y;
        ring.v = t;
        ring.colour = kWhite;
        rings.push_back(ring);
    }
    float midX = side * 0.5f * (kHandOffset + kShoulderOffset) + axisOffset;
    addLathe(mesh, rings, 16, glm::vec3(midX, handBottom + 0.5f * length - kArmOriginHeight, 0.0f));
    return mesh;
}

GenMesh leftArmMesh() { return armMesh("mirelka_arm_l", -1.0f, 0.0f); }
GenMesh rightArmMesh() { return armMesh("mirelka_arm_r", 1.0f, -kRightArmOrigin); }

// A sheet ghost of the given height, bottom at `bottom` below the origin.
// Texture v runs from the hem (0) to the crown (1).
GenMesh ghostMesh(const char* name, float height, float bottom, bool textured, bool withFace) {
    GenMesh mesh;
    mesh.name = name;
    mesh.hasUv = textured;
    mesh.hasColour = true;
    const float s = height / 5.0f;  // designed 5 tall
    auto at = [&](float g) { return g * s - bottom; };
    auto sheetColour = [&](float v) {
        if (textured) return kWhite;
        return glm::vec3(0.80f + 0.16f * v, 0.87f + 0.11f * v, 1.0f);  // bluish towards the hem
    };
    const int segments = 32;
    const float domeCentre = 3.55f;
    const float domeRadius = 1.45f;

    struct Row {
        float g, r, wave;  // height above the hem's lowest point, radius, share of the hem wave
    };
    std::vector<Row> rows;
    for (int k = 0; k <= 7; ++k) {
        float a = glm::radians(90.0f * static_cast<float>(k) / 7.0f);
        rows.push_back({domeCentre + domeRadius * std::cos(a), domeRadius * std::sin(a), 0.0f});
    }
    for (const Row& r : {Row{3.1f, 1.50f, 0.0f}, Row{2.5f, 1.58f, 0.0f}, Row{1.9f, 1.70f, 0.0f},
                         Row{1.3f, 1.85f, 0.05f}, Row{0.8f, 1.98f, 0.4f}, Row{0.3f, 2.10f, 1.0f}}) {
        rows.push_back(r);
    }
    // The hem waves six times around, down to height 0 and up to 0.6.
    auto rowHeight = [&](const Row& row, float u) { return row.g + row.wave * 0.3f * std::cos(6.0f * 2.0f * kPi * u); };

    auto outer = [&](int r, int c) {
        const Row& row = rows[static_cast<std::size_t>(r)];
        float u = static_cast<float>(c) / static_cast<float>(segments);
        float g = rowHeight(row, u);
        SurfacePoint sp;
        sp.position = glm::vec3(0.0f, at(g), 0.0f) + row.r * s * figureDirection(c == segments ? 0.0f : u);
        sp.uv = glm::vec2(u, g / 5.0f);
        sp.colour = sheetColour(g / 5.0f);
        return sp;
    };
    const glm::vec3 middle(0.0f, at(2.5f), 0.0f);
    addGridSurface(mesh, static_cast<int>(rows.size()) - 1, segments, true, outer, middle);

    // The hollow underneath, rising from the hem to a shallow peak.
    const Row& hem = rows.back();
    auto under = [&](int r, int c) {
        float u = static_cast<float>(c) / static_cast<float>(segments);
        float share = 1.0f - static_cast<float>(r) / 2.0f;  // 1 at the hem, 0 at the peak
        float g = rowHeight(hem, u) * share + 1.0f * (1.0f - share);
        SurfacePoint sp;
        sp.position = glm::vec3(0.0f, at(g), 0.0f) + hem.r * share * s * figureDirection(c == segments ? 0.0f : u);
        sp.uv = glm::vec2(u, g / 5.0f);
        sp.colour = sheetColour(g / 5.0f);
        return sp;
    };
    addGridSurface(mesh, 2, segments, true, under, middle);

    // Little arms at the sides, reaching a bit forward.
    auto figureUv = [&](const glm::vec3& p) { return glm::vec2(figureU(p), (p.y + bottom) / s / 5.0f); };
    for (float side : {-1.0f, 1.0f}) {
        glm::vec3 centre(side * 1.62f * s, at(2.45f), -0.25f * s);
        addEllipsoid(mesh, centre, glm::vec3(0.5f, 0.3f, 0.34f) * s, 8, 12, sheetColour(0.5f), figureUv);
    }
    if (withFace) {
        // Dark eyes and an open mouth, for the untextured ghost.
        const glm::vec3 dark(0.08f, 0.08f, 0.22f);
        for (float side : {-1.0f, 1.0f}) {
            addEllipsoid(mesh, glm::vec3(side * 0.42f * s, at(3.75f), -1.34f * s), glm::vec3(0.16f, 0.26f, 0.1f) * s,
                         6, 10, dark, figureUv);
        }
        addEllipsoid(mesh, glm::vec3(0.0f, at(3.15f), -1.44f * s), glm::vec3(0.26f, 0.12f, 0.08f) * s, 6, 10, dark,
                     figureUv);
    }
    return mesh;
}

GenModel single(const GenMesh& mesh) {
    GenModel model;
    model.meshes.push_back(mesh);
    return model;
}

}  // namespace

GenModel makeHeroBody() { return single(toRawFrame(heroBodyMesh(), bodyPlacement(), glm::vec3(0.0f))); }

GenModel makeLeftArm() { return single(toRawFrame(leftArmMesh(), armPlacement(), glm::vec3(0.0f))); }

GenModel makeRightArm() { return single(toRawFrame(rightArmMesh(), armPlacement(), glm::vec3(0.0f))); }

GenModel makeHeroFigure() {
    // The anchor stands where the body does; the arm objects stand 1.3 lower
    // (2.7 against 4) and the right one 0.5 to +x.
    GenModel model;
    GenMesh body = heroBodyMesh();
    body.name = "body";
    GenMesh left = translated(leftArmMesh(), glm::vec3(0.0f, -1.3f, 0.0f));
    left.name = "arm_l";
    GenMesh right = translated(rightArmMesh(), glm::vec3(kRightArmOrigin, -1.3f, 0.0f));
    right.name = "arm_r";
    for (const GenMesh& mesh : {body, left, right}) {
        model.meshes.push_back(toRawFrame(mesh, anchorPlacement(), glm::vec3(0.0f)));
    }
    return model;
}

GenModel makeGhost() {
    // At heading 0 a ghost walks along world +x: turn the front from -z to +x.
    GenMesh ghost = rotated(ghostMesh("sunnytextured", 5.0f, 2.4f, true, false), rotation(-90.0f, kY));
    return single(toRawFrame(ghost, ghostPlacement(), glm::vec3(0.0f)));
}

GenModel makePhantom() {
    GenMesh phantom = rotated(ghostMesh("ghost2", 7.5f, 1.0f, false, true), rotation(-90.0f, kY));
    return single(toRawFrame(phantom, phantomPlacement(), glm::vec3(0.0f)));
}
