// TGA decoding. Our own header parser and packet walker prove that a file is
// complete and consistent before anything is decoded: stb_image pads short
// data with zeros instead of failing. stb_image then decodes true-colour and
// grey files; colour-mapped files are decoded here, because stb treats the
// colour map's first-entry index as bytes to skip and quietly maps indexes
// outside the map to entry 0. stb ignores the right-to-left origin bit, so
// that mirroring is done here too.
#include "render/tga.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#endif
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

constexpr std::size_t kHeaderBytes = 18;
constexpr unsigned char kTopOriginBit = 0x20;
constexpr unsigned char kRightOriginBit = 0x10;
constexpr unsigned char kInterleaveBits = 0xc0;

struct TgaHeader {
    int idLength = 0;
    int colourMapType = 0;
    int imageType = 0;  // 1 colour-mapped, 2 true-colour, 3 grey; +8 run-length encoded
    int mapFirst = 0;
    int mapLength = 0;
    int mapBits = 0;
    int width = 0;
    int height = 0;
    int pixelBits = 0;
    int descriptor = 0;
};

int readLe16(const unsigned char* p) { return p[0] | (p[1] << 8); }

std::size_t storedBytes(int bits) { return static_cast<std::size_t>((bits + 7) / 8); }

bool isRunLengthEncoded(const TgaHeader& header) { return header.imageType >= 9; }

// The decoded pixel size of a stored pixel (or colour-map entry) of these bits.
int decodedBytes(int bits, bool grey) {
    if (grey) return bits == 16 ? 2 : 1;
    if (bits == 8) return 1;  // a grey colour map
    return bits == 32 ? 4 : 3;
}

bool parseHeader(const unsigned char* data, std::size_t size, TgaHeader& header) {
    if (data == nullptr || size < kHeaderBytes) return false;
    header.idLength = data[0];
    header.colourMapType = data[1];
    header.imageType = data[2];
    header.mapFirst = readLe16(data + 3);
    header.mapLength = readLe16(data + 5);
    header.mapBits = data[7];
    header.width = readLe16(data + 12);
    header.height = readLe16(data + 14);
    header.pixelBits = data[16];
    header.descriptor = data[17];

    const int bits = header.pixelBits;
    switch (header.imageType) {
    case 1:
    case 9:
        if (header.colourMapType != 1 || header.mapLength < 1) return false;
        if (header.mapBits != 8 && header.mapBits != 15 && header.mapBits != 16 && header.mapBits != 24 &&
            header.mapBits != 32)
            return false;
        if (bits != 8 && bits != 16) return false;
        break;
    case 2:
    case 10:
        // A colour map beside true-colour data is legal but unused; stb refuses it, and so do we.
        if (header.colourMapType != 0) return false;
        if (bits != 15 && bits != 16 && bits != 24 && bits != 32) return false;
        break;
    case 3:
    case 11:
        if (header.colourMapType != 0) return false;
        if (bits != 8 && bits != 16) return false;
        break;
    default:
        return false;
    }
    if (header.width < 1 || header.width > kMaxTgaSide) return false;
    if (header.height < 1 || header.height > kMaxTgaSide) return false;
    // Interleaved rows are an obsolete layout nobody decodes correctly.
    if ((header.descriptor & kInterleaveBits) != 0) return false;
    return true;
}

// Walks the stored pixels, raw or in run-length packets, handing each one to
// visit (which may refuse it by returning false). False when the data ends
// before the image does. A last packet that runs past the image is cut short.
template <typename Visit>
bool walkPixels(const unsigned char* data, std::size_t size, std::size_t offset, std::size_t count,
                std::size_t pixelBytes, bool runLength, Visit visit) {
    if (offset > size) return false;
    std::size_t pos = offset;
    if (!runLength) {
        if ((size - pos) / pixelBytes < count) return false;
        for (std::size_t i = 0; i < count; ++i, pos += pixelBytes)
            if (!visit(data + pos)) return false;
        return true;
    }
    std::size_t done = 0;
    while (done < count) {
        if (pos >= size) return false;
        const unsigned char packet = data[pos++];
        std::size_t run = static_cast<std::size_t>(packet & 0x7f) + 1;
        if (run > count - done) run = count - done;
        if ((packet & 0x80) != 0) {
            if (size - pos < pixelBytes) return false;
            for (std::size_t i = 0; i < run; ++i)
                if (!visit(data + pos)) return false;
            pos += pixelBytes;
        } else {
            if ((size - pos) / pixelBytes < run) return false;
            for (std::size_t i = 0; i < run; ++i, pos += pixelBytes)
                if (!visit(data + pos)) return false;
        }
        done += run;
    }
    return true;
}

// Whether the bytes from offset on can hold count stored pixels at all: raw,
// or in run-length packets of at most 128 pixels, each at least a packet byte
// and one pixel. A few hundred bytes must not make the decoder allocate and
// fill a picture of a hundred million pixels before they run out.
bool dataCanHold(std::size_t size, std::size_t offset, std::size_t count, std::size_t pixelBytes, bool runLength) {
    if (offset > size) return false;
    const std::size_t available = size - offset;
    if (!runLength) return available / pixelBytes >= count;
    const std::size_t fewestPackets = (count + 127) / 128;
    return available / (1 + pixelBytes) >= fewestPackets;
}

// One stored colour (B,G,R(,A) little-endian, 5-5-5 or grey) to R,G,B(,A) or grey.
void convertColour(const unsigned char* src, int bits, unsigned char* dst) {
    switch (bits) {
    case 8:
        dst[0] = src[0];
        break;
    case 15:
    case 16: {
        const int packed = readLe16(src);
        // The top bit of 16-bit colours is not trusted as alpha (writers disagree on it).
        dst[0] = static_cast<unsigned char>(((packed >> 10) & 31) * 255 / 31);
        dst[1] = static_cast<unsigned char>(((packed >> 5) & 31) * 255 / 31);
        dst[2] = static_cast<unsigned char>((packed & 31) * 255 / 31);
        break;
    }
    default:
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        if (bits == 32) dst[3] = src[3];
        break;
    }
}

bool decodeColourMapped(const unsigned char* data, std::size_t size, const TgaHeader& header, std::size_t mapOffset,
                        std::size_t pixelOffset, Image& image) {
    const std::size_t entryBytes = storedBytes(header.mapBits);
    const int outBytes = decodedBytes(header.mapBits, false);
    const std::size_t mapLength = static_cast<std::size_t>(header.mapLength);
    std::vector<unsigned char> palette(mapLength * static_cast<std::size_t>(outBytes));
    for (std::size_t i = 0; i < mapLength; ++i)
        convertColour(data + mapOffset + i * entryBytes, header.mapBits, palette.data() + i * outBytes);

    const std::size_t count = static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height);
    image.bytesPerPixel = outBytes;
    image.pixels.resize(count * static_cast<std::size_t>(outBytes));
    unsigned char* dst = image.pixels.data();
    const std::size_t indexBytes = static_cast<std::size_t>(header.pixelBits / 8);
    // Indexes count from the map's first entry; anything outside the map is corruption.
    return walkPixels(data, size, pixelOffset, count, indexBytes, isRunLengthEncoded(header),
                      [&](const unsigned char* p) {
                          const long index = (indexBytes == 1 ? p[0] : readLe16(p)) - header.mapFirst;
                          if (index < 0 || index >= header.mapLength) return false;
                          std::memcpy(dst, palette.data() + index * outBytes, static_cast<std::size_t>(outBytes));
                          dst += outBytes;
                          return true;
                      });
}

bool decodeWithStb(const unsigned char* data, std::size_t size, const TgaHeader& header, std::size_t pixelOffset,
                   Image& image) {
    const std::size_t count = static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height);
    const bool complete = walkPixels(data, size, pixelOffset, count, storedBytes(header.pixelBits),
                                     isRunLengthEncoded(header), [](const unsigned char*) { return true; });
    if (!complete) return false;

    const bool grey = header.imageType == 3 || header.imageType == 11;
    const int expectedBytes = decodedBytes(header.pixelBits, grey);
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 0);
    if (decoded == nullptr) return false;
    const bool matches = width == header.width && height == header.height && channels == expectedBytes;
    if (matches) {
        image.bytesPerPixel = channels;
        image.pixels.assign(decoded, decoded + count * static_cast<std::size_t>(channels));
    }
    stbi_image_free(decoded);
    return matches;
}

void flipRows(Image& image) {
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.bytesPerPixel);
    for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(image.pixels.begin() + static_cast<std::ptrdiff_t>(top * rowBytes),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * rowBytes),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>(bottom * rowBytes));
}

void mirrorRows(Image& image) {
    const std::size_t bpp = static_cast<std::size_t>(image.bytesPerPixel);
    for (int y = 0; y < image.height; ++y) {
        unsigned char* row = image.pixels.data() + static_cast<std::size_t>(y) * image.width * bpp;
        for (int left = 0, right = image.width - 1; left < right; ++left, --right)
            std::swap_ranges(row + left * bpp, row + (left + 1) * bpp, row + right * bpp);
    }
}

}  // namespace

bool decodeTga(const unsigned char* data, std::size_t size, Image& out) {
    TgaHeader header;
    if (!parseHeader(data, size, header)) return false;
    // stb_image takes an int length; no acceptable image comes near it.
    if (size > static_cast<std::size_t>(INT_MAX)) return false;

    const std::size_t mapOffset = kHeaderBytes + static_cast<std::size_t>(header.idLength);
    const std::size_t mapBytes =
        header.colourMapType == 1 ? static_cast<std::size_t>(header.mapLength) * storedBytes(header.mapBits) : 0;
    const std::size_t pixelOffset = mapOffset + mapBytes;
    if (pixelOffset > size) return false;
    const std::size_t count = static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height);
    if (!dataCanHold(size, pixelOffset, count, storedBytes(header.pixelBits), isRunLengthEncoded(header))) return false;

    Image image;
    image.width = header.width;
    image.height = header.height;
    bool topFirst = true;  // stb hands out rows top first whatever the file holds
    if (header.colourMapType == 1) {
        if (!decodeColourMapped(data, size, header, mapOffset, pixelOffset, image)) return false;
        topFirst = (header.descriptor & kTopOriginBit) != 0;
    } else if (!decodeWithStb(data, size, header, pixelOffset, image)) {
        return false;
    }
    if (topFirst) flipRows(image);
    if ((header.descriptor & kRightOriginBit) != 0) mirrorRows(image);
    out = std::move(image);
    return true;
}

bool readTga(const std::string& path, Image& out) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    bool ok = true;
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
            ok = false;
            break;
        }
        if (got < sizeof chunk) {
            ok = std::ferror(file) == 0;  // a directory or an I/O error, not just the end
            break;
        }
    }
    std::fclose(file);
    return ok && decodeTga(bytes.data(), bytes.size(), out);
}
