// Colours reach the window right whatever it stores: a known colour is drawn
// through each path (the sky clear and a lit surface, encoded from linear
// light; a glyph, an icon and an end-screen picture, written as their
// picture holds them) and read back from an sRGB window and a linear one.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <glm/gtc/matrix_transform.hpp>
#include <string>
#include <vector>

#include "app/end_screen.h"
#include "app/overlay.h"
#include "game/scene.h"
#include "math/view.h"
#include "render/draw.h"
#include "render/draw_list.h"
#include "render/game_textures.h"
#include "render/model.h"
#include "render/shader_program.h"
#include "render/srgb_output.h"
#include "tests/gl/gl_test_view.h"

namespace {

constexpr int kSide = 100;  // the frame: small, so the software rasteriser is quick

// The byte an sRGB framebuffer stores for a linear value.
int srgbByte(float linear) {
    const float encoded = linear <= 0.0031308f ? 12.92f * linear : 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
    return static_cast<int>(std::lround(255.0f * encoded));
}

// A framebuffer standing in for a window with the given colour storage.
struct StandInWindow {
    GLuint framebuffer = 0;
    GLuint colour = 0;
};

StandInWindow makeStandInWindow(GLenum storage) {
    StandInWindow window;
    glGenRenderbuffers(1, &window.colour);
    glBindRenderbuffer(GL_RENDERBUFFER, window.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, storage, kSide, kSide);
    glGenFramebuffers(1, &window.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, window.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, window.colour);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return window;
}

void destroyStandInWindow(StandInWindow& window) {
    glDeleteFramebuffers(1, &window.framebuffer);
    glDeleteRenderbuffers(1, &window.colour);
}

glm::ivec3 windowPixel(unsigned int window, int x, int y) {
    unsigned char p[3] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, window);
    if (window == 0) glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return {p[0], p[1], p[2]};
}

// A square 40 pixels wide at the frame's centre, facing the overlay camera.
SceneObject centreSquare(const glm::vec3& colour) {
    SceneObject square;
    square.colour = colour;
    square.applyWorld(glm::scale(glm::mat4(1.0f), glm::vec3(20.0f)));
    square.applyWorld(glm::translate(glm::mat4(1.0f), glm::vec3(kSide / 2, kSide / 2, 9.0f)));
    return square;
}

class SrgbOutput : public ::testing::Test {
protected:
    void SetUp() override {
        text = loadShaderProgram("Shaders/text");
        bindFragmentOutput(text, "out_texture");
        lit = loadShaderProgram("Shaders/phongphong");
        bindFragmentOutput(lit, "out_color");
        ASSERT_NE(text.program, 0u) << "run from the repository root";
        ASSERT_NE(lit.program, 0u);
        // A picture of one colour, as the images are loaded: stored as it is.
        glGenTextures(1, &picture);
        glBindTexture(GL_TEXTURE_2D, picture);
        std::vector<unsigned char> pixels;
        for (int i = 0; i < 8 * 8; ++i) pixels.insert(pixels.end(), {200, 100, 50});
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 8, 8, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        glGenerateMipmap(GL_TEXTURE_2D);
        onWindowResize(view, kSide, kSide);
        glDisable(GL_BLEND);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    void TearDown() override {
        glDeleteTextures(1, &picture);
        destroyShaderProgram(text);
        destroyShaderProgram(lit);
        glDisable(GL_FRAMEBUFFER_SRGB);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    FrameView overlayView() const {
        return makeFrameView(view, view.overlayCamera, view.overlayProjection, 0.0f);
    }

    // One frame into the target: cleared to black, drawn, shown.
    glm::ivec3 frameThrough(FrameTarget& target, const std::function<void()>& draw) {
        beginFrameTarget(target, kSide, kSide);
        glViewport(0, 0, kSide, kSide);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw();
        presentFrameTarget(target);
        return windowPixel(target.window, kSide / 2, kSide / 2);
    }

    View view = testWindowView();
    ShaderProgram text;
    ShaderProgram lit;
    GLuint picture = 0;
};

struct Path {
    const char* name;
    glm::ivec3 expected;
};

TEST_F(SrgbOutput, EveryPathShowsItsColourOnAnSrgbAndALinearWindow) {
    // Lit in linear light: a grey vertex colour 0.5 is 0.25 linear; with the
    // material giving a shade of exactly 1 the window must store its
    // encoding. The sky (0.3, 0.3, 1) is cleared the same way.
    const glm::ivec3 sky(srgbByte(0.3f), srgbByte(0.3f), 255);
    const int litGrey = srgbByte(0.25f);
    const glm::ivec3 pictureColour(200, 100, 50);
    const Path paths[] = {
        {"sky", sky},
        {"lit surface", glm::ivec3(litGrey)},
        {"glyph", pictureColour},
        {"icon row", pictureColour},
        {"end screen", pictureColour},
    };

    Model quad;
    buildGlyphQuad(quad, glm::vec3(1.0f), text, 'A');
    Model greyQuad;
    buildGlyphQuad(greyQuad, glm::vec3(0.5f), lit, 'A');
    static Scene scene;  // large: off the stack
    for (SceneObject& icon : scene.cakeIcons) icon = centreSquare(glm::vec3(1.0f));
    GameTextures textures;
    textures.lyingCakeIcon = picture;

    auto draw = [&](const std::string& path) {
        if (path == "sky") {
            glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        } else if (path == "lit surface") {
            SceneObject surface = centreSquare(glm::vec3(0.5f));
            surface.ambient = 0.85f;  // + the shader's fill of 0.15: a shade of 1
            surface.diffuse = -0.45f; // cancels the shader's key light
            surface.specular = 0.0f;
            const DrawItem item{&greyQuad, &surface, &lit, &lit, 0, 1.0f, 0};
            drawModel(item, overlayView());
        } else if (path == "glyph") {
            SceneObject white = makeTextObject(kSide / 2, kSide / 2);
            white.colour = glm::vec3(1.0f);
            drawText(white, text, picture, view, kTextAdvance, "A", 1);
        } else if (path == "icon row") {
            drawIconRow(scene, quad, text, textures, view, 0.0f);
        } else {
            const SceneObject plane = centreSquare(glm::vec3(1.0f));
            const DrawItem item{&quad, &plane, &text, &text, picture, 1.0f, 0};
            drawEndScreenFrame(item, view, OptionFlags{}, 0, 0.0f);
        }
    };

    StandInWindow srgbWindow = makeStandInWindow(GL_SRGB8_ALPHA8);
    StandInWindow linearWindow = makeStandInWindow(GL_RGBA8);
    struct Window {
        const char* name;
        unsigned int framebuffer;
        bool storesSrgb;
    };
    std::vector<Window> windows = {{"sRGB window", srgbWindow.framebuffer, true},
                                   {"linear window", linearWindow.framebuffer, false}};
    // The test display's own window, as it comes.
    windows.push_back({"this display's window", 0u, framebufferEncodesSrgb(0)});

    for (const Window& window : windows) {
        SCOPED_TRACE(window.name);
        EXPECT_EQ(framebufferEncodesSrgb(window.framebuffer), window.storesSrgb);
        FrameTarget target = makeFrameTarget(window.framebuffer, kSide, kSide);
        // Drawn into directly only where the window stores sRGB itself.
        EXPECT_EQ(target.framebuffer == window.framebuffer, window.storesSrgb);
        EXPECT_TRUE(framebufferEncodesSrgb(target.framebuffer));
        for (const Path& path : paths) {
            SCOPED_TRACE(path.name);
            const glm::ivec3 shown = frameThrough(target, [&] { draw(path.name); });
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(shown[c], path.expected[c], 1) << "channel " << c;
            // The game's state between draws: lit colours encoded.
            EXPECT_EQ(colourWrites(), ColourWrites::EncodeLinearLight);
        }
        destroyFrameTarget(target);
    }
    releaseModel(quad);
    releaseModel(greyQuad);
    destroyStandInWindow(srgbWindow);
    destroyStandInWindow(linearWindow);
}

// A resized linear window gets a target of its new size, shown whole; a
// minimised one (no size) keeps the target it had.
TEST_F(SrgbOutput, OffScreenTargetFollowsTheWindowSize) {
    GLuint colour = 0, window = 0;
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 160, 120);
    glGenFramebuffers(1, &window);
    glBindFramebuffer(GL_FRAMEBUFFER, window);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);

    FrameTarget target = makeFrameTarget(window, kSide, kSide);
    ASSERT_NE(target.framebuffer, window);
    beginFrameTarget(target, 0, 0);
    EXPECT_EQ(glm::ivec2(target.width, target.height), glm::ivec2(kSide, kSide));
    beginFrameTarget(target, 160, 120);
    EXPECT_EQ(glm::ivec2(target.width, target.height), glm::ivec2(160, 120));
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    presentFrameTarget(target);
    EXPECT_NEAR(windowPixel(window, 159, 119).r, srgbByte(0.3f), 1);

    destroyFrameTarget(target);
    glDeleteFramebuffers(1, &window);
    glDeleteRenderbuffers(1, &colour);
}

}  // namespace
