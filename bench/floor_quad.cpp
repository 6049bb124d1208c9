// The floor frame: one lit, textured, shadow-sampled full-window quad.
#include "bench/floor_quad.h"

#include <GL/glew.h>

#include "app/window.h"
#include "render/shader_program.h"

namespace {

const char* const kVertexSource = R"(#version 150
#extension GL_ARB_explicit_attrib_location : require
layout(location = 0) in vec2 in_position;
out vec2 tex_coord;
out vec4 shadow_coord;
out vec3 world_normal;
void main() {
    tex_coord = in_position * 4.0;
    // Across the middle of the shadow map, in front of what it holds.
    shadow_coord = vec4(in_position * 0.25 + 0.5, 0.5, 1.0);
    world_normal = vec3(in_position * 0.3, 1.0);
    gl_Position = vec4(in_position, 0.0, 1.0);
})";

const char* const kFragmentSource = R"(#version 150
uniform sampler2D texUnit;
uniform sampler2DShadow shadow_map;
in vec2 tex_coord;
in vec4 shadow_coord;
in vec3 world_normal;
out vec4 out_color;
void main() {
    vec3 base = texture(texUnit, tex_coord).rgb;
    float lit = textureProj(shadow_map, shadow_coord);
    vec3 n = normalize(world_normal);
    float facing = max(dot(n, vec3(0.0, 0.6, 0.8)), 0.0);
    float gloss = pow(max(dot(n, vec3(0.0, 0.0, 1.0)), 0.0), 10.0);
    out_color = vec4(base * base * (0.35 + 0.65 * facing * lit) + vec3(0.2 * gloss * lit), 1.0);
})";

}  // namespace

bool makeFloorQuad(FloorQuad& quad) {
    ShaderProgram program;
    program.vertexShader = compileShader(GL_VERTEX_SHADER, kVertexSource);
    program.fragmentShader = compileShader(GL_FRAGMENT_SHADER, kFragmentSource);
    linkShaderProgram(program);
    if (program.program == 0) return false;
    // The program keeps what it needs; the shader objects can go.
    glDetachShader(program.program, program.vertexShader);
    glDetachShader(program.program, program.fragmentShader);
    glDeleteShader(program.vertexShader);
    glDeleteShader(program.fragmentShader);
    quad.program = program.program;

    const float corners[8] = {-1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f};
    glGenVertexArrays(1, &quad.vertexArray);
    glBindVertexArray(quad.vertexArray);
    glGenBuffers(1, &quad.buffer);
    glBindBuffer(GL_ARRAY_BUFFER, quad.buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}

void destroyFloorQuad(FloorQuad& quad) {
    glDeleteProgram(quad.program);
    glDeleteVertexArrays(1, &quad.vertexArray);
    glDeleteBuffers(1, &quad.buffer);
    quad = FloorQuad{};
}

void drawFloorFrame(const FloorQuad& quad, unsigned int texture, unsigned int shadowMap, int width, int height) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(quad.program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(glGetUniformLocation(quad.program, "texUnit"), 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowMap);
    glUniform1i(glGetUniformLocation(quad.program, "shadow_map"), 1);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(quad.vertexArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    glUseProgram(0);
    swapBuffers();
}
