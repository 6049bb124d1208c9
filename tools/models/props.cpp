// The small models. The cake and the grass stand on their bases with raw z
// up (their placements rotate -90 about x); the planes lie in the xy plane
// facing +z, as the overlay draws them.
#include "props.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace {

const glm::vec3 kZAxis(0.0f, 0.0f, 1.0f);

glm::mat4 standUp() { return glm::rotate(glm::mat4(1.0f), glm::radians(-90.0f), glm::vec3(1.0f, 0.0f, 0.0f)); }

std::vector<LatheRing> rings(const std::vector<glm::vec2>& profile, const glm::vec3& colour) {
    std::vector<LatheRing> out;
    for (const glm::vec2& p : profile) {
        LatheRing ring;
        ring.centre = glm::vec3(0.0f, p.x, 0.0f);
        ring.radius = p.y;
        ring.colour = colour;
        out.push_back(ring);
    }
    return out;
}

glm::vec2 noUv(const glm::vec3&) { return glm::vec2(0.0f); }

// A flat quad in the xy plane facing +z, texture 0..1 across it.
GenModel plane(const char* name, float halfWidth, float halfHeight) {
    GenMesh mesh;
    mesh.name = name;
    mesh.hasUv = true;
    std::uint32_t corners[4];
    const float xs[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
    const float ys[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    for (int k = 0; k < 4; ++k) {
        GenVertex v;
        v.position = glm::vec3(xs[k] * halfWidth, ys[k] * halfHeight, 0.0f);
        v.normal = kZAxis;
        v.uv = glm::vec2(0.5f * (xs[k] + 1.0f), 0.5f * (ys[k] + 1.0f));
        corners[k] = addVertex(mesh, v);
    }
    addQuadFacing(mesh, corners[0], corners[1], corners[2], corners[3], kZAxis);
    GenModel model;
    model.meshes.push_back(toRawFrame(mesh, glm::mat4(1.0f), glm::vec3(0.0f)));
    return model;
}

}  // namespace

GenModel makeCake() {
    GenMesh mesh;
    mesh.name = "cake";
    mesh.hasColour = true;
    const glm::vec3 sponge(0.93f, 0.76f, 0.42f);
    const glm::vec3 jam(0.72f, 0.08f, 0.18f);
    const glm::vec3 icingSide(0.98f, 0.72f, 0.80f);
    const glm::vec3 icingTop(1.0f, 0.88f, 0.92f);
    const glm::vec3 cherry(0.86f, 0.04f, 0.10f);
    const int segments = 24;
    const glm::vec3 inside(0.0f, 0.6f, 0.0f);

    // Sponge in two layers with jam between; separate rings keep the bands crisp.
    addLathe(mesh, rings({{0.0f, 0.0f}, {0.0f, 1.2f}}, sponge), segments, inside);
    addLathe(mesh, rings({{0.0f, 1.2f}, {0.45f, 1.2f}}, sponge), segments, inside);
    addLathe(mesh, rings({{0.45f, 1.2f}, {0.55f, 1.2f}}, jam), segments, inside);
    addLathe(mesh, rings({{0.55f, 1.2f}, {0.95f, 1.2f}}, sponge), segments, inside);
    // Icing: a band a little wider than the sponge, a rounded edge and a domed top.
    addLathe(mesh, rings({{0.92f, 1.2f}, {0.92f, 1.25f}, {1.12f, 1.25f}, {1.18f, 1.17f}}, icingSide), segments, inside);
    addLathe(mesh, rings({{1.18f, 1.17f}, {1.21f, 0.8f}, {1.22f, 0.0f}}, icingTop), segments, inside);
    // The cherry, its top at 1.5.
    addEllipsoid(mesh, glm::vec3(0.0f, 1.32f, 0.0f), glm::vec3(0.18f), 8, 12, cherry, noUv);
    // Sprinkles around the cherry.
    const glm::vec3 sprinkleColours[3] = {{0.2f, 0.55f, 0.95f}, {0.35f, 0.8f, 0.3f}, {1.0f, 0.85f, 0.1f}};
    for (int k = 0; k < 9; ++k) {
        float a = 0.7f * static_cast<float>(k) + 0.3f;
        float r = 0.45f + 0.12f * static_cast<float>(k % 3);
        glm::vec3 centre(r * std::cos(a), 1.215f, r * std::sin(a));
        addEllipsoid(mesh, centre, glm::vec3(0.07f, 0.035f, 0.035f), 3, 6, sprinkleColours[k % 3], noUv);
    }

    GenModel model;
    model.meshes.push_back(toRawFrame(mesh, standUp(), glm::vec3(0.0f)));
    return model;
}

GenModel makeIconPlane() { return plane("cakeIconPlane", 0.6f, 0.6f); }

GenModel makeEndScreenPlane() { return plane("finish", 5.5f, 4.5f); }

GenModel makeGrass() {
    GenMesh mesh;
    mesh.name = "sakuragras";
    mesh.hasColour = true;
    const glm::vec3 root(0.10f, 0.38f, 0.08f);
    const glm::vec3 tip(0.55f, 0.85f, 0.30f);
    const glm::vec2 tufts[5] = {{0.0f, 0.0f}, {2.2f, 1.1f}, {-1.8f, 1.6f}, {1.2f, -2.1f}, {-2.4f, -1.3f}};
    for (const glm::vec2& tuft : tufts) {
        for (int blade = 0; blade < 5; ++blade) {
            float a = 1.2566371f * static_cast<float>(blade) + tuft.x;
            glm::vec3 across(std::cos(a), 0.0f, std::sin(a));
            glm::vec3 lean(-across.z, 0.0f, across.x);
            glm::vec3 base(tuft.x, 0.0f, tuft.y);
            float height = 0.8f + 0.15f * static_cast<float>(blade % 3);
            glm::vec3 points[3] = {base - across * 0.06f, base + across * 0.06f,
                                   base + lean * 0.35f + glm::vec3(0.0f, height, 0.0f)};
            // Both sides of the blade, each with its own normal.
            for (float side : {1.0f, -1.0f}) {
                glm::vec3 n = glm::normalize(glm::cross(points[1] - points[0], points[2] - points[0])) * side;
                std::uint32_t i0 = addVertex(mesh, GenVertex{points[0], n, glm::vec2(0.0f), root});
                std::uint32_t i1 = addVertex(mesh, GenVertex{points[1], n, glm::vec2(0.0f), root});
                std::uint32_t i2 = addVertex(mesh, GenVertex{points[2], n, glm::vec2(0.0f), tip});
                addTriangleFacing(mesh, i0, i1, i2, n);
            }
        }
    }
    GenModel model;
    model.meshes.push_back(toRawFrame(mesh, standUp(), glm::vec3(0.0f)));
    return model;
}

GenModel makeStar() {
    GenMesh mesh;
    mesh.name = "won";
    mesh.hasUv = true;
    auto uvAt = [](const glm::vec3& p) { return glm::vec2(0.5f * (p.x + 1.0f), 0.5f * (p.y + 1.0f)); };
    GenVertex centre{glm::vec3(0.0f), kZAxis, uvAt(glm::vec3(0.0f)), glm::vec3(1.0f)};
    std::uint32_t middle = addVertex(mesh, centre);
    std::uint32_t rim[10];
    for (int k = 0; k < 10; ++k) {
        float a = 1.5707963f + 0.62831853f * static_cast<float>(k);
        float r = k % 2 == 0 ? 1.0f : 0.42f;
        glm::vec3 p(r * std::cos(a), r * std::sin(a), 0.0f);
        rim[k] = addVertex(mesh, GenVertex{p, kZAxis, uvAt(p), glm::vec3(1.0f)});
    }
    for (int k = 0; k < 10; ++k) addTriangleFacing(mesh, middle, rim[k], rim[(k + 1) % 10], kZAxis);
    GenModel model;
    model.meshes.push_back(toRawFrame(mesh, glm::mat4(1.0f), glm::vec3(0.0f)));
    return model;
}
