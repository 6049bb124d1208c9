// Model drawing with lighting, shadow lookup and the frustum-tested scene draw.
// Uniform locations are looked up by name at every draw; a name the program
// does not have (location -1) is ignored by the GL.
#include "render/draw.h"

#include <GL/glew.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "app/window.h"
#include "game/scene_object.h"
#include "math/frustum.h"
#include "render/gl_check.h"
#include "render/model.h"
#include "render/shader_program.h"
#include "render/texture.h"

int drawnObjectCount = 0;

namespace {

// The per-draw matrices of one object.
struct DrawMatrices {
    glm::mat4 view;
    glm::mat4 model;
    glm::mat4 normal;
    glm::mat4 lightView;
    glm::mat4 shadowTexture;
    glm::mat4 shadowObject;
};

glm::mat4 lightViewMatrix() {
    return glm::inverse(lightViewBase) * glm::translate(glm::mat4(1.0f), -lightPosition);
}

DrawMatrices computeMatrices(const SceneObject& object, const Camera& viewCamera) {
    DrawMatrices m;
    m.view = glm::inverse(viewCamera.orientation) * glm::translate(glm::mat4(1.0f), -viewCamera.target);
    m.model = object.model;
    m.normal = glm::transpose(glm::inverse(m.model));
    m.lightView = lightViewMatrix();
    m.shadowTexture = shadowBiasTranslate * shadowBiasScale * lightProjection * m.lightView;
    m.shadowObject = m.shadowTexture * m.model;
    return m;
}

// The light turned by the light camera's pitch: (0, 281.77, 24.65) in the game.
glm::vec3 turnedLight(const Camera& lightCamera) {
    return glm::vec3(rotX(-lightCamera.pitch) * glm::vec4(lightPosition, 1.0f));
}

GLint location(GLuint program, const char* name) { return glGetUniformLocation(program, name); }

void setMatrix(GLuint program, const char* name, const glm::mat4& value) {
    glUniformMatrix4fv(location(program, name), 1, GL_FALSE, glm::value_ptr(value));
}
void setFloat(GLuint program, const char* name, float value) { glUniform1f(location(program, name), value); }
void setInt(GLuint program, const char* name, int value) { glUniform1i(location(program, name), value); }
void setVec3(GLuint program, const char* name, const glm::vec3& value) {
    glUniform3fv(location(program, name), 1, glm::value_ptr(value));
}

void setLightAndMaterial(GLuint program, const SceneObject& object, const Camera& lightCamera,
                         const glm::vec3& viewing) {
    setVec3(program, "light", turnedLight(lightCamera));
    setVec3(program, "ambient", glm::vec3(object.ambient));
    setVec3(program, "intensity", glm::vec3(1.0f));
    setVec3(program, "viewing", viewing);
    setFloat(program, "diffuse", object.diffuse);
    setFloat(program, "specular", object.specular);
    setFloat(program, "shininess", static_cast<float>(object.shininess));
}

// The translation column of the camera's orientation.
glm::vec3 viewingOf(const Camera& camera) { return glm::vec3(camera.orientation * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f)); }

void drawMeshes(const Model& model) {
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

// The overlay draws: no shadow map, no sampling options, culling on.
void drawUnshadowed(const Model& model, const SceneObject& object, const ShaderProgram& program,
                    unsigned int texture, float time, const float* height, bool blend, float alpha,
                    const glm::mat4& projection, const Camera& lightCamera, const Camera& viewCamera) {
    beginBlend(blend);
    glActiveTexture(GL_TEXTURE0);
    DrawMatrices m = computeMatrices(object, viewCamera);
    GLuint p = program.program;
    glUseProgram(p);
    setInt(p, "texUnit", 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    setMatrix(p, "proj_mat", projection);
    setMatrix(p, "view_mat", m.view);
    setMatrix(p, "model_mat", m.model);
    setMatrix(p, "tex_mat", m.shadowTexture);
    setFloat(p, "alpha", alpha);
    setMatrix(p, "normal_mat", m.normal);
    setFloat(p, "time", time);
    if (height) setFloat(p, "height", *height);
    setLightAndMaterial(p, object, lightCamera, viewingOf(viewCamera));
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    drawMeshes(model);
    glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (blend) glDisable(GL_BLEND);
}

}  // namespace

void drawModel(const Model& model, SceneObject object, const ShaderProgram& program, unsigned int texture,
               unsigned int shadowMap, float time, float height, bool blend, float alpha, bool linearSampling,
               int mipmapMode, bool torte, glm::mat4 projection, Camera lightCamera, Camera viewCamera) {
    beginBlend(blend);
    glEnable(GL_TEXTURE_2D);
    DrawMatrices m = computeMatrices(object, viewCamera);
    GLuint p = program.program;
    glUseProgram(p);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    applyTextureSampling(linearSampling, mipmapMode);
    setInt(p, "texUnit", 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowMap);
    setInt(p, "shadow_map", 1);

    setMatrix(p, "proj_mat", projection);
    setMatrix(p, "view_mat", m.view);
    setMatrix(p, "model_mat", m.model);
    setMatrix(p, "tex_mat", m.shadowTexture);
    setFloat(p, "alpha", alpha);
    setFloat(p, "torte", torte ? 1.0f : 0.0f);
    setMatrix(p, "normal_mat", m.normal);
    setMatrix(p, "shadow_mat", m.shadowObject);
    setFloat(p, "time", time);
    setFloat(p, "height", height);
    setLightAndMaterial(p, object, lightCamera, viewingOf(viewCamera));

    glEnable(GL_DEPTH_TEST);
    drawMeshes(model);
    glUseProgram(0);
    // Unit 1 is still active: it is left holding the object's texture.
    glBindTexture(GL_TEXTURE_2D, texture);
    if (blend) glDisable(GL_BLEND);
}

void drawModelIfVisible(const Model& model, SceneObject object, const FrustumPlanes& planes,
                        const ShaderProgram& program, unsigned int texture, float height, bool blend, float alpha,
                        bool linearSampling, int mipmapMode, glm::mat4 projection) {
    if (!isBoxInFrustum(planes, object, model)) return;
    float time = static_cast<float>(clockSeconds());
    drawModel(model, object, program, texture, kShadowMapTexture, time, height, blend, alpha, linearSampling,
              mipmapMode, false, projection, lightCamera, mainCamera);
    drawnObjectCount += 1;
}

void drawOverlayModel(const Model& model, SceneObject object, const ShaderProgram& program, float time, bool blend,
                      float alpha, glm::mat4 projection, Camera lightCamera, Camera viewCamera) {
    drawUnshadowed(model, object, program, kAlphabetTexture, time, nullptr, blend, alpha, projection, lightCamera,
                   viewCamera);
}

void drawModelNoShadow(const Model& model, SceneObject object, const ShaderProgram& program, unsigned int texture,
                       float time, float height, bool blend, float alpha, glm::mat4 projection, Camera lightCamera,
                       Camera viewCamera) {
    drawUnshadowed(model, object, program, texture, time, &height, blend, alpha, projection, lightCamera,
                   viewCamera);
}

void drawShadowCaster(const Model& model, SceneObject object, const ShaderProgram& program, Camera lightCamera,
                      Camera viewCamera) {
    glEnable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE1);
    glm::mat4 lightView = lightViewMatrix();
    glm::mat4 modelMatrix = object.model;
    glm::mat4 normal = glm::transpose(glm::inverse(modelMatrix));
    glm::mat4 shadowObject = shadowBiasTranslate * shadowBiasScale * lightProjection * lightView * modelMatrix;
    GLuint p = program.program;
    glUseProgram(p);
    glBindTexture(GL_TEXTURE_2D, kShadowMapTexture);
    setInt(p, "shadow_map", 1);
    setMatrix(p, "proj_mat", lightProjection);
    setMatrix(p, "view_mat", lightView);
    setMatrix(p, "model_mat", modelMatrix);
    setMatrix(p, "normal_mat", normal);
    setMatrix(p, "shadow_mat", shadowObject);
    // Of the view camera only its position field counts here.
    setLightAndMaterial(p, object, lightCamera, viewCamera.position);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    drawModelMeshes(model);
    glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, kShadowMapTexture);
}

void drawModelMeshes(const Model& model) {
    for (std::uint32_t i = 0; i < model.meshCount; ++i) {
        glBindVertexArray(model.vertexArrays[i]);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * model.faceCounts[i]), GL_UNSIGNED_INT, nullptr);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
