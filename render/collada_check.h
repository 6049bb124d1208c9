// The check a COLLADA document passes before Assimp reads it. Assimp 5.2
// trusts what a document says about itself (counts, offsets, references),
// and a damaged model file must never take the game down with it, so the
// document is parsed here first with pugixml, the way Assimp parses it, and
// refused when it breaks one of the rules Assimp relies on without checking.
#pragma once

#include <cstddef>

// Why a document was refused, for tests and the fuzzer; Sound when accepted.
enum class ColladaFault {
    Sound,
    NotXml,              // pugixml cannot parse it
    NotCollada,          // the root element is not <COLLADA>
    TooDeep,             // elements nested deeper than Assimp's recursion can take
    ArrayShort,          // a data array holds fewer values than its count
    AccessorOutside,     // an accessor reads outside its array, or names no array
    InputUnresolved,     // an <input> without a semantic, or whose source is not in the document
    OffsetAbsurd,        // an <input> offset or set that is not a small plain number
    IndicesNotIntegers,  // a <p> or <vcount> that holds anything but plain integers
    CountDisagrees,      // a primitive element whose <p> lists disagree with its count
    VertexInputMissing,  // a primitive element without exactly one VERTEX input of its mesh's <vertices>
    StripTooShort,       // a strip or fan with fewer corners than one primitive needs
};

// The first rule the document breaks, or ColladaFault::Sound.
ColladaFault checkCollada(const char* data, std::size_t size);
// Whether checkCollada finds nothing wrong.
bool colladaLooksSound(const char* data, std::size_t size);
// A short name of the fault, for failure messages.
const char* colladaFaultName(ColladaFault fault);
