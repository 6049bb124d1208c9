// The generated models as the game sees them: imported from Models/ and
// placed by the real scene set-up, then checked for size, stance, facing,
// texture layout and, for the torte, the landscape the height map becomes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "game/scene.h"
#include "math/view.h"
#include "render/mesh_import.h"
#include "world/height_map.h"

namespace {

namespace fs = std::filesystem;

// What the game's import of every model must give: its meshes (vertices,
// triangles), the bounds of the raw positions, and the mean vertex colour and
// texture coordinate over all its vertices. A model without vertex colours
// shows the colour the importer is asked to stand in for them.
const glm::vec3 kNoColours(1.0f, 0.0f, 1.0f);
struct ExpectedImport {
    const char* name;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> meshes;
    glm::vec3 min, max;
    glm::vec3 meanColour;
    glm::vec2 meanUv;
};
const ExpectedImport kExpectedImports[] = {
    {"sakuragras.dae", {{150, 50}}, {-2.7429, -1.8997, 0}, {2.55, 2.3943, 1.1001}, {0.2501, 0.5366, 0.1534}, {0, 0}},
    {"mirelka5.dae", {{1191, 2016}, {219, 352}, {219, 352}}, {-192, -44.1013, -40}, {48, 44.1013, 40}, {1, 1, 1},
     {0.4994, 0.5213}},
    {"mirelka_arm_l.dae", {{219, 352}}, {-0.1699, 0.28, -0.7}, {0.1699, 1.1025, 0.8201}, {1, 1, 1}, {0.5, 0.3905}},
    {"mirelka_arm_r.dae", {{219, 352}}, {-0.1699, -0.6025, -0.7}, {0.1699, 0.22, 0.8201}, {1, 1, 1}, {0.5, 0.3905}},
    {"mirelka_koerper2.dae", {{1191, 2016}}, {-1.1292, -2.647, -1.1555}, {4.2349, 0.9468, 0.8416}, {1, 1, 1},
     {0.4992, 0.5694}},
    {"ghost2.dae", {{810, 1532}}, {-3.1499, -3.1799, -1}, {3.1499, 3.1799, 6.5}, {0.7309, 0.7657, 0.8498}, {0, 0}},
    {"sunnytextured.dae", {{731, 1232}}, {-4.24, -4.2, -4.8}, {4.24, 4.2, 5.2}, {1, 1, 1}, {0.5, 0.5419}},
    {"cake.dae", {{478, 768}}, {-1.25, -1.25, 0}, {1.25, 1.25, 1.5}, {0.8151, 0.5936, 0.4859}, {0, 0}},
    {"torte.dae", {{2355, 2664}}, {-8.3999, -8.3862, -0.6641}, {8.3999, 8.4138, 2.0359}, {1, 1, 1}, {0.5416, 2.2627}},
    {"cakeIconPlane.dae", {{4, 2}}, {-0.6001, -0.6001, 0}, {0.6001, 0.6001, 0}, kNoColours, {0.5, 0.5}},
    {"finish.dae", {{4, 2}}, {-5.5, -4.5, 0}, {5.5, 4.5, 0}, kNoColours, {0.5, 0.5}},
    {"won.dae", {{11, 10}}, {-0.9512, -0.8091, 0}, {0.9512, 1, 0}, kNoColours, {0.5, 0.5}},
};

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

// The generator sits beside this test binary's build tree.
fs::path generatorPath() {
    fs::path self = fs::read_symlink("/proc/self/exe");
    return self.parent_path().parent_path() / "tools" / "make_models";
}

fs::path freshDirectory(const std::string& tag) {
    fs::path dir = fs::temp_directory_path() / ("varnelo_models_" + tag + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// The placed figures' models, imported without GL with the default colour
// the game gives each.
struct GameMeshes {
    ImportedMeshes anchor, leftArm, rightArm, body, phantom, ghost, cake, torte;
};

ImportedMeshes importWithoutGl(const char* path, const glm::vec3& colour) {
    ImportedMeshes imported;
    importMeshes(path, colour, UvSource::File, imported);
    return imported;
}

const GameMeshes& gameMeshes() {
    static const GameMeshes* meshes = [] {
        auto* m = new GameMeshes;
        m->anchor = importWithoutGl("Models/mirelka5.dae", glm::vec3(0.0f, 0.0f, 1.0f));
        m->leftArm = importWithoutGl("Models/mirelka_arm_l.dae", glm::vec3(0.0f, 0.0f, 1.0f));
        m->rightArm = importWithoutGl("Models/mirelka_arm_r.dae", glm::vec3(0.0f, 0.0f, 1.0f));
        m->body = importWithoutGl("Models/mirelka_koerper2.dae", glm::vec3(0.0f, 0.0f, 1.0f));
        m->phantom = importWithoutGl("Models/ghost2.dae", glm::vec3(1.0f, 1.0f, 1.0f));
        m->ghost = importWithoutGl("Models/sunnytextured.dae", glm::vec3(1.0f, 0.0f, 0.0f));
        m->cake = importWithoutGl("Models/cake.dae", glm::vec3(1.0f, 1.0f, 0.0f));
        m->torte = importWithoutGl("Models/torte.dae", glm::vec3(1.0f, 1.0f, 1.0f));
        return m;
    }();
    return *meshes;
}

// The scene placed by the real set-up from those models' bounds.
const Scene& placedScene() {
    static Scene* scene = [] {
        const GameMeshes& m = gameMeshes();
        auto* s = new Scene;
        populateScene(*s, SceneBounds{m.body.bounds, m.ghost.bounds, m.cake.bounds, m.torte.bounds}, makeView());
        return s;
    }();
    return *scene;
}

glm::vec3 rawPosition(const Vertex& v) { return glm::vec3(v.position[0], v.position[1], v.position[2]); }
glm::vec3 rawNormal(const Vertex& v) { return glm::vec3(v.normal[0], v.normal[1], v.normal[2]); }
glm::vec3 place(const glm::mat4& model, const Vertex& v) { return glm::vec3(model * glm::vec4(rawPosition(v), 1.0f)); }
glm::vec3 placeNormal(const glm::mat4& model, const Vertex& v) {
    return glm::normalize(glm::transpose(glm::inverse(glm::mat3(model))) * rawNormal(v));
}

struct VertexBox {
    glm::vec3 min{1e30f};
    glm::vec3 max{-1e30f};
    void add(const glm::vec3& p) {
        min = glm::min(min, p);
        max = glm::max(max, p);
    }
    glm::vec3 centre() const { return 0.5f * (min + max); }
    glm::vec3 size() const { return max - min; }
};

VertexBox worldBox(const ImportedMeshes& model, const glm::mat4& placement, int onlyMesh = -1) {
    VertexBox box;
    for (std::size_t i = 0; i < model.meshes.size(); ++i) {
        if (onlyMesh >= 0 && static_cast<int>(i) != onlyMesh) continue;
        for (const Vertex& v : model.meshes[i].vertices) box.add(place(placement, v));
    }
    return box;
}

// Mean world position (and normal) of the vertices whose texture coordinate
// falls inside the given window.
struct Region {
    glm::vec3 position{0.0f};
    glm::vec3 normal{0.0f};
    int count = 0;
};
Region uvRegion(const ImportedMeshes& model, const glm::mat4& placement, float u0, float u1, float v0, float v1) {
    Region region;
    for (const MeshData& mesh : model.meshes) {
        for (const Vertex& v : mesh.vertices) {
            if (v.uv[0] < u0 || v.uv[0] > u1 || v.uv[1] < v0 || v.uv[1] > v1) continue;
            region.position += place(placement, v);
            region.normal += placeNormal(placement, v);
            ++region.count;
        }
    }
    if (region.count > 0) {
        region.position /= static_cast<float>(region.count);
        region.normal = glm::normalize(region.normal);
    }
    return region;
}

glm::mat4 lifted(const glm::mat4& model, float dy) {
    return glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, dy, 0.0f)) * model;
}

// The heading rule of the ghosts for a step (dx, dz).
float headingFor(float dx, float dz) {
    float a = dx == 0.0f ? 90.0f : static_cast<float>(-std::atan(dz / dx) * 57.29577951);
    if (dx < 0.0f) a += 180.0f;
    return a;
}

TEST(GeneratedModels, GeneratorWritesTheSameBytesEveryRunAndModelsIsCurrent) {
    const fs::path generator = generatorPath();
    ASSERT_TRUE(fs::exists(generator)) << "build the make_models target first: " << generator;
    fs::path first = freshDirectory("a");
    fs::path second = freshDirectory("b");
    ASSERT_EQ(std::system((generator.string() + " " + first.string()).c_str()), 0);
    ASSERT_EQ(std::system((generator.string() + " " + second.string()).c_str()), 0);
    for (const ExpectedImport& model : kExpectedImports) {
        const char* name = model.name;
        std::string a = readFile(first / name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_EQ(a, readFile(second / name)) << name;
        EXPECT_EQ(a, readFile(fs::path("Models") / name)) << name << " in Models/ is stale: rebuild";
        EXPECT_EQ(a.find("<created>"), a.rfind("<created>"));
    }
    fs::remove_all(first);
    fs::remove_all(second);
}

using Point = std::tuple<float, float, float>;
Point pointOf(const Vertex& v) { return {v.position[0], v.position[1], v.position[2]}; }

// Neighbouring triangles must agree on which side is the front: an edge that
// exactly two triangles share, both running along it the same way, joins a
// flipped one. (Edges where three faces meet, as where a ramp's end stands
// against a tier wall, say nothing about orientation.) Seams and the joins
// between separately built parts are found by position.
std::size_t edgesRunTwiceTheSameWay(const MeshData& mesh) {
    std::map<std::pair<Point, Point>, int> directed;
    for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
        for (int k = 0; k < 3; ++k) {
            Point from = pointOf(mesh.vertices[mesh.indices[t + k]]);
            Point to = pointOf(mesh.vertices[mesh.indices[t + (k + 1) % 3]]);
            ++directed[{from, to}];
        }
    }
    std::size_t doubled = 0;
    for (const auto& [edge, count] : directed) {
        auto reverse = directed.find({edge.second, edge.first});
        doubled += count == 2 && reverse == directed.end() ? 1 : 0;
    }
    return doubled;
}

// Signed volume of every connected part (joined through shared positions):
// positive when the part's front faces look outwards.
std::vector<float> partVolumes(const MeshData& mesh) {
    std::map<Point, std::size_t> ids;
    for (const Vertex& v : mesh.vertices) ids.emplace(pointOf(v), ids.size());
    std::vector<std::size_t> parent(ids.size());
    for (std::size_t i = 0; i < parent.size(); ++i) parent[i] = i;
    std::function<std::size_t(std::size_t)> root = [&](std::size_t i) {
        return parent[i] == i ? i : parent[i] = root(parent[i]);
    };
    for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
        std::size_t a = root(ids[pointOf(mesh.vertices[mesh.indices[t]])]);
        for (int k = 1; k < 3; ++k) parent[root(ids[pointOf(mesh.vertices[mesh.indices[t + k]])])] = a;
    }
    std::map<std::size_t, glm::vec3> centres;
    std::map<std::size_t, int> counts;
    for (const Vertex& v : mesh.vertices) {
        std::size_t r = root(ids[pointOf(v)]);
        centres[r] += rawPosition(v);
        ++counts[r];
    }
    std::map<std::size_t, float> volumes;
    for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
        std::size_t r = root(ids[pointOf(mesh.vertices[mesh.indices[t]])]);
        glm::vec3 centre = centres[r] / static_cast<float>(counts[r]);
        glm::vec3 a = rawPosition(mesh.vertices[mesh.indices[t]]) - centre;
        glm::vec3 b = rawPosition(mesh.vertices[mesh.indices[t + 1]]) - centre;
        glm::vec3 c = rawPosition(mesh.vertices[mesh.indices[t + 2]]) - centre;
        volumes[r] += glm::dot(a, glm::cross(b, c)) / 6.0f;
    }
    std::vector<float> out;
    for (const auto& [part, volume] : volumes) out.push_back(volume);
    return out;
}

TEST(GeneratedModels, EveryModelImportsWithItsMeshesBoundsColoursAndTextureCoordinates) {
    for (const ExpectedImport& e : kExpectedImports) {
        SCOPED_TRACE(e.name);
        ImportedMeshes imported;
        ASSERT_TRUE(importMeshes((std::string("Models/") + e.name).c_str(), kNoColours, UvSource::File, imported));
        ASSERT_EQ(imported.meshes.size(), e.meshes.size());
        glm::vec3 colour(0.0f);
        glm::vec2 uv(0.0f);
        float count = 0.0f;
        for (std::size_t i = 0; i < e.meshes.size(); ++i) {
            const MeshData& mesh = imported.meshes[i];
            EXPECT_EQ(mesh.vertexCount, e.meshes[i].first) << "mesh " << i;
            EXPECT_EQ(mesh.faceCount, e.meshes[i].second) << "mesh " << i;
            for (const Vertex& v : mesh.vertices) {
                colour += glm::vec3(v.colour[0], v.colour[1], v.colour[2]);
                uv += glm::vec2(v.uv[0], v.uv[1]);
                count += 1.0f;
            }
        }
        const glm::vec3 low = imported.bounds.min;
        const glm::vec3 high = imported.bounds.max;
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(low[k], e.min[k], 1e-3f) << "axis " << k;
            EXPECT_NEAR(high[k], e.max[k], 1e-3f) << "axis " << k;
            EXPECT_NEAR(colour[k] / count, e.meanColour[k], 1e-3f) << "colour " << k;
        }
        EXPECT_NEAR(uv.x / count, e.meanUv.x, 1e-3f);
        EXPECT_NEAR(uv.y / count, e.meanUv.y, 1e-3f);
    }
}

// Every triangle is wound counter-clockwise seen from the side its normals face,
// neighbours agree, no triangle collapses, and closed parts face outwards.
TEST(GeneratedModels, EveryModelImportsWithConsistentOutwardFrontFaces) {
    for (const ExpectedImport& model : kExpectedImports) {
        const char* name = model.name;
        ImportedMeshes imported;
        ASSERT_TRUE(importMeshes((std::string("Models/") + name).c_str(), glm::vec3(1.0f), UvSource::File, imported))
            << name;
        std::size_t against = 0;
        std::size_t degenerate = 0;
        std::size_t triangles = 0;
        for (const MeshData& mesh : imported.meshes) {
            for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
                const Vertex& a = mesh.vertices[mesh.indices[t]];
                const Vertex& b = mesh.vertices[mesh.indices[t + 1]];
                const Vertex& c = mesh.vertices[mesh.indices[t + 2]];
                glm::vec3 n = glm::cross(rawPosition(b) - rawPosition(a), rawPosition(c) - rawPosition(a));
                degenerate += glm::length(n) < 1e-9f ? 1 : 0;
                against += glm::dot(n, rawNormal(a) + rawNormal(b) + rawNormal(c)) <= 0.0f ? 1 : 0;
                ++triangles;
            }
            EXPECT_EQ(edgesRunTwiceTheSameWay(mesh), 0u) << name;
        }
        EXPECT_GT(triangles, 0u) << name;
        EXPECT_EQ(against, 0u) << name << ": triangles wound against their normals";
        EXPECT_EQ(degenerate, 0u) << name;
        EXPECT_LT(triangles, 4000u) << name << ": the software renderer draws these every frame";
    }
    for (const char* name : {"mirelka5.dae", "mirelka_koerper2.dae", "mirelka_arm_l.dae", "mirelka_arm_r.dae",
                             "sunnytextured.dae", "ghost2.dae", "cake.dae"}) {
        ImportedMeshes imported;
        ASSERT_TRUE(importMeshes((std::string("Models/") + name).c_str(), glm::vec3(1.0f), UvSource::File, imported));
        for (const MeshData& mesh : imported.meshes) {
            for (float volume : partVolumes(mesh)) EXPECT_GT(volume, 0.0f) << name << ": a part turned inside out";
        }
    }
}

// The game reads raw vertex positions: what the file says must arrive, bit
// for bit, with no axis or unit conversion on the way.
TEST(GeneratedModels, RawPositionsArriveExactlyAsWritten) {
    for (const char* name : {"mirelka_koerper2.dae", "torte.dae", "sunnytextured.dae"}) {
        const std::string text = readFile(fs::path("Models") / name);
        EXPECT_NE(text.find("<up_axis>Y_UP</up_axis>"), std::string::npos);
        EXPECT_NE(text.find("meter=\"1\""), std::string::npos);
        std::set<std::tuple<float, float, float>> written;
        glm::vec3 low(1e30f), high(-1e30f);
        for (std::size_t at = text.find("-positions-array\""); at != std::string::npos;
             at = text.find("-positions-array\"", at + 1)) {
            std::size_t open = text.find('>', at) + 1;
            std::size_t close = text.find('<', open);
            std::istringstream values(text.substr(open, close - open));
            std::string x, y, z;
            while (values >> x >> y >> z) {
                glm::vec3 p(std::strtof(x.c_str(), nullptr), std::strtof(y.c_str(), nullptr),
                            std::strtof(z.c_str(), nullptr));
                written.insert({p.x, p.y, p.z});
                low = glm::min(low, p);
                high = glm::max(high, p);
            }
        }
        ASSERT_FALSE(written.empty()) << name;
        ImportedMeshes imported;
        ASSERT_TRUE(importMeshes((std::string("Models/") + name).c_str(), glm::vec3(1.0f), UvSource::File, imported));
        std::size_t strays = 0;
        for (const MeshData& mesh : imported.meshes) {
            for (const Vertex& v : mesh.vertices) {
                strays += written.count({v.position[0], v.position[1], v.position[2]}) == 0 ? 1 : 0;
            }
        }
        EXPECT_EQ(strays, 0u) << name;
        EXPECT_EQ(imported.bounds.min.x, low.x) << name;
        EXPECT_EQ(imported.bounds.max.x, high.x) << name;
        EXPECT_EQ(imported.bounds.min.y, low.y) << name;
        EXPECT_EQ(imported.bounds.max.y, high.y) << name;
        EXPECT_EQ(imported.bounds.min.z, low.z) << name;
        EXPECT_EQ(imported.bounds.max.z, high.z) << name;
    }
}

// After the first frame on ground at height 0 the body has risen by 0.8.
TEST(GeneratedModels, HeroineStandsSixTallOnTheGroundFacingAwayFromTheCamera) {
    const Scene& scene = placedScene();
    const GameMeshes& models = gameMeshes();
    const glm::mat4 body = lifted(scene.heroBody.model, 0.8f);
    VertexBox box = worldBox(models.body, body);
    EXPECT_NEAR(box.min.y, 0.0f, 0.05f);  // feet on the ground
    EXPECT_NEAR(box.max.y, 6.0f, 0.1f);
    EXPECT_NEAR(box.centre().x, 0.0f, 0.1f);
    EXPECT_NEAR(box.centre().z, 300.0f, 0.3f);
    EXPECT_LT(box.size().x, 2.2f);

    // The face (front of the head band) looks along -z; the hair is behind.
    Region face = uvRegion(models.body, body, 0.45f, 0.55f, 0.80f, 0.88f);
    Region back = uvRegion(models.body, body, 0.0f, 0.05f, 0.80f, 0.88f);
    ASSERT_GT(face.count, 0);
    ASSERT_GT(back.count, 0);
    EXPECT_LT(face.position.z, 300.0f - 0.5f);
    EXPECT_GT(back.position.z, 300.0f + 0.5f);
    EXPECT_LT(face.normal.z, -0.8f);
    // Her right (u = 0.25) is +x.
    Region right = uvRegion(models.body, body, 0.24f, 0.26f, 0.4f, 0.7f);
    EXPECT_GT(right.position.x, 0.3f);

    // Texture bands follow the height: v = height above the feet / 6.
    for (const Vertex& v : models.body.meshes[0].vertices) {
        float height = place(body, v).y;
        ASSERT_NEAR(v.uv[1], height / 6.0f, 0.01f);
    }
}

using Triangle = std::array<glm::vec3, 3>;

std::vector<Triangle> placedTriangles(const ImportedMeshes& model, const glm::mat4& placement) {
    std::vector<Triangle> triangles;
    for (const MeshData& mesh : model.meshes) {
        for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
            triangles.push_back({place(placement, mesh.vertices[mesh.indices[t]]),
                                 place(placement, mesh.vertices[mesh.indices[t + 1]]),
                                 place(placement, mesh.vertices[mesh.indices[t + 2]])});
        }
    }
    return triangles;
}

// Whether p lies inside a closed surface: a ray from p crosses it an odd
// number of times. The ray rises steeply, clear of the open tops of the
// legs inside the skirt.
bool insideSurface(const std::vector<Triangle>& surface, const glm::vec3& p) {
    const glm::vec3 ray = glm::normalize(glm::vec3(0.23f, 1.0f, 0.17f));
    int crossings = 0;
    for (const Triangle& t : surface) {
        const glm::vec3 e1 = t[1] - t[0];
        const glm::vec3 e2 = t[2] - t[0];
        const glm::vec3 h = glm::cross(ray, e2);
        const float det = glm::dot(e1, h);
        if (std::fabs(det) < 1e-12f) continue;
        const glm::vec3 s = p - t[0];
        const float u = glm::dot(s, h) / det;
        const glm::vec3 q = glm::cross(s, e1);
        const float v = glm::dot(ray, q) / det;
        if (u < 0.0f || v < 0.0f || u + v > 1.0f) continue;
        crossings += glm::dot(e2, q) / det > 0.0f ? 1 : 0;
    }
    return crossings % 2 == 1;
}

// The arms join the body: each arm's shoulder end (texture v from 0.97)
// lies inside the body's shoulder, at rest and at both ends of the walking
// swing (a turn about the arm's own z axis), while the arm below its puff
// sleeve (v up to 0.8) stays outside the body. The hands hang at her sides
// with the sleeves' fronts facing forwards, and swing opposite ways.
TEST(GeneratedModels, ArmsJoinHerShouldersAndSwingAboutThem) {
    const Scene& scene = placedScene();
    const GameMeshes& models = gameMeshes();
    const std::vector<Triangle> body = placedTriangles(models.body, lifted(scene.heroBody.model, 0.8f));
    const std::pair<const SceneObject*, const ImportedMeshes*> arms[] = {{&scene.leftArm, &models.leftArm},
                                                                         {&scene.rightArm, &models.rightArm}};
    const float swings[] = {0.0f, -20.0f, 20.0f};
    float handZ[2][3] = {};
    for (int side = 0; side < 2; ++side) {
        const ImportedMeshes& model = *arms[side].second;
        for (int k = 0; k < 3; ++k) {
            const float degrees = swings[k];
            const glm::mat4 placement = lifted(arms[side].first->model, 0.8f) *
                                        glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(0, 0, 1));
            int topOutside = 0;
            int lowerInside = 0;
            for (const Vertex& v : model.meshes[0].vertices) {
                const glm::vec3 p = place(placement, v);
                if (v.uv[1] >= 0.97f) {
                    topOutside += insideSurface(body, p) && p.y > 4.0f && p.y < 4.49f ? 0 : 1;
                } else if (v.uv[1] <= 0.8f) {
                    lowerInside += insideSurface(body, p) ? 1 : 0;
                }
            }
            EXPECT_EQ(topOutside, 0) << "arm " << side << " swung " << degrees << ": top not inside the shoulder";
            EXPECT_EQ(lowerInside, 0) << "arm " << side << " swung " << degrees << ": arm cuts into the body";
            Region hand = uvRegion(model, placement, 0.0f, 1.0f, 0.0f, 0.1f);
            handZ[side][k] = hand.position.z;
            if (k == 0) {
                EXPECT_NEAR(hand.position.x, side == 0 ? -0.97f : 0.97f, 0.1f) << "arm " << side;
                EXPECT_LT(hand.position.y, 3.1f);
                EXPECT_NEAR(hand.position.z, 300.0f, 0.05f);
                EXPECT_LT(uvRegion(model, placement, 0.45f, 0.55f, 0.3f, 0.9f).normal.z, -0.8f);
            }
        }
    }
    const float leftShift = handZ[0][2] - handZ[0][0];
    const float rightShift = handZ[1][2] - handZ[1][0];
    EXPECT_GT(std::fabs(leftShift), 0.1f);
    EXPECT_GT(std::fabs(rightShift), 0.1f);
    EXPECT_LT(leftShift * rightShift, 0.0f);  // one forwards, the other back
}

// The anchor's model is the whole figure as its transforms place it: each of
// its meshes lies where the drawn part lies before the first frame.
TEST(GeneratedModels, AnchorFigureCoincidesWithTheDrawnParts) {
    const Scene& scene = placedScene();
    const GameMeshes& models = gameMeshes();
    const glm::mat4& anchor = scene.heroAnchor.model;
    const std::pair<const ImportedMeshes*, const SceneObject*> parts[] = {
        {&models.body, &scene.heroBody}, {&models.leftArm, &scene.leftArm}, {&models.rightArm, &scene.rightArm}};
    for (int i = 0; i < 3; ++i) {
        VertexBox figure = worldBox(models.anchor, anchor, i);
        VertexBox part = worldBox(*parts[i].first, parts[i].second->model);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(figure.min[k], part.min[k], 0.01f) << "mesh " << i;
            EXPECT_NEAR(figure.max[k], part.max[k], 0.01f) << "mesh " << i;
        }
    }
    VertexBox whole = worldBox(models.anchor, anchor);
    EXPECT_NEAR(whole.min.y, -0.8f, 0.05f);
    EXPECT_NEAR(whole.max.y, 5.2f, 0.1f);
}

TEST(GeneratedModels, GhostsHoverAndLookTheWayTheyMove) {
    const Scene& scene = placedScene();
    const GameMeshes& models = gameMeshes();
    const SceneObject& ghost = scene.ghosts[0];
    VertexBox box = worldBox(models.ghost, ghost.model);
    EXPECT_NEAR(box.min.y, 0.3f, 0.05f);  // hovering over ground at 0
    EXPECT_NEAR(box.size().y, 5.0f, 0.1f);
    EXPECT_NEAR(box.centre().x, ghost.worldPosition().x, 0.2f);
    EXPECT_NEAR(box.centre().z, ghost.worldPosition().z, 0.2f);
    for (const Vertex& v : models.ghost.meshes[0].vertices) {
        ASSERT_NEAR(v.uv[1], (place(ghost.model, v).y - 0.3f) / 5.0f, 0.01f);  // v from hem to crown
    }

    const glm::vec2 steps[] = {{1, 0}, {1, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {1, -1}, {0.2f, 3.0f}};
    for (const glm::vec2& step : steps) {
        SceneObject turned = ghost;
        turned.setHeading(headingFor(step.x, step.y));
        Region face = uvRegion(models.ghost, turned.model, 0.45f, 0.55f, 0.55f, 0.85f);
        ASSERT_GT(face.count, 0);
        glm::vec3 out = face.position - turned.worldPosition();
        glm::vec2 looking = glm::normalize(glm::vec2(out.x, out.z));
        EXPECT_GT(glm::dot(looking, glm::normalize(step)), 0.95f) << step.x << "," << step.y;
        EXPECT_GT(glm::dot(glm::normalize(glm::vec2(face.normal.x, face.normal.z)), glm::normalize(step)), 0.95f);
    }
}

TEST(GeneratedModels, PhantomFloatsAboveTheTopTierFacingItsWay) {
    const Scene& scene = placedScene();
    const GameMeshes& models = gameMeshes();
    const SceneObject& phantom = scene.phantom;
    ASSERT_NEAR(phantom.worldPosition().y, 118.0f, 1e-3f);
    VertexBox box = worldBox(models.phantom, phantom.model);
    EXPECT_GE(box.size().y, 7.0f);
    EXPECT_LE(box.size().y, 8.0f);
    // Even at the bottom of its bob (origin at 117) it stays clear of the tier at 115.
    EXPECT_GT(box.min.y - 1.0f, 115.5f);
    EXPECT_LT(box.min.y - 1.0f, 117.0f);

    // Its dark eyes and mouth (the only dark vertices) are on the side it moves to.
    const glm::vec2 steps[] = {{1, 0}, {1, 1}, {-1, 1}, {-1, -1}};
    for (const glm::vec2& step : steps) {
        SceneObject turned = phantom;
        turned.setHeading(headingFor(step.x, step.y));
        glm::vec3 sum(0.0f);
        int count = 0;
        for (const Vertex& v : models.phantom.meshes[0].vertices) {
            if (v.colour[0] + v.colour[1] + v.colour[2] > 1.0f) continue;
            sum += place(turned.model, v);
            ++count;
        }
        ASSERT_GT(count, 0);
        glm::vec3 out = sum / static_cast<float>(count) - turned.worldPosition();
        EXPECT_GT(glm::dot(glm::normalize(glm::vec2(out.x, out.z)), glm::normalize(step)), 0.95f);
    }
    // Pale, see-through colours everywhere else; no texture needed.
    for (const Vertex& v : models.phantom.meshes[0].vertices) {
        if (v.colour[0] + v.colour[1] + v.colour[2] <= 1.0f) continue;
        EXPECT_GE(v.colour[2], 0.95f);
        EXPECT_GE(v.colour[0], 0.75f);
    }
}

TEST(GeneratedModels, CakesAreSmallStandOnTheirBaseAndCarryACherry) {
    const Scene& scene = placedScene();
    const GameMeshes& models = gameMeshes();
    const SceneObject& cake = scene.cakes[0];
    VertexBox box = worldBox(models.cake, cake.model);
    EXPECT_NEAR(box.min.y, 0.0f, 0.01f);
    EXPECT_NEAR(box.max.y, 1.5f, 0.02f);
    EXPECT_NEAR(box.size().x, 2.5f, 0.1f);
    EXPECT_NEAR(box.size().z, 2.5f, 0.1f);
    EXPECT_NEAR(box.centre().x, -128.0f, 0.02f);
    EXPECT_NEAR(box.centre().z, 289.0f, 0.02f);
    // Coloured by its vertices: the very top is the red cherry, not the
    // yellow default the importer would give an uncoloured mesh.
    const Vertex* top = nullptr;
    for (const Vertex& v : models.cake.meshes[0].vertices) {
        if (top == nullptr || place(cake.model, v).y > place(cake.model, *top).y) top = &v;
    }
    ASSERT_NE(top, nullptr);
    EXPECT_GT(top->colour[0], 0.7f);
    EXPECT_LT(top->colour[1], 0.2f);
}

TEST(GeneratedModels, OverlayPlanesFaceTheCameraWithTheWholeImage) {
    struct Expectation {
        const char* name;
        float halfWidth, halfHeight;
    };
    for (const Expectation& e : {Expectation{"cakeIconPlane.dae", 0.6f, 0.6f}, Expectation{"finish.dae", 5.5f, 4.5f}}) {
        ImportedMeshes plane;
        ASSERT_TRUE(importMeshes((std::string("Models/") + e.name).c_str(), glm::vec3(1.0f), UvSource::File, plane));
        EXPECT_NEAR(plane.bounds.min.x, -e.halfWidth, 0.002f);
        EXPECT_NEAR(plane.bounds.max.x, e.halfWidth, 0.002f);
        EXPECT_NEAR(plane.bounds.min.y, -e.halfHeight, 0.002f);
        EXPECT_NEAR(plane.bounds.max.y, e.halfHeight, 0.002f);
        EXPECT_EQ(plane.bounds.min.z, 0.0f);
        EXPECT_EQ(plane.bounds.max.z, 0.0f);
        const MeshData& mesh = plane.meshes[0];
        ASSERT_EQ(mesh.faceCount, 2u);
        for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
            glm::vec3 a = rawPosition(mesh.vertices[mesh.indices[t]]);
            glm::vec3 b = rawPosition(mesh.vertices[mesh.indices[t + 1]]);
            glm::vec3 c = rawPosition(mesh.vertices[mesh.indices[t + 2]]);
            EXPECT_GT(glm::cross(b - a, c - a).z, 0.0f) << e.name << ": culled from the front";
        }
        for (const Vertex& v : mesh.vertices) {
            EXPECT_FLOAT_EQ(v.uv[0], v.position[0] > 0.0f ? 1.0f : 0.0f);  // u left to right
            EXPECT_FLOAT_EQ(v.uv[1], v.position[1] > 0.0f ? 1.0f : 0.0f);  // v bottom to top
        }
    }
}

// --- The torte as a landscape ------------------------------------------------

struct PlacedTriangle {
    glm::vec3 a, b, c;
    glm::vec2 uv[3];
    glm::vec3 normal;  // unit, from the winding
};

std::vector<PlacedTriangle> placedTorte() {
    const Scene& scene = placedScene();
    const GameMeshes& models = gameMeshes();
    std::vector<PlacedTriangle> triangles;
    for (const MeshData& mesh : models.torte.meshes) {
        for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
            PlacedTriangle tri;
            const Vertex* v[3] = {&mesh.vertices[mesh.indices[t]], &mesh.vertices[mesh.indices[t + 1]],
                                  &mesh.vertices[mesh.indices[t + 2]]};
            tri.a = place(scene.torte.model, *v[0]);
            tri.b = place(scene.torte.model, *v[1]);
            tri.c = place(scene.torte.model, *v[2]);
            for (int k = 0; k < 3; ++k) tri.uv[k] = glm::vec2(v[k]->uv[0], v[k]->uv[1]);
            tri.normal = glm::normalize(glm::cross(tri.b - tri.a, tri.c - tri.a));
            triangles.push_back(tri);
        }
    }
    return triangles;
}

// The surfaces that face up, bucketed in top view: what the capture from
// straight above sees.
class TopView {
public:
    explicit TopView(const std::vector<PlacedTriangle>& triangles) {
        for (const PlacedTriangle& t : triangles) {
            if (t.normal.y > 0.2f) up_.push_back(t);
        }
        cells_.resize(kCells * kCells);
        for (std::size_t i = 0; i < up_.size(); ++i) {
            const PlacedTriangle& t = up_[i];
            int x0 = cell(std::min({t.a.x, t.b.x, t.c.x})), x1 = cell(std::max({t.a.x, t.b.x, t.c.x}));
            int z0 = cell(std::min({t.a.z, t.b.z, t.c.z})), z1 = cell(std::max({t.a.z, t.b.z, t.c.z}));
            for (int z = z0; z <= z1; ++z) {
                for (int x = x0; x <= x1; ++x) cells_[static_cast<std::size_t>(z * kCells + x)].push_back(i);
            }
        }
    }
    // Heights of the up-facing surfaces over (x, z); `inset` > 0 counts only
    // points strictly inside a triangle, < 0 also points just outside.
    std::vector<float> heightsAt(float x, float z, float inset = 0.0f) const {
        std::vector<float> heights;
        for (std::size_t i : cells_[static_cast<std::size_t>(cell(z) * kCells + cell(x))]) {
            const PlacedTriangle& t = up_[i];
            glm::vec2 p(x, z), a(t.a.x, t.a.z), b(t.b.x, t.b.z), c(t.c.x, t.c.z);
            float area = cross(b - a, c - a);
            float wa = cross(b - p, c - p) / area;
            float wb = cross(c - p, a - p) / area;
            float wc = cross(a - p, b - p) / area;
            // Barycentric weights scaled to distances from the edges (in units).
            float scale = std::sqrt(std::fabs(area));
            if (std::min({wa, wb, wc}) * scale < inset) continue;
            heights.push_back(wa * t.a.y + wb * t.b.y + wc * t.c.y);
        }
        return heights;
    }
    float heightAt(float x, float z) const {
        std::vector<float> h = heightsAt(x, z, -1e-4f);
        return h.empty() ? 0.0f : *std::max_element(h.begin(), h.end());
    }

private:
    static constexpr int kCells = 110;
    static constexpr float kExtent = 440.0f;
    static float cross(const glm::vec2& u, const glm::vec2& v) { return u.x * v.y - u.y * v.x; }
    static int cell(float v) {
        int c = static_cast<int>((v + kExtent) / (2.0f * kExtent) * kCells);
        return std::clamp(c, 0, kCells - 1);
    }
    std::vector<PlacedTriangle> up_;
    std::vector<std::vector<std::size_t>> cells_;
};

TEST(GeneratedTorte, StandsCentredOnTheOriginWithItsGroundAtZero) {
    const Scene& scene = placedScene();
    const GameMeshes& models = gameMeshes();
    VertexBox box = worldBox(models.torte, scene.torte.model);
    EXPECT_NEAR(box.centre().x, 0.0f, 0.2f);
    EXPECT_NEAR(box.centre().z, 0.0f, 0.2f);
    EXPECT_GT(box.min.x, -430.0f);
    EXPECT_LT(box.min.x, -345.0f);  // the ground reaches past the play radius
    EXPECT_LT(box.min.z, -345.0f);
    EXPECT_NEAR(box.max.y, 115.0f, 0.05f);
    TopView top(placedTorte());
    EXPECT_NEAR(top.heightAt(0.0f, 300.0f), 0.0f, 0.05f);  // under the heroine's start
    EXPECT_NEAR(top.heightAt(330.0f, 0.0f), 0.0f, 0.05f);
}

// The capture renders without a depth buffer: every triangle must face up or
// stand vertical (seen edge-on), and no two upward surfaces may overlap.
TEST(GeneratedTorte, UpwardSurfacesNeitherOverlapNorLeaveHoles) {
    std::vector<PlacedTriangle> triangles = placedTorte();
    for (const PlacedTriangle& t : triangles) {
        ASSERT_TRUE(t.normal.y > 0.2f || std::fabs(t.normal.y) < 1e-3f) << "a triangle faces down or slants";
    }
    TopView top(triangles);
    int overlaps = 0;
    int holes = 0;
    for (float z = -428.0f; z <= 428.0f; z += 1.7f) {
        for (float x = -428.0f; x <= 428.0f; x += 1.7f) {
            overlaps += top.heightsAt(x, z, 1e-3f).size() > 1 ? 1 : 0;
            float r = std::sqrt(x * x + z * z);
            if (r < 415.0f) holes += top.heightsAt(x, z, -1e-3f).empty() ? 1 : 0;
        }
    }
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(holes, 0);
}

TEST(GeneratedTorte, TexturesComeFromTheirStrips) {
    int outside = 0;
    for (const PlacedTriangle& t : placedTorte()) {
        float mean = (t.uv[0].x + t.uv[1].x + t.uv[2].x) / 3.0f;
        int strip = std::clamp(static_cast<int>(mean * 3.0f), 0, 2);
        for (const glm::vec2& uv : t.uv) {
            // Inside the strip with a margin, so mip-maps do not bleed across.
            if (uv.x < strip / 3.0f + 0.015f || uv.x > (strip + 1) / 3.0f - 0.015f) ++outside;
        }
        float height = std::max({t.a.y, t.b.y, t.c.y});
        if (t.normal.y > 0.2f) {
            EXPECT_EQ(strip, height < 1.0f ? 0 : 1) << "ground takes the snow strip, tiers and ramps the icing";
        } else if (std::min({t.a.y, t.b.y, t.c.y}) > -1.0f) {
            EXPECT_EQ(strip, 2) << "walls take the sponge strip";
        }
    }
    EXPECT_EQ(outside, 0);
}

TEST(GeneratedTorte, CakesAndThePhantomStandOnTheirTiers) {
    const Scene& scene = placedScene();
    TopView top(placedTorte());
    for (const SceneObject& cake : scene.cakes) {
        glm::vec3 p = cake.worldPosition();
        float ground = top.heightAt(p.x, p.z);
        EXPECT_LE(ground, p.y + 0.05f) << p.x << "," << p.z;
        EXPECT_GE(ground, p.y - 1.0f) << p.x << "," << p.z;
        // Flat all around, so the heroine can stand next to it.
        for (float dx : {-3.0f, 3.0f}) {
            for (float dz : {-3.0f, 3.0f}) EXPECT_NEAR(top.heightAt(p.x + dx, p.z + dz), ground, 0.05f);
        }
    }
    glm::vec3 phantom = scene.phantom.worldPosition();
    EXPECT_NEAR(top.heightAt(phantom.x, phantom.z), 115.0f, 0.05f);
}

// The height map as the capture would fill it, then a walk over it with the
// game's own passability rule: every cake and the phantom must be in reach.
TEST(GeneratedTorte, EveryCakeAndThePhantomCanBeReachedOnFoot) {
    const Scene& scene = placedScene();
    TopView top(placedTorte());
    HeightMap map;
    for (int row = 0; row < 1000; ++row) {  // rows 1000 and up are never drawn
        float z = 400.0f - (static_cast<float>(row) + 0.5f) * 0.78f;
        for (int column = 0; column < kHeightMapSize; ++column) {
            float x = -380.0f + (static_cast<float>(column) + 0.5f) * 892.0f / 1200.0f;
            map.values[static_cast<std::size_t>(row * kHeightMapSize + column)] = top.heightAt(x, z);
        }
    }

    constexpr float kStep = 0.5f;  // a little under one frame's walk at 60 frames per second
    constexpr int kSize = static_cast<int>(2.0f * worldRadius / kStep) + 1;
    auto toWorld = [&](int i) { return -worldRadius + static_cast<float>(i) * kStep; };
    std::vector<char> seen(static_cast<std::size_t>(kSize * kSize), 0);
    std::deque<std::pair<int, int>> queue;
    const int startX = static_cast<int>(std::lround((0.0f + worldRadius) / kStep));
    const int startZ = static_cast<int>(std::lround((300.0f + worldRadius) / kStep));
    ASSERT_TRUE(isPassable(map, toWorld(startX), toWorld(startZ)));
    seen[static_cast<std::size_t>(startZ * kSize + startX)] = 1;
    queue.push_back({startX, startZ});
    while (!queue.empty()) {
        auto [ix, iz] = queue.front();
        queue.pop_front();
        const int moves[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& m : moves) {
            int nx = ix + m[0], nz = iz + m[1];
            if (nx < 0 || nz < 0 || nx >= kSize || nz >= kSize) continue;
            char& s = seen[static_cast<std::size_t>(nz * kSize + nx)];
            if (s != 0) continue;
            s = 2;  // visited, blocked unless passable
            if (!isPassable(map, toWorld(nx), toWorld(nz))) continue;
            s = 1;
            queue.push_back({nx, nz});
        }
    }
    auto reachableNear = [&](const glm::vec3& target) {
        for (int iz = 0; iz < kSize; ++iz) {
            float z = toWorld(iz);
            if (std::fabs(z - target.z) >= 2.0f) continue;
            for (int ix = 0; ix < kSize; ++ix) {
                if (std::fabs(toWorld(ix) - target.x) < 2.0f && seen[static_cast<std::size_t>(iz * kSize + ix)] == 1) {
                    return true;
                }
            }
        }
        return false;
    };
    for (const SceneObject& cake : scene.cakes) {
        glm::vec3 p = cake.worldPosition();
        EXPECT_TRUE(reachableNear(p)) << "cake at " << p.x << "," << p.y << "," << p.z;
    }
    EXPECT_TRUE(reachableNear(scene.phantom.worldPosition()));
}

}  // namespace
