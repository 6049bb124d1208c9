// Mesh import without GL: small COLLADA files written here exercise the
// vertex layout, bounds, triangulation, the grass texture coordinates and
// every kind of broken input.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "render/mesh_import.h"
#include "tests/support/scratch_files.h"

namespace {

const glm::vec3 kDefaultColour(0.25f, 0.5f, 0.75f);

std::string positionsSource(const std::string& id, const std::vector<float>& xyz) {
    std::string values;
    for (float f : xyz) values += (values.empty() ? "" : " ") + std::to_string(f);
    return "<source id=\"" + id + "\"><float_array id=\"" + id + "-a\" count=\"" + std::to_string(xyz.size()) +
           "\">" + values + "</float_array><technique_common><accessor source=\"#" + id + "-a\" count=\"" +
           std::to_string(xyz.size() / 3) +
           "\" stride=\"3\"><param name=\"X\" type=\"float\"/><param name=\"Y\" type=\"float\"/>"
           "<param name=\"Z\" type=\"float\"/></accessor></technique_common></source>";
}

// names: one letter per component, as COLLADA accessors name them ("XYZ", "ST", "RGB").
std::string source(const std::string& id, const std::string& values, int count, const std::string& names) {
    const int stride = static_cast<int>(names.size());
    std::string params;
    for (char name : names) params += std::string("<param name=\"") + name + "\" type=\"float\"/>";
    return "<source id=\"" + id + "\"><float_array id=\"" + id + "-a\" count=\"" + std::to_string(count * stride) +
           "\">" + values + "</float_array><technique_common><accessor source=\"#" + id + "-a\" count=\"" +
           std::to_string(count) + "\" stride=\"" + std::to_string(stride) + "\">" + params +
           "</accessor></technique_common></source>";
}

std::string document(const std::string& geometries, const std::vector<std::string>& geometryIds) {
    std::string nodes;
    for (const std::string& id : geometryIds) {
        nodes += "<node id=\"n" + id + "\"><instance_geometry url=\"#" + id + "\"/></node>";
    }
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
           "<asset><unit name=\"meter\" meter=\"1\"/><up_axis>Y_UP</up_axis></asset>\n"
           "<library_geometries>" +
           geometries +
           "</library_geometries>\n"
           "<library_visual_scenes><visual_scene id=\"s\">" +
           nodes +
           "</visual_scene></library_visual_scenes>\n"
           "<scene><instance_visual_scene url=\"#s\"/></scene>\n</COLLADA>\n";
}

// A quad (one polygon) lying at positive x, with normals, no colours, no UVs.
std::string quadGeometry() {
    return "<geometry id=\"quad\"><mesh>" + positionsSource("quad-p", {1, 0, 0, 3, 0, 0, 3, 2, -1, 1, 2, -1}) +
           source("quad-n", "0 0 1 0 0 1 0 0 1 0 0 1", 4, "XYZ") +
           "<vertices id=\"quad-v\"><input semantic=\"POSITION\" source=\"#quad-p\"/></vertices>"
           "<polylist count=\"1\"><input semantic=\"VERTEX\" source=\"#quad-v\" offset=\"0\"/>"
           "<input semantic=\"NORMAL\" source=\"#quad-n\" offset=\"0\"/><vcount>4</vcount><p>0 1 2 3</p></polylist>"
           "</mesh></geometry>";
}

// One triangle with colours and texture coordinates but no normals.
std::string colouredGeometry() {
    return "<geometry id=\"tri\"><mesh>" + positionsSource("tri-p", {5, 5, 5, 6, 5, 5, 5, 7, 4}) +
           source("tri-c", "1 0 0 0 1 0 0 0 1", 3, "RGB") + source("tri-t", "0.25 0.5 0.75 0.5 0.5 1", 3, "ST") +
           "<vertices id=\"tri-v\"><input semantic=\"POSITION\" source=\"#tri-p\"/></vertices>"
           "<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#tri-v\" offset=\"0\"/>"
           "<input semantic=\"COLOR\" source=\"#tri-c\" offset=\"0\" set=\"0\"/>"
           "<input semantic=\"TEXCOORD\" source=\"#tri-t\" offset=\"0\" set=\"0\"/><p>0 1 2</p></triangles>"
           "</mesh></geometry>";
}

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
    TempFile file(document(quadGeometry() + colouredGeometry(), {"quad", "tri"}));
    ImportedMeshes imported;
    ASSERT_TRUE(importMeshes(file.path(), kDefaultColour, UvSource::File, imported));
    ASSERT_EQ(imported.meshes.size(), 2u);

    const MeshData& quad = imported.meshes[0];
    EXPECT_EQ(quad.faceCount, 2u);  // the quad arrives as two triangles
    EXPECT_EQ(quad.vertexCount, 4u);
    for (const Vertex& v : quad.vertices) {
        EXPECT_FLOAT_EQ(v.normal[2], 1.0f);
        EXPECT_FLOAT_EQ(v.position[3], 1.0f);
        EXPECT_EQ(glm::vec3(v.colour[0], v.colour[1], v.colour[2]), kDefaultColour);
        EXPECT_EQ(v.uv[0], 0.0f);
        EXPECT_EQ(v.uv[1], 0.0f);
        for (float f : v.unused) EXPECT_EQ(f, 0.0f);
    }

    const MeshData& tri = imported.meshes[1];
    ASSERT_EQ(tri.vertexCount, 3u);
    float colourSum[3] = {0, 0, 0};
    for (const Vertex& v : tri.vertices) {
        EXPECT_EQ(v.normal[0], 0.0f);  // no normals in the file: zero, never garbage
        EXPECT_EQ(v.normal[1], 0.0f);
        EXPECT_EQ(v.normal[2], 0.0f);
        for (int k = 0; k < 3; ++k) colourSum[k] += v.colour[k];
        if (v.position[0] == 6.0f) {
            EXPECT_FLOAT_EQ(v.uv[0], 0.75f);
            EXPECT_FLOAT_EQ(v.uv[1], 0.5f);
        }
        for (float f : v.unused) EXPECT_EQ(f, 0.0f);
    }
    EXPECT_FLOAT_EQ(colourSum[0], 1.0f);  // the file's colours, not the default
    EXPECT_FLOAT_EQ(colourSum[1], 1.0f);
    EXPECT_FLOAT_EQ(colourSum[2], 1.0f);

    // Bounds span exactly the positions of both meshes; all of them lie at x > 0.
    EXPECT_EQ(imported.bounds.min.x, 1.0f);
    EXPECT_EQ(imported.bounds.max.x, 6.0f);
    EXPECT_EQ(imported.bounds.min.y, 0.0f);
    EXPECT_EQ(imported.bounds.max.y, 7.0f);
    EXPECT_EQ(imported.bounds.min.z, -1.0f);
    EXPECT_EQ(imported.bounds.max.z, 5.0f);
    expectIndicesInRange(imported);
}

TEST(MeshImport, MemoryAndFileImportsAgree) {
    std::string text = document(quadGeometry() + colouredGeometry(), {"quad", "tri"});
    TempFile file(text);
    ImportedMeshes fromFile;
    ImportedMeshes fromMemory;
    ASSERT_TRUE(importMeshes(file.path(), kDefaultColour, UvSource::File, fromFile));
    ASSERT_TRUE(importText(text, fromMemory));
    ASSERT_EQ(fromFile.meshes.size(), fromMemory.meshes.size());
    for (std::size_t i = 0; i < fromFile.meshes.size(); ++i) {
        ASSERT_EQ(fromFile.meshes[i].vertexCount, fromMemory.meshes[i].vertexCount);
        EXPECT_EQ(fromFile.meshes[i].indices, fromMemory.meshes[i].indices);
        EXPECT_EQ(0, std::memcmp(fromFile.meshes[i].vertices.data(), fromMemory.meshes[i].vertices.data(),
                                 sizeof(Vertex) * fromFile.meshes[i].vertexCount));
    }
}

TEST(MeshImport, PointsAndLinesAreDroppedAndOnlyTrianglesCounted) {
    // One polygon list of a triangle, a line, a quad and a point, plus a
    // separate line list: triangulation leaves the line and point faces.
    std::string geometry =
        "<geometry id=\"mixed\"><mesh>" +
        positionsSource("m-p", {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, 0, 2, 1, 0, 3, 3, 3}) +
        "<vertices id=\"m-v\"><input semantic=\"POSITION\" source=\"#m-p\"/></vertices>"
        "<polylist count=\"4\"><input semantic=\"VERTEX\" source=\"#m-v\" offset=\"0\"/>"
        "<vcount>3 2 4 1</vcount><p>0 1 2 4 5 0 1 2 3 6</p></polylist>"
        "<lines count=\"2\"><input semantic=\"VERTEX\" source=\"#m-v\" offset=\"0\"/><p>0 1 2 3</p></lines>"
        "</mesh></geometry>";
    ImportedMeshes imported;
    ASSERT_TRUE(importText(document(geometry, {"mixed"}), imported));
    ASSERT_EQ(imported.meshes.size(), 2u);
    EXPECT_EQ(imported.meshes[0].faceCount, 3u);  // the triangle and the quad's two
    EXPECT_EQ(imported.meshes[1].faceCount, 0u);  // lines only
    expectIndicesInRange(imported);
}

TEST(MeshImport, UnreadableOrEmptyInputLeavesTheResultUntouched) {
    ImportedMeshes sentinel;
    sentinel.bounds.min.x = 42.0f;
    sentinel.meshes.resize(1);
    sentinel.meshes[0].faceCount = 7;

    auto expectUntouched = [](const ImportedMeshes& out) {
        EXPECT_EQ(out.bounds.min.x, 42.0f);
        ASSERT_EQ(out.meshes.size(), 1u);
        EXPECT_EQ(out.meshes[0].faceCount, 7u);
    };

    ImportedMeshes out = sentinel;
    EXPECT_FALSE(importMeshes("Models/no_such_model.dae", kDefaultColour, UvSource::File, out));
    expectUntouched(out);

    std::string garbage = "\x01\x02 not a model at all \xff\xfe";
    EXPECT_FALSE(importText(garbage, out));
    expectUntouched(out);

    std::string valid = document(quadGeometry(), {"quad"});
    EXPECT_FALSE(importText(valid.substr(0, valid.size() / 2), out));  // truncated XML
    expectUntouched(out);

    // A scene with a node but no geometry: Assimp would otherwise invent a
    // stand-in mesh for it.
    EXPECT_FALSE(importText(document("", {}), out));
    TempFile noMeshes(
        "<?xml version=\"1.0\"?><COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">"
        "<library_visual_scenes><visual_scene id=\"s\"><node id=\"empty\"/></visual_scene></library_visual_scenes>"
        "<scene><instance_visual_scene url=\"#s\"/></scene></COLLADA>");
    EXPECT_FALSE(importMeshes(noMeshes.path(), kDefaultColour, UvSource::File, out));
    expectUntouched(out);

    EXPECT_FALSE(importMeshesFromMemory(nullptr, 10, "dae", kDefaultColour, UvSource::File, out));
    EXPECT_FALSE(importMeshesFromMemory(valid.data(), 0, "dae", kDefaultColour, UvSource::File, out));
    EXPECT_FALSE(importMeshes(nullptr, kDefaultColour, UvSource::File, out));
    expectUntouched(out);
}

// Every prefix of a valid file and a family of corrupted copies: the import
// either fails cleanly or yields meshes whose indices all name real vertices.
TEST(MeshImport, DamagedFilesNeverYieldIndicesOutsideTheirMesh) {
    const std::string valid = document(quadGeometry() + colouredGeometry(), {"quad", "tri"});
    for (std::size_t length = 0; length < valid.size(); length += 23) {
        ImportedMeshes out;
        if (importText(valid.substr(0, length), out)) expectIndicesInRange(out);
    }
    const std::string replacements[] = {"9", "-", "<", "\"", " ", "99999999"};
    for (std::size_t position = 0; position < valid.size(); position += 29) {
        for (const std::string& r : replacements) {
            std::string damaged = valid;
            damaged.replace(position, 1, r);
            ImportedMeshes out;
            if (importText(damaged, out)) expectIndicesInRange(out);
        }
    }
}

TEST(MeshImport, GrassTextureCoordinatesComeFromThePositions) {
    std::string geometry = "<geometry id=\"g\"><mesh>" +
                           positionsSource("g-p", {950.7f, 600.9f, 0, -150.2f, -30.5f, 0, 0.5f, -800.0f, 0}) +
                           source("g-t", "0.1 0.2 0.3 0.4 0.5 0.6", 3, "ST") +
                           "<vertices id=\"g-v\"><input semantic=\"POSITION\" source=\"#g-p\"/></vertices>"
                           "<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
                           "<input semantic=\"TEXCOORD\" source=\"#g-t\" offset=\"0\" set=\"0\"/><p>0 1 2</p>"
                           "</triangles></mesh></geometry>";
    ImportedMeshes imported;
    ASSERT_TRUE(importText(document(geometry, {"g"}), imported, UvSource::Position));
    ASSERT_EQ(imported.meshes.size(), 1u);
    int seen = 0;
    for (const Vertex& v : imported.meshes[0].vertices) {
        if (v.position[0] > 900.0f) {
            EXPECT_EQ(v.uv[0], 2.0f);  // (950 + 100) mod 1048
            EXPECT_EQ(v.uv[1], 4.0f);  // (600 + 100) mod 696
            ++seen;
        } else if (v.position[0] < -100.0f) {
            EXPECT_EQ(v.uv[0], -50.0f);  // (-150 + 100) keeps the dividend's sign
            EXPECT_EQ(v.uv[1], 70.0f);   // trunc(-30.5) = -30
            ++seen;
        } else {
            EXPECT_EQ(v.uv[0], 100.0f);   // trunc(0.5) = 0
            EXPECT_EQ(v.uv[1], -4.0f);   // (-800 + 100) mod 696, negative like its dividend
            ++seen;
        }
    }
    EXPECT_EQ(seen, 3);
}

TEST(MeshImport, PositionTexCoordSaturatesWhereTruncationCannot) {
    EXPECT_EQ(positionTexCoord(950.7f, 1048), 2.0f);
    EXPECT_EQ(positionTexCoord(-150.2f, 1048), -50.0f);
    EXPECT_EQ(positionTexCoord(-99.9f, 1048), 1.0f);  // trunc toward zero: -99
    // Outside the 32-bit range, infinities and NaN: a defined, finite answer.
    for (float f : {3e9f, -3e9f, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
        float u = positionTexCoord(f, 1048);
        EXPECT_TRUE(std::isfinite(u));
        EXPECT_LT(std::fabs(u), 1048.0f);
    }
}

}  // namespace
