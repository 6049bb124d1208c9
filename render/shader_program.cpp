// Shader programs: reading GLSL sources, compiling, linking, fragment-output
// binding and release. Every failure is reported on the console and leaves a
// zero name behind; nothing here stops the game.
#include "render/shader_program.h"

#include <GL/glew.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "render/gl_check.h"

namespace {

constexpr int kInfoLogSize = 8096;

// Confirmations and logs go to stdout, progress and errors to stderr; each
// line flushed at once so the two streams interleave in the order written.
void writeLine(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void printShaderLog(GLuint shader) {
    char log[kInfoLogSize];
    log[0] = '\0';
    GLsizei length = 0;
    glGetShaderInfoLog(shader, kInfoLogSize, &length, log);
    if (length > 0) writeLine(stdout, std::string(log, static_cast<std::size_t>(length)));
}

void printProgramLog(GLuint program) {
    char log[kInfoLogSize];
    log[0] = '\0';
    GLsizei length = 0;
    glGetProgramInfoLog(program, kInfoLogSize, &length, log);
    if (length > 0) writeLine(stdout, std::string(log, static_cast<std::size_t>(length)));
}

// Links program again in place; on failure reports, deletes it and leaves 0.
void linkAndCheck(unsigned int& program) {
    glLinkProgram(program);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        writeLine(stderr, "Shader linking failed: ''");
        printProgramLog(program);
        glDeleteProgram(program);
        program = 0;
    }
}

}  // namespace

bool fileExists(const std::string& path) {
    std::ifstream file(path);
    return file.good();
}

std::string readTextFile(const std::string& path) {
    std::ifstream file(path);
    std::string raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Sources saved with CR LF line ends must reach the compiler as LF, as a
    // text-mode read gives them on Windows; here the stream keeps the CR.
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text.push_back(raw[i]);
    }
    return text;
}

unsigned int compileShader(unsigned int type, const std::string& source) {
    GLuint shader = glCreateShader(type);
    if (shader == 0) {
        writeLine(stderr, "Could not create shader object");
        return 0;
    }
    const GLchar* text = source.c_str();
    GLint length = static_cast<GLint>(source.size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        writeLine(stdout, "Shader compilation failed.");
        writeLine(stderr, "Could not compile shader ''");
        printShaderLog(shader);
    }
    checkGlError("11");
    // A failed shader is still handed back: the link then fails and reports.
    return shader;
}

void linkShaderProgram(ShaderProgram& shader) {
    shader.program = glCreateProgram();
    glAttachShader(shader.program, shader.vertexShader);
    glAttachShader(shader.program, shader.fragmentShader);
    linkAndCheck(shader.program);
    checkGlError("12");
}

void relinkShaderProgram(ShaderProgram& shader) {
    if (shader.program == 0) return;
    linkAndCheck(shader.program);
    if (shader.program == 0) shader.loaded = false;
    checkGlError("12");
}

ShaderProgram loadShaderProgram(const std::string& baseName) {
    ShaderProgram shader;
    shader.loaded = false;
    if (!fileExists(baseName + ".vert")) {
        writeLine(stderr, "Vertex shader file " + baseName + ".vert does not exist.");
        return shader;
    }
    std::string vertexSource = readTextFile(baseName + ".vert");
    if (!fileExists(baseName + ".frag")) {
        writeLine(stderr, "Fragment shader file " + baseName + ".frag does not exist.");
        return shader;
    }
    std::string fragmentSource = readTextFile(baseName + ".frag");

    shader.vertexShader = compileShader(GL_VERTEX_SHADER, vertexSource);
    if (shader.vertexShader == 0) return shader;
    checkGlError("7");
    shader.fragmentShader = compileShader(GL_FRAGMENT_SHADER, fragmentSource);
    if (shader.fragmentShader == 0) return shader;
    checkGlError("8");
    checkGlError("9");
    linkShaderProgram(shader);
    if (shader.program != 0) {
        shader.loaded = true;
        checkGlError("10");
    }
    return shader;
}

ShaderProgram loadFeedbackShaderProgram(const std::string& baseName) {
    ShaderProgram shader;
    shader.loaded = false;
    writeLine(stderr, "load shader with GS");
    if (!fileExists(baseName + ".vert")) {
        writeLine(stderr, "Vertex shader file " + baseName + ".vert does not exist.");
        return shader;
    }
    std::string vertexSource = readTextFile(baseName + ".vert");
    if (!fileExists(baseName + ".geom.c")) {
        writeLine(stderr, "Geometry shader file " + baseName + ".geom.c does not exist.");
        return shader;
    }
    std::string geometrySource = readTextFile(baseName + ".geom.c");

    writeLine(stderr, "compile VS");
    shader.vertexShader = compileShader(GL_VERTEX_SHADER, vertexSource);
    if (shader.vertexShader == 0) return shader;
    checkGlError("3");
    writeLine(stderr, "compile GS");
    shader.fragmentShader = compileShader(GL_GEOMETRY_SHADER, geometrySource);
    if (shader.fragmentShader == 0) return shader;
    checkGlError("4");
    checkGlError("5");
    linkShaderProgram(shader);
    if (shader.program == 0) return shader;

    // The order of the names is the layout of the interleaved particle record.
    const GLchar* varyings[5] = {"tf_life", "tf_type", "tf_vel", "tf_position", "tf_dir"};
    glTransformFeedbackVaryings(shader.program, 5, varyings, GL_INTERLEAVED_ATTRIBS);
    linkAndCheck(shader.program);
    // Only a program that survived the second link counts as loaded.
    shader.loaded = shader.program != 0;
    checkGlError("6");
    writeLine(stderr, "load shader with GS done");
    return shader;
}

void bindFragmentOutput(ShaderProgram& shader, const char* outputName) {
    if (shader.program == 0) return;
    glBindFragDataLocation(shader.program, 0, outputName);
    relinkShaderProgram(shader);
}

void destroyShaderProgram(ShaderProgram& shader) {
    glDeleteProgram(shader.program);
    glDeleteShader(shader.vertexShader);
    glDeleteShader(shader.fragmentShader);
    // Forget the names so a second call cannot delete objects that reused them.
    shader = ShaderProgram{};
}
