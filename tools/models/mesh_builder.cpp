// Mesh building blocks of the model generator.
#include "mesh_builder.h"

#include <cmath>
#include <utility>

namespace {

constexpr float kTwoPi = 6.28318530717958647692f;

glm::vec3 safeNormalize(const glm::vec3& v, const glm::vec3& fallback) {
    float length = glm::length(v);
    return length > 1e-12f ? v / length : fallback;
}

}  // namespace

std::uint32_t addVertex(GenMesh& mesh, const GenVertex& vertex) {
    mesh.vertices.push_back(vertex);
    return static_cast<std::uint32_t>(mesh.vertices.size() - 1);
}

void addTriangleFacing(GenMesh& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c, const glm::vec3& facing) {
    const glm::vec3& pa = mesh.vertices[a].position;
    const glm::vec3& pb = mesh.vertices[b].position;
    const glm::vec3& pc = mesh.vertices[c].position;
    glm::vec3 n = glm::cross(pb - pa, pc - pa);
    if (glm::length(n) < 1e-9f) return;  // a pole or a collapsed edge
    if (glm::dot(n, facing) < 0.0f) std::swap(b, c);
    mesh.indices.push_back(a);
    mesh.indices.push_back(b);
    mesh.indices.push_back(c);
}

void addQuadFacing(GenMesh& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                   const glm::vec3& facing) {
    addTriangleFacing(mesh, a, b, c, facing);
    addTriangleFacing(mesh, a, c, d, facing);
}

void addGridSurface(GenMesh& mesh, int rows, int columns, bool wrapColumns,
                    const std::function<SurfacePoint(int row, int column)>& point, const glm::vec3& inside) {
    const int width = columns + 1;
    std::vector<SurfacePoint> grid;
    grid.reserve(static_cast<std::size_t>(rows + 1) * width);
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) grid.push_back(point(r, c));
    }
    auto at = [&](int r, int c) -> const glm::vec3& { return grid[static_cast<std::size_t>(r) * width + c].position; };

    // The grid's own orientation (columns x rows) is consistent everywhere;
    // `inside` only decides, by a vote over all points, which way is out.
    // Deciding point by point fails under bulges, where the surface faces
    // down while the inside point lies below it.
    std::vector<glm::vec3> normals(grid.size(), glm::vec3(0.0f));
    std::vector<char> valid(grid.size(), 0);
    float vote = 0.0f;
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            int rowBelow = r > 0 ? r - 1 : r;
            int rowAbove = r < rows ? r + 1 : r;
            int colLeft = c > 0 ? c - 1 : (wrapColumns ? columns - 1 : c);
            int colRight = c < columns ? c + 1 : (wrapColumns ? 1 : c);
            glm::vec3 alongRows = at(rowAbove, c) - at(rowBelow, c);
            glm::vec3 alongColumns = at(r, colRight) - at(r, colLeft);
            glm::vec3 n = glm::cross(alongColumns, alongRows);
            float scale = glm::length(alongRows) * glm::length(alongColumns);
            if (scale < 1e-12f || glm::length(n) < 1e-4f * scale) continue;  // a pole: no tangent plane
            std::size_t k = static_cast<std::size_t>(r) * width + c;
            normals[k] = glm::normalize(n);
            valid[k] = 1;
            vote += glm::dot(normals[k], safeNormalize(at(r, c) - inside, glm::vec3(0.0f)));
        }
    }
    const float outward = vote < 0.0f ? -1.0f : 1.0f;
    for (glm::vec3& n : normals) n *= outward;

    const std::uint32_t first = static_cast<std::uint32_t>(mesh.vertices.size());
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            std::size_t k = static_cast<std::size_t>(r) * width + c;
            glm::vec3 n = normals[k];
            if (!valid[k]) {
                // A pole takes the mean direction of the ring next to it.
                glm::vec3 sum(0.0f);
                for (int nr : {r - 1, r + 1}) {
                    if (nr < 0 || nr > rows) continue;
                    for (int nc = 0; nc <= columns; ++nc) {
                        std::size_t j = static_cast<std::size_t>(nr) * width + nc;
                        if (valid[j]) sum += normals[j];
                    }
                }
                n = safeNormalize(sum, safeNormalize(at(r, c) - inside, glm::vec3(0.0f, 1.0f, 0.0f)));
            }
            const SurfacePoint& sp = grid[k];
            addVertex(mesh, GenVertex{sp.position, n, sp.uv, sp.colour});
        }
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            std::uint32_t a = first + static_cast<std::uint32_t>(r * width + c);
            std::uint32_t b = a + 1;
            std::uint32_t d = a + static_cast<std::uint32_t>(width);
            std::uint32_t e = d + 1;
            glm::vec3 facing1 = mesh.vertices[a].normal + mesh.vertices[b].normal + mesh.vertices[e].normal;
            glm::vec3 facing2 = mesh.vertices[a].normal + mesh.vertices[e].normal + mesh.vertices[d].normal;
            addTriangleFacing(mesh, a, b, e, facing1);
            addTriangleFacing(mesh, a, e, d, facing2);
        }
    }
}

glm::vec3 figureDirection(float u) {
    float angle = u * kTwoPi;
    return glm::vec3(std::sin(angle), 0.0f, std::cos(angle));
}

float figureU(const glm::vec3& offsetFromAxis) {
    if (offsetFromAxis.x == 0.0f && offsetFromAxis.z == 0.0f) return 0.5f;
    float u = std::atan2(offsetFromAxis.x, offsetFromAxis.z) / kTwoPi;
    return u < 0.0f ? u + 1.0f : u;
}

void addLathe(GenMesh& mesh, const std::vector<LatheRing>& rings, int segments, const glm::vec3& inside) {
    auto point = [&](int r, int c) {
        const LatheRing& ring = rings[static_cast<std::size_t>(r)];
        float u = static_cast<float>(c) / static_cast<float>(segments);
        SurfacePoint sp;
        sp.position = ring.centre + ring.radius * figureDirection(c == segments ? 0.0f : u);
        sp.uv = glm::vec2(u, ring.v);
        sp.colour = ring.colour;
        return sp;
    };
    addGridSurface(mesh, static_cast<int>(rings.size()) - 1, segments, true, point, inside);
}

void addEllipsoid(GenMesh& mesh, const glm::vec3& centre, const glm::vec3& radii, int rings, int segments,
                  const glm::vec3& colour, const std::function<glm::vec2(const glm::vec3& position)>& uvAt) {
    auto point = [&](int r, int c) {
        // r = 0 is the bottom pole, r = rings the top one.
        float polar = 3.14159265358979f * (1.0f - static_cast<float>(r) / static_cast<float>(rings));
        glm::vec3 dir = figureDirection(c == segments ? 0.0f : static_cast<float>(c) / static_cast<float>(segments));
        // Exact poles: a ring of almost-equal points would collapse into
        // needle triangles once written on the grid.
        float across = (r == 0 || r == rings) ? 0.0f : std::sin(polar);
        float up = r == 0 ? -1.0f : (r == rings ? 1.0f : std::cos(polar));
        glm::vec3 unit(across * dir.x, up, across * dir.z);
        SurfacePoint sp;
        sp.position = centre + unit * radii;
        sp.uv = uvAt(sp.position);
        sp.colour = colour;
        return sp;
    };
    addGridSurface(mesh, rings, segments, true, point, centre);
}

float quantise(float value) {
    constexpr double kGridSteps = 4096.0;
    return static_cast<float>(static_cast<double>(std::llround(static_cast<double>(value) * kGridSteps)) / kGridSteps);
}

GenMesh toRawFrame(const GenMesh& mesh, const glm::mat4& linear, const glm::vec3& offset) {
    glm::mat3 l(linear);
    glm::mat3 toRaw = glm::inverse(l);
    glm::mat3 normalToRaw = glm::transpose(l);
    GenMesh raw = mesh;
    for (GenVertex& v : raw.vertices) {
        glm::vec3 p = toRaw * (v.position - offset);
        glm::vec3 n = safeNormalize(normalToRaw * v.normal, glm::vec3(0.0f));
        v.position = glm::vec3(quantise(p.x), quantise(p.y), quantise(p.z));
        v.normal = glm::vec3(quantise(n.x), quantise(n.y), quantise(n.z));
        v.uv = glm::vec2(quantise(v.uv.x), quantise(v.uv.y));
        v.colour = glm::vec3(quantise(v.colour.r), quantise(v.colour.g), quantise(v.colour.b));
    }
    return raw;
}
