// Model files that ended the whole process inside Assimp (its reader asserts,
// and Debian builds it with assertions on), found by fuzzing the import. The
// COLLADA pre-check must refuse each before Assimp reads it; the import runs
// in a child process so a missing guard fails the test, not the test run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "render/mesh_import.h"

namespace {

// A square of four positions and one primitive element built from them.
std::string squareDocument(const std::string& primitives) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
           "<library_geometries><geometry id=\"g\"><mesh>\n"
           "<source id=\"g-p\"><float_array id=\"g-p-a\" count=\"12\">0 0 0 1 0 0 0 1 0 1 1 0</float_array>\n"
           "<technique_common><accessor source=\"#g-p-a\" count=\"4\" stride=\"3\"><param name=\"X\" type=\"float\"/>"
           "<param name=\"Y\" type=\"float\"/><param name=\"Z\" type=\"float\"/></accessor></technique_common>"
           "</source>\n"
           "<vertices id=\"g-v\"><input semantic=\"POSITION\" source=\"#g-p\"/></vertices>\n" +
           primitives +
           "\n</mesh></geometry></library_geometries>\n"
           "<library_visual_scenes><visual_scene id=\"s\"><node id=\"n\"><instance_geometry url=\"#g\"/></node>"
           "</visual_scene></library_visual_scenes>\n"
           "<scene><instance_visual_scene url=\"#s\"/></scene>\n</COLLADA>\n";
}

const std::string kVertexInput = "<input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>";

std::string element(const std::string& tag, int count, const std::string& inside) {
    return "<" + tag + " count=\"" + std::to_string(count) + "\">" + kVertexInput + inside + "</" + tag + ">";
}

bool importsWithoutAbort(const std::string& text) {
    ImportedMeshes out;
    return importMeshesFromMemory(text.data(), text.size(), "dae", glm::vec3(1.0f), UvSource::File, out);
}

struct Case {
    const char* name;
    std::string text;
};

TEST(ImportRegressions, PrimitiveListsThatDisagreeWithTheirCountAreRefused) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    const Case cases[] = {
        // The fuzzer's find: a generated model whose <p> lost its "<".
        {"triangles, no list (stray text)", squareDocument(element("triangles", 10, "\n      p>\n"))},
        {"triangles, no list", squareDocument(element("triangles", 2, ""))},
        {"triangles, two lists", squareDocument(element("triangles", 1, "<p>0 1 2</p><p>1 3 2</p>"))},
        {"triangles, a list nested in <extra>",
         squareDocument(element("triangles", 1, "<extra><p>0 1 2</p></extra><p>0 1 2</p>"))},
        {"triangles, the only list commented out", squareDocument(element("triangles", 1, "<!-- <p>0 1 2</p> -->"))},
        // Text in a CDATA section is no element to the XML reader.
        {"triangles, the only list inside CDATA",
         squareDocument(element("triangles", 1, "<![CDATA[<p>0 1 2</p>]]>"))},
        {"polylist, no list", squareDocument(element("polylist", 1, "<vcount>3</vcount>"))},
        {"polygons, fewer lists than polygons", squareDocument(element("polygons", 2, "<p>0 1 2</p>"))},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(colladaLooksSound(c.text.data(), c.text.size())) << c.name;
        EXPECT_EXIT(std::_Exit(importsWithoutAbort(c.text) ? 1 : 0), ::testing::ExitedWithCode(0), "") << c.name;
    }
}

// The XML reader hands a CDATA section's text to Assimp's index reader,
// which grows without bound on anything but numbers; the plain-number check
// must not be bypassed that way. Only the pre-check runs here: the import
// itself would take all memory if the guard were missing.
TEST(ImportRegressions, IndexListsHiddenInCdataAreRefused) {
    const std::string text = squareDocument(element("triangles", 1, "<p><![CDATA[a b c]]></p>"));
    EXPECT_FALSE(colladaLooksSound(text.data(), text.size()));
}

TEST(ImportRegressions, PrimitiveListsThatAgreeStillImport) {
    const Case cases[] = {
        {"triangles", squareDocument(element("triangles", 2, "<p>0 1 2 1 3 2</p>"))},
        {"polylist", squareDocument(element("polylist", 2, "<vcount>3 3</vcount><p>0 1 2 1 3 2</p>"))},
        {"polygons", squareDocument(element("polygons", 2, "<p>0 1 2</p><p>1 3 2</p>"))},
        {"triangles beside a comment",
         squareDocument("<!-- two triangles -->" + element("triangles", 2, "<p>0 1 2 1 3 2</p>"))},
    };
    for (const Case& c : cases) {
        ImportedMeshes out;
        ASSERT_TRUE(importMeshesFromMemory(c.text.data(), c.text.size(), "dae", glm::vec3(1.0f), UvSource::File, out))
            << c.name;
        ASSERT_EQ(out.meshes.size(), 1u) << c.name;
        EXPECT_EQ(out.meshes[0].faceCount, 2u) << c.name;
    }
}

}  // namespace
