// GL object census by name scan: glIs* over the low names, a probe glGen*
// for the next free name, and the sizes of the live buffers.
#include "bench/gl_census.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>

namespace {

// The name a glGen* would hand out now; the probe object is deleted again.
unsigned int probeName(void (*generate)(GLsizei, GLuint*), void (*release)(GLsizei, const GLuint*)) {
    GLuint name = 0;
    generate(1, &name);
    release(1, &name);
    return name;
}

void genBuffers(GLsizei n, GLuint* names) { glGenBuffers(n, names); }
void deleteBuffers(GLsizei n, const GLuint* names) { glDeleteBuffers(n, names); }
void genVertexArrays(GLsizei n, GLuint* names) { glGenVertexArrays(n, names); }
void deleteVertexArrays(GLsizei n, const GLuint* names) { glDeleteVertexArrays(n, names); }
void genTextures(GLsizei n, GLuint* names) { glGenTextures(n, names); }
void deleteTextures(GLsizei n, const GLuint* names) { glDeleteTextures(n, names); }

}  // namespace

GlCensus takeGlCensus(unsigned int minScan) {
    GlCensus census;
    census.nextBuffer = probeName(genBuffers, deleteBuffers);
    census.nextVertexArray = probeName(genVertexArrays, deleteVertexArrays);
    census.nextTexture = probeName(genTextures, deleteTextures);
    const unsigned int limit = std::max({minScan, census.nextBuffer, census.nextVertexArray, census.nextTexture});

    GLint savedCopyRead = 0;
    glGetIntegerv(GL_COPY_READ_BUFFER_BINDING, &savedCopyRead);
    for (GLuint name = 1; name <= limit; ++name) {
        if (glIsBuffer(name)) {
            ++census.buffers;
            glBindBuffer(GL_COPY_READ_BUFFER, name);
            GLint size = 0;
            glGetBufferParameteriv(GL_COPY_READ_BUFFER, GL_BUFFER_SIZE, &size);
            census.bufferBytes += size;
        }
        if (glIsVertexArray(name)) ++census.vertexArrays;
        if (glIsTexture(name)) ++census.textures;
        if (glIsFramebuffer(name)) ++census.framebuffers;
        if (glIsRenderbuffer(name)) ++census.renderbuffers;
        if (glIsTransformFeedback && glIsTransformFeedback(name)) ++census.transformFeedbacks;
        if (glIsProgram(name)) ++census.programs;
        if (glIsShader(name)) ++census.shaders;
    }
    glBindBuffer(GL_COPY_READ_BUFFER, static_cast<GLuint>(savedCopyRead));
    return census;
}

bool censusGrew(const GlCensus& before, const GlCensus& after) {
    return after.buffers > before.buffers || after.vertexArrays > before.vertexArrays ||
           after.textures > before.textures || after.framebuffers > before.framebuffers ||
           after.renderbuffers > before.renderbuffers || after.transformFeedbacks > before.transformFeedbacks ||
           after.programs > before.programs || after.shaders > before.shaders || after.bufferBytes > before.bufferBytes;
}

void printCensus(const char* label, const GlCensus& census) {
    std::fprintf(stderr,
                 "%s: buffers %d (%lld bytes), vertex arrays %d, textures %d, framebuffers %d, renderbuffers %d, "
                 "transform feedbacks %d, programs %d, shaders %d; next names: buffer %u, vertex array %u, "
                 "texture %u\n",
                 label, census.buffers, census.bufferBytes, census.vertexArrays, census.textures, census.framebuffers,
                 census.renderbuffers, census.transformFeedbacks, census.programs, census.shaders, census.nextBuffer,
                 census.nextVertexArray, census.nextTexture);
}
