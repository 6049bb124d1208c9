// Height-map capture: the landscape drawn straight down into a single-channel
// float target whose pixels hold world heights, exported as terrain.bmp and
// read back into the height map once at start-up.
#include "render/height_capture.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "game/scene_object.h"
#include "render/draw.h"
#include "render/gl_check.h"
#include "render/model.h"
#include "render/shader_program.h"
#include "render/shadow_map.h"
#include "world/terrain_bitmap.h"

namespace {

constexpr int kTexels = kHeightMapSize * kHeightMapSize;
// The look-up constants of the height map are built on the capture box
// spread over a 1200 x 1000 viewport, of which the lower-left 1024 x 1000
// pixels land in the target.
constexpr int kCaptureViewportWidth = 1200;
constexpr int kCaptureViewportHeight = 1000;
constexpr int kDumpFirst = 600000;
constexpr int kDumpCount = 1000;

}  // namespace

void drawLandscapeForCapture(const SceneObject& object, const ShaderProgram& program, const Model& mesh,
                             const glm::mat4& projectionView, const glm::mat4& view) {
    glm::mat4 model = object.model;
    glm::mat4 normal = glm::transpose(glm::inverse(model));
    glUseProgram(program.program);
    GLint normalLocation = glGetUniformLocation(program.program, "normal_mat");
    if (normalLocation >= 0) glUniformMatrix4fv(normalLocation, 1, GL_FALSE, glm::value_ptr(normal));
    glm::mat4 pvm = projectionView * model;
    glm::mat4 vm = view * model;
    glUniformMatrix4fv(glGetUniformLocation(program.program, "pvm_mat"), 1, GL_FALSE, glm::value_ptr(pvm));
    glUniformMatrix4fv(glGetUniformLocation(program.program, "vm_mat"), 1, GL_FALSE, glm::value_ptr(vm));
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    drawModelMeshes(mesh);
    glUseProgram(0);
}

bool exportHeightMapBitmap(const HeightMap& map) { return writeGreyBitmap(map.values.data(), 0.85f); }

void captureHeightMap(HeightMap& map, const SceneObject& landscape, const Model& landscapeModel,
                      const ShaderProgram& terrainProgram) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glActiveTexture(GL_TEXTURE1);

    glm::mat4 projection = glm::ortho(-380.0f, 512.0f, -400.0f, 380.0f, -200.0f, 50.0f);
    map.values.resize(kTexels);
    std::vector<float> ones(kTexels, 1.0f);

    // Looking straight down world -y; the top of the image is world -z.
    glm::mat4 view = glm::rotate(glm::mat4(1.0f), glm::radians(90.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    glm::mat4 projectionView = projection * view;

    // Texture 17 in the creation order. Nothing samples it; it lives only
    // as long as the capture.
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32F, kHeightMapSize, kHeightMapSize, 0, GL_RED, GL_FLOAT, ones.data());
    applyDepthCompareSampling();  // the shadow map's settings, though nothing samples it
    glBindTexture(GL_TEXTURE_2D, texture);

    GLuint heightBuffer = 0;
    glGenRenderbuffers(1, &heightBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, heightBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_R32F, kHeightMapSize, kHeightMapSize);
    // A depth buffer keeps the highest surface where the landscape overlaps
    // itself (a tier top over the ground below it); without one the last
    // triangle drawn would win. Higher ground is nearer in this projection.
    GLuint depthBuffer = 0;
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kHeightMapSize, kHeightMapSize);
    glBindRenderbuffer(GL_RENDERBUFFER, heightBuffer);

    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, heightBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);

    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "Couldn't create frame buffer" << std::endl;
        std::exit(0);
    }

    // Uncovered pixels must read height 0 whatever clear colour is current,
    // and the geometry must not follow a window that was resized before now.
    GLfloat oldClear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, oldClear);
    GLint oldViewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, oldViewport);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glViewport(0, 0, kCaptureViewportWidth, kCaptureViewportHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    drawLandscapeForCapture(landscape, terrainProgram, landscapeModel, projectionView, view);
    // Read back once: the bitmap is made from the heights the game keeps.
    glReadPixels(0, 0, kHeightMapSize, kHeightMapSize, GL_RED, GL_FLOAT, map.values.data());
    exportHeightMapBitmap(map);  // a bitmap that cannot be written is skipped silently

    // One flush for the thousand lines, not one each.
    for (int i = kDumpFirst; i < kDumpFirst + kDumpCount; ++i)
        std::cout << "heightmap inhalt: " << map.values[i] << '\n';
    std::cout.flush();

    glClearColor(oldClear[0], oldClear[1], oldClear[2], oldClear[3]);
    glViewport(oldViewport[0], oldViewport[1], oldViewport[2], oldViewport[3]);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    // The heights now live in main memory; the target is not needed again.
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &depthBuffer);
    glDeleteRenderbuffers(1, &heightBuffer);
    glDeleteTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0);
    checkGlError("after heightmap creation");
    glEnable(GL_DEPTH_TEST);
}
