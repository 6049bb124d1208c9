// Mesh import through Assimp into main-memory meshes and bounds. The importer
// and its scene live only inside one call; nothing here touches GL.
#include "render/mesh_import.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/mesh.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

MeshData convertMesh(const aiMesh* mesh, const glm::vec3& defaultColour, UvSource uvSource, Box& bounds) {
    MeshData data;
    // Assimp's scene is not validated (no aiProcess_ValidateDataStructure), so
    // a mesh without a position array is treated as empty rather than read.
    if (mesh == nullptr || mesh->mVertices == nullptr) return data;

    const std::uint32_t vertexCount = mesh->mNumVertices;
    const aiColor4D* colours = mesh->mColors[0];
    const aiVector3D* texCoords = mesh->mTextureCoords[0];
    data.vertexCount = vertexCount;
    data.vertices.assign(vertexCount, Vertex{});  // zero-filled: unset components stay 0
    for (std::uint32_t j = 0; j < vertexCount; ++j) {
        Vertex& v = data.vertices[j];
        if (mesh->mNormals != nullptr) {
            v.normal[0] = mesh->mNormals[j].x;
            v.normal[1] = mesh->mNormals[j].y;
            v.normal[2] = mesh->mNormals[j].z;
        }
        const aiVector3D& p = mesh->mVertices[j];
        v.position[0] = p.x;
        v.position[1] = p.y;
        v.position[2] = p.z;
        v.position[3] = 1.0f;
        growBox(bounds, glm::vec3(p.x, p.y, p.z));
        if (colours != nullptr) {
            v.colour[0] = colours[j].r;
            v.colour[1] = colours[j].g;
            v.colour[2] = colours[j].b;
        } else {
            v.colour[0] = defaultColour.r;
            v.colour[1] = defaultColour.g;
            v.colour[2] = defaultColour.b;
        }
        if (uvSource == UvSource::Position) {
            v.uv[0] = positionTexCoord(p.x, 1048);
            v.uv[1] = positionTexCoord(p.y, 696);
        } else if (texCoords != nullptr) {
            v.uv[0] = texCoords[j].x;
            v.uv[1] = texCoords[j].y;
        }
    }

    // Points and lines survive triangulation with fewer than three indices;
    // they are skipped, as is any face naming a vertex the mesh does not have.
    if (mesh->mFaces != nullptr) {
        data.indices.reserve(static_cast<std::size_t>(mesh->mNumFaces) * 3);
        for (std::uint32_t f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices < 3 || face.mIndices == nullptr) continue;
            if (face.mIndices[0] >= vertexCount || face.mIndices[1] >= vertexCount ||
                face.mIndices[2] >= vertexCount) {
                continue;
            }
            data.indices.push_back(face.mIndices[0]);
            data.indices.push_back(face.mIndices[1]);
            data.indices.push_back(face.mIndices[2]);
        }
    }
    data.faceCount = static_cast<std::uint32_t>(data.indices.size() / 3);
    return data;
}

bool convertScene(const aiScene* scene, const glm::vec3& defaultColour, UvSource uvSource, ImportedMeshes& out) {
    if (scene == nullptr || scene->mMeshes == nullptr || scene->mNumMeshes == 0) return false;
    ImportedMeshes result;
    result.meshes.reserve(scene->mNumMeshes);
    for (unsigned int i = 0; i < scene->mNumMeshes; ++i) {
        result.meshes.push_back(convertMesh(scene->mMeshes[i], defaultColour, uvSource, result.bounds));
    }
    out = std::move(result);
    return true;
}

// --- COLLADA pre-check -------------------------------------------------------
// Assimp 5.2 trusts a COLLADA file's counts: an accessor that claims more
// values than its array holds is read past the array's end (a crash or a
// runaway allocation). The few attributes involved are checked here first.

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A plain unsigned decimal of at most 18 digits.
bool parseCount(const std::string& text, std::uint64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

// Reads the attributes of the tag whose name ends at `pos`; false if the tag
// does not close. `end` receives the position after '>', selfClosing whether
// it ended with "/>".
bool readAttributes(const std::string& text, std::size_t pos, std::map<std::string, std::string>& attributes,
                    std::size_t& end, bool& selfClosing) {
    const std::size_t size = text.size();
    while (pos < size) {
        while (pos < size && isSpace(text[pos])) ++pos;
        if (pos >= size) return false;
        if (text[pos] == '>') {
            end = pos + 1;
            selfClosing = false;
            return true;
        }
        if (text[pos] == '/' && pos + 1 < size && text[pos + 1] == '>') {
            end = pos + 2;
            selfClosing = true;
            return true;
        }
        std::size_t nameStart = pos;
        while (pos < size && !isSpace(text[pos]) && text[pos] != '=' && text[pos] != '>' && text[pos] != '/') ++pos;
        std::string name = text.substr(nameStart, pos - nameStart);
        while (pos < size && isSpace(text[pos])) ++pos;
        if (name.empty() || pos >= size || text[pos] != '=') return false;
        ++pos;
        while (pos < size && isSpace(text[pos])) ++pos;
        if (pos >= size || (text[pos] != '"' && text[pos] != '\'')) return false;
        char quote = text[pos++];
        std::size_t close = text.find(quote, pos);
        if (close == std::string::npos) return false;
        attributes[name] = text.substr(pos, close - pos);
        pos = close + 1;
    }
    return false;
}

bool isNameEnd(char c) { return isSpace(c) || c == '>' || c == '/'; }

// Index lists (<p>) and polygon sizes (<vcount>) must be plain integers:
// Assimp's index reader loops for ever, growing without bound, on anything
// else, and a polygon of no corners sends its face assembly astray.
bool plainNumbersInside(const std::string& text, std::size_t nameEnd, bool polygonSizes) {
    std::map<std::string, std::string> attributes;
    std::size_t contentStart = 0;
    bool selfClosing = false;
    if (!readAttributes(text, nameEnd, attributes, contentStart, selfClosing)) return false;
    if (selfClosing) return true;
    std::size_t contentEnd = text.find('<', contentStart);
    if (contentEnd == std::string::npos) return false;
    std::size_t i = contentStart;
    while (i < contentEnd) {
        while (i < contentEnd && isSpace(text[i])) ++i;
        std::size_t tokenStart = i;
        while (i < contentEnd && !isSpace(text[i])) ++i;
        if (i == tokenStart) break;
        std::string token = text.substr(tokenStart, i - tokenStart);
        // Negative indices are tolerated by Assimp (read as 0); sizes are not.
        if (!polygonSizes && token[0] == '-') token.erase(0, 1);
        std::uint64_t value = 0;
        if (!parseCount(token, value) || value > 0x7fffffffu) return false;
        if (polygonSizes && (value == 0 || value > (1u << 20))) return false;
    }
    return true;
}

// Every <...array count="n"> must hold at least n values, and every
// <accessor> must fit inside the array it names.
bool arraysAndAccessorsFit(const std::string& text) {
    static const char* const kArrayTags[] = {"float_array", "int_array", "bool_array", "Name_array", "IDREF_array"};
    std::map<std::string, std::uint64_t> arrayCounts;  // by id; duplicates keep the smallest
    struct AccessorUse {
        std::string source;
        std::uint64_t count, stride, offset, params;
    };
    std::vector<AccessorUse> accessors;

    for (std::size_t pos = text.find('<'); pos != std::string::npos; pos = text.find('<', pos + 1)) {
        std::size_t nameStart = pos + 1;
        std::size_t nameEnd = nameStart;
        while (nameEnd < text.size() && !isNameEnd(text[nameEnd])) ++nameEnd;
        const std::string name = text.substr(nameStart, nameEnd - nameStart);
        bool isArray = false;
        for (const char* tag : kArrayTags) isArray = isArray || name == tag;
        if (name == "vcount" || name == "p") {
            if (!plainNumbersInside(text, nameEnd, name == "vcount")) return false;
            continue;
        }
        if (!isArray && name != "accessor") continue;

        std::map<std::string, std::string> attributes;
        std::size_t contentStart = 0;
        bool selfClosing = false;
        if (!readAttributes(text, nameEnd, attributes, contentStart, selfClosing)) return false;
        if (isArray) {
            std::uint64_t count = 0;
            if (!parseCount(attributes["count"], count)) return false;
            std::uint64_t tokens = 0;
            if (!selfClosing) {
                std::size_t contentEnd = text.find('<', contentStart);
                if (contentEnd == std::string::npos) return false;
                bool inToken = false;
                for (std::size_t i = contentStart; i < contentEnd; ++i) {
                    bool space = isSpace(text[i]);
                    if (!space && !inToken) ++tokens;
                    inToken = !space;
                }
            }
            if (tokens < count) return false;
            const std::string& id = attributes["id"];
            auto known = arrayCounts.find(id);
            arrayCounts[id] = known == arrayCounts.end() ? count : std::min(known->second, count);
        } else {
            AccessorUse use{attributes["source"], 0, 1, 0, 0};
            if (!parseCount(attributes["count"], use.count)) return false;
            if (attributes.count("stride") != 0 && !parseCount(attributes["stride"], use.stride)) return false;
            if (attributes.count("offset") != 0 && !parseCount(attributes["offset"], use.offset)) return false;
            if (!selfClosing) {
                std::size_t close = text.find("</accessor", contentStart);
                if (close == std::string::npos) return false;
                for (std::size_t p = text.find("<param", contentStart); p < close; p = text.find("<param", p + 1)) {
                    ++use.params;
                }
            }
            accessors.push_back(use);
        }
    }
    for (const AccessorUse& use : accessors) {
        if (use.source.size() < 2 || use.source[0] != '#') return false;
        auto array = arrayCounts.find(use.source.substr(1));
        if (array == arrayCounts.end()) return false;
        if (use.count == 0) continue;  // nothing is ever read through it
        // Element k is read at offset + k * stride + (0 .. params - 1); the
        // last one must end inside the array. Divisions keep this overflow-free.
        const std::uint64_t available = array->second;
        const std::uint64_t width = std::max<std::uint64_t>(use.params, 1);
        if (use.offset > available || width > available - use.offset) return false;
        const std::uint64_t room = available - use.offset - width;  // for (count - 1) strides
        if (use.stride != 0 && use.count - 1 > room / use.stride) return false;
    }
    return true;
}

// Comments hold no elements for the XML reader; blank them out (keeping
// offsets) so the element walk below sees what Assimp sees.
std::string withoutComments(const std::string& text) {
    std::string result = text;
    for (std::size_t open = result.find("<!--"); open != std::string::npos; open = result.find("<!--", open)) {
        std::size_t close = result.find("-->", open + 4);
        std::size_t end = close == std::string::npos ? result.size() : close + 3;
        for (std::size_t i = open; i < end; ++i) result[i] = ' ';
        open = end;
    }
    return result;
}

// The <p> elements anywhere inside the element whose content runs from
// contentStart to contentEnd: Assimp's reader finds nested ones (inside
// <extra>, say) as well.
std::uint64_t indexListsInside(const std::string& text, std::size_t contentStart, std::size_t contentEnd) {
    std::uint64_t lists = 0;
    for (std::size_t pos = text.find("<p", contentStart); pos < contentEnd; pos = text.find("<p", pos + 2)) {
        if (pos + 2 < contentEnd && isNameEnd(text[pos + 2])) ++lists;
    }
    return lists;
}

// Assimp asserts (ending the process) when the primitives it reads disagree
// with an element's count: <triangles> and <polylist> take all of theirs
// from exactly one <p>, <polygons> take one polygon per <p>.
bool primitiveListsAgree(const std::string& original) {
    const std::string text = withoutComments(original);
    static const char* const kTags[] = {"triangles", "polylist", "polygons"};
    for (std::size_t pos = text.find('<'); pos != std::string::npos; pos = text.find('<', pos + 1)) {
        std::size_t nameEnd = pos + 1;
        while (nameEnd < text.size() && !isNameEnd(text[nameEnd])) ++nameEnd;
        const std::string name = text.substr(pos + 1, nameEnd - pos - 1);
        bool isPrimitive = false;
        for (const char* tag : kTags) isPrimitive = isPrimitive || name == tag;
        if (!isPrimitive) continue;

        std::map<std::string, std::string> attributes;
        std::size_t contentStart = 0;
        bool selfClosing = false;
        if (!readAttributes(text, nameEnd, attributes, contentStart, selfClosing)) return false;
        std::uint64_t count = 0;
        if (!parseCount(attributes["count"], count)) return false;
        std::uint64_t lists = 0;
        if (!selfClosing) {
            std::size_t contentEnd = text.find("</" + name, contentStart);
            if (contentEnd == std::string::npos) return false;
            lists = indexListsInside(text, contentStart, contentEnd);
        }
        if (name == "polygons" ? lists != count : (count > 0 && lists != 1)) return false;
    }
    return true;
}

}  // namespace

bool colladaLooksSound(const char* data, std::size_t size) {
    if (data == nullptr || size == 0) return false;
    const std::string text(data, size);
    // Only COLLADA is ever read: anything else would reach Assimp's other
    // importers through its content sniffing.
    if (text.find("<COLLADA") == std::string::npos) return false;
    // The XML reader hands CDATA text to Assimp's number readers unseen by
    // the checks below (and hides elements written inside it): refused.
    if (text.find("<![CDATA[") != std::string::npos) return false;
    return arraysAndAccessorsFit(text) && primitiveListsAgree(text);
}

namespace {

// Without this Assimp invents a stand-in "skeleton" mesh for files that have
// nodes but no geometry; such a file must import as empty.
void configure(Assimp::Importer& importer) { importer.SetPropertyBool(AI_CONFIG_IMPORT_NO_SKELETON_MESHES, true); }

}  // namespace

float positionTexCoord(float coordinate, int period) {
    // trunc to a 32-bit int; values outside its range (or NaN) would be
    // undefined behaviour to convert, so they saturate (NaN counts as 0).
    std::int64_t whole = 0;
    if (std::isnan(coordinate)) {
        whole = 0;
    } else if (coordinate >= 2147483647.0f) {
        whole = std::numeric_limits<std::int32_t>::max();
    } else if (coordinate <= -2147483648.0f) {
        whole = std::numeric_limits<std::int32_t>::min();
    } else {
        whole = static_cast<std::int32_t>(coordinate);
    }
    return static_cast<float>((whole + 100) % period);
}

bool importMeshes(const char* path, const glm::vec3& defaultColour, UvSource uvSource, ImportedMeshes& out) {
    if (path == nullptr) return false;
    try {
        std::ifstream file(path, std::ios::binary);
        if (!file) return false;
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!colladaLooksSound(text.data(), text.size())) return false;
        Assimp::Importer importer;
        configure(importer);
        const aiScene* scene = importer.ReadFile(path, kImportFlags);
        return convertScene(scene, defaultColour, uvSource, out);
    } catch (...) {  // Assimp or an allocation may throw; the game never does
        return false;
    }
}

bool importMeshesFromMemory(const void* data, std::size_t size, const char* hint, const glm::vec3& defaultColour,
                            UvSource uvSource, ImportedMeshes& out) {
    if (!colladaLooksSound(static_cast<const char*>(data), size)) return false;
    try {
        Assimp::Importer importer;
        configure(importer);
        const aiScene* scene = importer.ReadFileFromMemory(data, size, kImportFlags, hint != nullptr ? hint : "");
        return convertScene(scene, defaultColour, uvSource, out);
    } catch (...) {
        return false;
    }
}
