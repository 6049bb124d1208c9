// The image generator's raster: shapes as inside-tests sampled 4 x 4 per
// pixel, value noise on a repeating lattice, and the TGA and PNG exports.
#include "tools/images/canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kSamples = 4;  // per pixel side

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

unsigned char toByte(float v) { return static_cast<unsigned char>(std::lround(clamp01(v) * 255.0f)); }

void blendPixel(Canvas& canvas, int x, int y, Colour colour, float alpha) {
    float* p = canvas.rgba.data() + (static_cast<std::size_t>(y) * canvas.width + x) * 4;
    const float outAlpha = alpha + p[3] * (1.0f - alpha);
    if (outAlpha <= 0.0f) return;
    const float keep = p[3] * (1.0f - alpha);
    p[0] = (colour.r * alpha + p[0] * keep) / outAlpha;
    p[1] = (colour.g * alpha + p[1] * keep) / outAlpha;
    p[2] = (colour.b * alpha + p[2] * keep) / outAlpha;
    p[3] = outAlpha;
}

std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float lattice(int x, int y, int cellsX, int cellsY, std::uint32_t seed) {
    const int wx = ((x % cellsX) + cellsX) % cellsX;
    const int wy = ((y % cellsY) + cellsY) % cellsY;
    return static_cast<float>(hash(static_cast<std::uint32_t>(wx), static_cast<std::uint32_t>(wy), seed) & 0xffffu) /
           65535.0f;
}

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

Colour rgb(int r, int g, int b) {
    return Colour{static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f};
}

Colour mix(Colour a, Colour b, float t) {
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scaled(Colour c, float k) { return Colour{c.r * k, c.g * k, c.b * k}; }

Colour grey(Colour c) {
    const float y = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
    return Colour{y, y, y};
}

Canvas makeCanvas(int width, int height, Colour background) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < canvas.rgba.size(); i += 4) {
        canvas.rgba[i] = background.r;
        canvas.rgba[i + 1] = background.g;
        canvas.rgba[i + 2] = background.b;
        canvas.rgba[i + 3] = 1.0f;
    }
    return canvas;
}

Canvas makeClearCanvas(int width, int height) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.rgba.assign(static_cast<std::size_t>(width) * height * 4, 0.0f);
    return canvas;
}

Shape circle(float cx, float cy, float r) { return ellipse(cx, cy, r, r); }

Shape ellipse(float cx, float cy, float rx, float ry) {
    return Shape{cx - rx, cy - ry, cx + rx, cy + ry, [=](float x, float y) {
                     const float dx = (x - cx) / rx;
                     const float dy = (y - cy) / ry;
                     return dx * dx + dy * dy <= 1.0f;
                 }};
}

Shape rectangle(float x0, float y0, float x1, float y1) {
    return Shape{x0, y0, x1, y1, [=](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }};
}

Shape roundedRectangle(float x0, float y0, float x1, float y1, float radius) {
    return Shape{x0, y0, x1, y1, [=](float x, float y) {
                     if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
                     const float cx = std::min(std::max(x, x0 + radius), x1 - radius);
                     const float cy = std::min(std::max(y, y0 + radius), y1 - radius);
                     return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
                 }};
}

Shape capsule(float ax, float ay, float bx, float by, float radius) {
    const float dx = bx - ax;
    const float dy = by - ay;
    const float lengthSquared = std::max(dx * dx + dy * dy, 1e-6f);
    return Shape{std::min(ax, bx) - radius, std::min(ay, by) - radius, std::max(ax, bx) + radius,
                 std::max(ay, by) + radius, [=](float x, float y) {
                     const float t = clamp01(((x - ax) * dx + (y - ay) * dy) / lengthSquared);
                     const float px = ax + t * dx - x;
                     const float py = ay + t * dy - y;
                     return px * px + py * py <= radius * radius;
                 }};
}

Shape polygon(std::vector<Point> points) {
    Shape shape;
    shape.x0 = shape.x1 = points.empty() ? 0.0f : points[0].x;
    shape.y0 = shape.y1 = points.empty() ? 0.0f : points[0].y;
    for (const Point& p : points) {
        shape.x0 = std::min(shape.x0, p.x);
        shape.x1 = std::max(shape.x1, p.x);
        shape.y0 = std::min(shape.y0, p.y);
        shape.y1 = std::max(shape.y1, p.y);
    }
    shape.inside = [points = std::move(points)](float x, float y) {
        bool in = false;  // even-odd crossings of a ray to the right
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Point& a = points[i];
            const Point& b = points[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
        }
        return in;
    };
    return shape;
}

Shape star(float cx, float cy, float outerRadius, float innerRadius, int points) {
    std::vector<Point> corners;
    for (int i = 0; i < points * 2; ++i) {
        const float angle = -kPi / 2.0f + static_cast<float>(i) * kPi / static_cast<float>(points);
        const float r = i % 2 == 0 ? outerRadius : innerRadius;
        corners.push_back(Point{cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    return polygon(std::move(corners));
}

Shape arcStroke(float cx, float cy, float rx, float ry, float fromDegrees, float toDegrees, float thickness) {
    const float half = thickness * 0.5f;
    const float from = fromDegrees * kPi / 180.0f;
    const float to = toDegrees * kPi / 180.0f;
    const float ax = cx + rx * std::cos(from);
    const float ay = cy + ry * std::sin(from);
    const float bx = cx + rx * std::cos(to);
    const float by = cy + ry * std::sin(to);
    return Shape{cx - rx - half, cy - ry - half, cx + rx + half, cy + ry + half, [=](float x, float y) {
                     const float dx = x - cx;
                     const float dy = y - cy;
                     if ((x - ax) * (x - ax) + (y - ay) * (y - ay) <= half * half) return true;
                     if ((x - bx) * (x - bx) + (y - by) * (y - by) <= half * half) return true;
                     float angle = std::atan2(dy / ry, dx / rx);
                     while (angle < from) angle += 2.0f * kPi;
                     if (angle > to) return false;
                     const float length = std::sqrt(dx * dx + dy * dy);
                     const float normalised = std::sqrt((dx / rx) * (dx / rx) + (dy / ry) * (dy / ry));
                     if (normalised <= 0.0f) return false;
                     return std::fabs(length - length / normalised) <= half;
                 }};
}

Shape unite(Shape a, Shape b) {
    Shape shape{std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1), {}};
    shape.inside = [ia = std::move(a.inside), ib = std::move(b.inside)](float x, float y) {
        return ia(x, y) || ib(x, y);
    };
    return shape;
}

Shape subtract(Shape a, Shape b) {
    Shape shape{a.x0, a.y0, a.x1, a.y1, {}};
    shape.inside = [ia = std::move(a.inside), ib = std::move(b.inside)](float x, float y) {
        return ia(x, y) && !ib(x, y);
    };
    return shape;
}

Shape intersect(Shape a, Shape b) {
    Shape shape{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1), {}};
    shape.inside = [ia = std::move(a.inside), ib = std::move(b.inside)](float x, float y) {
        return ia(x, y) && ib(x, y);
    };
    return shape;
}

Shape grow(Shape shape, float radius) {
    Shape grown{shape.x0 - radius, shape.y0 - radius, shape.x1 + radius, shape.y1 + radius, {}};
    grown.inside = [in = std::move(shape.inside), radius](float x, float y) {
        if (in(x, y)) return true;
        for (int i = 0; i < 16; ++i) {
            const float a = static_cast<float>(i) * kPi / 8.0f;
            if (in(x + radius * std::cos(a), y + radius * std::sin(a))) return true;
        }
        return false;
    };
    return grown;
}

void fill(Canvas& canvas, const Shape& shape, const Paint& paint, float opacity) {
    const int x0 = std::max(0, static_cast<int>(std::floor(shape.x0)) - 1);
    const int y0 = std::max(0, static_cast<int>(std::floor(shape.y0)) - 1);
    const int x1 = std::min(canvas.width, static_cast<int>(std::ceil(shape.x1)) + 1);
    const int y1 = std::min(canvas.height, static_cast<int>(std::ceil(shape.y1)) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    if (shape.inside(static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / kSamples,
                                     static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / kSamples))
                        ++hits;
            if (hits == 0) continue;
            const float coverage = static_cast<float>(hits) / (kSamples * kSamples);
            blendPixel(canvas, x, y, paint(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f),
                       coverage * opacity);
        }
    }
}

void fill(Canvas& canvas, const Shape& shape, Colour colour, float opacity) {
    fill(
        canvas, shape, [colour](float, float) { return colour; }, opacity);
}

void paintAll(Canvas& canvas, const Paint& paint) {
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const Colour c = paint(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            float* p = canvas.rgba.data() + (static_cast<std::size_t>(y) * canvas.width + x) * 4;
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = 1.0f;
        }
    }
}

Random seededRandom(std::uint32_t seed) {
    Random random;
    random.state = seed == 0 ? 0x9e3779b9u : seed;
    return random;
}

float nextUnit(Random& random) {
    std::uint32_t s = random.state;
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    random.state = s;
    return static_cast<float>(s >> 8) / 16777216.0f;
}

float nextRange(Random& random, float low, float high) { return low + (high - low) * nextUnit(random); }

float valueNoise(float x, float y, float cellSize, int periodX, int periodY, std::uint32_t seed) {
    const int cellsX = std::max(1, static_cast<int>(std::lround(static_cast<float>(periodX) / cellSize)));
    const int cellsY = std::max(1, static_cast<int>(std::lround(static_cast<float>(periodY) / cellSize)));
    const float gx = x / cellSize;
    const float gy = y / cellSize;
    const int ix = static_cast<int>(std::floor(gx));
    const int iy = static_cast<int>(std::floor(gy));
    const float fx = smooth(gx - static_cast<float>(ix));
    const float fy = smooth(gy - static_cast<float>(iy));
    const float top = lattice(ix, iy, cellsX, cellsY, seed) +
                      (lattice(ix + 1, iy, cellsX, cellsY, seed) - lattice(ix, iy, cellsX, cellsY, seed)) * fx;
    const float bottom =
        lattice(ix, iy + 1, cellsX, cellsY, seed) +
        (lattice(ix + 1, iy + 1, cellsX, cellsY, seed) - lattice(ix, iy + 1, cellsX, cellsY, seed)) * fx;
    return top + (bottom - top) * fy;
}

float fractalNoise(float x, float y, float cellSize, int periodX, int periodY, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float weights = 0.0f;
    float weight = 1.0f;
    for (int octave = 0; octave < octaves && cellSize >= 1.0f; ++octave) {
        sum += weight * valueNoise(x, y, cellSize, periodX, periodY, seed + static_cast<std::uint32_t>(octave) * 101u);
        weights += weight;
        weight *= 0.5f;
        cellSize *= 0.5f;
    }
    return weights > 0.0f ? sum / weights : 0.5f;
}

std::vector<unsigned char> opaqueBytes(const Canvas& canvas) {
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<std::size_t>(canvas.width) * canvas.height * 3);
    for (std::size_t i = 0; i < canvas.rgba.size(); i += 4)
        for (int c = 0; c < 3; ++c) bytes.push_back(toByte(canvas.rgba[i + c] * canvas.rgba[i + 3]));
    return bytes;
}

std::vector<unsigned char> overlayBytes(const Canvas& canvas) {
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<std::size_t>(canvas.width) * canvas.height * 3);
    for (std::size_t i = 0; i < canvas.rgba.size(); i += 4) {
        if (canvas.rgba[i + 3] < 0.5f) {
            bytes.insert(bytes.end(), {0, 0, 0});
            continue;
        }
        int c[3] = {toByte(canvas.rgba[i]), toByte(canvas.rgba[i + 1]), toByte(canvas.rgba[i + 2])};
        const int brightest = std::max(c[0], std::max(c[1], c[2]));
        // Lift dark colours by the same amount on every channel, keeping their hue.
        const int lift = std::max(0, kOverlayMinimum - brightest);
        for (int k = 0; k < 3; ++k) bytes.push_back(static_cast<unsigned char>(c[k] + lift));
    }
    return bytes;
}

bool writeTga(const std::string& path, int width, int height, const std::vector<unsigned char>& rgbBytes) {
    if (rgbBytes.size() != static_cast<std::size_t>(width) * height * 3) return false;
    return stbi_write_tga(path.c_str(), width, height, 3, rgbBytes.data()) != 0;
}

namespace {

// How much of the span [i, i + 1) of source pixel i falls into the
// target span [start, end), both in source pixels.
float overlap(int i, float start, float end) {
    return std::max(0.0f, std::min(end, static_cast<float>(i + 1)) - std::max(start, static_cast<float>(i)));
}

}  // namespace

Canvas shrunk(const Canvas& canvas, int width, int height) {
    if (width <= 0 || height <= 0 || canvas.width <= 0 || canvas.height <= 0) return Canvas{};
    Canvas out = makeClearCanvas(width, height);
    const float stepX = static_cast<float>(canvas.width) / static_cast<float>(width);
    const float stepY = static_cast<float>(canvas.height) / static_cast<float>(height);
    for (int y = 0; y < height; ++y) {
        const float y0 = static_cast<float>(y) * stepY;
        const float y1 = y0 + stepY;
        for (int x = 0; x < width; ++x) {
            const float x0 = static_cast<float>(x) * stepX;
            const float x1 = x0 + stepX;
            float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // premultiplied colour, alpha
            float area = 0.0f;
            const int lastY = std::min(canvas.height, static_cast<int>(std::ceil(y1)));
            const int lastX = std::min(canvas.width, static_cast<int>(std::ceil(x1)));
            for (int sy = static_cast<int>(y0); sy < lastY; ++sy) {
                const float wy = overlap(sy, y0, y1);
                for (int sx = static_cast<int>(x0); sx < lastX; ++sx) {
                    const float w = wy * overlap(sx, x0, x1);
                    const float* p = canvas.rgba.data() + (static_cast<std::size_t>(sy) * canvas.width + sx) * 4;
                    for (int c = 0; c < 3; ++c) sum[c] += w * p[c] * p[3];
                    sum[3] += w * p[3];
                    area += w;
                }
            }
            float* q = out.rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            if (area <= 0.0f || sum[3] <= 0.0f) continue;
            for (int c = 0; c < 3; ++c) q[c] = sum[c] / sum[3];
            q[3] = sum[3] / area;
        }
    }
    return out;
}

std::vector<unsigned char> rgbaBytes(const Canvas& canvas) {
    std::vector<unsigned char> bytes;
    bytes.reserve(canvas.rgba.size());
    for (float v : canvas.rgba) bytes.push_back(toByte(v));
    return bytes;
}

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgbaBytes) {
    if (width <= 0 || height <= 0) return false;  // a PNG holds at least one pixel
    if (rgbaBytes.size() != static_cast<std::size_t>(width) * height * 4) return false;
    return stbi_write_png(path.c_str(), width, height, 4, rgbaBytes.data(), width * 4) != 0;
}
