// The overlay pictures. Every shape has a dark rim so it reads against snow
// and sky alike; dark here still means bright enough to survive the discard.
#include "tools/images/overlay_pictures.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

constexpr float kPi = 3.14159265358979f;

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

Colour looked(Colour c, CakeLook look) {
    switch (look) {
    case CakeLook::Carried:
        return c;
    case CakeLook::Lying:
        return mix(c, rgb(240, 242, 250), 0.55f);
    case CakeLook::Lost:
        return mix(grey(c), rgb(110, 110, 116), 0.35f);
    }
    return c;
}

// The cake, designed on a 256 x 256 box and drawn centred on (cx, cy) at the given scale.
void drawCake(Canvas& canvas, float cx, float cy, float scale, CakeLook look) {
    auto X = [=](float x) { return cx + (x - 128.0f) * scale; };
    auto Y = [=](float y) { return cy + (y - 128.0f) * scale; };
    auto L = [=](float length) { return length * scale; };
    auto paint = [look](Colour c) { return looked(c, look); };
    // How far the cake's round front bulges below its flat outline at column x.
    auto bulge = [=](float x) {
        const float t = (x - X(128.0f)) / L(90.0f);
        return L(22.0f) * std::sqrt(std::max(0.0f, 1.0f - t * t));
    };

    Shape plate = ellipse(X(128), Y(212), L(112), L(24));
    Shape body = unite(rectangle(X(38), Y(108), X(218), Y(200)), ellipse(X(128), Y(200), L(90), L(22)));
    Shape top = ellipse(X(128), Y(108), L(90), L(24));
    Shape cherry = circle(X(128), Y(80), L(17));
    Shape silhouette = unite(unite(plate, body), unite(top, cherry));
    silhouette = unite(std::move(silhouette), capsule(X(130), Y(66), X(146), Y(44), L(3)));
    fill(canvas, grow(silhouette, L(6)), paint(rgb(104, 44, 56)));

    fill(canvas, plate, paint(rgb(200, 214, 236)));
    fill(canvas, ellipse(X(128), Y(209), L(98), L(17)), paint(rgb(238, 243, 252)));

    // Layers that follow the round front: sponge, cream, jam, cream, sponge.
    fill(canvas, body, [=](float x, float y) {
        const float depth = (y - bulge(x) - Y(108)) / scale;
        const float side = 0.78f + 0.22f * std::cos(clamp01(std::fabs(x - X(128)) / L(90)) * kPi / 2.0f);
        Colour c = rgb(236, 184, 100);
        if (depth >= 40.0f && depth < 50.0f) c = rgb(255, 246, 230);
        if (depth >= 50.0f && depth < 61.0f) c = rgb(206, 34, 62);
        if (depth >= 61.0f && depth < 70.0f) c = rgb(255, 246, 230);
        return looked(scaled(c, side), look);
    });

    // Icing over the top edge with drips, then the flat top.
    const Colour icing = paint(rgb(255, 132, 180));
    fill(canvas, unite(rectangle(X(38), Y(104), X(218), Y(114)), ellipse(X(128), Y(114), L(90), L(24))), icing);
    const float drips[][2] = {{52, 14}, {74, 26}, {98, 16}, {122, 30}, {148, 18}, {172, 28}, {196, 15}, {212, 10}};
    for (const auto& drip : drips) {
        const float x = X(drip[0]);
        const float y = Y(112) + bulge(x);
        fill(canvas, capsule(x, y, x, y + L(drip[1]), L(7)), icing);
    }
    fill(canvas, top, paint(rgb(255, 176, 208)));
    // Sprinkles on top.
    const Colour sprinkles[] = {rgb(255, 220, 60), rgb(80, 200, 110), rgb(70, 140, 240), rgb(255, 255, 255)};
    Random random = seededRandom(61u);
    for (int i = 0; i < 22; ++i) {
        const float a = nextRange(random, 0.0f, 2.0f * kPi);
        const float r = std::sqrt(nextUnit(random)) * 0.8f;
        const float x = X(128) + std::cos(a) * r * L(90);
        const float y = Y(108) + std::sin(a) * r * L(24);
        const float turn = nextRange(random, 0.0f, kPi);
        fill(canvas,
             capsule(x - std::cos(turn) * L(5), y - std::sin(turn) * L(2.5f), x + std::cos(turn) * L(5),
                     y + std::sin(turn) * L(2.5f), L(2.2f)),
             paint(sprinkles[i % 4]));
    }
    // Cream dollops and the cherry with its stem.
    for (float x : {78.0f, 178.0f}) {
        fill(canvas, circle(X(x), Y(106), L(12)), paint(rgb(236, 226, 214)));
        fill(canvas, circle(X(x) - L(2), Y(103), L(10)), paint(rgb(255, 252, 244)));
    }
    fill(canvas, arcStroke(X(150), Y(66), L(20), L(22), 180.0f, 250.0f, L(5)), paint(rgb(92, 150, 46)));
    fill(canvas, cherry, paint(rgb(222, 22, 46)));
    fill(canvas, circle(X(121), Y(73), L(5.5f)), paint(rgb(255, 170, 180)));
}

// Two lines of large lettering with a dark rim and a vertical gradient.
void drawTitle(Canvas& canvas, const Font& font, const std::string& first, const std::string& second, Colour light,
               Colour deep, Colour rim) {
    const float capHeight = 84.0f;
    const float baselines[] = {112.0f, 214.0f};
    const std::string lines[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        const float baseline = baselines[i];
        const Shape text = textShape(font, lines[i], 256.0f, baseline, capHeight);
        fill(canvas, grow(text, 7.0f), rim);
        fill(canvas, text,
             [=](float, float y) { return mix(light, deep, clamp01((y - baseline + capHeight) / capHeight)); });
    }
}

void scatterConfetti(Canvas& canvas, int count, float y0, float y1, float keepOutX0, float keepOutX1,
                     std::uint32_t seed) {
    const Colour colours[] = {rgb(255, 90, 120), rgb(255, 214, 60), rgb(90, 210, 120), rgb(90, 160, 255),
                              rgb(200, 120, 255)};
    Random random = seededRandom(seed);
    for (int i = 0; i < count; ++i) {
        const float x = nextRange(random, 16.0f, 496.0f);
        const float y = nextRange(random, y0, y1);
        const float turn = nextRange(random, 0.0f, kPi);
        const Colour colour = colours[i % 5];
        if (x > keepOutX0 && x < keepOutX1) continue;
        fill(canvas,
             capsule(x - std::cos(turn) * 6.0f, y - std::sin(turn) * 6.0f, x + std::cos(turn) * 6.0f,
                     y + std::sin(turn) * 6.0f, 3.0f),
             colour);
    }
}

}  // namespace

Canvas cakeIconPicture(CakeLook look) {
    Canvas canvas = makeClearCanvas(256, 256);
    drawCake(canvas, 128.0f, 124.0f, 1.0f, look);
    if (look == CakeLook::Lost) {
        const Shape cross =
            unite(capsule(46.0f, 50.0f, 210.0f, 214.0f, 14.0f), capsule(210.0f, 50.0f, 46.0f, 214.0f, 14.0f));
        fill(canvas, grow(cross, 5.0f), rgb(120, 20, 26));
        fill(canvas, cross, rgb(234, 40, 40));
    }
    return canvas;
}

Canvas victoryPicture(const Font& font) {
    Canvas canvas = makeClearCanvas(512, 512);
    scatterConfetti(canvas, 60, 240.0f, 500.0f, 140.0f, 372.0f, 71u);
    const float stars[][3] = {{84, 300, 30},  {436, 318, 34}, {60, 430, 20},
                              {456, 440, 22}, {120, 480, 14}, {400, 486, 14}};
    for (const auto& s : stars) {
        fill(canvas, grow(star(s[0], s[1], s[2], s[2] * 0.42f, 5), 4.0f), rgb(170, 100, 20));
        fill(canvas, star(s[0], s[1], s[2], s[2] * 0.42f, 5), rgb(255, 222, 70));
    }
    drawCake(canvas, 256.0f, 368.0f, 0.86f, CakeLook::Carried);
    drawTitle(canvas, font, "YOU", "WON!", rgb(255, 244, 150), rgb(255, 160, 30), rgb(150, 40, 30));
    return canvas;
}

Canvas gameOverPicture(const Font& font) {
    Canvas canvas = makeClearCanvas(512, 512);
    // A ghost with a grin, making off to the right with the cake.
    Shape ghost = unite(circle(190.0f, 330.0f, 68.0f), rectangle(122.0f, 330.0f, 258.0f, 438.0f));
    for (int i = 0; i < 4; ++i)
        ghost = unite(std::move(ghost), circle(139.0f + 34.0f * static_cast<float>(i), 438.0f, 17.0f));
    const Shape arm = capsule(250.0f, 380.0f, 300.0f, 402.0f, 11.0f);
    for (float y : {300.0f, 350.0f, 400.0f}) fill(canvas, capsule(40.0f, y, 98.0f, y, 5.0f), rgb(150, 170, 220));
    fill(canvas, grow(unite(ghost, arm), 5.0f), rgb(96, 108, 160));
    const Paint sheet = [](float x, float y) {
        return mix(rgb(250, 252, 255), rgb(196, 212, 244), clamp01((y - 300.0f) / 160.0f + (x - 190.0f) / 400.0f));
    };
    fill(canvas, unite(ghost, arm), sheet);
    fill(canvas, ellipse(168.0f, 318.0f, 10.0f, 17.0f), rgb(50, 52, 96));
    fill(canvas, ellipse(212.0f, 318.0f, 10.0f, 17.0f), rgb(50, 52, 96));
    fill(canvas, circle(171.0f, 312.0f, 3.5f), rgb(255, 255, 255));
    fill(canvas, circle(215.0f, 312.0f, 3.5f), rgb(255, 255, 255));
    fill(canvas, arcStroke(190.0f, 352.0f, 26.0f, 14.0f, 15.0f, 165.0f, 6.0f), rgb(70, 56, 100));
    drawCake(canvas, 352.0f, 392.0f, 0.55f, CakeLook::Carried);
    // Crumbs falling behind.
    Random random = seededRandom(83u);
    for (int i = 0; i < 12; ++i) {
        const float x = nextRange(random, 300.0f, 420.0f);
        const float y = nextRange(random, 470.0f, 504.0f);
        fill(canvas, circle(x, y, nextRange(random, 2.5f, 4.5f)), rgb(226, 170, 90));
    }
    drawTitle(canvas, font, "GAME", "OVER", rgb(255, 120, 100), rgb(200, 20, 40), rgb(90, 20, 44));
    return canvas;
}
