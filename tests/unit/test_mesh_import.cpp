// Mesh import without GL from small COLLADA texts: vertex layout, bounds, triangulation, grass texture
// coordinates, and the pre-check that refuses what Assimp would misread or crash on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <glm/gtc/type_ptr.hpp>

#include "render/collada_check.h"
#include "render/mesh_import.h"
#include "tests/support/glm_print.h"
#include "tests/support/scratch_files.h"

namespace {

std::string input(const std::string& semantic, const std::string& id) {
    return "<input semantic=\"" + semantic + "\" source=\"#" + id + "\" offset=\"0\"/>";
}

std::string source(const std::string& id, const std::string& values, int count, const std::string& names) {
    std::string params, stride = std::to_string(names.size()), size = std::to_string(count * names.size());
    for (char name : names) params += std::string("<param name=\"") + name + "\" type=\"float\"/>";  // "XYZ", "ST"
    return "<source id=\"" + id + "\"><float_array id=\"" + id + "-a\" count=\"" + size + "\">" + values +
           "</float_array><technique_common><accessor source=\"#" + id + "-a\" count=\"" + std::to_string(count) +
           "\" stride=\"" + stride + "\">" + params + "</accessor></technique_common></source>";
}

std::string element(const std::string& tag, int count, const std::string& inside, const std::string& id = "g") {
    return "<" + tag + " count=\"" + std::to_string(count) + "\">" + input("VERTEX", id + "-v") + inside + "</" + tag +
           ">";
}

// Geometries of {id, positions, position count, elements, more sources}, each in a node.
std::string document(const std::vector<std::vector<std::string>>& geometries) {
    std::string text =
        "<?xml version=\"1.0\"?><COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" "
        "version=\"1.4.1\"><library_geometries>";
    std::string nodes;
    for (const auto& g : geometries) {
        text += "<geometry id=\"" + g[0] + "\"><mesh>" + source(g[0] + "-p", g[1], std::stoi(g[2]), "XYZ") + g[4] +
                "<vertices id=\"" + g[0] + "-v\">" + input("POSITION", g[0] + "-p") + "</vertices>" + g[3] +
                "</mesh></geometry>";
        nodes += "<node id=\"n" + g[0] + "\"><instance_geometry url=\"#" + g[0] + "\"/></node>";
    }
    return text + "</library_geometries><library_visual_scenes><visual_scene id=\"s\">" + nodes +
           "</visual_scene></library_visual_scenes><scene><instance_visual_scene url=\"#s\"/></scene></COLLADA>";
}

std::string square(const std::string& e) { return document({{"g", "0 0 0 1 0 0 0 1 0 1 1 0", "4", e, ""}}); }
const std::string kSquare = square(element("triangles", 2, "<p>0 1 2 1 3 2</p>"));
const glm::vec3 kDefaultColour(0.25f, 0.5f, 0.75f);

bool importText(const std::string& text, ImportedMeshes& out) {
    return importMeshesFromMemory(text.data(), text.size(), "dae", kDefaultColour, UvSource::File, out);
}

// A quad with normals, a triangle with colours and texture coordinates, a triangle, line, quad and point.
TEST(MeshImport, MeshesKeepTheirOwnDataShareOneBoundsAndCountOnlyTriangles) {
    TempFile file(
        document({{"q", "1 0 0 3 0 0 3 2 -1 1 2 -1", "4",
                   element("polylist", 1,
                           input("NORMAL", "n") + "<vcount>4</vcount>"
                                                  "<p>0 1 2 3</p>",
                           "q"),
                   source("n", "0 0 1 0 0 1 0 0 1 0 0 1", 4, "XYZ")},
                  {"t", "5 5 5 6 5 5 5 7 4", "3",
                   element("triangles", 1, input("COLOR", "c") + input("TEXCOORD", "u") + "<p>0 1 2</p>", "t"),
                   source("c", "1 0 0 0 1 0 0 0 1", 3, "RGB") + source("u", "0 0 .75 .5 0 0", 3, "ST")},
                  {"m", "0 0 0 1 0 0 1 1 0 0 1 0 2 0 0 2 1 0 3 3 3", "7",
                   element("polylist", 4, "<vcount>3 2 4 1</vcount><p>0 1 2 4 5 0 1 2 3 6</p>", "m"), ""}}));
    ImportedMeshes got;
    ASSERT_TRUE(importMeshes(file.path(), kDefaultColour, UvSource::File, got));
    ASSERT_EQ(got.meshes.size(), 3u);
    glm::vec3 colours(0.0f), normals(0.0f);
    glm::vec2 uvs(0.0f);
    for (const MeshData& mesh : got.meshes) {
        SCOPED_TRACE(testing::Message() << "mesh " << &mesh - got.meshes.data());
        EXPECT_EQ(mesh.indices.size(), 3 * mesh.faceCount);
        EXPECT_EQ(mesh.vertices.size(), mesh.vertexCount);
        for (std::uint32_t index : mesh.indices) EXPECT_LT(index, mesh.vertexCount);
        for (const Vertex& v : mesh.vertices) {
            EXPECT_EQ(v.position[3], 1.0f);
            EXPECT_EQ(std::count(v.unused, v.unused + 6, 0.0f), 6);
            normals += glm::make_vec3(v.normal);  // none in the file: zero, never garbage
            colours += glm::make_vec3(v.colour);
            uvs += glm::make_vec2(v.uv);
        }
    }
    EXPECT_EQ(got.meshes[0].faceCount, 2u);  // the quad arrives as two triangles
    EXPECT_EQ(got.meshes[0].vertexCount, 4u);
    EXPECT_EQ(got.meshes[1].vertexCount, 3u);
    EXPECT_EQ(got.meshes[2].faceCount, 3u);  // the triangle and the quad; the line and the point are dropped
    EXPECT_EQ(normals, glm::vec3(0, 0, 4));
    EXPECT_EQ(colours, (4.0f + got.meshes[2].vertexCount) * kDefaultColour + glm::vec3(1.0f));  // or the file's own
    EXPECT_EQ(uvs, glm::vec2(0.75f, 0.5f));
    EXPECT_EQ(got.bounds.min, glm::vec3(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(got.bounds.max, glm::vec3(6.0f, 7.0f, 5.0f));
}

// Imports in a child process, so a missing guard fails the test instead of ending the run; the child
// exits 0 when the import refused the text, 1 when it accepted it.
void expectRefusedWithoutCrash(const std::string& text) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(importText(text, *new ImportedMeshes) ? 1 : 0), ::testing::ExitedWithCode(0), "");
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string nested(const std::string& tag, int depth) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<" + tag + ">";
        close = "</" + tag + ">" + close;
    }
    return open + close;
}

// Each row breaks one thing Assimp relies on without checking: it read past arrays, indexed before its index
// list, looped for ever or ended the process on these. The pre-check names the rule that refuses the text.
TEST(MeshImport, ThePreCheckRefusesWhatAssimpWouldMisread) {
    const std::string names =
        "<source id=\"nm\"><Name_array id=\"nm-a\" count=\"3\">a b c</Name_array>"
        "<technique_common><accessor source=\"#nm-a\" count=\"3\"/></technique_common></source>";
    const struct {
        const char* name;
        std::string text;
        ColladaFault fault;
    } rows[] = {
        {"not XML", replaced(kSquare, "</mesh>", "</mesch>"), ColladaFault::NotXml},
        {"empty", "", ColladaFault::NotXml},
        {"another root", replaced(replaced(kSquare, "<COLLADA", "<COLLADO"), "</COLLADA>", "</COLLADO>"),
         ColladaFault::NotCollada},
        {"nested 300 deep", replaced(kSquare, "</library_geometries>", nested("extra", 300) + "</library_geometries>"),
         ColladaFault::TooDeep},
        {"array shorter than its count", replaced(kSquare, "count=\"12\"", "count=\"13\""), ColladaFault::ArrayShort},
        {"accessor one element past its array", replaced(kSquare, "count=\"4\"", "count=\"5\""),
         ColladaFault::AccessorOutside},
        {"accessor with a negative count", replaced(kSquare, "count=\"4\"", "count=\"-1\""),
         ColladaFault::AccessorOutside},
        {"VERTEX semantic misspelled", replaced(kSquare, "semantic=\"VERTEX\"", "semantik=\"VERTEX\""),
         ColladaFault::InputUnresolved},
        {"input source misspelled", replaced(kSquare, "\" source=\"#g-v\"", "\" sourc=\"#g-v\""),
         ColladaFault::InputUnresolved},
        {"input source elsewhere", replaced(kSquare, "source=\"#g-v\"", "source=\"#other.dae#g-v\""),
         ColladaFault::InputUnresolved},
        {"normals read from names",
         replaced(square(element("triangles", 2, input("NORMAL", "nm") + "<p>0 1 2 1 3 2</p>")), "<vertices",
                  names + "<vertices"),
         ColladaFault::InputUnresolved},
        {"one id twice", replaced(kSquare, "</mesh>", "<extra id=\"g-p\"/></mesh>"), ColladaFault::InputUnresolved},
        {"input offset past 32 bits", replaced(kSquare, "#g-v\" offset=\"0\"", "#g-v\" offset=\"4294967296\""),
         ColladaFault::OffsetAbsurd},
        {"index list with words", square(element("triangles", 1, "<p>0 1 two</p>")), ColladaFault::IndicesNotIntegers},
        {"index list in CDATA with words", square(element("triangles", 1, "<p><![CDATA[a b c]]></p>")),
         ColladaFault::IndicesNotIntegers},
        {"polygon of no corners", square(element("polylist", 1, "<vcount>0</vcount><p></p>")),
         ColladaFault::IndicesNotIntegers},
        {"a list that lost its <", square(element("triangles", 10, "\n p>\n")), ColladaFault::CountDisagrees},
        {"triangles without a list", square(element("triangles", 2, "")), ColladaFault::CountDisagrees},
        {"triangles in two lists", square(element("triangles", 1, "<p>0 1 2</p><p>1 3 2</p>")),
         ColladaFault::CountDisagrees},
        {"a second list inside <extra>", square(element("triangles", 1, "<extra><p>0 1 2</p></extra><p>0 1 2</p>")),
         ColladaFault::CountDisagrees},
        {"the only list in a comment", square(element("triangles", 1, "<!-- <p>0 1 2</p> -->")),
         ColladaFault::CountDisagrees},
        {"the only list in CDATA", square(element("triangles", 1, "<![CDATA[<p>0 1 2</p>]]>")),
         ColladaFault::CountDisagrees},
        {"polylist without sizes", square(element("polylist", 1, "<vcount>3</vcount>")), ColladaFault::CountDisagrees},
        {"polygons fewer than counted", square(element("polygons", 2, "<p>0 1 2</p>")), ColladaFault::CountDisagrees},
        {"primitive list without VERTEX",
         square("<triangles count=\"2\">" + input("NORMAL", "g-p") + "<p>0 1 2 1 3 2</p></triangles>"),
         ColladaFault::VertexInputMissing},
        {"vertices without POSITION", replaced(kSquare, "semantic=\"POSITION\"", "semantic=\"NORMAL\""),
         ColladaFault::VertexInputMissing},
        {"triangle strip of two corners", square(element("tristrips", 1, "<p>0 1</p>")), ColladaFault::StripTooShort},
        {"triangle fan with count 0", square(element("trifans", 0, "<p>0 1 2</p>")), ColladaFault::StripTooShort},
        {"line strip of one corner", square(element("linestrips", 1, "<p>0</p>")), ColladaFault::StripTooShort},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(colladaFaultName(checkCollada(row.text.data(), row.text.size())), colladaFaultName(row.fault));
        expectRefusedWithoutCrash(row.text);
    }
}

// Every input that ever crashed the import, kept from fuzzing: refused, and the process lives on.
TEST(MeshImport, EveryInputThatOnceCrashedTheImportIsRefused) {
    const std::filesystem::path folder = "tests/fuzz/regressions";
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << "run the tests from the repository root";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dae") continue;
        SCOPED_TRACE(entry.path().string());
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_NE(colladaFaultName(checkCollada(text.data(), text.size())), colladaFaultName(ColladaFault::Sound));
        expectRefusedWithoutCrash(text);
        ++files;
    }
    EXPECT_GT(files, 0);
}

// What is sound imports: polygons one per list, comments anywhere, the game's own layout.
TEST(MeshImport, ThePreCheckPassesSoundDocuments) {
    const struct {
        const char* name;
        std::string text;
        std::uint32_t faces;
    } rows[] = {
        {"two triangles", kSquare, 2},
        {"polygons one per list", square(element("polygons", 2, "<p>0 1 2</p><p>1 3 2</p>")), 2},
        {"a comment before the list", square("<!-- 2 -->" + element("triangles", 2, "<p>0 1 2 1 3 2</p>")), 2},
        {"a triangle strip", square(element("tristrips", 1, "<p>0 1 2 3</p>")), 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(colladaFaultName(checkCollada(row.text.data(), row.text.size())),
                  colladaFaultName(ColladaFault::Sound));
        ImportedMeshes out;
        ASSERT_TRUE(importText(row.text, out));
        ASSERT_EQ(out.meshes.size(), 1u);
        EXPECT_EQ(out.meshes[0].faceCount, row.faces);
    }
}

// The grass importer's (trunc(c) + 100) mod period keeps the dividend's sign and is finite where trunc is not.
TEST(MeshImport, GrassTextureCoordinatesComeFromThePositions) {
    const std::pair<float, float> cases[] = {{950.7f, 2},   {-99.9f, 1},     {-1200, -52},      {3e9f, 747},
                                             {-3e9f, -548}, {INFINITY, 747}, {-INFINITY, -548}, {NAN, 100}};
    for (const auto& [coordinate, u] : cases) EXPECT_EQ(positionTexCoord(coordinate, 1048), u) << coordinate;
}

}  // namespace
