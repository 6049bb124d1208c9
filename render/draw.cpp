// Model drawing with lighting, the shadow lookup and the frustum-tested draw,
// and overlay text from the glyph quads.
// Uniform locations are looked up by name at every draw; a name the program
// does not have (location -1) is ignored by the GL.
#include "render/draw.h"

#include <GL/glew.h>

#include <cstddef>
#include <glm/gtc/type_ptr.hpp>

#include "render/gl_check.h"
#include "render/model.h"
#include "render/shader_program.h"
#include "render/texture.h"

namespace {

GLint location(GLuint program, const char* name) { return glGetUniformLocation(program, name); }

void setMatrix(GLuint program, const char* name, const glm::mat4& value) {
    glUniformMatrix4fv(location(program, name), 1, GL_FALSE, glm::value_ptr(value));
}
void setFloat(GLuint program, const char* name, float value) { glUniform1f(location(program, name), value); }
void setInt(GLuint program, const char* name, int value) { glUniform1i(location(program, name), value); }
void setVec3(GLuint program, const char* name, const glm::vec3& value) {
    glUniform3fv(location(program, name), 1, glm::value_ptr(value));
}

void setLightAndMaterial(GLuint program, const SceneObject& object, const glm::vec3& light, const glm::vec3& viewing) {
    setVec3(program, "light", light);
    setVec3(program, "ambient", glm::vec3(object.ambient));
    setVec3(program, "intensity", glm::vec3(1.0f));
    setVec3(program, "viewing", viewing);
    setFloat(program, "diffuse", object.diffuse);
    setFloat(program, "specular", object.specular);
    setFloat(program, "shininess", static_cast<float>(object.shininess));
}

// The scene and overlay draws check each mesh on its own.
void drawCheckedMeshes(const Model& model) {
    for (std::uint32_t i = 0; i < model.meshCount; ++i) {
        glBindVertexArray(model.vertexArrays[i]);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * model.faceCounts[i]), GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        checkGlError("1");
    }
}

void beginBlend(bool blend) {
    if (!blend) return;
    // Multiplying blend: result = 2 * incoming * stored.
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
}

void setObjectMatrices(GLuint p, const SceneObject& object, const FrameView& view) {
    setMatrix(p, "proj_mat", view.projection);
    setMatrix(p, "view_mat", view.view);
    setMatrix(p, "model_mat", object.model);
    setMatrix(p, "tex_mat", view.shadowTexture);
}

glm::mat4 normalMatrix(const SceneObject& object) { return glm::transpose(glm::inverse(object.model)); }

}  // namespace

FrameView makeFrameView(const View& view, const Camera& camera, const glm::mat4& projection, float time) {
    FrameView frame;
    frame.projection = projection;
    frame.view = viewMatrix(camera);
    frame.viewing = glm::vec3(camera.orientation * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
    frame.cameraPosition = camera.position;
    // (0, 281.77, 24.65) in the game.
    frame.light = glm::vec3(rotX(-view.lightCamera.pitch) * glm::vec4(view.lightPosition, 1.0f));
    frame.lightProjection = view.lightProjection;
    frame.lightView = lightViewMatrix(view);
    frame.shadowTexture = shadowTextureMatrix(view);
    frame.frustum = buildFrustumPlanes(camera, view.screenWidth, view.screenHeight);
    frame.time = time;
    frame.width = view.screenWidth;
    frame.height = view.screenHeight;
    return frame;
}

void drawModel(const DrawItem& item, const FrameView& view) {
    const bool blend = (item.flags & kBlended) != 0;
    const unsigned int shadowMap = (item.flags & kNoShadowMapWhenWhole) ? 0u : view.shadowMap;
    beginBlend(blend);
    glEnable(GL_TEXTURE_2D);
    GLuint p = item.program->program;
    glUseProgram(p);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, item.texture);
    applyTextureSampling(view.bilinear, view.mipMapMode);
    setInt(p, "texUnit", 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowMap);
    setInt(p, "shadow_map", 1);

    setObjectMatrices(p, *item.object, view);
    setFloat(p, "alpha", item.alpha);
    setFloat(p, "torte", (item.flags & kTorte) ? 1.0f : 0.0f);
    setFloat(p, "textured", item.texture != 0 ? 1.0f : 0.0f);
    setMatrix(p, "normal_mat", normalMatrix(*item.object));
    setMatrix(p, "shadow_mat", view.shadowTexture * item.object->model);
    setFloat(p, "time", view.time);
    setFloat(p, "height", 0.0f);
    setLightAndMaterial(p, *item.object, view.light, view.viewing);

    glEnable(GL_DEPTH_TEST);
    drawCheckedMeshes(*item.model);
    glUseProgram(0);
    // Unit 1 is still active: it is left holding the object's texture.
    glBindTexture(GL_TEXTURE_2D, item.texture);
    if (blend) glDisable(GL_BLEND);
}

bool drawModelIfVisible(const DrawItem& item, const FrameView& view) {
    if (!isBoxInFrustum(view.frustum, item.object->model, item.model->bounds)) return false;
    drawModel(item, view);
    return true;
}

namespace {

// Where every draw without the shadow map starts: unit 0 holding the
// texture, the object's matrices, full alpha, the light and the material,
// back faces culled and depth tested. Returns the program's name.
GLuint beginUnshadowedDraw(const ShaderProgram& program, unsigned int texture, const SceneObject& object,
                           const FrameView& view) {
    glActiveTexture(GL_TEXTURE0);
    GLuint p = program.program;
    glUseProgram(p);
    setInt(p, "texUnit", 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    setObjectMatrices(p, object, view);
    setFloat(p, "alpha", 1.0f);
    setMatrix(p, "normal_mat", normalMatrix(object));
    setFloat(p, "time", view.time);
    setFloat(p, "height", 0.0f);
    setLightAndMaterial(p, object, view.light, view.viewing);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    return p;
}

}  // namespace

void drawModelNoShadow(const Model& model, const SceneObject& object, const ShaderProgram& program,
                       unsigned int texture, const FrameView& view) {
    beginUnshadowedDraw(program, texture, object, view);
    drawCheckedMeshes(model);
    glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void drawGlyphRun(const GlyphQuads& glyphs, SceneObject object, const glm::mat4& step, const ShaderProgram& program,
                  unsigned int atlas, const FrameView& view, const char* characters, int count) {
    const GLuint p = beginUnshadowedDraw(program, atlas, object, view);
    glBindVertexArray(glyphs.vertexArray);
    if (glyphs.colourLocation >= 0)
        glVertexAttrib3f(static_cast<GLuint>(glyphs.colourLocation), object.colour.r, object.colour.g, object.colour.b);
    for (int i = 0; i < count; ++i) {
        setMatrix(p, "model_mat", object.model);
        setMatrix(p, "normal_mat", normalMatrix(object));
        const auto glyph = static_cast<std::size_t>(static_cast<unsigned char>(characters[i]));
        // NOLINTNEXTLINE(performance-no-int-to-ptr): GL takes the offset into the buffer as a pointer.
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, reinterpret_cast<const void*>(glyph * 6 * sizeof(GLuint)));
        object.applyWorld(step);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGlError("1");
    glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, atlas);
}

void drawShadowCaster(const DrawItem& item, const ShaderProgram& depthProgram, const FrameView& view) {
    glEnable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE1);
    const glm::mat4& model = item.object->model;
    GLuint p = depthProgram.program;
    glUseProgram(p);
    glBindTexture(GL_TEXTURE_2D, view.shadowMap);
    setInt(p, "shadow_map", 1);
    setMatrix(p, "proj_mat", view.lightProjection);
    setMatrix(p, "view_mat", view.lightView);
    setMatrix(p, "model_mat", model);
    setMatrix(p, "normal_mat", normalMatrix(*item.object));
    setMatrix(p, "shadow_mat", view.shadowTexture * model);
    setLightAndMaterial(p, *item.object, view.light, view.cameraPosition);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    drawModelMeshes(*item.model);
    glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, view.shadowMap);
}

void drawModelMeshes(const Model& model) {
    for (std::uint32_t i = 0; i < model.meshCount; ++i) {
        glBindVertexArray(model.vertexArrays[i]);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * model.faceCounts[i]), GL_UNSIGNED_INT, nullptr);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
