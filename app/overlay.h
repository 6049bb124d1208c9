// The pixel-space overlay: text drawn glyph by glyph from the font atlas
// (object count, frame rate and frame time, status line) and the row of ten
// cake icons. What to draw and where is worked out by plain functions; the
// GL functions at the end only draw it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/options.h"
#include "game/scene.h"
#include "math/box.h"
#include "math/view.h"

struct GameTextures;
struct GlyphQuads;
struct Model;
struct ShaderProgram;

constexpr float kTextAdvance = 20.0f;   // half a cell: neighbouring cells overlap by half
constexpr float kTextScale = 20.0f;     // a 2 x 2 glyph quad becomes a 40 x 40 pixel cell
constexpr float kOverlayDepth = 9.0f;   // one unit in front of the overlay camera
constexpr double kStatusSeconds = 2.0;  // how long a status message stays
constexpr float kHudGap = 10.0f;        // between the icon row and text lines moved below it

// A run of characters whose first cell is centred at (x, y) in overlay pixels.
struct OverlayText {
    float x = 0.0f;
    float y = 0.0f;
    std::string characters;  // drawn byte for byte, zero bytes included
};

// The figures the text lines show this frame.
struct OverlayFigures {
    int drawnObjectCount = 0;
    float shownFrameRate = 0.0f;
    float shownFrameMillis = 0.0f;
    float frameTime = 0.0f;  // the last frame's duration, printed in ms
};

// A text object: black, T(x, y, 9) * S(20). Built directly, not through the
// object constructors, so drawing text never draws from gameRandom.
SceneObject makeTextObject(float x, float y);

// The first two bytes of "%i" of the count (a one-digit count keeps its zero).
std::string objectCountCharacters(int count);
// The first five bytes of "%f" of the value.
std::string figureCharacters(float value);
// The pixels a run's cells cover (each cell 40 x 40 around its centre).
Box textRunBox(const OverlayText& run);
// The pixels the icon row covers: each icon's mesh bounds as its object places it.
Box iconRowBox(const Scene& scene, const Box& iconMeshBounds);
// The text runs of this frame in drawing order, placed from the window size.
// The icon row stays where loading put it, so the object-count and
// frame-rate lines give way: when any of them would cross keepClear, they
// move down together, keeping their spacing, to just below it.
std::vector<OverlayText> buildOverlayText(const OptionFlags& options, const StatusMessage& status,
                                          const OverlayFigures& figures, int width, int height,
                                          const Box& keepClear = Box{});
// The console line of the frame-rate option: frame time in ms, "ms", newline.
std::string frameTimeLine(float frameTime);
// Hides the status message once now is past its two seconds.
void hideExpiredStatus(StatusMessage& status, float now);
// Texture of each icon of the row, left to right.
std::array<unsigned int, kCakeCount> iconRowTextures(const Scene& scene, const GameTextures& textures);

// Draws count bytes of characters, one of the glyph quads each with the atlas
// texture, advancing the object's copy by advance pixels per character.
// Glyphs and icons keep their pictures' own colours (no sRGB encoding).
void drawText(SceneObject textObject, const GlyphQuads& glyphs, const ShaderProgram& textProgram, unsigned int atlas,
              const View& view, float advance, const char* characters, int count);
// The frame's overlay text, clear of keepClear (the icon row); prints the
// frame-time line when the frame rate is shown, and hides the status message
// after drawing it once expired (now is the clock).
void drawOverlayText(const OptionFlags& options, StatusMessage& status, const OverlayFigures& figures,
                     const GlyphQuads& glyphs, const ShaderProgram& textProgram, unsigned int atlas, const View& view,
                     float now, const Box& keepClear);
// The ten cake icons; time is the window-opening time, as the icons expect.
void drawIconRow(const Scene& scene, const Model& iconModel, const ShaderProgram& textProgram,
                 const GameTextures& textures, const View& view, float time);
// Polygon mode for everything drawn from now on.
void applyWireframe(bool wireframe);
