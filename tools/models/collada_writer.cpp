// COLLADA writer of the model generator. Every vertex carries all of its
// attributes under one index (all inputs at offset 0), which Assimp reads as
// shared vertices. No timestamps of the run: created/modified are fixed.
#include "collada_writer.h"

#include <cstdint>
#include <cstdio>
#include <sstream>

namespace {

// 4096 = 2^12, so k / 4096 = k * 5^12 / 10^12: twelve decimals are exact.
constexpr std::uint64_t kFifthPower12 = 244140625ull;

std::string identifier(const std::string& name) {
    std::string id;
    for (char ch : name) {
        bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_';
        id += plain ? ch : '_';
    }
    return id.empty() ? std::string("mesh") : id;
}

template <typename Getter>
void writeSource(std::ostringstream& out, const std::string& id, const std::vector<GenVertex>& vertices,
                 const char* const* params, int stride, Getter get) {
    out << "        <source id=\"" << id << "\">\n";
    out << "          <float_array id=\"" << id << "-array\" count=\"" << vertices.size() * stride << "\">";
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        for (int k = 0; k < stride; ++k) {
            if (i != 0 || k != 0) out << ' ';
            out << gridNumber(get(vertices[i], k));
        }
    }
    out << "</float_array>\n";
    out << "          <technique_common>\n";
    out << "            <accessor source=\"#" << id << "-array\" count=\"" << vertices.size() << "\" stride=\""
        << stride << "\">\n";
    for (int k = 0; k < stride; ++k) {
        out << "              <param name=\"" << params[k] << "\" type=\"float\"/>\n";
    }
    out << "            </accessor>\n";
    out << "          </technique_common>\n";
    out << "        </source>\n";
}

void writeGeometry(std::ostringstream& out, const GenMesh& mesh) {
    static const char* const xyz[] = {"X", "Y", "Z"};
    static const char* const st[] = {"S", "T"};
    static const char* const rgb[] = {"R", "G", "B"};
    const std::string id = identifier(mesh.name) + "-mesh";
    out << "    <geometry id=\"" << id << "\" name=\"" << identifier(mesh.name) << "\">\n";
    out << "      <mesh>\n";
    writeSource(out, id + "-positions", mesh.vertices, xyz, 3,
                [](const GenVertex& v, int k) { return v.position[k]; });
    writeSource(out, id + "-normals", mesh.vertices, xyz, 3, [](const GenVertex& v, int k) { return v.normal[k]; });
    if (mesh.hasUv) {
        writeSource(out, id + "-map", mesh.vertices, st, 2, [](const GenVertex& v, int k) { return v.uv[k]; });
    }
    if (mesh.hasColour) {
        writeSource(out, id + "-colours", mesh.vertices, rgb, 3,
                    [](const GenVertex& v, int k) { return v.colour[k]; });
    }
    out << "        <vertices id=\"" << id << "-vertices\">\n";
    out << "          <input semantic=\"POSITION\" source=\"#" << id << "-positions\"/>\n";
    out << "        </vertices>\n";
    out << "        <triangles count=\"" << mesh.indices.size() / 3 << "\">\n";
    out << "          <input semantic=\"VERTEX\" source=\"#" << id << "-vertices\" offset=\"0\"/>\n";
    out << "          <input semantic=\"NORMAL\" source=\"#" << id << "-normals\" offset=\"0\"/>\n";
    if (mesh.hasUv) {
        out << "          <input semantic=\"TEXCOORD\" source=\"#" << id << "-map\" offset=\"0\" set=\"0\"/>\n";
    }
    if (mesh.hasColour) {
        out << "          <input semantic=\"COLOR\" source=\"#" << id << "-colours\" offset=\"0\" set=\"0\"/>\n";
    }
    out << "          <p>";
    for (std::size_t i = 0; i < mesh.indices.size(); ++i) {
        if (i != 0) out << ' ';
        out << mesh.indices[i];
    }
    out << "</p>\n";
    out << "        </triangles>\n";
    out << "      </mesh>\n";
    out << "    </geometry>\n";
}

}  // namespace

std::string gridNumber(float value) {
    std::int64_t steps = quantisedSteps(value);
    std::uint64_t magnitude = static_cast<std::uint64_t>(steps < 0 ? -steps : steps);
    std::uint64_t whole = magnitude / 4096u;
    std::uint64_t fraction = (magnitude % 4096u) * kFifthPower12;
    std::string text = (steps < 0 ? "-" : "") + std::to_string(whole);
    if (fraction != 0) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%012llu", static_cast<unsigned long long>(fraction));
        std::string decimals(digits);
        decimals.erase(decimals.find_last_not_of('0') + 1);
        text += "." + decimals;
    }
    return text;
}

std::string colladaDocument(const GenModel& model) {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    out << "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n";
    out << "  <asset>\n";
    out << "    <contributor>\n";
    out << "      <authoring_tool>Varnelo model generator</authoring_tool>\n";
    out << "    </contributor>\n";
    out << "    <created>2000-01-01T00:00:00Z</created>\n";
    out << "    <modified>2000-01-01T00:00:00Z</modified>\n";
    out << "    <unit name=\"meter\" meter=\"1\"/>\n";
    out << "    <up_axis>Y_UP</up_axis>\n";
    out << "  </asset>\n";
    out << "  <library_geometries>\n";
    for (const GenMesh& mesh : model.meshes) writeGeometry(out, mesh);
    out << "  </library_geometries>\n";
    out << "  <library_visual_scenes>\n";
    out << "    <visual_scene id=\"Scene\" name=\"Scene\">\n";
    for (const GenMesh& mesh : model.meshes) {
        const std::string name = identifier(mesh.name);
        out << "      <node id=\"" << name << "\" name=\"" << name << "\" type=\"NODE\">\n";
        out << "        <matrix sid=\"transform\">1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1</matrix>\n";
        out << "        <instance_geometry url=\"#" << name << "-mesh\" name=\"" << name << "\"/>\n";
        out << "      </node>\n";
    }
    out << "    </visual_scene>\n";
    out << "  </library_visual_scenes>\n";
    out << "  <scene>\n";
    out << "    <instance_visual_scene url=\"#Scene\"/>\n";
    out << "  </scene>\n";
    out << "</COLLADA>\n";
    return out.str();
}

bool writeColladaFile(const std::string& path, const GenModel& model) {
    const std::string document = colladaDocument(model);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(document.data(), 1, document.size(), file) == document.size();
    bool closed = std::fclose(file) == 0;
    return written && closed;
}
