// Overlay text and the cake icon row: text runs built from the options and
// figures, then drawn from the glyph quads made at loading, in overlay pixels.
#include "app/overlay.h"

#include <GL/glew.h>

#include <cstddef>
#include <cstdio>
#include <glm/gtc/matrix_transform.hpp>
#include <utility>

#include "game/cakes.h"
#include "render/draw.h"
#include "render/game_textures.h"
#include "render/model.h"
#include "render/srgb_output.h"

namespace {

// Formats into a zero-filled buffer and keeps its first count bytes, so a
// short result is padded with the terminating zeros that get drawn as cell 0.
// snprintf keeps a huge value from running past the buffer.
template <typename T>
std::string leadingCharacters(const char* format, T value, int count) {
    char buffer[32] = {};
    std::snprintf(buffer, sizeof buffer, format, value);
    return std::string(buffer, static_cast<std::size_t>(count));
}

// Bytes of the status text, stopping early at a terminator so a length
// longer than the text never reads past it.
std::string statusCharacters(const StatusMessage& status) {
    std::string characters;
    for (int i = 0; i < status.length && status.text[i] != '\0'; ++i) characters.push_back(status.text[i]);
    return characters;
}

OverlayText textRun(float x, float y, std::string characters) {
    OverlayText run;
    run.x = x;
    run.y = y;
    run.characters = std::move(characters);
    return run;
}

// Overlap with some area in common; boxes that only touch do not cross.
bool crossesInPlane(const Box& a, const Box& b) {
    return a.min.x < b.max.x && b.min.x < a.max.x && a.min.y < b.max.y && b.min.y < a.max.y;
}

// Moves the runs down together until their top lies kHudGap below keepClear,
// when any of them crosses it.
void moveBelow(std::vector<OverlayText>& runs, const Box& keepClear) {
    Box block;
    for (const OverlayText& run : runs) {
        const Box box = textRunBox(run);
        growBox(block, box.min);
        growBox(block, box.max);
    }
    if (runs.empty() || !crossesInPlane(block, keepClear)) return;
    const float drop = block.max.y - (keepClear.min.y - kHudGap);
    for (OverlayText& run : runs) run.y -= drop;
}

}  // namespace

SceneObject makeTextObject(float x, float y) {
    SceneObject object;
    object.colour = glm::vec3(0.0f);
    object.applyWorld(glm::scale(glm::mat4(1.0f), glm::vec3(kTextScale)));
    object.applyWorld(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, kOverlayDepth)));
    return object;
}

std::string objectCountCharacters(int count) { return leadingCharacters("%i", count, 2); }

std::string figureCharacters(float value) { return leadingCharacters("%f", static_cast<double>(value), 5); }

Box textRunBox(const OverlayText& run) {
    const float cells = static_cast<float>(run.characters.size());
    Box box;
    growBox(box, glm::vec3(run.x - kTextScale, run.y - kTextScale, kOverlayDepth));
    growBox(box, glm::vec3(run.x + kTextAdvance * (cells - 1.0f) + kTextScale, run.y + kTextScale, kOverlayDepth));
    return box;
}

Box iconRowBox(const Scene& scene, const Box& iconMeshBounds) {
    Box row;
    // A mesh that failed to load covers nothing (and its infinite corners
    // would turn into NaNs once placed).
    if (!(iconMeshBounds.min.x <= iconMeshBounds.max.x)) return row;
    for (const SceneObject& icon : scene.cakeIcons) {
        const Box placed = worldBox(icon.model, iconMeshBounds);
        growBox(row, placed.min);
        growBox(row, placed.max);
    }
    return row;
}

std::vector<OverlayText> buildOverlayText(const OptionFlags& options, const StatusMessage& status,
                                          const OverlayFigures& figures, int width, int height, const Box& keepClear) {
    std::vector<OverlayText> runs;
    const int halfWidth = width / 2;  // integer halving, as the lines are laid out in whole pixels
    if (options.showObjectCount) {
        float x = static_cast<float>(halfWidth - 100);
        float y = static_cast<float>(height - 150);
        runs.push_back(textRun(x, y, "Objekte:"));
        runs.push_back(textRun(x + 180.0f, y, objectCountCharacters(figures.drawnObjectCount)));
    }
    if (options.showFrameRate) {
        float x = static_cast<float>(halfWidth - 150);
        float y = static_cast<float>(height - 50);
        runs.push_back(textRun(x, y, "Framerate:"));
        runs.push_back(textRun(x + 220.0f, y, figureCharacters(figures.shownFrameRate)));
        float msX = static_cast<float>(halfWidth + 70);
        float msY = static_cast<float>(height - 100);
        runs.push_back(textRun(msX, msY, figureCharacters(figures.shownFrameMillis)));
        runs.push_back(textRun(msX + 120.0f, msY, "ms"));
    }
    moveBelow(runs, keepClear);
    if (status.visible && status.text) runs.push_back(textRun(20.0f, 20.0f, statusCharacters(status)));
    return runs;
}

std::string frameTimeLine(float frameTime) {
    char buffer[64] = {};
    std::snprintf(buffer, sizeof buffer, "%gms\n", static_cast<double>(frameTime * 1000.0f));
    return buffer;
}

void hideExpiredStatus(StatusMessage& status, float now) {
    if (static_cast<double>(now) > static_cast<double>(status.shownAt) + kStatusSeconds) status.visible = false;
}

std::array<unsigned int, kCakeCount> iconRowTextures(const Scene& scene, const GameTextures& textures) {
    std::array<unsigned int, kCakeCount> row{};
    for (int k = 0; k < kCakeCount; ++k)
        row[static_cast<std::size_t>(k)] = iconTextureOf(textures, iconState(scene, k));
    return row;
}

void drawText(SceneObject textObject, const GlyphQuads& glyphs, const ShaderProgram& textProgram, unsigned int atlas,
              const View& view, float advance, const char* characters, int count) {
    if (!characters) return;
    const FrameView overlay = makeFrameView(view, view.overlayCamera, view.overlayProjection, 0.0f);
    const glm::mat4 step = glm::translate(glm::mat4(1.0f), glm::vec3(advance, 0.0f, 0.0f));
    const ColourWrites before = colourWrites();
    setColourWrites(ColourWrites::AsTheyAre);
    drawGlyphRun(glyphs, std::move(textObject), step, textProgram, atlas, overlay, characters, count);
    setColourWrites(before);
}

void drawOverlayText(const OptionFlags& options, StatusMessage& status, const OverlayFigures& figures,
                     const GlyphQuads& glyphs, const ShaderProgram& textProgram, unsigned int atlas, const View& view,
                     float now, const Box& keepClear) {
    for (const OverlayText& run :
         buildOverlayText(options, status, figures, view.screenWidth, view.screenHeight, keepClear))
        drawText(makeTextObject(run.x, run.y), glyphs, textProgram, atlas, view, kTextAdvance, run.characters.data(),
                 static_cast<int>(run.characters.size()));
    if (options.showFrameRate) {
        std::fputs(frameTimeLine(figures.frameTime).c_str(), stdout);
        std::fflush(stdout);
    }
    // Checked after the draw, so the frame that passes the two seconds still shows it.
    if (status.visible) hideExpiredStatus(status, now);
}

void drawIconRow(const Scene& scene, const Model& iconModel, const ShaderProgram& textProgram,
                 const GameTextures& textures, const View& view, float time) {
    const FrameView overlay = makeFrameView(view, view.overlayCamera, view.overlayProjection, time);
    const std::array<unsigned int, kCakeCount> row = iconRowTextures(scene, textures);
    const ColourWrites before = colourWrites();
    setColourWrites(ColourWrites::AsTheyAre);
    for (std::size_t k = 0; k < row.size(); ++k)
        drawModelNoShadow(iconModel, scene.cakeIcons[k], textProgram, row[k], overlay);
    setColourWrites(before);
}

void applyWireframe(bool wireframe) { glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL); }
