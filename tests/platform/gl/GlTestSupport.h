#pragma once

#include <GLES2/gl2.h>

#include <array>
#include <cstdint>
#include <string>

// A textured quad over the whole viewport, for tests that draw.
namespace gltest {

inline GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

inline GLuint linkProgram(const char* vertex, const char* fragment, bool* linked = nullptr)
{
    const GLuint program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, vertex));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragment));
    glBindAttribLocation(program, 0, "position");
    glBindAttribLocation(program, 1, "inputTextureCoordinate");
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (linked)
        *linked = status == GL_TRUE;
    return program;
}

inline const char* passthroughVertex =
    "attribute vec4 position; attribute vec4 inputTextureCoordinate; varying vec2 textureCoordinate; "
    "void main() { gl_Position = position; textureCoordinate = inputTextureCoordinate.xy; }";

// Draws the bound 2D texture of unit 0 over the viewport with `program`.
inline void drawQuad(GLuint program)
{
    static const GLfloat vertices[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    static const GLfloat coordinates[] = {0, 0, 1, 0, 0, 1, 1, 1};
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "inputImageTexture"), 0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, vertices);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, coordinates);
    glEnableVertexAttribArray(1);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

// A framebuffer with an RGBA texture of the given size, left bound.
struct TextureTarget {
    GLuint framebuffer = 0;
    GLuint texture = 0;
    TextureTarget(int width, int height)
    {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        glViewport(0, 0, width, height);
    }
};

inline std::array<std::uint8_t, 4> readPixel(int x, int y)
{
    std::array<std::uint8_t, 4> rgba{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

}  // namespace gltest
