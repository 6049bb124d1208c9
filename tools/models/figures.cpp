// The figures. Design frame: y up, the figure faces -z, units are world
// units, the origin is the scene object's origin. Heights are given above the
// ground the figure stands on.
#include "figures.h"

#include <algorithm>
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

// The dress, shoulders and neck as (height above ground, radius) about the
// body's vertical axis, bottom to top.
std::vector<glm::vec2> torsoProfile() {
    return {
        {1.80f, 1.00f}, {1.95f, 0.97f}, {2.30f, 0.85f}, {2.70f, 0.70f}, {3.05f, 0.56f}, {3.30f, 0.47f}, {3.55f, 0.52f},
        {3.85f, 0.58f}, {4.10f, 0.60f}, {4.30f, 0.57f}, {4.42f, 0.45f}, {4.49f, 0.28f}, {4.53f, 0.19f}, {4.66f, 0.19f},
    };
}

// The torso's radius at a height (0 outside it), as its 32-sided lathe
// reaches at the least: midway between two of its corners.
float torsoRadius(float height) {
    const std::vector<glm::vec2> profile = torsoProfile();
    for (std::size_t i = 1; i < profile.size(); ++i) {
        const glm::vec2& low = profile[i - 1];
        const glm::vec2& high = profile[i];
        if (height < low.x || height > high.x) continue;
        float share = (height - low.x) / (high.x - low.x);
        return (low.y + (high.y - low.y) * share) * std::cos(kPi / 32.0f);
    }
    return 0.0f;
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
    std::vector<glm::vec2> profile = torsoProfile();
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
        for (const LegRing& r : {LegRing{0.0f, 0.0f, 0.07f}, LegRing{0.0f, 0.21f, 0.07f}, LegRing{0.18f, 0.23f, 0.07f},
                                 LegRing{0.30f, 0.21f, 0.03f}, LegRing{0.36f, 0.17f, 0.0f}, LegRing{1.0f, 0.18f, 0.0f},
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

// The arms. Each hangs from a curved centreline, designed for her right arm
// (+x) in world offsets from the body axis and heights above the ground, and
// mirrored for the left: from the fingertips, beside the skirt, up into the
// side of the torso below the shoulder line, where it bends inwards and ends
// deep inside her shoulder. The buried end keeps the join closed while the
// arm swings: the swing turns each arm about the vertical through its
// object's origin, which for the right arm (origin 0.5 to +x) crosses the
// arm's centreline just inside the torso, so that arm turns about its own
// shoulder, and for the left arm (origin on the body axis) is the axis of
// the round torso itself, so that arm's top slides round inside it.
const glm::vec2 kArmTips(1.0f, 2.8f);
const glm::vec2 kArmBend(0.62f, 4.15f);
const glm::vec2 kArmTop(0.28f, 4.32f);
// The texture's shoulder end (v 0.9 .. 1, the gathers of the puff sleeve
// start below) goes on what lies past the point where the arm enters the
// torso; v 0 .. 0.9 spread evenly over the part outside.
constexpr float kArmEntryV = 0.9f;

glm::vec2 armCurve(float t) {
    float s = 1.0f - t;
    return s * s * kArmTips + 2.0f * s * t * kArmBend + t * t * kArmTop;
}
glm::vec2 armTangent(float t) {
    return glm::normalize(2.0f * (1.0f - t) * (kArmBend - kArmTips) + 2.0f * t * (kArmTop - kArmBend));
}

// Arc lengths along the centreline at kArmSamples + 1 even steps of the
// curve parameter, and the arc length where it first passes into the torso.
constexpr int kArmSamples = 4000;
struct ArmLengths {
    std::vector<float> arc;
    float entry = 0.0f;
};
ArmLengths armLengths() {
    ArmLengths lengths;
    lengths.arc.assign(kArmSamples + 1, 0.0f);
    lengths.entry = -1.0f;
    for (int k = 1; k <= kArmSamples; ++k) {
        glm::vec2 p = armCurve(static_cast<float>(k) / kArmSamples);
        lengths.arc[k] = lengths.arc[k - 1] + glm::length(p - armCurve(static_cast<float>(k - 1) / kArmSamples));
        if (lengths.entry < 0.0f && p.x < torsoRadius(p.y)) lengths.entry = lengths.arc[k];
    }
    if (lengths.entry < 0.0f) lengths.entry = lengths.arc.back();  // never enters: nothing buried
    return lengths;
}

// The curve parameter at texture coordinate v along the arm.
float armParameter(const ArmLengths& lengths, float v) {
    const float total = lengths.arc.back();
    const float arc = v <= kArmEntryV
                          ? lengths.entry * v / kArmEntryV
                          : lengths.entry + (total - lengths.entry) * (v - kArmEntryV) / (1.0f - kArmEntryV);
    auto at = std::lower_bound(lengths.arc.begin(), lengths.arc.end(), arc);
    if (at == lengths.arc.end()) return 1.0f;
    return static_cast<float>(at - lengths.arc.begin()) / kArmSamples;
}

// One arm relative to its object's origin; `side` is +1 for her right arm,
// -1 for the left, `origin` the object's x from the body axis.
GenMesh armMesh(const char* name, float side, float origin) {
    GenMesh mesh;
    mesh.name = name;
    mesh.hasUv = true;
    mesh.hasColour = true;
    // (v along the arm from fingertips 0 to its shoulder end 1, radius).
    const std::vector<glm::vec2> profile = {
        {0.0f, 0.0f},    {0.025f, 0.08f}, {0.06f, 0.13f},  {0.11f, 0.14f}, {0.15f, 0.10f},
        {0.152f, 0.15f}, {0.20f, 0.15f},  {0.202f, 0.13f}, {0.50f, 0.14f}, {0.80f, 0.16f},
        {0.92f, 0.17f},  {0.97f, 0.13f},  {1.0f, 0.0f},
    };
    const ArmLengths lengths = armLengths();
    const int segments = 16;
    // Rings stand across the centreline; u runs round as on the body (0.5
    // to the front, -z; 0.25 towards +x on both arms, so the left arm's
    // texture is not mirrored).
    auto point = [&](int r, int c) {
        const glm::vec2& ring = profile[static_cast<std::size_t>(r)];
        float t = armParameter(lengths, ring.x);
        const glm::vec2 mirror(side, 1.0f);
        glm::vec2 centre = mirror * armCurve(t);
        glm::vec2 tangent = mirror * armTangent(t);
        glm::vec3 across(tangent.y, -tangent.x, 0.0f);  // (1, 0, 0) for a vertical arm
        float u = static_cast<float>(c) / static_cast<float>(segments);
        glm::vec3 direction = figureDirection(c == segments ? 0.0f : u);
        glm::vec3 offset = ring.y * (direction.x * across + glm::vec3(0.0f, 0.0f, direction.z));
        SurfacePoint sp;
        sp.position = glm::vec3(centre.x - origin, centre.y - kArmOriginHeight, 0.0f) + offset;
        sp.uv = glm::vec2(u, ring.x);
        sp.colour = kWhite;
        return sp;
    };
    glm::vec2 middle = armCurve(0.5f);
    addGridSurface(mesh, static_cast<int>(profile.size()) - 1, segments, true, point,
                   glm::vec3(side * middle.x - origin, middle.y - kArmOriginHeight, 0.0f));
    return mesh;
}

GenMesh leftArmMesh() { return armMesh("mirelka_arm_l", -1.0f, 0.0f); }
GenMesh rightArmMesh() { return armMesh("mirelka_arm_r", 1.0f, kRightArmOrigin); }

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
            addEllipsoid(mesh, glm::vec3(side * 0.42f * s, at(3.75f), -1.34f * s), glm::vec3(0.16f, 0.26f, 0.1f) * s, 6,
                         10, dark, figureUv);
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
