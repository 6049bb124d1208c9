// Lettering: glyphs rasterised by stb_truetype, four times finer than the
// picture for text shapes (the canvas samples them 4 x 4 per pixel), and at
// the atlas size, squeezed sideways where needed, for the font atlas.
#include "tools/images/lettering.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

struct FontData {
    std::vector<unsigned char> file;  // stb_truetype reads the font from here
    stbtt_fontinfo info{};
    float capUnits = 1.0f;  // height of a capital H in font units
};

namespace {

constexpr int kTextSamples = 4;
constexpr float kAtlasCapHeight = 17.0f;
constexpr int kAtlasBaseline = 24;       // from the top of a cell
constexpr float kAtlasCondense = 0.72f;  // glyphs narrower than the font draws them

bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    unsigned char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok && !bytes.empty();
}

// One glyph's coverage bitmap and where its top-left lies relative to the pen.
struct GlyphBitmap {
    int x0 = 0;
    int y0 = 0;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> coverage;
};

GlyphBitmap rasterise(const stbtt_fontinfo& info, int codepoint, float scaleX, float scaleY, float shiftX) {
    GlyphBitmap glyph;
    int x1 = 0;
    int y1 = 0;
    stbtt_GetCodepointBitmapBoxSubpixel(&info, codepoint, scaleX, scaleY, shiftX, 0.0f, &glyph.x0, &glyph.y0, &x1, &y1);
    glyph.width = x1 - glyph.x0;
    glyph.height = y1 - glyph.y0;
    if (glyph.width <= 0 || glyph.height <= 0) return GlyphBitmap{};
    glyph.coverage.assign(static_cast<std::size_t>(glyph.width) * glyph.height, 0);
    stbtt_MakeCodepointBitmapSubpixel(&info, glyph.coverage.data(), glyph.width, glyph.height, glyph.width, scaleX,
                                      scaleY, shiftX, 0.0f, codepoint);
    return glyph;
}

}  // namespace

bool loadFont(const std::string& path, Font& font) {
    auto data = std::make_shared<FontData>();
    if (!readFile(path, data->file)) return false;
    const int offset = stbtt_GetFontOffsetForIndex(data->file.data(), 0);
    if (offset < 0 || !stbtt_InitFont(&data->info, data->file.data(), offset)) return false;
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    if (!stbtt_GetCodepointBox(&data->info, 'H', &x0, &y0, &x1, &y1) || y1 <= 0) return false;
    data->capUnits = static_cast<float>(y1);
    font.data = std::move(data);
    return true;
}

Shape textShape(const Font& font, const std::string& text, float centreX, float baselineY, float capHeight) {
    const stbtt_fontinfo& info = font.data->info;
    const float scale = capHeight / font.data->capUnits * kTextSamples;
    std::vector<float> pens;
    float pen = 0.0f;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int codepoint = static_cast<unsigned char>(text[i]);
        int advance = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&info, codepoint, &advance, &bearing);
        pens.push_back(pen);
        pen += static_cast<float>(advance) * scale;
        if (i + 1 < text.size())
            pen += static_cast<float>(
                       stbtt_GetCodepointKernAdvance(&info, codepoint, static_cast<unsigned char>(text[i + 1]))) *
                   scale;
    }
    int ascent = 0;
    int descent = 0;
    int lineGap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &lineGap);
    const int pad = static_cast<int>(std::ceil(capHeight * kTextSamples * 0.3f));
    const int baseline = pad + static_cast<int>(std::ceil(static_cast<float>(ascent) * scale));
    const int width = static_cast<int>(std::ceil(pen)) + 2 * pad;
    const int height = baseline + static_cast<int>(std::ceil(static_cast<float>(-descent) * scale)) + pad;
    auto mask = std::make_shared<std::vector<unsigned char>>(static_cast<std::size_t>(width) * height, 0);

    for (std::size_t i = 0; i < text.size(); ++i) {
        const float whole = std::floor(pens[i]);
        const GlyphBitmap glyph = rasterise(info, static_cast<unsigned char>(text[i]), scale, scale, pens[i] - whole);
        const int left = pad + static_cast<int>(whole) + glyph.x0;
        const int top = baseline + glyph.y0;
        for (int y = 0; y < glyph.height; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                const int mx = left + x;
                const int my = top + y;
                if (mx < 0 || my < 0 || mx >= width || my >= height) continue;
                unsigned char& cell = (*mask)[static_cast<std::size_t>(my) * width + mx];
                cell = std::max(cell, glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x]);
            }
        }
    }

    const float originX = centreX - (static_cast<float>(pad) + pen * 0.5f) / kTextSamples;
    const float originY = baselineY - static_cast<float>(baseline) / kTextSamples;
    Shape shape;
    shape.x0 = originX;
    shape.y0 = originY;
    shape.x1 = originX + static_cast<float>(width) / kTextSamples;
    shape.y1 = originY + static_cast<float>(height) / kTextSamples;
    shape.inside = [mask, width, height, originX, originY](float x, float y) {
        const int mx = static_cast<int>(std::floor((x - originX) * kTextSamples));
        const int my = static_cast<int>(std::floor((y - originY) * kTextSamples));
        if (mx < 0 || my < 0 || mx >= width || my >= height) return false;
        return (*mask)[static_cast<std::size_t>(my) * width + mx] >= 128;
    };
    return shape;
}

Canvas alphabetPicture(const Font& font) {
    const stbtt_fontinfo& info = font.data->info;
    Canvas canvas = makeClearCanvas(16 * kAtlasCell, 16 * kAtlasCell);
    const float scaleY = kAtlasCapHeight / font.data->capUnits;
    const int inkWidth = kAtlasInkRight - kAtlasInkLeft;
    for (int code = 33; code < 256; ++code) {
        if (code >= 127 && code <= 160) continue;  // DEL, C1 controls and the no-break space stay empty
        if (stbtt_FindGlyphIndex(&info, code) == 0) continue;
        float scaleX = scaleY * kAtlasCondense;
        GlyphBitmap glyph = rasterise(info, code, scaleX, scaleY, 0.0f);
        // Wide glyphs (W, M, m, @ ...) are squeezed further to keep inside their half cell.
        while (glyph.width > inkWidth) {
            scaleX *= 0.97f * static_cast<float>(inkWidth) / static_cast<float>(glyph.width);
            glyph = rasterise(info, code, scaleX, scaleY, 0.0f);
        }
        const int cellX = (code % 16) * kAtlasCell;
        const int cellY = (code / 16) * kAtlasCell;
        const int left = cellX + kAtlasInkLeft + (inkWidth - glyph.width) / 2;
        const int top = cellY + kAtlasBaseline + glyph.y0;
        for (int y = 0; y < glyph.height; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                const int tx = left + x;
                const int ty = top + y;
                if (tx < cellX + kAtlasInkLeft || tx >= cellX + kAtlasInkRight) continue;
                if (ty < cellY + 1 || ty >= cellY + kAtlasCell - 1) continue;
                const unsigned char v = glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x];
                // Faint edge texels would only blur the outline the text shader cuts at 10 %.
                if (v < 51) continue;
                float* p = canvas.rgba.data() + (static_cast<std::size_t>(ty) * canvas.width + tx) * 4;
                p[0] = p[1] = p[2] = static_cast<float>(v) / 255.0f;
                p[3] = 1.0f;
            }
        }
    }
    return canvas;
}
