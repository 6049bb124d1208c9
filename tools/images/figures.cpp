// The figure pictures. Faces are drawn a little wider than tall because the
// wrap stretches a head's circumference over the whole picture width.
#include "tools/images/figures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace {

constexpr float kTau = 6.28318530718f;

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

// Picture coordinates of a wrap position on a size x size picture.
struct Wrap {
    float size;
    float x(float u) const { return u * size; }
    float y(float v) const { return (1.0f - v) * size; }
    float u(float px) const { return px / size; }
    float v(float py) const { return 1.0f - py / size; }
};

Shape heart(float cx, float cy, float size) {
    const float r = size * 0.3f;
    Shape lobes = unite(circle(cx - r * 0.9f, cy - r * 0.4f, r), circle(cx + r * 0.9f, cy - r * 0.4f, r));
    return unite(std::move(lobes),
                 polygon({{cx - r * 1.85f, cy - r * 0.1f}, {cx + r * 1.85f, cy - r * 0.1f}, {cx, cy + size * 0.55f}}));
}

void mirrorColumns(Canvas& canvas) {
    for (int y = 0; y < canvas.height; ++y) {
        float* row = canvas.rgba.data() + static_cast<std::size_t>(y) * canvas.width * 4;
        for (std::ptrdiff_t left = 0, right = canvas.width - 1; left < right; ++left, --right)
            std::swap_ranges(row + left * 4, row + left * 4 + 4, row + right * 4);
    }
}

// A friendly face centred on (cx, eyeY): eyes, brows, nose, smile, cheeks.
struct FaceStyle {
    float eyeSpacing;
    float eyeWidth;
    float eyeHeight;
    float mouthDrop;  // from the eyes down to the middle of the smile
    Colour iris;
    Colour brows;
    Colour lips;
    Colour cheeks;
};

void drawFace(Canvas& canvas, float cx, float eyeY, const FaceStyle& style) {
    for (int side = -1; side <= 1; side += 2) {
        const float ex = cx + static_cast<float>(side) * style.eyeSpacing;
        fill(canvas, ellipse(ex, eyeY, style.eyeWidth, style.eyeHeight), rgb(255, 255, 255));
        fill(canvas, ellipse(ex, eyeY + style.eyeHeight * 0.1f, style.eyeWidth * 0.62f, style.eyeHeight * 0.85f),
             style.iris);
        fill(canvas, ellipse(ex, eyeY + style.eyeHeight * 0.15f, style.eyeWidth * 0.32f, style.eyeHeight * 0.45f),
             rgb(28, 18, 16));
        fill(canvas, circle(ex + style.eyeWidth * 0.25f, eyeY - style.eyeHeight * 0.25f, style.eyeHeight * 0.28f),
             rgb(255, 255, 255));
        // Upper lash line and brow.
        fill(canvas,
             arcStroke(ex, eyeY + style.eyeHeight * 0.1f, style.eyeWidth * 1.08f, style.eyeHeight * 1.1f, 195.0f,
                       345.0f, style.eyeHeight * 0.3f),
             rgb(40, 22, 18));
        fill(canvas,
             arcStroke(ex, eyeY - style.eyeHeight * 1.1f, style.eyeWidth * 1.1f, style.eyeHeight * 0.55f, 205.0f,
                       335.0f, style.eyeHeight * 0.32f),
             style.brows);
        fill(canvas,
             ellipse(ex + static_cast<float>(side) * style.eyeWidth * 0.9f, eyeY + style.mouthDrop * 0.62f,
                     style.eyeWidth * 1.1f, style.eyeHeight * 0.7f),
             style.cheeks, 0.55f);
    }
    fill(canvas, ellipse(cx, eyeY + style.mouthDrop * 0.5f, style.eyeWidth * 0.35f, style.eyeHeight * 0.3f),
         rgb(226, 160, 132));
    fill(canvas,
         arcStroke(cx, eyeY + style.mouthDrop - style.eyeHeight * 0.4f, style.eyeWidth * 1.5f, style.eyeHeight * 0.9f,
                   25.0f, 155.0f, style.eyeHeight * 0.42f),
         style.lips);
}

}  // namespace

Canvas heroineBodyPicture() {
    const Wrap w{512.0f};
    const Colour skin = rgb(246, 206, 178);
    const Colour shoe = rgb(46, 30, 28);
    const Colour sock = rgb(246, 244, 240);
    const Colour dress = rgb(200, 30, 44);
    const Colour dressShadow = rgb(150, 18, 32);
    const Colour white = rgb(253, 251, 246);
    const Colour lace = rgb(232, 230, 226);
    const Colour hair = rgb(124, 68, 32);
    const Colour hairDark = rgb(84, 44, 20);

    Canvas canvas = makeCanvas(512, 512, skin);
    paintAll(canvas, [&](float x, float y) {
        const float u = w.u(x);
        const float v = w.v(y);
        const float grain = fractalNoise(x, y, 32.0f, 512, 512, 4, 11u);
        // Lighter towards the front, darker at the back.
        const float facing = 0.9f + 0.1f * std::cos(kTau * (u - 0.5f));
        if (v < 0.05f) {
            Colour leather = mix(shoe, rgb(78, 52, 46), grain * 0.7f);
            if (v > 0.032f && v < 0.04f) leather = mix(leather, rgb(130, 104, 98), 0.6f);
            return leather;
        }
        if (v < 0.13f) {
            const float rib = 0.94f + 0.06f * std::sin(kTau * u * 48.0f);
            return scaled(mix(sock, rgb(214, 218, 230), grain * 0.6f), rib * facing);
        }
        if (v < 0.30f) return scaled(mix(skin, rgb(236, 190, 162), grain * 0.5f), facing);
        if (v < 0.72f) {
            // Deep folds in the skirt, shallow ones in the bodice.
            const float depth = v < 0.515f ? 0.16f : 0.05f;
            const float fold = 1.0f - depth * (0.5f + 0.5f * std::sin(kTau * u * 14.0f + grain * 2.0f));
            return scaled(mix(dress, dressShadow, grain * 0.6f), fold * facing);
        }
        if (v < 0.76f) return scaled(skin, 0.92f * facing);
        if (v < 0.92f) return mix(skin, rgb(240, 196, 170), grain * 0.4f);
        return mix(hair, hairDark, valueNoise(x * 4.0f, y * 0.5f, 8.0f, 2048, 256, 5u));
    });
    const Paint hairPaint = [&](float x, float y) {
        return mix(hair, hairDark, valueNoise(x * 4.0f, y * 0.5f, 8.0f, 2048, 256, 5u));
    };

    // Shoes: a buckle in front; socks end in a red stripe.
    fill(canvas, roundedRectangle(w.x(0.47f), w.y(0.048f), w.x(0.53f), w.y(0.024f), 3.0f), rgb(214, 180, 70));
    fill(canvas, roundedRectangle(w.x(0.485f), w.y(0.042f), w.x(0.515f), w.y(0.030f), 2.0f), shoe);
    fill(canvas, rectangle(0.0f, w.y(0.13f), 512.0f, w.y(0.118f)), dress);

    // Lace at the hem of the skirt.
    fill(canvas, rectangle(0.0f, w.y(0.322f), 512.0f, w.y(0.30f)), white);
    for (int i = 0; i <= 32; ++i) fill(canvas, circle(static_cast<float>(i) * 16.0f, w.y(0.30f), 6.5f), white);
    for (int i = 0; i < 64; ++i) fill(canvas, circle(static_cast<float>(i) * 8.0f + 4.0f, w.y(0.311f), 1.6f), lace);

    // Apron: skirt panel with a lace edge and a pocket, waistband, bib with a heart, straps.
    const Paint apronPaint = [&](float x, float y) {
        const float crease = 0.97f + 0.03f * std::sin(x * 0.35f);
        return scaled(mix(white, lace, fractalNoise(x, y, 16.0f, 512, 512, 3, 21u) * 0.5f), crease);
    };
    for (int i = 0; i <= 18; ++i)
        fill(canvas, circle(w.x(0.36f) + static_cast<float>(i) * (w.x(0.64f) - w.x(0.36f)) / 18.0f, w.y(0.33f), 4.5f),
             white);
    fill(canvas, roundedRectangle(w.x(0.36f), w.y(0.52f), w.x(0.64f), w.y(0.33f), 14.0f), apronPaint);
    fill(canvas, roundedRectangle(w.x(0.445f), w.y(0.45f), w.x(0.555f), w.y(0.385f), 6.0f), rgb(206, 200, 196));
    fill(canvas, roundedRectangle(w.x(0.45f), w.y(0.445f), w.x(0.55f), w.y(0.39f), 5.0f), apronPaint);
    fill(canvas, rectangle(0.0f, w.y(0.537f), 512.0f, w.y(0.515f)), white);
    fill(canvas, roundedRectangle(w.x(0.42f), w.y(0.675f), w.x(0.58f), w.y(0.52f), 8.0f), apronPaint);
    fill(canvas, heart(256.0f, w.y(0.612f), 22.0f), dress);
    for (float u : {0.43f, 0.57f, 0.055f, 0.945f})
        fill(canvas, rectangle(w.x(u) - 5.0f, w.y(0.72f), w.x(u) + 5.0f, w.y(0.53f)), white);

    // A bow at the back, across the seam.
    for (float seam : {0.0f, 512.0f}) {
        fill(canvas, ellipse(seam - 24.0f, w.y(0.53f), 22.0f, 12.0f), white);
        fill(canvas, ellipse(seam + 24.0f, w.y(0.53f), 22.0f, 12.0f), white);
        fill(canvas, capsule(seam - 6.0f, w.y(0.52f), seam - 16.0f, w.y(0.44f), 5.0f), white);
        fill(canvas, capsule(seam + 6.0f, w.y(0.52f), seam + 16.0f, w.y(0.44f), 5.0f), white);
        fill(canvas, roundedRectangle(seam - 8.0f, w.y(0.542f), seam + 8.0f, w.y(0.514f), 4.0f), lace);
    }

    // White collar with two rounded tabs in front.
    fill(canvas, rectangle(0.0f, w.y(0.722f), 512.0f, w.y(0.706f)), white);
    fill(canvas, ellipse(w.x(0.478f), w.y(0.705f), 13.0f, 8.0f), white);
    fill(canvas, ellipse(w.x(0.522f), w.y(0.705f), 13.0f, 8.0f), white);

    // Hair: long at the back (over the dress), framing the face at the sides, a fringe in front.
    for (float seam : {0.0f, 512.0f}) {
        fill(canvas, roundedRectangle(seam - w.x(0.2f), w.y(0.93f), seam + w.x(0.2f), w.y(0.62f), 40.0f), hairPaint);
        fill(canvas, roundedRectangle(seam - w.x(0.25f), w.y(0.93f), seam + w.x(0.25f), w.y(0.745f), 18.0f), hairPaint);
    }
    fill(canvas, roundedRectangle(w.x(0.24f), w.y(0.98f), w.x(0.33f), w.y(0.775f), 16.0f), hairPaint);
    fill(canvas, roundedRectangle(w.x(0.67f), w.y(0.98f), w.x(0.76f), w.y(0.775f), 16.0f), hairPaint);
    fill(canvas, rectangle(w.x(0.3f), w.y(0.93f), w.x(0.7f), w.y(0.897f)), hairPaint);
    for (int i = 0; i <= 12; ++i)
        fill(canvas, circle(w.x(0.31f) + static_cast<float>(i) * (w.x(0.69f) - w.x(0.31f)) / 12.0f, w.y(0.897f), 8.5f),
             hairPaint);
    // A red ribbon round the hair with a bow above the left ear.
    fill(canvas, rectangle(0.0f, w.y(0.948f), 512.0f, w.y(0.93f)), dress);
    fill(canvas, polygon({{w.x(0.33f), w.y(0.939f)}, {w.x(0.285f), w.y(0.965f)}, {w.x(0.285f), w.y(0.913f)}}), dress);
    fill(canvas, polygon({{w.x(0.33f), w.y(0.939f)}, {w.x(0.375f), w.y(0.965f)}, {w.x(0.375f), w.y(0.913f)}}), dress);
    fill(canvas, circle(w.x(0.33f), w.y(0.939f), 5.0f), dressShadow);

    const FaceStyle face{
        26.0f, 12.0f, 8.5f, 25.0f, rgb(96, 62, 34), rgb(110, 60, 28), rgb(196, 62, 74), rgb(250, 140, 150)};
    drawFace(canvas, 256.0f, w.y(0.85f), face);
    return canvas;
}

Canvas heroineArmPicture(bool left) {
    const Wrap w{256.0f};
    const Colour skin = rgb(246, 206, 178);
    const Colour dress = rgb(200, 30, 44);
    const Colour dressShadow = rgb(150, 18, 32);
    const Colour white = rgb(253, 251, 246);

    Canvas canvas = makeCanvas(256, 256, skin);
    paintAll(canvas, [&](float x, float y) {
        const float u = w.u(x);
        const float v = w.v(y);
        const float grain = fractalNoise(x, y, 16.0f, 256, 256, 4, 31u);
        const float facing = 0.9f + 0.1f * std::cos(kTau * (u - 0.5f));
        if (v < 0.15f) return scaled(mix(skin, rgb(236, 188, 160), grain * 0.5f), facing);
        if (v < 0.2f) return scaled(mix(white, rgb(226, 226, 232), grain * 0.5f), facing);
        // Gathers at the shoulder puff, a crease at the elbow.
        float shade = 1.0f;
        if (v > 0.8f) shade = 1.0f - 0.18f * clamp01((v - 0.8f) / 0.1f) * (0.5f + 0.5f * std::sin(kTau * u * 10.0f));
        const float elbow = std::fabs(v - 0.5f - 0.02f * std::sin(kTau * u * 2.0f));
        if (elbow < 0.012f) shade *= 0.8f;
        return scaled(mix(dress, dressShadow, grain * 0.6f), shade * facing);
    });
    // Fingers and thumb.
    for (float u : {0.42f, 0.47f, 0.53f, 0.58f})
        fill(canvas, capsule(w.x(u), w.y(0.0f), w.x(u), w.y(0.06f), 1.1f), rgb(214, 160, 134));
    fill(canvas, ellipse(w.x(0.68f), w.y(0.09f), 11.0f, 8.0f), rgb(226, 176, 150));
    fill(canvas, ellipse(w.x(0.68f), w.y(0.092f), 9.5f, 6.5f), rgb(244, 202, 176));
    // Cuff: scalloped lace edge towards the hand and a red trim.
    for (int i = 0; i <= 16; ++i) fill(canvas, circle(static_cast<float>(i) * 16.0f, w.y(0.15f), 5.0f), white);
    fill(canvas, rectangle(0.0f, w.y(0.183f), 256.0f, w.y(0.175f)), dress);
    fill(canvas, rectangle(0.0f, w.y(0.205f), 256.0f, w.y(0.2f)), dressShadow);
    if (!left) mirrorColumns(canvas);
    return canvas;
}

Canvas ghostPicture() {
    const Wrap w{256.0f};
    Canvas canvas = makeCanvas(256, 256, rgb(246, 248, 255));
    paintAll(canvas, [&](float x, float y) {
        const float u = w.u(x);
        const float v = w.v(y);
        const float grain = fractalNoise(x, y, 32.0f, 256, 256, 3, 41u);
        const float hem = clamp01((0.5f - v) / 0.5f);
        Colour sheet = mix(rgb(248, 250, 255), rgb(196, 212, 242), hem * hem);
        // Soft folds that deepen towards the hem.
        const float fold = 1.0f - 0.05f * hem * (0.5f + 0.5f * std::sin(kTau * u * 8.0f + grain * 2.0f));
        if (v < 0.035f) sheet = mix(sheet, rgb(176, 194, 232), 0.6f);
        return scaled(mix(sheet, rgb(232, 236, 250), grain * 0.3f), fold);
    });
    // Eyes: dark ovals with a glint; a wide smile; pink cheeks.
    for (int side = -1; side <= 1; side += 2) {
        const float ex = 128.0f + static_cast<float>(side) * 18.0f;
        fill(canvas, ellipse(ex, w.y(0.74f), 8.0f, 13.0f), rgb(40, 42, 72));
        fill(canvas, circle(ex + 2.5f, w.y(0.74f) - 5.0f, 3.2f), rgb(255, 255, 255));
        fill(canvas, ellipse(128.0f + static_cast<float>(side) * 32.0f, w.y(0.655f), 10.0f, 6.0f), rgb(255, 168, 186),
             0.8f);
    }
    fill(canvas, arcStroke(128.0f, w.y(0.675f), 18.0f, 11.0f, 20.0f, 160.0f, 4.5f), rgb(72, 50, 84));
    return canvas;
}
