// The image generator's raster: a float RGBA canvas, antialiased shapes,
// periodic noise, a seeded random sequence and the export to TGA and PNG files.
// Coordinates are pixels, x to the right, y downwards, (0, 0) the top-left
// corner of the top-left pixel. Everything is deterministic.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

Colour rgb(int r, int g, int b);
Colour mix(Colour a, Colour b, float t);
Colour scaled(Colour c, float k);
Colour grey(Colour c);  // the colour's own brightness as a grey

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<float> rgba;  // rows top first, straight (not premultiplied) alpha
};

Canvas makeCanvas(int width, int height, Colour background);
// A transparent canvas for pictures that are shown with black as "nothing".
Canvas makeClearCanvas(int width, int height);

using Inside = std::function<bool(float x, float y)>;
using Paint = std::function<Colour(float x, float y)>;

// A region: its bounding box and the test that tells which points are in it.
struct Shape {
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 0.0f;
    float y1 = 0.0f;
    Inside inside;
};

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

Shape circle(float cx, float cy, float r);
Shape ellipse(float cx, float cy, float rx, float ry);
Shape rectangle(float x0, float y0, float x1, float y1);
Shape roundedRectangle(float x0, float y0, float x1, float y1, float radius);
// A stroke from a to b with round ends.
Shape capsule(float ax, float ay, float bx, float by, float radius);
Shape polygon(std::vector<Point> points);
// A star of the given number of points, the first pointing up.
Shape star(float cx, float cy, float outerRadius, float innerRadius, int points);
// A stroke along part of an ellipse; angles in degrees, 0 = +x, 90 = down (+y).
Shape arcStroke(float cx, float cy, float rx, float ry, float fromDegrees, float toDegrees, float thickness);
Shape unite(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape intersect(Shape a, Shape b);
// The shape grown by radius (tested at sixteen points around each point).
Shape grow(Shape shape, float radius);

// Covers the shape (4 x 4 samples per pixel) with a colour or a paint that is
// evaluated once per pixel centre, blended over what is there.
void fill(Canvas& canvas, const Shape& shape, Colour colour, float opacity = 1.0f);
void fill(Canvas& canvas, const Shape& shape, const Paint& paint, float opacity = 1.0f);
// Paints every pixel opaquely.
void paintAll(Canvas& canvas, const Paint& paint);

// A small deterministic random sequence (xorshift32).
struct Random {
    std::uint32_t state = 0x9e3779b9u;
};
Random seededRandom(std::uint32_t seed);
float nextUnit(Random& random);  // [0, 1)
float nextRange(Random& random, float low, float high);

// Value noise in [0, 1] on a lattice of cells of the given size in pixels,
// repeating every periodX x periodY pixels (both multiples of cellSize).
float valueNoise(float x, float y, float cellSize, int periodX, int periodY, std::uint32_t seed);
// Octaves of value noise, each half the cell size and weight of the last.
float fractalNoise(float x, float y, float cellSize, int periodX, int periodY, int octaves, std::uint32_t seed);

// RGB bytes, rows top first, of an opaque canvas.
std::vector<unsigned char> opaqueBytes(const Canvas& canvas);
// RGB bytes for pictures the text shader draws: pure black where the canvas
// is mostly clear, elsewhere the colour with its brightest channel at least
// kOverlayMinimum, so no visible texel falls under the shader's discard limit.
constexpr int kOverlayMinimum = 56;
std::vector<unsigned char> overlayBytes(const Canvas& canvas);
// Writes an uncompressed-or-RLE 24-bit TGA, rows top first in memory.
bool writeTga(const std::string& path, int width, int height, const std::vector<unsigned char>& rgbBytes);

// The canvas scaled down to width x height: each new pixel is the average of
// the area it covers (partly covered pixels count by their share), colours
// weighted by their alpha so clear pixels do not darken the edges.
Canvas shrunk(const Canvas& canvas, int width, int height);
// RGBA bytes, rows top first, straight alpha.
std::vector<unsigned char> rgbaBytes(const Canvas& canvas);
// Writes a 32-bit RGBA PNG, rows top first in memory.
bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgbaBytes);
