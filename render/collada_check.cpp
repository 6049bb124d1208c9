// The COLLADA pre-check: the document is parsed with pugixml exactly as
// Assimp 5.2 parses it (pugi::parse_full from a NUL-ended copy, element text
// through xml_node::text()), then held against a table of rules, each one a
// place where Assimp reads what the document claims without checking it.
// Assimp walks every element below a mesh or primitive list in pre-order, so
// the rules look at all descendants too, not just at direct children.
#include "render/collada_check.h"

#include <pugixml.hpp>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// Deeper than any exporter writes, shallow enough for Assimp's recursive
// node reader on the smallest stack the game runs with.
constexpr int kMaxDepth = 256;
// Offsets of interleaved inputs: real files use a handful.
constexpr std::uint64_t kMaxInputOffset = 1024;
// Corners of one polygon.
constexpr std::uint64_t kMaxPolygonSize = 1u << 20;
// Assimp reads indices as 32-bit signed numbers.
constexpr std::uint64_t kMaxIndex = 0x7fffffff;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A plain unsigned decimal of at most 18 digits, nothing around it.
bool parseCount(const char* text, std::uint64_t& value) {
    const std::size_t length = std::strlen(text);
    if (length == 0 || length > 18) return false;
    value = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    return true;
}

// An attribute that must be a plain count when present; absent gives fallback.
bool optionalCount(const pugi::xml_node& node, const char* name, std::uint64_t fallback, std::uint64_t& value) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (attribute.empty()) {
        value = fallback;
        return true;
    }
    return parseCount(attribute.value(), value);
}

// The whitespace-separated tokens of an element's text, as Assimp's number
// readers see it.
std::vector<std::string> tokensOf(const pugi::xml_node& node) {
    std::vector<std::string> tokens;
    const char* text = node.text().get();
    for (std::size_t i = 0; text[i] != '\0';) {
        while (text[i] != '\0' && isSpace(text[i])) ++i;
        const std::size_t start = i;
        while (text[i] != '\0' && !isSpace(text[i])) ++i;
        if (i > start) tokens.emplace_back(text + start, i - start);
    }
    return tokens;
}

bool isNamed(const pugi::xml_node& node, const char* name) { return std::strcmp(node.name(), name) == 0; }

bool isArray(const pugi::xml_node& node) {
    static const char* const kArrays[] = {"float_array", "int_array", "bool_array", "Name_array", "IDREF_array"};
    for (const char* name : kArrays) {
        if (isNamed(node, name)) return true;
    }
    return false;
}

// Assimp keeps names apart from numbers: an accessor over names has no
// numbers for a mesh to read.
bool isNumericArray(const pugi::xml_node& node) {
    return isNamed(node, "float_array") || isNamed(node, "int_array") || isNamed(node, "bool_array");
}

bool isPrimitiveList(const pugi::xml_node& node) {
    static const char* const kLists[] = {"triangles",  "polylist", "polygons", "lines",
                                         "linestrips", "trifans",  "tristrips"};
    for (const char* name : kLists) {
        if (isNamed(node, name)) return true;
    }
    return false;
}

// Every element below root in document order (pre-order), without recursion.
template <typename Visit>
void forEachElementBelow(const pugi::xml_node& root, Visit visit) {
    pugi::xml_node node = root.first_child();
    while (node && node != root) {
        if (node.type() == pugi::node_element) visit(node);
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling()) node = node.parent();
        if (node != root) node = node.next_sibling();
    }
}

std::vector<pugi::xml_node> elementsBelow(const pugi::xml_node& root, const char* name) {
    std::vector<pugi::xml_node> found;
    forEachElementBelow(root, [&](const pugi::xml_node& node) {
        if (isNamed(node, name)) found.push_back(node);
    });
    return found;
}

pugi::xml_node nearestAncestor(pugi::xml_node node, const char* name) {
    for (node = node.parent(); node; node = node.parent()) {
        if (isNamed(node, name)) return node;
    }
    return pugi::xml_node();
}

// The parsed document with its elements by id.
struct ColladaDocument {
    pugi::xml_document xml;
    std::map<std::string, pugi::xml_node> byId;
    bool idsUnique = true;
};

// The element a "#id" reference names, or an empty node.
pugi::xml_node resolve(const ColladaDocument& document, const char* reference) {
    if (reference[0] != '#') return pugi::xml_node();
    const auto found = document.byId.find(reference + 1);
    return found == document.byId.end() ? pugi::xml_node() : found->second;
}

// --- The rules ------------------------------------------------------------

bool elementsAreShallow(const ColladaDocument& document) {
    bool shallow = true;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        int depth = 0;
        for (pugi::xml_node up = node.parent(); up && depth <= kMaxDepth; up = up.parent()) ++depth;
        shallow = shallow && depth <= kMaxDepth;
    });
    return shallow;
}

// Every data array holds at least the values its count claims.
bool arraysHoldTheirCounts(const ColladaDocument& document) {
    bool hold = true;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        if (!hold || !isArray(node)) return;
        std::uint64_t count = 0;
        hold = optionalCount(node, "count", 0, count) && tokensOf(node).size() >= count;
    });
    return hold;
}

// Element k of an accessor is read at offset + k * stride plus the position
// of each of its params; the last one must end inside the array it names.
bool accessorFits(const ColladaDocument& document, const pugi::xml_node& accessor) {
    std::uint64_t count = 0, stride = 1, offset = 0;
    if (!parseCount(accessor.attribute("count").value(), count)) return false;
    if (!optionalCount(accessor, "stride", 1, stride) || !optionalCount(accessor, "offset", 0, offset)) return false;
    const pugi::xml_node array = resolve(document, accessor.attribute("source").value());
    if (!array || !isArray(array)) return false;
    if (count == 0) return true;  // nothing is ever read through it
    std::uint64_t available = 0;
    if (!optionalCount(array, "count", 0, available)) return false;
    const std::uint64_t params = elementsBelow(accessor, "param").size();
    const std::uint64_t width = params > 0 ? params : 1;
    // Divisions keep this free of overflow.
    if (offset > available || width > available - offset) return false;
    const std::uint64_t room = available - offset - width;  // for (count - 1) strides
    return stride == 0 || count - 1 <= room / stride;
}

bool accessorsFitTheirArrays(const ColladaDocument& document) {
    bool fit = true;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        if (fit && isNamed(node, "accessor")) fit = accessorFits(document, node);
    });
    return fit;
}

// A mesh reads the numbers behind a <source>'s accessor.
bool isNumericSource(const ColladaDocument& document, const pugi::xml_node& source) {
    if (!isNamed(source, "source")) return false;
    const std::vector<pugi::xml_node> accessors = elementsBelow(source, "accessor");
    if (accessors.empty()) return false;
    for (const pugi::xml_node& accessor : accessors) {
        const pugi::xml_node array = resolve(document, accessor.attribute("source").value());
        if (!array || !isNumericArray(array)) return false;
    }
    return true;
}

// Every <input> says what it is and where its data is, inside this document;
// inside a mesh, everything but the VERTEX input reads numbers from a <source>.
bool inputsResolve(const ColladaDocument& document) {
    bool resolved = document.idsUnique;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        if (!resolved || !isNamed(node, "input")) return;
        const char* semantic = node.attribute("semantic").value();
        const pugi::xml_node target = resolve(document, node.attribute("source").value());
        resolved = semantic[0] != '\0' && target;
        if (resolved && nearestAncestor(node, "mesh") && std::strcmp(semantic, "VERTEX") != 0) {
            resolved = isNumericSource(document, target);
        }
    });
    return resolved;
}

bool offsetsAreSmall(const ColladaDocument& document) {
    bool small = true;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        if (!small || !isNamed(node, "input")) return;
        std::uint64_t offset = 0, set = 0;
        small = optionalCount(node, "offset", 0, offset) && offset <= kMaxInputOffset &&
                optionalCount(node, "set", 0, set) && set <= kMaxInputOffset;
    });
    return small;
}

// Assimp's index reader never moves past a character that is not a digit,
// so anything but plain integers keeps it appending indices for ever.
bool indicesArePlainIntegers(const ColladaDocument& document) {
    bool plain = true;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        const bool polygonSizes = isNamed(node, "vcount");
        if (!plain || (!polygonSizes && !isNamed(node, "p"))) return;
        for (std::string& token : tokensOf(node)) {
            // Negative indices are read as 0; polygon sizes must be positive.
            if (!polygonSizes && token[0] == '-') token.erase(0, 1);
            std::uint64_t value = 0;
            plain = plain && parseCount(token.c_str(), value) && value <= kMaxIndex;
            if (polygonSizes) plain = plain && value > 0 && value <= kMaxPolygonSize;
        }
    });
    return plain;
}

// The lists a primitive element's count promises: triangles, lines and
// polylists read all of theirs from one <p> (a polylist its sizes from one
// <vcount> with a size for each), polygons one polygon per <p>.
bool countsAgree(const ColladaDocument& document) {
    bool agree = true;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        if (!agree || !isPrimitiveList(node)) return;
        std::uint64_t count = 0;
        if (!optionalCount(node, "count", 0, count)) {
            agree = false;
            return;
        }
        const std::uint64_t lists = elementsBelow(node, "p").size();
        if (isNamed(node, "polygons")) {
            agree = lists == count;
        } else if (isNamed(node, "triangles") || isNamed(node, "lines")) {
            agree = count == 0 || lists == 1;
        } else if (isNamed(node, "polylist")) {
            const std::vector<pugi::xml_node> sizes = elementsBelow(node, "vcount");
            agree = count == 0 || (lists == 1 && sizes.size() == 1 && tokensOf(sizes[0]).size() >= count);
        }
    });
    return agree;
}

// Without its VERTEX input a primitive list has no positions, and Assimp
// then indexes one before the start of its index list.
bool verticesAreRead(const ColladaDocument& document) {
    bool read = true;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        if (!read || !isPrimitiveList(node)) return;
        const pugi::xml_node mesh = nearestAncestor(node, "mesh");
        if (!mesh) return;  // Assimp reads primitive lists only inside a mesh
        const std::vector<pugi::xml_node> vertices = elementsBelow(mesh, "vertices");
        if (vertices.size() != 1 || nearestAncestor(mesh, "mesh") || !elementsBelow(mesh, "mesh").empty()) {
            read = false;
            return;
        }
        int positions = 0;
        for (const pugi::xml_node& input : elementsBelow(vertices[0], "input")) {
            positions += std::strcmp(input.attribute("semantic").value(), "POSITION") == 0 ? 1 : 0;
        }
        int vertexInputs = 0;
        bool ownVertices = true;
        const std::string ownId = std::string("#") + vertices[0].attribute("id").value();
        for (const pugi::xml_node& input : elementsBelow(node, "input")) {
            if (std::strcmp(input.attribute("semantic").value(), "VERTEX") != 0) continue;
            ++vertexInputs;
            ownVertices = ownVertices && ownId.size() > 1 && ownId == input.attribute("source").value();
        }
        read = positions == 1 && vertexInputs == 1 && ownVertices;
    });
    return read;
}

// A strip or fan of n corners makes n - 2 triangles (a line strip n - 1
// lines); Assimp computes that without looking, so n must reach one whole
// primitive in every <p>, and a list with a count of 0 reads no <p> at all.
bool stripsAreLongEnough(const ColladaDocument& document) {
    bool long_enough = true;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        const bool lineStrip = isNamed(node, "linestrips");
        if (!long_enough || !(lineStrip || isNamed(node, "tristrips") || isNamed(node, "trifans"))) return;
        const std::vector<pugi::xml_node> lists = elementsBelow(node, "p");
        if (lists.empty()) return;
        std::uint64_t count = 0, inputsPerCorner = 1;
        long_enough = optionalCount(node, "count", 0, count) && count > 0;
        for (const pugi::xml_node& input : elementsBelow(node, "input")) {
            std::uint64_t offset = 0;
            if (optionalCount(input, "offset", 0, offset) && offset + 1 > inputsPerCorner) inputsPerCorner = offset + 1;
        }
        const std::uint64_t corners = lineStrip ? 2 : 3;
        for (const pugi::xml_node& list : lists) {
            long_enough = long_enough && tokensOf(list).size() >= corners * inputsPerCorner;
        }
    });
    return long_enough;
}

struct ColladaRule {
    ColladaFault fault;
    bool (*holds)(const ColladaDocument&);
};

// In this order: the later rules may count on what the earlier ones checked.
const ColladaRule kRules[] = {
    {ColladaFault::TooDeep, elementsAreShallow},
    {ColladaFault::ArrayShort, arraysHoldTheirCounts},
    {ColladaFault::AccessorOutside, accessorsFitTheirArrays},
    {ColladaFault::InputUnresolved, inputsResolve},
    {ColladaFault::OffsetAbsurd, offsetsAreSmall},
    {ColladaFault::IndicesNotIntegers, indicesArePlainIntegers},
    {ColladaFault::CountDisagrees, countsAgree},
    {ColladaFault::VertexInputMissing, verticesAreRead},
    {ColladaFault::StripTooShort, stripsAreLongEnough},
};

}  // namespace

ColladaFault checkCollada(const char* data, std::size_t size) {
    if (data == nullptr || size == 0) return ColladaFault::NotXml;
    // Assimp hands pugixml a NUL-ended copy, so a NUL ends the document.
    const std::string text(data, size);
    ColladaDocument document;
    if (document.xml.load_string(text.c_str(), pugi::parse_full).status != pugi::status_ok) {
        return ColladaFault::NotXml;
    }
    // Only COLLADA is ever read: anything else would reach Assimp's other
    // importers through its content sniffing.
    if (!isNamed(document.xml.document_element(), "COLLADA")) return ColladaFault::NotCollada;
    forEachElementBelow(document.xml, [&](const pugi::xml_node& node) {
        const char* id = node.attribute("id").value();
        if (id[0] != '\0' && !document.byId.emplace(id, node).second) document.idsUnique = false;
    });
    for (const ColladaRule& rule : kRules) {
        if (!rule.holds(document)) return rule.fault;
    }
    return ColladaFault::Sound;
}

bool colladaLooksSound(const char* data, std::size_t size) { return checkCollada(data, size) == ColladaFault::Sound; }

const char* colladaFaultName(ColladaFault fault) {
    switch (fault) {
    case ColladaFault::Sound:
        return "sound";
    case ColladaFault::NotXml:
        return "not XML";
    case ColladaFault::NotCollada:
        return "not COLLADA";
    case ColladaFault::TooDeep:
        return "nested too deep";
    case ColladaFault::ArrayShort:
        return "array shorter than its count";
    case ColladaFault::AccessorOutside:
        return "accessor outside its array";
    case ColladaFault::InputUnresolved:
        return "input unresolved";
    case ColladaFault::OffsetAbsurd:
        return "input offset or set absurd";
    case ColladaFault::IndicesNotIntegers:
        return "indices not plain integers";
    case ColladaFault::CountDisagrees:
        return "count disagrees with the lists";
    case ColladaFault::VertexInputMissing:
        return "no VERTEX input of its own mesh";
    case ColladaFault::StripTooShort:
        return "strip or fan too short";
    }
    return "unknown";
}
