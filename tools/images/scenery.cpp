// Landscape pictures. Noise and scattered details wrap around the picture's
// edges so the textures repeat without seams.
#include "tools/images/scenery.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

Colour snow(float x, float y, int period, std::uint32_t seed) {
    const float drift = fractalNoise(x, y, 64.0f, period, period, 5, seed);
    const float fine = valueNoise(x, y, 4.0f, period, period, seed + 7u);
    const Colour shadow = rgb(196, 208, 228);
    const Colour bright = rgb(252, 253, 255);
    return mix(shadow, bright, clamp01(0.25f + 0.85f * drift + 0.12f * (fine - 0.5f)));
}

// Tiny glints scattered over a region, repeated across the vertical (and,
// when wrapX, horizontal) edges so they survive the wrap.
void sprinkleGlints(Canvas& canvas, float x0, float x1, int count, bool wrapX, std::uint32_t seed) {
    Random random = seededRandom(seed);
    const float h = static_cast<float>(canvas.height);
    const float wide = static_cast<float>(canvas.width);
    for (int i = 0; i < count; ++i) {
        const float x = nextRange(random, x0, x1);
        const float y = nextRange(random, 0.0f, h);
        const float r = nextRange(random, 0.6f, 1.3f);
        const Colour c = nextUnit(random) < 0.7f ? rgb(255, 255, 255) : rgb(214, 232, 255);
        for (float dy : {-h, 0.0f, h})
            for (float dx : {-wide, 0.0f, wide})
                if (dx == 0.0f || wrapX) fill(canvas, circle(x + dx, y + dy, r), c);
    }
}

}  // namespace

Canvas groundPicture() {
    Canvas canvas = makeCanvas(256, 256, rgb(240, 244, 250));
    paintAll(canvas, [](float x, float y) { return snow(x, y, 256, 3u); });
    sprinkleGlints(canvas, 0.0f, 256.0f, 140, true, 17u);
    return canvas;
}

Canvas tortePicture() {
    constexpr float kSize = 512.0f;
    constexpr float kStrip = kSize / 3.0f;
    constexpr float kMargin = 0.02f * kSize;  // the models keep this far inside a strip
    Canvas canvas = makeCanvas(512, 512, rgb(255, 255, 255));

    const Colour pink = rgb(255, 178, 200);
    const Colour cream = rgb(255, 242, 226);
    const Colour sponge = rgb(230, 178, 98);
    const Colour spongeDark = rgb(186, 128, 58);
    const Colour jam = rgb(180, 26, 52);
    const Colour chocolate = rgb(106, 58, 34);
    paintAll(canvas, [&](float x, float y) {
        if (x < kStrip) return snow(x, y, 512, 5u);
        if (x < 2.0f * kStrip) {
            const float swirl = fractalNoise(x, y, 64.0f, 512, 512, 4, 9u);
            const float gloss = valueNoise(x * 0.5f, y, 32.0f, 256, 512, 13u);
            return mix(mix(pink, cream, clamp01(swirl * 1.4f - 0.35f)), rgb(255, 255, 255),
                       clamp01(gloss - 0.75f) * 1.5f);
        }
        // Layers along v, repeating every 256 rows, with slightly wavy edges.
        const float wave = 3.0f * std::sin(x * 0.06f) + 4.0f * (valueNoise(x, y, 16.0f, 512, 512, 23u) - 0.5f);
        const float band = std::fmod(y + wave + 256.0f, 256.0f);
        const float grain = valueNoise(x, y, 4.0f, 512, 512, 29u);
        const float crumb = fractalNoise(x, y, 16.0f, 512, 512, 3, 31u);
        if (band < 80.0f || band >= 232.0f || (band >= 118.0f && band < 200.0f)) {
            // Sponge with pores: dark where the fine noise dips.
            const Colour base = mix(sponge, rgb(242, 198, 120), crumb * 0.6f);
            return mix(base, spongeDark, 0.6f * clamp01((0.36f - grain) / 0.12f));
        }
        if (band < 96.0f || (band >= 108.0f && band < 118.0f) || band >= 218.0f)
            return mix(cream, rgb(240, 226, 206), crumb * 0.5f);
        if (band < 108.0f) return mix(jam, rgb(214, 50, 74), crumb * 0.6f);
        return mix(chocolate, rgb(134, 80, 48), crumb * 0.6f);
    });
    sprinkleGlints(canvas, kMargin, kStrip - kMargin, 220, false, 37u);

    // Coloured sprinkles on the icing, kept inside the strip, wrapped along v.
    const Colour sprinkleColours[] = {rgb(232, 40, 60),  rgb(255, 214, 40),  rgb(70, 190, 90), rgb(64, 128, 232),
                                      rgb(160, 80, 210), rgb(255, 255, 255), rgb(255, 140, 36)};
    Random random = seededRandom(43u);
    for (int i = 0; i < 300; ++i) {
        const float length = nextRange(random, 3.5f, 6.0f);
        const float cx = nextRange(random, kStrip + kMargin + length + 2.0f, 2.0f * kStrip - kMargin - length - 2.0f);
        const float cy = nextRange(random, 0.0f, kSize);
        const float angle = nextRange(random, 0.0f, kPi);
        const Colour colour = sprinkleColours[static_cast<int>(nextUnit(random) * 7.0f) % 7];
        const float dx = std::cos(angle) * length;
        const float dy = std::sin(angle) * length;
        for (float shift : {-kSize, 0.0f, kSize})
            fill(canvas, capsule(cx - dx, cy - dy + shift, cx + dx, cy + dy + shift, 1.9f), colour);
    }
    return canvas;
}

Canvas trophyPicture() {
    Canvas canvas = makeCanvas(256, 256, rgb(60, 110, 210));
    paintAll(canvas, [](float x, float y) {
        const float d = std::sqrt((x - 128.0f) * (x - 128.0f) + (y - 110.0f) * (y - 110.0f)) / 180.0f;
        return mix(rgb(120, 180, 250), rgb(36, 76, 170), clamp01(d));
    });
    const Colour gold = rgb(246, 196, 46);
    const Colour goldDark = rgb(196, 140, 24);
    const Paint goldPaint = [&](float x, float) {
        return mix(rgb(255, 236, 140), goldDark, clamp01((x - 70.0f) / 120.0f));
    };
    Random random = seededRandom(53u);
    for (int i = 0; i < 14; ++i) {
        const float x = nextRange(random, 12.0f, 244.0f);
        const float y = nextRange(random, 12.0f, 244.0f);
        if (std::fabs(x - 128.0f) < 80.0f && y > 30.0f) continue;  // not behind the cup
        fill(canvas, star(x, y, nextRange(random, 6.0f, 12.0f), 3.5f, 5), rgb(255, 244, 160));
    }
    // Handles, bowl, rim, stem and foot, then a plaque.
    fill(canvas, arcStroke(72.0f, 80.0f, 26.0f, 30.0f, 90.0f, 270.0f, 9.0f), goldDark);
    fill(canvas, arcStroke(184.0f, 80.0f, 26.0f, 30.0f, -90.0f, 90.0f, 9.0f), goldDark);
    fill(canvas, intersect(ellipse(128.0f, 52.0f, 64.0f, 92.0f), rectangle(60.0f, 52.0f, 196.0f, 150.0f)), goldPaint);
    fill(canvas, ellipse(128.0f, 52.0f, 64.0f, 12.0f), goldDark);
    fill(canvas, ellipse(128.0f, 53.0f, 58.0f, 8.0f), rgb(150, 100, 20));
    fill(canvas, rectangle(118.0f, 140.0f, 138.0f, 180.0f), goldPaint);
    fill(canvas, ellipse(128.0f, 182.0f, 34.0f, 9.0f), gold);
    fill(canvas, roundedRectangle(82.0f, 186.0f, 174.0f, 230.0f, 6.0f), rgb(112, 62, 30));
    fill(canvas, roundedRectangle(98.0f, 198.0f, 158.0f, 218.0f, 3.0f), gold);
    fill(canvas, star(128.0f, 95.0f, 24.0f, 10.0f, 5), rgb(255, 250, 210));
    fill(canvas, capsule(92.0f, 70.0f, 96.0f, 120.0f, 4.0f), rgb(255, 246, 190), 0.7f);
    return canvas;
}

Canvas leafPicture() {
    Canvas canvas = makeCanvas(256, 256, rgb(236, 244, 226));
    const float angle = -40.0f * kPi / 180.0f;
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    // Leaf-local (along, across) to picture coordinates.
    auto place = [&](float along, float across) {
        return Point{128.0f + 100.0f * (along * c - across * s), 128.0f + 100.0f * (along * s + across * c)};
    };
    std::vector<Point> outline;
    for (int i = 0; i <= 40; ++i) {
        const float t = -1.0f + 2.0f * static_cast<float>(i) / 40.0f;
        outline.push_back(place(t, 0.42f * (1.0f - t * t) * (1.0f - 0.25f * t)));
    }
    for (int i = 40; i >= 0; --i) {
        const float t = -1.0f + 2.0f * static_cast<float>(i) / 40.0f;
        outline.push_back(place(t, -0.42f * (1.0f - t * t) * (1.0f - 0.25f * t)));
    }
    const Point stemEnd = place(-1.3f, 0.05f);
    const Point base = place(-1.0f, 0.0f);
    const Point tip = place(0.95f, 0.0f);
    fill(canvas, capsule(stemEnd.x, stemEnd.y, base.x, base.y, 3.0f), rgb(110, 80, 40));
    const Shape blade = polygon(outline);
    fill(canvas, blade,
         [](float x, float y) { return mix(rgb(96, 184, 70), rgb(36, 118, 44), clamp01((x + y - 120.0f) / 260.0f)); });
    fill(canvas, intersect(capsule(base.x, base.y, tip.x, tip.y, 1.8f), blade), rgb(180, 222, 140));
    for (int i = 1; i <= 5; ++i) {
        const float t = -1.0f + static_cast<float>(i) * 0.33f;
        const float reach = 0.36f * (1.0f - t * t);
        for (float side : {-1.0f, 1.0f}) {
            const Point from = place(t, 0.0f);
            const Point to = place(t + 0.25f, side * reach);
            fill(canvas, intersect(capsule(from.x, from.y, to.x, to.y, 1.1f), blade), rgb(160, 210, 120));
        }
    }
    return canvas;
}
