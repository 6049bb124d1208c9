// The torte, designed in world coordinates (y up, centred on the origin) and
// mapped into the raw frame its placement expects: rotate -90 about x, scale
// 50, then a translation of (centre x of the raw bounds, 13.2, centre z of
// the raw bounds). The raw z centre lands on world z, so it is folded in here.
#include "torte.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr int kSegments = 96;  // around every circle, shared so edges meet exactly
constexpr float kLevelHeights[5] = {0.0f, 31.0f, 60.6f, 88.8f, 115.0f};
constexpr float kWallRadii[4] = {255.0f, 185.0f, 115.0f, 65.0f};
constexpr float kGroundRadius = 420.0f;
constexpr float kSkirtDepth = 20.0f;
constexpr float kRampWidth = 16.0f;
// Ramp k lies on level k just outside wall k and climbs to level k + 1 over
// these segments (segment j starts at 360 j / 96 degrees from +x towards +z).
constexpr int kRampFirstSegment[4] = {15, 32, 52, 72};
constexpr int kRampSegments[4] = {5, 6, 9, 14};

constexpr float kPlacementScale = 50.0f;
constexpr float kPlacementLift = 13.2f;

// Texture strips: ground, icing, sponge; kept inside their edges for mip-maps.
constexpr float kMargin = 0.02f;
struct Strip {
    float lo, hi;
    float at(float t) const { return lo + (hi - lo) * t; }
};
constexpr Strip kGroundStrip{0.0f + kMargin, 1.0f / 3.0f - kMargin};
constexpr Strip kIcingStrip{1.0f / 3.0f + kMargin, 2.0f / 3.0f - kMargin};
constexpr Strip kSpongeStrip{2.0f / 3.0f + kMargin, 1.0f - kMargin};

const glm::vec3 kUp(0.0f, 1.0f, 0.0f);

float angleOf(int segment) { return static_cast<float>(2.0 * 3.14159265358979323846 * segment / kSegments); }
glm::vec3 radial(int segment) {
    float a = angleOf(segment);
    return glm::vec3(std::cos(a), 0.0f, std::sin(a));
}
glm::vec3 tangent(int segment) {
    float a = angleOf(segment);
    return glm::vec3(-std::sin(a), 0.0f, std::cos(a));
}
glm::vec3 ringPoint(int segment, float radius, float height) {
    return radial(segment) * radius + glm::vec3(0.0f, height, 0.0f);
}

bool inRamp(int level, int segment) {
    if (level > 3) return false;
    return segment >= kRampFirstSegment[level] && segment < kRampFirstSegment[level] + kRampSegments[level];
}

std::uint32_t vertex(GenMesh& mesh, const glm::vec3& p, const glm::vec3& n, float u, float v) {
    return addVertex(mesh, GenVertex{p, n, glm::vec2(u, v), glm::vec3(1.0f)});
}

// How often the flat textures repeat around a ring: about every 150 units.
float repeatsAround(float radius) { return std::round(2.0f * 3.14159265f * radius / 150.0f); }

// Level k's flat surface: an annulus from wall k outwards, split where the
// ramp's outer edge runs, with the ramp's cells left out.
void addLevelSurface(GenMesh& mesh, int level) {
    const float inner = kWallRadii[level];
    const float split = inner + kRampWidth;
    const float outer = level == 0 ? kGroundRadius : kWallRadii[level - 1];
    const float height = kLevelHeights[level];
    const Strip& strip = level == 0 ? kGroundStrip : kIcingStrip;
    const float repeats = repeatsAround(0.5f * (inner + outer));
    const float radii[3] = {inner, split, outer};
    std::uint32_t rows[3][kSegments + 1];
    for (int k = 0; k < 3; ++k) {
        float u = strip.at((radii[k] - inner) / (outer - inner));
        for (int j = 0; j <= kSegments; ++j) {
            float v = repeats * static_cast<float>(j) / kSegments;
            rows[k][j] = vertex(mesh, ringPoint(j % kSegments, radii[k], height), kUp, u, v);
        }
    }
    for (int j = 0; j < kSegments; ++j) {
        if (!inRamp(level, j)) addQuadFacing(mesh, rows[0][j], rows[0][j + 1], rows[1][j + 1], rows[1][j], kUp);
        addQuadFacing(mesh, rows[1][j], rows[1][j + 1], rows[2][j + 1], rows[2][j], kUp);
    }
}

// The top tier: a disc, textured by a planar map.
void addTopDisc(GenMesh& mesh) {
    const float radius = kWallRadii[3];
    const float height = kLevelHeights[4];
    auto uvAt = [&](const glm::vec3& p) {
        return glm::vec2(kIcingStrip.at((p.x + radius) / (2.0f * radius)), (p.z + radius) / (2.0f * radius));
    };
    glm::vec3 centre(0.0f, height, 0.0f);
    glm::vec2 centreUv = uvAt(centre);
    std::uint32_t middle = vertex(mesh, centre, kUp, centreUv.x, centreUv.y);
    std::uint32_t ring[kSegments];
    for (int j = 0; j < kSegments; ++j) {
        glm::vec3 p = ringPoint(j, radius, height);
        glm::vec2 uv = uvAt(p);
        ring[j] = vertex(mesh, p, kUp, uv.x, uv.y);
    }
    for (int j = 0; j < kSegments; ++j) addTriangleFacing(mesh, middle, ring[j], ring[(j + 1) % kSegments], kUp);
}

// A vertical band around a whole circle, facing outwards; sponge or ground.
void addCylinderWall(GenMesh& mesh, float radius, float bottom, float top, const Strip& strip) {
    std::uint32_t lower[kSegments + 1];
    std::uint32_t upper[kSegments + 1];
    for (int j = 0; j <= kSegments; ++j) {
        float u = strip.at(static_cast<float>(j % 2));  // mirrored repeats, one per segment
        glm::vec3 n = radial(j % kSegments);
        lower[j] = vertex(mesh, ringPoint(j % kSegments, radius, bottom), n, u, 0.0f);
        upper[j] = vertex(mesh, ringPoint(j % kSegments, radius, top), n, u, 1.0f);
    }
    for (int j = 0; j < kSegments; ++j) {
        glm::vec3 facing = radial(j) + radial(j + 1);
        addQuadFacing(mesh, lower[j], lower[j + 1], upper[j + 1], upper[j], facing);
    }
}

// Ramp k: a strip kRampWidth wide outside wall k whose height rises evenly
// with the angle, with a side wall on its outer edge and an end face.
void addRamp(GenMesh& mesh, int level) {
    const int first = kRampFirstSegment[level];
    const int steps = kRampSegments[level];
    const float inner = kWallRadii[level];
    const float outer = inner + kRampWidth;
    const float low = kLevelHeights[level];
    const float high = kLevelHeights[level + 1];
    const float rise = high - low;
    const float arcStep = angleOf(1) * 0.5f * (inner + outer);

    std::uint32_t surfaceInner[32];
    std::uint32_t surfaceOuter[32];
    std::uint32_t sideBottom[32];
    std::uint32_t sideTop[32];
    for (int s = 0; s <= steps; ++s) {
        int j = first + s;
        float h = low + rise * static_cast<float>(s) / static_cast<float>(steps);
        float v = static_cast<float>(s) * arcStep / 40.0f;
        // Surface normal: up, leaning back against the climb (steeper inside).
        glm::vec3 nInner = glm::normalize(kUp - tangent(j) * (rise / (angleOf(steps) * inner)));
        glm::vec3 nOuter = glm::normalize(kUp - tangent(j) * (rise / (angleOf(steps) * outer)));
        surfaceInner[s] = vertex(mesh, ringPoint(j, inner, h), nInner, kIcingStrip.lo, v);
        surfaceOuter[s] = vertex(mesh, ringPoint(j, outer, h), nOuter, kIcingStrip.hi, v);
        float u = kSpongeStrip.at(static_cast<float>(s % 2));
        sideBottom[s] = vertex(mesh, ringPoint(j, outer, low), radial(j), u, 0.0f);
        sideTop[s] = vertex(mesh, ringPoint(j, outer, h), radial(j), u, (h - low) / rise);
    }
    for (int s = 0; s < steps; ++s) {
        addQuadFacing(mesh, surfaceInner[s], surfaceOuter[s], surfaceOuter[s + 1], surfaceInner[s + 1], kUp);
        glm::vec3 out = radial(first + s) + radial(first + s + 1);
        addQuadFacing(mesh, sideBottom[s], sideBottom[s + 1], sideTop[s + 1], sideTop[s], out);
    }
    // The end face where the ramp meets the tier above, looking along the climb.
    const int end = first + steps;
    const glm::vec3 along = tangent(end);
    std::uint32_t a = vertex(mesh, ringPoint(end, inner, low), along, kSpongeStrip.lo, 0.0f);
    std::uint32_t b = vertex(mesh, ringPoint(end, outer, low), along, kSpongeStrip.hi, 0.0f);
    std::uint32_t c = vertex(mesh, ringPoint(end, outer, high), along, kSpongeStrip.hi, 1.0f);
    std::uint32_t d = vertex(mesh, ringPoint(end, inner, high), along, kSpongeStrip.lo, 1.0f);
    addQuadFacing(mesh, a, b, c, d, along);
}

}  // namespace

GenModel makeTorte() {
    GenMesh mesh;
    mesh.name = "torte";
    mesh.hasUv = true;
    mesh.hasColour = true;

    for (int level = 0; level < 4; ++level) addLevelSurface(mesh, level);
    addTopDisc(mesh);
    for (int level = 0; level < 4; ++level) {
        addCylinderWall(mesh, kWallRadii[level], kLevelHeights[level], kLevelHeights[level + 1], kSpongeStrip);
    }
    addCylinderWall(mesh, kGroundRadius, -kSkirtDepth, kLevelHeights[0], kGroundStrip);
    for (int level = 0; level < 4; ++level) addRamp(mesh, level);

    // The placement adds the raw bounds' z centre to world z: work out the
    // raw heights first, then shift so the torte stands centred on the origin.
    const glm::mat4 linear = glm::scale(glm::mat4(1.0f), glm::vec3(kPlacementScale)) *
                             glm::rotate(glm::mat4(1.0f), glm::radians(-90.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    float lowest = quantise((-kSkirtDepth - kPlacementLift) / kPlacementScale);
    float highest = quantise((kLevelHeights[4] - kPlacementLift) / kPlacementScale);
    float rawCentreZ = 0.5f * (lowest + highest);
    const glm::vec3 offset(0.0f, kPlacementLift, rawCentreZ);

    GenModel model;
    model.meshes.push_back(toRawFrame(mesh, linear, offset));
    return model;
}
