// The height-map capture in a real context: synthetic landscapes give known
// heights at known texels, the bitmap and the console dump, the state left
// behind; and on the real torte every cake and the phantom can be walked to.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <queue>
#include <sstream>
#include <string>
#include <vector>

#include "game/scene.h"
#include "render/game_programs.h"
#include "render/height_capture.h"
#include "render/model.h"
#include "render/scene_models.h"
#include "render/shader_program.h"
#include "world/height_map.h"
#include "tests/gl/gl_test_view.h"
#include "tests/support/scratch_files.h"

namespace {

struct Slab {
    float x0, x1, z0, z1, height;
};

// Level rectangles facing up, in world coordinates (the landscape object is
// left at the identity), all in one mesh in the order given.
void buildSlabs(Model& model, const std::vector<Slab>& slabs) {
    std::vector<Vertex> vertices;
    for (const Slab& s : slabs) {
        // Counter-clockwise seen from above (+y).
        const float corners[6][2] = {{s.x0, s.z1}, {s.x1, s.z1}, {s.x1, s.z0},
                                     {s.x0, s.z1}, {s.x1, s.z0}, {s.x0, s.z0}};
        for (const auto& c : corners) {
            Vertex v{};
            v.position[0] = c[0];
            v.position[1] = s.height;
            v.position[2] = c[1];
            v.position[3] = 1.0f;
            v.normal[1] = 1.0f;
            vertices.push_back(v);
        }
    }
    std::vector<std::uint32_t> indices(vertices.size());
    for (std::uint32_t i = 0; i < indices.size(); ++i) indices[i] = i;
    GLuint vao = 0, buffers[2] = {0, 0};
    glGenVertexArrays(1, &vao);
    glGenBuffers(2, buffers);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(Vertex) * vertices.size()), vertices.data(),
                 GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<const void*>(12));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(4 * indices.size()), indices.data(),
                 GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    model.meshCount = 1;
    model.faceCounts.push_back(static_cast<std::uint32_t>(vertices.size() / 3));
    model.vertexArrays.push_back(vao);
    model.vertexBuffers.push_back(buffers[0]);
    model.indexBuffers.push_back(buffers[1]);
}

float texel(const HeightMap& map, int row, int column) {
    return map.values[static_cast<std::size_t>(row) * kHeightMapSize + static_cast<std::size_t>(column)];
}

GLint integerState(GLenum name) {
    GLint value = -99;
    glGetIntegerv(name, &value);
    return value;
}

std::vector<unsigned char> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs each capture in a scratch folder (terrain.bmp lands there) that sees
// the game's Shaders and Models.
class HeightCapture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(scratch.enter(true));
        glViewport(0, 0, 1200, 1000);
        terrain = loadShaderProgram("Shaders/terrain");
        ASSERT_NE(terrain.program, 0u);
        glBindFragDataLocation(terrain.program, 0, "out_color");
        relinkShaderProgram(terrain);
        map.values.assign(map.values.size(), -77.0f);
    }
    void TearDown() override {
        releaseModel(landscape);
        destroyShaderProgram(terrain);
        scratch.leave();
    }
    void capture() {
        ::testing::internal::CaptureStdout();
        captureHeightMap(map, object, landscape, terrain);
        dump = ::testing::internal::GetCapturedStdout();
    }

    ScratchDirectory scratch;
    ShaderProgram terrain;
    Model landscape;
    SceneObject object;
    HeightMap map;
    std::string dump;
};

TEST_F(HeightCapture, FlatLandscapeFillsTheRowsItCoversAndTheBitmap) {
    buildSlabs(landscape, {{-400.0f, 520.0f, -420.0f, 420.0f, 10.0f}});
    capture();
    int wrongCovered = 0, wrongUncovered = 0;
    for (int row = 0; row < kHeightMapSize; ++row)
        for (int column = 0; column < kHeightMapSize; ++column) {
            float h = texel(map, row, column);
            // Interpolating the same height across a triangle may miss it in the last bit.
            if (row < 1000 && std::abs(h - 10.0f) > 1e-4f) ++wrongCovered;
            if (row >= 1000 && h != 0.0f) ++wrongUncovered;
        }
    EXPECT_EQ(wrongCovered, 0);
    EXPECT_EQ(wrongUncovered, 0);

    std::vector<unsigned char> bitmap = readFile("terrain.bmp");
    ASSERT_EQ(bitmap.size(), 3145782u);
    EXPECT_EQ(bitmap[0], 'B');
    EXPECT_EQ(bitmap[1], 'M');
    EXPECT_EQ(bitmap[10], 54);
    EXPECT_EQ(bitmap[54], 8);                                // row 0: trunc(8.5)
    EXPECT_EQ(bitmap[54 + 3 * (999 * 1024 + 1023) + 2], 8);  // last covered row
    EXPECT_EQ(bitmap[54 + 3 * (1000 * 1024)], 0);            // never drawn

    // The console dump: elements 600000 to 600999, one line each.
    std::istringstream lines(dump);
    std::string line;
    int count = 0;
    const std::string prefix = "heightmap inhalt: ";
    while (std::getline(lines, line)) {
        ASSERT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
        EXPECT_NEAR(std::stof(line.substr(prefix.size())), 10.0f, 1e-4f) << line;
        ++count;
    }
    EXPECT_EQ(count, 1000);
}

TEST_F(HeightCapture, HeightsLandWhereTheLookUpReadsThem) {
    buildSlabs(landscape, {{100.0f, 120.0f, -60.0f, -40.0f, 50.0f}, {-200.0f, -180.0f, 150.0f, 170.0f, -1.5f}});
    capture();
    EXPECT_NEAR(heightAt(map, 110.0f, -50.0f), 50.0f, 1e-3f);
    EXPECT_EQ(heightAt(map, 90.0f, -50.0f), 0.0f);
    EXPECT_EQ(heightAt(map, 110.0f, -30.0f), 0.0f);
    EXPECT_NEAR(heightAt(map, -190.0f, 160.0f), -1.5f, 1e-3f);
    // Inside the block the ground is flat and walkable; on its rim it is a wall.
    EXPECT_TRUE(isPassable(map, 110.0f, -50.0f));
    EXPECT_FALSE(isPassable(map, 100.5f, -50.0f));
}

TEST_F(HeightCapture, GeometryDoesNotFollowAWindowResizedBeforeIt) {
    buildSlabs(landscape, {{100.0f, 120.0f, -60.0f, -40.0f, 50.0f}});
    glViewport(0, 0, 800, 600);
    capture();
    EXPECT_NEAR(heightAt(map, 110.0f, -50.0f), 50.0f, 1e-3f);
    EXPECT_EQ(heightAt(map, 90.0f, -50.0f), 0.0f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
}

TEST_F(HeightCapture, HighestSurfaceWinsWhereTheLandscapeOverlapsItself) {
    // A tier top drawn before the wide ground below it.
    buildSlabs(landscape, {{-20.0f, 20.0f, -20.0f, 20.0f, 40.0f}, {-300.0f, 300.0f, -300.0f, 300.0f, 5.0f}});
    capture();
    EXPECT_NEAR(heightAt(map, 0.0f, 0.0f), 40.0f, 1e-3f);
    EXPECT_NEAR(heightAt(map, 100.0f, 0.0f), 5.0f, 1e-3f);
}

TEST_F(HeightCapture, UnwritableBitmapStillFillsTheMap) {
    ASSERT_EQ(mkdir("terrain.bmp", 0755), 0);  // cannot be opened as a file, even by root
    buildSlabs(landscape, {{-400.0f, 520.0f, -420.0f, 420.0f, 10.0f}});
    capture();
    EXPECT_NEAR(texel(map, 0, 0), 10.0f, 1e-4f);
    EXPECT_NEAR(texel(map, 500, 700), 10.0f, 1e-4f);
    EXPECT_EQ(texel(map, 1010, 700), 0.0f);
    struct stat info {};
    ASSERT_EQ(stat("terrain.bmp", &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

// Which textures, framebuffers and renderbuffers exist among the low names.
std::vector<bool> existingObjects() {
    std::vector<bool> exists;
    for (GLuint name = 1; name <= 256; ++name) {
        exists.push_back(glIsTexture(name) == GL_TRUE);
        exists.push_back(glIsFramebuffer(name) == GL_TRUE);
        exists.push_back(glIsRenderbuffer(name) == GL_TRUE);
    }
    return exists;
}

TEST_F(HeightCapture, LeavesTheWindowReadyAndNoObjectBehind) {
    buildSlabs(landscape, {{-400.0f, 520.0f, -420.0f, 420.0f, 10.0f}});
    const std::vector<bool> before = existingObjects();
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);  // uncovered texels still read 0
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_DEPTH_TEST);
    capture();
    EXPECT_EQ(texel(map, 1020, 3), 0.0f);
    EXPECT_EQ(integerState(GL_DRAW_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(integerState(GL_RENDERBUFFER_BINDING), 0);
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_CULL_FACE), GL_TRUE);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[2], 1.0f);
    // The heights live in main memory now: the capture's texture, target
    // and framebuffer are all gone.
    EXPECT_EQ(existingObjects(), before);
}

// Walking on the real torte: from the heroine's start, over a grid finer than
// the texels, every cake's pick-up square and the phantom are reachable.
TEST_F(HeightCapture, EveryCakeAndThePhantomCanBeWalkedTo) {
    ShaderProgram texture = loadShaderProgram("Shaders/texture");
    ASSERT_NE(texture.program, 0u);
    ShaderProgram other = loadShaderProgram("Shaders/phongphong");
    // The models only need attribute locations: the plain program stands in
    // for every program but the textured one.
    GamePrograms programs;
    programs.litTextured = texture;
    programs.litPlain = programs.seeThrough = programs.overlay = other;
    static SceneModels models;
    static Scene scene;
    ::testing::internal::CaptureStdout();
    loadSceneModels(models, programs);
    populateScene(scene, sceneBoundsOf(models), testWindowView());
    ::testing::internal::GetCapturedStdout();
    ASSERT_GT(models.torte.meshCount, 0u) << "Models/torte.dae must be generated";
    captureHeightMap(map, scene.torte, models.torte, terrain);

    const float step = 0.5f;
    const int cells = static_cast<int>(2 * worldRadius / step) + 3;
    auto cellOf = [&](float v) { return static_cast<int>(std::lround((v + worldRadius) / step)) + 1; };
    auto worldOf = [&](int c) { return (c - 1) * step - worldRadius; };
    std::vector<char> reached(static_cast<std::size_t>(cells) * cells, 0);
    std::queue<std::pair<int, int>> open;
    int startX = cellOf(0.0f), startZ = cellOf(300.0f);
    ASSERT_TRUE(isPassable(map, worldOf(startX), worldOf(startZ))) << "the heroine must be able to stand at her start";
    reached[static_cast<std::size_t>(startZ) * cells + startX] = 1;
    open.push({startX, startZ});
    while (!open.empty()) {
        auto [cx, cz] = open.front();
        open.pop();
        const int moves[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& m : moves) {
            int nx = cx + m[0], nz = cz + m[1];
            if (nx < 0 || nz < 0 || nx >= cells || nz >= cells) continue;
            char& seen = reached[static_cast<std::size_t>(nz) * cells + nx];
            if (seen || !isPassable(map, worldOf(nx), worldOf(nz))) continue;
            seen = 1;
            open.push({nx, nz});
        }
    }
    auto reachedNear = [&](float x, float z) {
        for (int cz = cellOf(z - 1.9f); cz <= cellOf(z + 1.9f); ++cz)
            for (int cx = cellOf(x - 1.9f); cx <= cellOf(x + 1.9f); ++cx)
                if (cx >= 0 && cz >= 0 && cx < cells && cz < cells &&
                    reached[static_cast<std::size_t>(cz) * cells + cx])
                    return true;
        return false;
    };
    for (int k = 0; k < kCakeCount; ++k) {
        glm::vec3 cake = scene.cakes[k].worldPosition();
        EXPECT_TRUE(reachedNear(cake.x, cake.z)) << "cake " << k << " at " << cake.x << ", " << cake.z
                                                 << " (ground " << heightAt(map, cake.x, cake.z) << ")";
    }
    EXPECT_TRUE(reachedNear(51.0f, -4.0f)) << "phantom";

    // The tiers are walls: somewhere inside the play area the ground is too steep.
    int walls = 0;
    for (float r = 0.0f; r < 330.0f; r += 0.5f)
        if (!isPassable(map, 0.0f, r)) ++walls;
    EXPECT_GT(walls, 0);
    releaseSceneModels(models);
    destroyShaderProgram(texture);
    destroyShaderProgram(other);
}

}  // namespace
