// Colours reach the window right whatever it stores: a known colour drawn
// through each path (sky and lit surface encoded from linear light; glyph,
// icon and end screen written as their picture holds them), read back from
// an sRGB window, a linear one and this display's own; an end screen shows
// its picture on black every frame.

#include <cmath>
#include <functional>
#include <glm/gtc/matrix_transform.hpp>

#include "app/end_screen.h"
#include "app/overlay.h"
#include "render/draw.h"
#include "render/game_textures.h"
#include "render/model.h"
#include "render/srgb_output.h"
#include "tests/gl/gl_test_support.h"

namespace {

constexpr int kSide = 100;  // small, so the software rasteriser is quick

// The byte an sRGB framebuffer stores for a linear value.
int srgbByte(float linear) {
    const float encoded = linear <= 0.0031308f ? 12.92f * linear : 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
    return static_cast<int>(std::lround(255.0f * encoded));
}

// A square 40 pixels wide at the frame's centre, facing the overlay camera.
SceneObject centreSquare(const glm::vec3& colour) {
    SceneObject square;
    square.colour = colour;
    square.applyWorld(glm::scale(glm::mat4(1.0f), glm::vec3(20.0f)));
    square.applyWorld(glm::translate(glm::mat4(1.0f), glm::vec3(kSide / 2, kSide / 2, 9.0f)));
    return square;
}

TEST(SrgbOutput, EveryPathShowsItsColourOnAnSrgbAndALinearWindow) {
    ShaderProgram text = loadBound("Shaders/text", "out_texture");
    ShaderProgram lit = loadBound("Shaders/phongphong", "out_color");
    ASSERT_TRUE(text.loaded) << "run from the repository root";
    ASSERT_TRUE(lit.loaded);
    // A picture of one colour, stored as the images are: as it is.
    GLuint picture = 0;
    glGenTextures(1, &picture);
    glBindTexture(GL_TEXTURE_2D, picture);
    std::vector<unsigned char> pixels(8 * 8 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(200 >> (i % 3));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 8, 8, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    View view = windowView();
    onWindowResize(view, kSide, kSide);
    glDisable(GL_BLEND);
    Model quad, greyQuad;
    buildGlyphQuad(quad, glm::vec3(1.0f), text, 'A');
    buildGlyphQuad(greyQuad, glm::vec3(0.5f), lit, 'A');
    GlyphQuads glyphs = makeGlyphQuads(text);
    static Scene scene;  // large: off the stack
    for (SceneObject& icon : scene.cakeIcons) icon = centreSquare(glm::vec3(1.0f));
    GameTextures textures;
    textures.lyingCakeIcon = picture;
    SceneObject surface = centreSquare(glm::vec3(0.5f));  // 0.25 in linear light
    surface.ambient = 0.85f;                              // + the shader's fill of 0.15: a shade of 1
    surface.diffuse = -0.45f;                             // cancels the shader's key light
    surface.specular = 0.0f;
    SceneObject white = makeTextObject(kSide / 2, kSide / 2);
    white.colour = glm::vec3(1.0f);
    const SceneObject plane = centreSquare(glm::vec3(1.0f));

    const glm::ivec3 shade(200, 100, 50);
    const FrameView overlay = makeFrameView(view, view.overlayCamera, view.overlayProjection, 0.0f);
    const DrawItem litItem{&greyQuad, &surface, &lit, &lit, 0, 1.0f, 0};
    const DrawItem endItem{&quad, &plane, &text, &text, picture, 1.0f, 0};
    const auto sky = [] {
        glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    };
    const struct {
        const char* name;
        glm::ivec3 expected;
        std::function<void()> draw;
    } paths[] = {
        {"sky", {srgbByte(0.3f), srgbByte(0.3f), 255}, sky},
        {"lit surface", glm::ivec3(srgbByte(0.25f)), [&] { drawModel(litItem, overlay); }},
        {"glyph", shade, [&] { drawText(white, glyphs, text, picture, view, kTextAdvance, "A", 1); }},
        {"icon row", shade, [&] { drawIconRow(scene, quad, text, textures, view, 0.0f); }},
        // The hold redraws at the same depth every frame: the second must show too.
        {"end screen", shade,
         [&] {
             for (int f = 0; f < 2; ++f) drawEndScreenFrame(endItem, view, {}, 0, 0.0f);
         }},
    };
    RenderTarget srgbWindow = makeRenderTarget(GL_SRGB8_ALPHA8, kSide, kSide);
    RenderTarget linearWindow = makeRenderTarget(GL_RGBA8, kSide, kSide);
    const struct {
        const char* name;
        GLuint framebuffer;
        bool storesSrgb;
    } windows[] = {{"sRGB window", srgbWindow.framebuffer, true},
                   {"linear window", linearWindow.framebuffer, false},
                   {"this display's window", 0u, framebufferEncodesSrgb(0)}};
    for (const auto& window : windows) {
        SCOPED_TRACE(window.name);
        EXPECT_EQ(framebufferEncodesSrgb(window.framebuffer), window.storesSrgb);
        FrameTarget target = makeFrameTarget(window.framebuffer, kSide, kSide);
        // Drawn into directly only where the window stores sRGB itself.
        EXPECT_EQ(target.framebuffer == window.framebuffer, window.storesSrgb);
        for (const auto& path : paths) {
            SCOPED_TRACE(path.name);
            beginFrameTarget(target, kSide, kSide);
            glViewport(0, 0, kSide, kSide);
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            path.draw();
            presentFrameTarget(target);
            const std::vector<unsigned char> shown = readRgb(window.framebuffer, kSide / 2, kSide / 2, 1, 1);
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(shown[c], path.expected[c], 1) << "channel " << c;
            if (path.name == std::string("end screen")) {
                EXPECT_EQ(readRgb(window.framebuffer, 2, 2, 1, 1), std::vector<unsigned char>(3, 0)) << "its surround";
            }
            EXPECT_EQ(colourWrites(), ColourWrites::EncodeLinearLight);  // the state between draws
        }
        destroyFrameTarget(target);
    }
    releaseModel(quad);
    releaseModel(greyQuad);
    destroyGlyphQuads(glyphs);
    destroyRenderTarget(srgbWindow);
    destroyRenderTarget(linearWindow);
    glDeleteTextures(1, &picture);
    destroyShaderProgram(text);
    destroyShaderProgram(lit);
    glDisable(GL_FRAMEBUFFER_SRGB);
}

}  // namespace
