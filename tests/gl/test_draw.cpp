// The draw routines in a real context: the uniforms they leave in a program,
// the GL state they leave behind, the multiplying blend, the untextured
// fallback of the lit shaders and the frustum-tested scene draw.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "game/scene.h"
#include "math/camera.h"
#include "math/view.h"
#include "render/draw.h"
#include "render/model.h"
#include "render/shader_program.h"
#include "tests/gl/gl_test_view.h"

namespace {

ShaderProgram loadBound(const std::string& base, const char* output) {
    ShaderProgram program = loadShaderProgram(base);
    if (program.program != 0) {
        glBindFragDataLocation(program.program, 0, output);
        relinkShaderProgram(program);
    }
    return program;
}

// A program with only the three matrices of the draw uniforms; paints white.
ShaderProgram whiteProgram() {
    ShaderProgram program;
    program.vertexShader =
        compileShader(GL_VERTEX_SHADER,
                      "#version 150\n"
                      "#extension GL_ARB_explicit_attrib_location : require\n"
                      "layout(location = 0) in vec4 in_position;\n"
                      "uniform mat4 proj_mat; uniform mat4 view_mat; uniform mat4 model_mat;\n"
                      "void main() { gl_Position = proj_mat * view_mat * model_mat * in_position; }\n");
    program.fragmentShader = compileShader(GL_FRAGMENT_SHADER,
                                           "#version 150\n"
                                           "out vec4 out_color;\n"
                                           "void main() { out_color = vec4(1.0); }\n");
    linkShaderProgram(program);
    return program;
}

// A camera whose view is the identity: the quad -1..1 fills the screen.
Camera identityCamera() {
    Camera camera;
    camera.orientation = glm::mat4(1.0f);
    camera.target = glm::vec3(0.0f);
    return camera;
}

float uniformFloat(GLuint program, const char* name) {
    GLfloat value = -99.0f;
    glGetUniformfv(program, glGetUniformLocation(program, name), &value);
    return value;
}

glm::vec3 uniformVec3(GLuint program, const char* name) {
    GLfloat value[3] = {-99.0f, -99.0f, -99.0f};
    glGetUniformfv(program, glGetUniformLocation(program, name), value);
    return glm::vec3(value[0], value[1], value[2]);
}

GLint uniformInt(GLuint program, const char* name) {
    GLint value = -99;
    glGetUniformiv(program, glGetUniformLocation(program, name), &value);
    return value;
}

GLint integerState(GLenum name) {
    GLint value = -99;
    glGetIntegerv(name, &value);
    return value;
}

GLint boundTextureOn(GLenum unit) {
    GLint active = integerState(GL_ACTIVE_TEXTURE);
    glActiveTexture(unit);
    GLint bound = integerState(GL_TEXTURE_BINDING_2D);
    glActiveTexture(static_cast<GLenum>(active));
    return bound;
}

GLboolean enabledOnUnit(GLenum unit, GLenum capability) {
    GLint active = integerState(GL_ACTIVE_TEXTURE);
    glActiveTexture(unit);
    GLboolean enabled = glIsEnabled(capability);
    glActiveTexture(static_cast<GLenum>(active));
    return enabled;
}

void drainGlErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

glm::vec4 pixelAt(int x, int y) {
    GLubyte rgba[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return glm::vec4(rgba[0], rgba[1], rgba[2], rgba[3]) / 255.0f;
}

// A name standing in for the shadow map's depth texture.
constexpr unsigned int kShadowMapName = 16;

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        glViewport(0, 0, view.screenWidth, view.screenHeight);
        glDisable(GL_FRAMEBUFFER_SRGB);
        texture = loadBound("Shaders/texture", "out_texture");
        ASSERT_NE(texture.program, 0u);
        buildGlyphQuad(quad, glm::vec3(1.0f, 0.0f, 0.0f), texture, 'A');
        object = makeObjectAt(glm::vec3(0.0f), heroMaterial);
        drainGlErrors();
    }
    void TearDown() override {
        releaseModel(quad);
        destroyShaderProgram(texture);
    }
    // The quad as one draw of the given program.
    DrawItem item(const ShaderProgram& program, unsigned int name, unsigned int flags = 0, float alpha = 1.0f,
                  const SceneObject* placed = nullptr) const {
        return DrawItem{&quad, placed ? placed : &object, &program, &program, name, alpha, flags};
    }
    // A frame through camera with projection and the given shadow map.
    FrameView frameOf(const Camera& camera, const glm::mat4& projection, unsigned int shadowMap,
                      float time = 0.0f) const {
        FrameView frame = makeFrameView(view, camera, projection, time);
        frame.shadowMap = shadowMap;
        return frame;
    }
    FrameView sceneFrame(float time = 0.0f) const {
        return frameOf(view.mainCamera, view.projectionMatrix, kShadowMapName, time);
    }
    View view = testWindowView();
    ShaderProgram texture;
    Model quad;
    SceneObject object;
};

TEST_F(DrawTest, UniformsAreLeftInTheProgramWithTheirDocumentedValues) {
    look(view.mainCamera, view.mainCamera.width / 2, view.mainCamera.height / 2, 0.0f);
    object.applyWorld(glm::translate(glm::mat4(1.0f), glm::vec3(3.0f, 4.0f, 5.0f)));
    drawModel(item(texture, 0, kTorte, 0.7f), sceneFrame(2.5f));
    GLuint p = texture.program;
    EXPECT_EQ(uniformFloat(p, "torte"), 1.0f);
    EXPECT_EQ(uniformInt(p, "texUnit"), 0);
    EXPECT_EQ(uniformInt(p, "shadow_map"), 1);
    EXPECT_EQ(uniformVec3(p, "ambient"), glm::vec3(0.2f, 0.2f, 0.2f));
    EXPECT_EQ(uniformVec3(p, "intensity"), glm::vec3(1.0f));
    glm::vec3 light = uniformVec3(p, "light");
    EXPECT_NEAR(light.x, 0.0f, 1e-3f);
    EXPECT_NEAR(light.y, 281.77f, 1e-2f);
    EXPECT_NEAR(light.z, 24.65f, 1e-2f);
    // The eye's offset from the target: 15 units back and up by the pitch.
    glm::vec3 viewing = uniformVec3(p, "viewing");
    EXPECT_NEAR(viewing.y, 15.0f * std::sin(glm::radians(40.0f)), 1e-3f);
    EXPECT_NEAR(viewing.z, 15.0f * std::cos(glm::radians(40.0f)), 1e-3f);
    EXPECT_FLOAT_EQ(uniformFloat(p, "diffuse"), 0.5f);
    EXPECT_FLOAT_EQ(uniformFloat(p, "specular"), 0.2f);
    EXPECT_EQ(uniformFloat(p, "shininess"), 10.0f);
    EXPECT_FLOAT_EQ(uniformFloat(p, "alpha"), 0.7f);
    GLfloat model[16];
    glGetUniformfv(p, glGetUniformLocation(p, "model_mat"), model);
    EXPECT_EQ(model[12], 3.0f);
    EXPECT_EQ(model[13], 4.0f);
    EXPECT_EQ(model[14], 5.0f);

    drawModel(item(texture, 0), sceneFrame(2.5f));
    EXPECT_EQ(uniformFloat(p, "torte"), 0.0f);
}

TEST_F(DrawTest, DrawModelLeavesUnitOneActiveAndCullingAsFound) {
    for (bool culling : {false, true}) {
        if (culling)
            glEnable(GL_CULL_FACE);
        else
            glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        // GL_TEXTURE_2D belongs to the unit active when the draw begins.
        glActiveTexture(GL_TEXTURE0);
        glDisable(GL_TEXTURE_2D);
        drawModel(item(texture, 7, kBlended), sceneFrame());
        EXPECT_EQ(glIsEnabled(GL_CULL_FACE), culling ? GL_TRUE : GL_FALSE);
        EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);
        EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);
        EXPECT_EQ(integerState(GL_ARRAY_BUFFER_BINDING), 0);
        EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
        EXPECT_EQ(enabledOnUnit(GL_TEXTURE0, GL_TEXTURE_2D), GL_TRUE);
        EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
        // Unit 1 ends up holding the object's texture, not the shadow map.
        EXPECT_EQ(boundTextureOn(GL_TEXTURE1), 7);
        EXPECT_EQ(boundTextureOn(GL_TEXTURE0), 7);
    }
    // Texture 0 leaves unit 0 with no texture object of its own.
    drawModel(item(texture, 0), sceneFrame());
    EXPECT_EQ(boundTextureOn(GL_TEXTURE0), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawTest, OverlayAndShadowDrawsLeaveTheirState) {
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    drawModelNoShadow(quad, object, texture, 10, frameOf(view.overlayCamera, view.overlayProjection, 0));
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(boundTextureOn(GL_TEXTURE0), 10);
    EXPECT_EQ(glIsEnabled(GL_CULL_FACE), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);

    glDisable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    drawShadowCaster(item(texture, 0), texture, sceneFrame());
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(boundTextureOn(GL_TEXTURE1), static_cast<GLint>(kShadowMapName));
    EXPECT_EQ(glIsEnabled(GL_CULL_FACE), GL_TRUE);
    EXPECT_EQ(enabledOnUnit(GL_TEXTURE0, GL_TEXTURE_2D), GL_TRUE);
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integerState(GL_ARRAY_BUFFER_BINDING), 0);
    // The caster's "viewing" is the view camera's position field.
    EXPECT_EQ(uniformVec3(texture.program, "viewing"), view.mainCamera.position);
}

TEST_F(DrawTest, NamesAProgramLacksAreIgnoredWithoutErrors) {
    ShaderProgram white = whiteProgram();
    ASSERT_NE(white.program, 0u);
    ::testing::internal::CaptureStderr();
    drawModel(item(white, 0, kTorte), sceneFrame());
    drawShadowCaster(item(white, 0), white, sceneFrame());
    std::string reports = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(reports, "");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    destroyShaderProgram(white);
}

TEST_F(DrawTest, MultiplyingBlendDoublesTheBackgroundUnderWhite) {
    ShaderProgram white = whiteProgram();
    ASSERT_NE(white.program, 0u);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.25f, 0.25f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const FrameView flat = frameOf(identityCamera(), glm::mat4(1.0f), kShadowMapName);
    drawModel(item(white, 0, kBlended), flat);
    glm::vec4 blended = pixelAt(600, 500);
    EXPECT_NEAR(blended.r, 0.5f, 0.01f);
    EXPECT_NEAR(blended.g, 0.5f, 0.01f);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawModel(item(white, 0), flat);
    EXPECT_NEAR(pixelAt(600, 500).r, 1.0f, 0.01f);
    destroyShaderProgram(white);
}

TEST_F(DrawTest, LitShadersShowTheVertexColourWhenNoTextureIsBound) {
    ShaderProgram phong = loadBound("Shaders/phongphong", "out_color");
    ASSERT_NE(phong.program, 0u);
    glDisable(GL_CULL_FACE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    for (const ShaderProgram* program : {&texture, &phong}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The quad is red and faces the camera (+z); texture 0 and shadow map 0.
        drawModel(item(*program, 0), frameOf(identityCamera(), glm::mat4(1.0f), 0));
        glm::vec4 colour = pixelAt(600, 500);
        EXPECT_GT(colour.r, 0.2f);
        EXPECT_LT(colour.g, 0.5f * colour.r);
        EXPECT_LT(colour.b, 0.5f * colour.r);
    }
    destroyShaderProgram(phong);
}

TEST_F(DrawTest, DrawModelIfVisibleSkipsWhatIsBehindTheCamera) {
    look(view.mainCamera, view.mainCamera.width / 2, view.mainCamera.height / 2, 0.0f);
    glm::vec3 eye = view.mainCamera.target + eyeOffset(view.mainCamera);
    glm::vec3 forward = glm::normalize(view.mainCamera.target - eye);
    const FrameView frame = sceneFrame();
    glDisable(GL_CULL_FACE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    SceneObject behind = object;
    behind.applyWorld(glm::translate(glm::mat4(1.0f), eye - 5.0f * forward));
    EXPECT_FALSE(drawModelIfVisible(item(texture, 0, 0, 1.0f, &behind), frame));
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);  // nothing was drawn at all

    // The quad at the target faces +z, towards the camera behind it.
    SceneObject ahead = object;
    ahead.applyWorld(glm::translate(glm::mat4(1.0f), view.mainCamera.target));
    EXPECT_TRUE(drawModelIfVisible(item(texture, 0, 0, 1.0f, &ahead), frame));
    EXPECT_GT(pixelAt(600, 500).r, 0.2f);
}

}  // namespace
