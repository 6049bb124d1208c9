// The height-map capture in a real context: level slabs give their heights
// where the game's look-up reads them, the highest surface wins, and the
// window's viewport and objects are as they were, even with terrain.bmp unwritable.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "game/scene.h"
#include "render/height_capture.h"
#include "render/model.h"
#include "tests/gl/gl_test_support.h"
#include "tests/support/scratch_files.h"

namespace {

struct Slab {
    float x0, x1, z0, z1, height;
};

// Level rectangles facing up, in world coordinates, in one mesh in the order given.
void buildSlabs(Model& model, const std::vector<Slab>& slabs) {
    std::vector<Vertex> vertices;
    for (const Slab& s : slabs)
        for (const auto& [x, z] : {std::pair{s.x0, s.z1}, {s.x1, s.z1}, {s.x1, s.z0}, {s.x0, s.z1}, {s.x1, s.z0},
                                   {s.x0, s.z0}}) {  // counter-clockwise seen from above
            Vertex v{};
            v.position[0] = x, v.position[1] = s.height, v.position[2] = z, v.position[3] = 1.0f;
            vertices.push_back(v);
        }
    GLuint vao = 0, buffers[2] = {0, 0};
    glGenVertexArrays(1, &vao);
    glGenBuffers(2, buffers);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(Vertex) * vertices.size()), vertices.data(),
                 GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, position)));
    std::vector<std::uint32_t> indices(vertices.size());
    for (std::uint32_t i = 0; i < indices.size(); ++i) indices[i] = i;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(4 * indices.size()), indices.data(),
                 GL_STATIC_DRAW);
    glBindVertexArray(0);
    model.meshCount = 1;
    model.faceCounts = {static_cast<std::uint32_t>(vertices.size() / 3)};
    model.vertexArrays = {vao};
    model.vertexBuffers = {buffers[0]};
    model.indexBuffers = {buffers[1]};
}

TEST(HeightCapture, HeightsLandWhereTheLookUpReadsThem) {
    ScratchDirectory scratch;
    ASSERT_NO_FATAL_FAILURE(scratch.enter(true));
    ShaderProgram terrain = loadBound("Shaders/terrain", "out_color");
    ASSERT_NE(terrain.program, 0u);
    Model landscape;
    // A tier top drawn before the wide ground under it, a block and a pit.
    buildSlabs(landscape, {{-20, 20, -20, 20, 40}, {-300, 300, -300, 300, 5}, {100, 120, -60, -40, 50},
                           {-335, -315, 0, 20, -1.5f}});
    ASSERT_EQ(mkdir("terrain.bmp", 0755), 0);  // the bitmap cannot be written, even by root
    const auto objects = [] {  // textures, framebuffers and renderbuffers among the low names
        std::vector<bool> exist;
        for (GLuint n = 1; n <= 256; ++n)
            exist.insert(exist.end(), {glIsTexture(n) == GL_TRUE, glIsFramebuffer(n) == GL_TRUE, glIsRenderbuffer(n) == GL_TRUE});
        return exist;
    };
    const std::vector<bool> before = objects();
    glViewport(0, 0, 800, 600);  // a window resized before: the geometry must not follow it
    HeightMap map;
    ::testing::internal::CaptureStdout();
    captureHeightMap(map, SceneObject{}, landscape, terrain);
    const std::string dump = ::testing::internal::GetCapturedStdout();

    const struct {
        float x, z, height;
    } probes[] = {{0, 0, 40}, {100, 0, 5}, {110, -50, 50}, {95, -50, 5}, {110, -35, 5}, {-325, 10, -1.5f}, {-310, 200, 0}};
    for (const auto& p : probes) EXPECT_NEAR(heightAt(map, p.x, p.z), p.height, 1e-3f) << p.x << ", " << p.z;
    // Inside the block the ground is flat and walkable; on its rim it is a wall.
    EXPECT_TRUE(isPassable(map, 110.0f, -50.0f));
    EXPECT_FALSE(isPassable(map, 100.5f, -50.0f));
    // The console dump: elements 600000 to 600999, one line each.
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = dump.find("heightmap inhalt: ", at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, 1000u);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(glm::ivec2(viewport[2], viewport[3]), glm::ivec2(800, 600));
    EXPECT_EQ(objects(), before) << "the heights live in main memory now";
    glViewport(0, 0, 1200, 1000);
    releaseModel(landscape);
    destroyShaderProgram(terrain);
    scratch.leave();
}

}  // namespace
