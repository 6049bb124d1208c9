// The generated models as the game imports them from Models/, and the heroine's arms meeting her shoulders.
#include <gtest/gtest.h>

#include <map>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#define GLM_ENABLE_EXPERIMENTAL
#include <glm/gtx/intersect.hpp>

#include "game/scene.h"
#include "math/view.h"
#include "render/mesh_import.h"
#include "tests/support/glm_print.h"

namespace {

// Per model: its meshes (vertices, triangles), the bounds of the raw positions, and the mean vertex colour
// (kNone where the file has none: the importer's stand-in) and texture coordinate.
const glm::vec3 kNone(1.0f, 0.0f, 1.0f), kWhite(1.0f);
const struct {
    const char* name;
    std::vector<glm::uvec2> meshes;
    glm::vec3 min, max, colour;
    glm::vec2 uv;
} kModels[] = {
    {"sakuragras.dae", {{150, 50}}, {-2.7429, -1.8997, 0}, {2.55, 2.3943, 1.1001}, {0.2501, 0.5366, 0.1534}, {0, 0}},
    {"mirelka5.dae",
     {{1191, 2016}, {219, 352}, {219, 352}},
     {-192, -44.1013, -40},
     {48, 44.1013, 40},
     kWhite,
     {0.4994, 0.5213}},
    {"mirelka_arm_l.dae", {{219, 352}}, {-0.1699, 0.28, -0.7}, {0.1699, 1.1025, 0.8201}, kWhite, {0.5, 0.3905}},
    {"mirelka_arm_r.dae", {{219, 352}}, {-0.1699, -0.6025, -0.7}, {0.1699, 0.22, 0.8201}, kWhite, {0.5, 0.3905}},
    {"mirelka_koerper2.dae",
     {{1191, 2016}},
     {-1.1292, -2.647, -1.1555},
     {4.2349, 0.9468, 0.8416},
     kWhite,
     {0.4992, 0.5694}},
    {"ghost2.dae", {{810, 1532}}, {-3.1499, -3.1799, -1}, {3.1499, 3.1799, 6.5}, {0.7309, 0.7657, 0.8498}, {0, 0}},
    {"sunnytextured.dae", {{731, 1232}}, {-4.24, -4.2, -4.8}, {4.24, 4.2, 5.2}, kWhite, {0.5, 0.5419}},
    {"cake.dae", {{478, 768}}, {-1.25, -1.25, 0}, {1.25, 1.25, 1.5}, {0.8151, 0.5936, 0.4859}, {0, 0}},
    {"torte.dae", {{2355, 2664}}, {-8.3999, -8.3862, -0.6641}, {8.3999, 8.4138, 2.0359}, kWhite, {0.5416, 2.2627}},
    {"cakeIconPlane.dae", {{4, 2}}, {-0.6001, -0.6001, 0}, {0.6001, 0.6001, 0}, kNone, {0.5, 0.5}},
    {"finish.dae", {{4, 2}}, {-5.5, -4.5, 0}, {5.5, 4.5, 0}, kNone, {0.5, 0.5}},
    {"won.dae", {{11, 10}}, {-0.9512, -0.8091, 0}, {0.9512, 1, 0}, kNone, {0.5, 0.5}},
};

const ImportedMeshes& model(const std::string& name) {
    static std::map<std::string, ImportedMeshes> cache;
    if (cache.count(name) == 0) importMeshes(("Models/" + name).c_str(), kNone, UvSource::File, cache[name]);
    return cache[name];
}

TEST(GeneratedModels, EveryModelImportsWithItsMeshesBoundsColoursAndTextureCoordinates) {
    for (const auto& e : kModels) {
        SCOPED_TRACE(e.name);
        const ImportedMeshes& got = model(e.name);
        ASSERT_EQ(got.meshes.size(), e.meshes.size());
        glm::vec3 colour(0.0f), uv(0.0f);
        for (std::size_t i = 0; i < e.meshes.size(); ++i) {
            EXPECT_EQ(glm::uvec2(got.meshes[i].vertexCount, got.meshes[i].faceCount), e.meshes[i])
                << "vertices and triangles of mesh " << i;
            for (const Vertex& v : got.meshes[i].vertices) {
                colour += glm::make_vec3(v.colour);
                uv += glm::vec3(v.uv[0], v.uv[1], 1.0f);  // z counts the vertices
            }
        }
        const glm::vec3 values[] = {got.bounds.min, got.bounds.max, colour / uv.z, uv / uv.z};
        const glm::vec3 expected[] = {e.min, e.max, e.colour, glm::vec3(e.uv, 1.0f)};
        const char* const names[] = {"least position", "greatest position", "mean colour", "mean uv"};
        for (int k = 0; k < 12; ++k)
            EXPECT_NEAR(values[k / 3][k % 3], expected[k / 3][k % 3], 1e-3f) << names[k / 3] << ", component " << k % 3;
    }
}

glm::vec3 place(const glm::mat4& m, const Vertex& v) { return glm::vec3(m * glm::vec4(glm::make_vec3(v.position), 1)); }

// Whether a ray from p crosses the closed surface an odd number of times, rising clear of the legs' open tops.
bool inside(const std::vector<glm::vec3>& corners, const glm::vec3& p) {
    const glm::vec3 ray = glm::normalize(glm::vec3(0.23f, 1.0f, 0.17f));
    glm::vec2 at;
    float distance = 0.0f;
    int crossings = 0;
    for (std::size_t t = 0; t < corners.size(); t += 3)
        crossings +=
            glm::intersectRayTriangle(p, ray, corners[t], corners[t + 1], corners[t + 2], at, distance) && distance > 0;
    return crossings % 2 == 1;
}

// Risen 0.8 as after the first frame, at rest and swung either way about its z axis, each arm's shoulder end
// (v from 0.97) lies inside the body's shoulder, the arm below the puff sleeve (v up to 0.8) outside the body.
TEST(GeneratedModels, ArmsJoinHerShouldersAndSwingAboutThem) {
    static Scene scene;  // large: off the stack
    populateScene(scene, SceneBounds{}, makeView());
    const glm::mat4 lift = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.8f, 0.0f));
    std::vector<glm::vec3> body;
    for (const MeshData& mesh : model("mirelka_koerper2.dae").meshes)
        for (std::uint32_t i : mesh.indices) body.push_back(place(lift * scene.heroBody.model, mesh.vertices[i]));
    for (const SceneObject* arm : {&scene.leftArm, &scene.rightArm}) {
        const char* name = arm == &scene.leftArm ? "mirelka_arm_l.dae" : "mirelka_arm_r.dae";
        ASSERT_EQ(model(name).meshes.size(), 1u);
        for (float degrees : {0.0f, -20.0f, 20.0f}) {
            const glm::mat4 swing = glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(0, 0, 1));
            int topOutside = 0, lowerInside = 0;
            for (const Vertex& v : model(name).meshes[0].vertices) {
                const glm::vec3 p = place(lift * arm->model * swing, v);
                if (v.uv[1] >= 0.97f) topOutside += !(inside(body, p) && p.y > 4.0f && p.y < 4.49f);
                if (v.uv[1] <= 0.8f) lowerInside += inside(body, p);
            }
            EXPECT_EQ(topOutside, 0) << name << " swung " << degrees << ": shoulder-end vertices outside the shoulder";
            EXPECT_EQ(lowerInside, 0) << name << " swung " << degrees << ": lower-arm vertices inside the body";
        }
    }
}

}  // namespace
