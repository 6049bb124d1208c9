// Mesh import without GL, from small COLLADA texts built here: vertex layout,
// bounds, triangulation, grass texture coordinates, the pre-check that keeps
// Assimp from misreading a file, and broken input refused without a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include <glm/gtc/type_ptr.hpp>

#include "render/mesh_import.h"
#include "tests/support/scratch_files.h"

namespace {

const glm::vec3 kDefaultColour(0.25f, 0.5f, 0.75f);

std::string input(const char* semantic, const std::string& id) {
    return std::string("<input semantic=\"") + semantic + "\" source=\"#" + id + "\" offset=\"0\"/>";
}

// A <source> of count elements, one letter per component ("XYZ", "RGB", "ST").
std::string source(const std::string& id, const std::string& values, int count, const std::string& names) {
    std::string params;
    for (char name : names) params += std::string("<param name=\"") + name + "\" type=\"float\"/>";
    const std::string stride = std::to_string(names.size());
    return "<source id=\"" + id + "\"><float_array id=\"" + id + "-a\" count=\"" + std::to_string(count * names.size()) +
           "\">" + values + "</float_array><technique_common><accessor source=\"#" + id + "-a\" count=\"" +
           std::to_string(count) + "\" stride=\"" + stride + "\">" + params + "</accessor></technique_common></source>";
}

// A primitive element over geometry id's vertices; inside: further inputs and the lists.
std::string element(const std::string& tag, int count, const std::string& inside, const std::string& id = "g") {
    return "<" + tag + " count=\"" + std::to_string(count) + "\">" + input("VERTEX", id + "-v") + inside + "</" + tag + ">";
}

// A document of one geometry per {id, positions, position count, elements, further sources}, each in a node.
std::string document(const std::vector<std::vector<std::string>>& geometries) {
    std::string meshes, nodes;
    for (const auto& g : geometries) {
        meshes += "<geometry id=\"" + g[0] + "\"><mesh>" + source(g[0] + "-p", g[1], std::stoi(g[2]), "XYZ") + g[4] +
                  "<vertices id=\"" + g[0] + "-v\">" + input("POSITION", g[0] + "-p") + "</vertices>" + g[3] + "</mesh></geometry>";
        nodes += "<node id=\"n" + g[0] + "\"><instance_geometry url=\"#" + g[0] + "\"/></node>";
    }
    return "<?xml version=\"1.0\"?><COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">"
           "<library_geometries>" + meshes + "</library_geometries><library_visual_scenes><visual_scene id=\"s\">" +
           nodes + "</visual_scene></library_visual_scenes><scene><instance_visual_scene url=\"#s\"/></scene></COLLADA>";
}

// A quad (one polygon) with normals at positive x, and a triangle with colours and texture coordinates.
const std::vector<std::string> kQuad = {"quad", "1 0 0 3 0 0 3 2 -1 1 2 -1", "4",
                                        element("polylist", 1, input("NORMAL", "n") + "<vcount>4</vcount><p>0 1 2 3</p>", "quad"),
                                        source("n", "0 0 1 0 0 1 0 0 1 0 0 1", 4, "XYZ")};
const std::vector<std::string> kTriangle = {"tri", "5 5 5 6 5 5 5 7 4", "3",
                                            element("triangles", 1, input("COLOR", "c") + input("TEXCOORD", "t") + "<p>0 1 2</p>", "tri"),
                                            source("c", "1 0 0 0 1 0 0 0 1", 3, "RGB") + source("t", "0.25 0.5 0.75 0.5 0.5 1", 3, "ST")};
// Four positions and the elements over them; the plain one holds two triangles.
std::string square(const std::string& elements) { return document({{"g", "0 0 0 1 0 0 0 1 0 1 1 0", "4", elements, ""}}); }
const std::string kSquare = square(element("triangles", 2, "<p>0 1 2 1 3 2</p>"));

bool importText(const std::string& text, ImportedMeshes& out, UvSource uvSource = UvSource::File) {
    return importMeshesFromMemory(text.data(), text.size(), "dae", kDefaultColour, uvSource, out);
}

void expectIndicesInRange(const ImportedMeshes& imported) {
    for (const MeshData& mesh : imported.meshes) {
        EXPECT_EQ(mesh.indices.size(), 3u * mesh.faceCount);
        EXPECT_EQ(mesh.vertices.size(), mesh.vertexCount);
        for (std::uint32_t index : mesh.indices) EXPECT_LT(index, mesh.vertexCount);
    }
}

TEST(MeshImport, SeveralMeshesKeepTheirOwnDataAndShareOneBounds) {
    TempFile file(document({kQuad, kTriangle}));
    ImportedMeshes got;
    ASSERT_TRUE(importMeshes(file.path(), kDefaultColour, UvSource::File, got));
    ASSERT_EQ(got.meshes.size(), 2u);
    const MeshData &quad = got.meshes[0], &tri = got.meshes[1];
    EXPECT_EQ(quad.faceCount, 2u);  // the quad arrives as two triangles
    ASSERT_EQ(quad.vertexCount + tri.vertexCount, 7u);
    glm::vec3 colours(0.0f);
    for (const MeshData* mesh : {&quad, &tri}) {
        for (const Vertex& v : mesh->vertices) {
            // No normals in the file: zero, never garbage.
            EXPECT_EQ(glm::vec3(v.normal[0], v.normal[1], v.normal[2]), glm::vec3(0, 0, mesh == &quad));
            EXPECT_EQ(v.position[3], 1.0f);
            EXPECT_EQ(std::count(v.unused, v.unused + 6, 0.0f), 6);
            colours += glm::vec3(v.colour[0], v.colour[1], v.colour[2]);
            const glm::vec2 uv = mesh == &quad ? glm::vec2(0.0f) : v.position[0] == 6.0f ? glm::vec2(0.75f, 0.5f) : glm::make_vec2(v.uv);
            EXPECT_EQ(glm::make_vec2(v.uv), uv);
        }
    }
    EXPECT_EQ(colours, 4.0f * kDefaultColour + glm::vec3(1.0f));  // the quad takes the default, the triangle its own
    EXPECT_EQ(got.bounds.min, glm::vec3(1.0f, 0.0f, -1.0f));
    EXPECT_EQ(got.bounds.max, glm::vec3(6.0f, 7.0f, 5.0f));
    // A triangle, a line, a quad and a point in one list, then a line list: only triangles count.
    ASSERT_TRUE(importText(document({{"g", "0 0 0 1 0 0 1 1 0 0 1 0 2 0 0 2 1 0 3 3 3", "7",
                                      element("polylist", 4, "<vcount>3 2 4 1</vcount><p>0 1 2 4 5 0 1 2 3 6</p>") +
                                          element("lines", 2, "<p>0 1 2 3</p>"), ""}}), got));
    ASSERT_EQ(got.meshes.size(), 2u);
    EXPECT_EQ(got.meshes[0].faceCount + got.meshes[1].faceCount * 10, 3u);
    expectIndicesInRange(got);
}

TEST(MeshImport, UnreadableOrEmptyInputLeavesTheResultUntouched) {
    std::string bare = document({});  // a node without geometry: Assimp would invent a stand-in mesh
    TempFile file(bare.insert(bare.find("</visual_scene>"), "<node id=\"e\"/>"));
    ImportedMeshes out;
    out.bounds.min.x = 42.0f;
    for (const std::string& text : {std::string("\x01\x02 not a model \xff"), kSquare.substr(0, kSquare.size() / 2), document({})})
        EXPECT_FALSE(importText(text, out)) << text;
    for (const char* path : {file.path(), "Models/no_such_model.dae", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(importMeshes(path, kDefaultColour, UvSource::File, out));
    EXPECT_FALSE(importMeshesFromMemory(nullptr, 10, "dae", kDefaultColour, UvSource::File, out));
    EXPECT_FALSE(importMeshesFromMemory(kSquare.data(), 0, "dae", kDefaultColour, UvSource::File, out));
    EXPECT_TRUE(out.bounds.min.x == 42.0f && out.meshes.empty());
}

// Every prefix of a valid file and a family of corrupted copies: the import
// either fails cleanly or yields meshes whose indices all name real vertices.
TEST(MeshImport, DamagedFilesNeverYieldIndicesOutsideTheirMesh) {
    const std::string valid = document({kQuad, kTriangle});
    for (std::size_t at = 0; at < valid.size(); at += 23) {
        ImportedMeshes out;
        if (importText(valid.substr(0, at), out)) expectIndicesInRange(out);
        for (const char* r : {"9", "-", "<", "\"", " ", "99999999"})
            if (importText(std::string(valid).replace(at, 1, r), out = ImportedMeshes{})) expectIndicesInRange(out);
    }
}

// Files that ended the process inside Assimp (its reader asserts) or made it
// read past an array. Each import runs in a child, so a missing guard fails
// the test, not the run; files that agree with themselves still import.
TEST(MeshImport, ThePreCheckRefusesWhatAssimpWouldMisread) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto replaced = [](std::string text, const char* from, const char* to) { return text.replace(text.find(from), std::strlen(from), to); };
    const std::string refused[] = {
        replaced(kSquare, "count=\"4\"", "count=\"5\""),    // an accessor one element past its array
        replaced(kSquare, "count=\"12\"", "count=\"13\""),  // an array with fewer values than its count
        square(element("triangles", 10, "\n p>\n")),      // a list that lost its "<"
        square(element("triangles", 2, "")), square(element("triangles", 1, "<p>0 1 2</p><p>1 3 2</p>")),
        square(element("triangles", 1, "<extra><p>0 1 2</p></extra><p>0 1 2</p>")),
        square(element("triangles", 1, "<!-- <p>0 1 2</p> -->")), square(element("triangles", 1, "<![CDATA[<p>0 1 2</p>]]>")),
        square(element("polylist", 1, "<vcount>3</vcount>")), square(element("polygons", 2, "<p>0 1 2</p>")),
    };
    for (const std::string& text : refused) {
        EXPECT_FALSE(colladaLooksSound(text.data(), text.size())) << text;
        EXPECT_EXIT(std::_Exit(importText(text, *new ImportedMeshes) ? 1 : 0), ::testing::ExitedWithCode(0), "") << text;
    }
    // Index lists in CDATA make Assimp's reader grow without bound: only the pre-check runs.
    const std::string hidden = square(element("triangles", 1, "<p><![CDATA[a b c]]></p>"));
    EXPECT_FALSE(colladaLooksSound(hidden.data(), hidden.size()));
    for (const std::string& text : {kSquare, square(element("polylist", 2, "<vcount>3 3</vcount><p>0 1 2 1 3 2</p>")),
                                    square(element("polygons", 2, "<p>0 1 2</p><p>1 3 2</p>")), square("<!-- 2 -->" + element("triangles", 2, "<p>0 1 2 1 3 2</p>"))}) {
        ImportedMeshes out;
        EXPECT_TRUE(importText(text, out) && out.meshes.size() == 1 && out.meshes[0].faceCount == 2) << text;
    }
}

// The grass importer: (trunc(c) + 100) mod period, the remainder keeping the
// dividend's sign, and a finite answer where truncation cannot work.
TEST(MeshImport, GrassTextureCoordinatesComeFromThePositions) {
    const float inf = INFINITY;
    const std::pair<float, float> cases[] = {{950.7f, 2}, {-150.2f, -50}, {-99.9f, 1}, {0.5f, 100}, {-1200, -52},
                                             {3e9f, 747}, {-3e9f, -548}, {inf, 747}, {-inf, -548}, {NAN, 100}};
    for (const auto& [coordinate, u] : cases) EXPECT_EQ(positionTexCoord(coordinate, 1048), u) << coordinate;
    ImportedMeshes got;
    ASSERT_TRUE(importText(document({kTriangle}), got, UvSource::Position));
    for (const Vertex& v : got.meshes[0].vertices)
        EXPECT_EQ(glm::vec2(v.uv[0], v.uv[1]), glm::vec2(positionTexCoord(v.position[0], 1048), positionTexCoord(v.position[1], 696)));
}

}  // namespace
