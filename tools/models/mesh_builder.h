// Mesh building blocks for the model generator: vertices with normal, texture
// coordinate and colour, triangles that face a given way, parametric grid
// surfaces (lathes, ellipsoids, sheets), and the conversion from the world
// frame a model is designed in to the raw frame its placement expects.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

struct GenVertex {
    glm::vec3 position{0.0f};
    glm::vec3 normal{0.0f};
    glm::vec2 uv{0.0f};
    glm::vec3 colour{1.0f};
};

struct GenMesh {
    std::string name;
    std::vector<GenVertex> vertices;
    std::vector<std::uint32_t> indices;  // three per triangle, counter-clockwise from the front
    bool hasUv = false;
    bool hasColour = false;
};

struct GenModel {
    std::vector<GenMesh> meshes;
};

std::uint32_t addVertex(GenMesh& mesh, const GenVertex& vertex);
// Adds the triangle wound so that its front side faces along `facing`;
// triangles with (nearly) no area are dropped.
void addTriangleFacing(GenMesh& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c, const glm::vec3& facing);
// Two triangles for the quad a-b-c-d (in order around its edge), facing `facing`.
void addQuadFacing(GenMesh& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                   const glm::vec3& facing);

// One point of a parametric surface before its normal is known.
struct SurfacePoint {
    glm::vec3 position{0.0f};
    glm::vec2 uv{0.0f};
    glm::vec3 colour{1.0f};
};
// A (rows + 1) x (columns + 1) grid of points; normals come from the grid's
// own tangents, all turned to the side that on the whole faces away from
// `inside`, a point inside the solid (a pole takes its neighbour ring's mean).
// With wrapColumns the last column repeats the first (a seam of duplicated
// positions with their own texture coordinates). Every triangle faces along
// its corners' normals.
void addGridSurface(GenMesh& mesh, int rows, int columns, bool wrapColumns,
                    const std::function<SurfacePoint(int row, int column)>& point, const glm::vec3& inside);

// Cylindrical figure mapping: u = 0.5 faces -z (a figure's front), u = 0 and 1
// its back; u grows to the figure's left, which reads left-to-right from outside.
glm::vec3 figureDirection(float u);
float figureU(const glm::vec3& offsetFromAxis);

// A ring of a surface of revolution about a vertical axis through `centre`.
struct LatheRing {
    glm::vec3 centre{0.0f};  // the axis point at this ring's height
    float radius = 0.0f;
    float v = 0.0f;
    glm::vec3 colour{1.0f};
};
// Rings listed bottom to top; u runs once around (seam at the back).
void addLathe(GenMesh& mesh, const std::vector<LatheRing>& rings, int segments, const glm::vec3& inside);
// An ellipsoid with semi-axes `radii`; texture coordinates from `uvAt`.
void addEllipsoid(GenMesh& mesh, const glm::vec3& centre, const glm::vec3& radii, int rings, int segments,
                  const glm::vec3& colour, const std::function<glm::vec2(const glm::vec3& position)>& uvAt);

// Rounds every position, normal, texture coordinate and colour to the
// 1/4096 grid and maps the mesh from its design frame into raw model
// coordinates: raw = inverse(linear) * (design - offset), normals by the
// transpose of `linear` (the inverse-transpose of the placement).
GenMesh toRawFrame(const GenMesh& mesh, const glm::mat4& linear, const glm::vec3& offset);

// Values are kept on a grid of 1/4096: such floats have few significant
// bits, so the nine digits the exporter prints read back (through Assimp's
// own number reader, which is not correctly rounded in general) bit for bit.
float quantise(float value);
