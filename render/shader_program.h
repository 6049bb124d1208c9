// Shader programs: loading, compiling and linking the GLSL sources under
// Shaders/, the transform-feedback variant for the snow, and their release.
#pragma once

#include <string>

struct ShaderProgram {
    bool loaded = false;
    unsigned int vertexShader = 0;
    unsigned int fragmentShader = 0;  // the geometry shader in the feedback program
    unsigned int program = 0;         // 0 when loading or linking failed
};

bool fileExists(const std::string& path);
std::string readTextFile(const std::string& path);
// Returns 0 only when the shader object cannot be created.
unsigned int compileShader(unsigned int type, const std::string& source);
// Both leave program 0 (deleted) when linking fails.
void linkShaderProgram(ShaderProgram& shader);
void relinkShaderProgram(ShaderProgram& shader);
ShaderProgram loadShaderProgram(const std::string& baseName);
// Vertex + geometry program capturing tf_life, tf_type, tf_vel, tf_position,
// tf_dir interleaved, in that order.
ShaderProgram loadFeedbackShaderProgram(const std::string& baseName);
// Binds the named fragment output to colour number 0 and relinks so the
// binding takes effect; a record without a program is left alone.
void bindFragmentOutput(ShaderProgram& shader, const char* outputName);
// Deletes the program and both shaders and resets the record to empty.
void destroyShaderProgram(ShaderProgram& shader);
