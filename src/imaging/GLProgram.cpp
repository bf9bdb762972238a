#include "imaging/GLProgram.h"

#include "imaging/GfxContext.h"
#include "platform/foundation/Log.h"
#include "platform/gl/GLES.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

GLProgram::GLProgram(const std::string& vertexShaderString, const std::string& fragmentShaderString)
{
    program_ = glCreateProgram();
    if (!compileShader(&vertShader_, GL_VERTEX_SHADER, vertexShaderString))
        fnd::log(fnd::LogLevel::Error, "Failed to compile vertex shader");
    if (!compileShader(&fragShader_, GL_FRAGMENT_SHADER, fragmentShaderString))
        fnd::log(fnd::LogLevel::Error, "Failed to compile fragment shader");
    glAttachShader(program_, vertShader_);
    glAttachShader(program_, fragShader_);
}

GLProgram::~GLProgram()
{
    if (vertShader_)
        glDeleteShader(vertShader_);
    if (fragShader_)
        glDeleteShader(fragShader_);
    if (program_)
        glDeleteProgram(program_);
}

bool GLProgram::compileShader(std::uint32_t* shader, std::uint32_t type, const std::string& source)
{
    if (source.empty()) {
        fnd::log(fnd::LogLevel::Error, "Failed to load vertex shader");
        return false;
    }
    *shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(*shader, 1, &text, nullptr);
    glCompileShader(*shader);
    GLint status = 0;
    glGetShaderiv(*shader, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        GLint length = 0;
        glGetShaderiv(*shader, GL_INFO_LOG_LENGTH, &length);
        if (length >= 1) {
            std::string log(static_cast<std::size_t>(length), '\0');
            glGetShaderInfoLog(*shader, length, nullptr, log.data());
            log.resize(std::min(log.size(), log.find('\0')));
            (shader == &vertShader_ ? vertexShaderLog_ : fragmentShaderLog_) = log;
        }
    }
    return status == GL_TRUE;
}

void GLProgram::addAttribute(const std::string& attributeName)
{
    if (std::find(attributes_.begin(), attributes_.end(), attributeName) != attributes_.end())
        return;
    attributes_.push_back(attributeName);
    glBindAttribLocation(program_, static_cast<GLuint>(attributes_.size() - 1), attributeName.c_str());
}

std::uint32_t GLProgram::attributeIndex(const std::string& attributeName) const
{
    const auto found = std::find(attributes_.begin(), attributes_.end(), attributeName);
    if (found == attributes_.end())
        return static_cast<std::uint32_t>(-1);
    return static_cast<std::uint32_t>(found - attributes_.begin());
}

std::int32_t GLProgram::uniformIndex(const std::string& uniformName) const
{
    return glGetUniformLocation(program_, uniformName.c_str());
}

bool GLProgram::link()
{
    glLinkProgram(program_);
    GLint status = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &status);
    if (status == GL_FALSE)
        return false;
    if (vertShader_) {
        glDeleteShader(vertShader_);
        vertShader_ = 0;
    }
    if (fragShader_) {
        glDeleteShader(fragShader_);
        fragShader_ = 0;
    }
    initialized_ = true;
    return true;
}

void GLProgram::use()
{
    glUseProgram(program_);
}

void GLProgram::validate()
{
    glValidateProgram(program_);
    GLint length = 0;
    glGetProgramiv(program_, GL_INFO_LOG_LENGTH, &length);
    if (length >= 1) {
        std::string log(static_cast<std::size_t>(length), '\0');
        glGetProgramInfoLog(program_, length, nullptr, log.data());
        log.resize(std::min(log.size(), log.find('\0')));
        programLog_ = log;
    }
}

std::shared_ptr<GLProgram> linkedProgram(GfxContext& context, const std::string& vertexShader,
                                         const std::string& fragmentShader, const std::vector<std::string>& attributes)
{
    auto program = context.programForVertexShaderString(vertexShader, fragmentShader);
    if (!program->initialized()) {
        for (const auto& attribute : attributes)
            program->addAttribute(attribute);
        if (!program->link()) {
            program->validate();
            fnd::log(fnd::LogLevel::Error, "Program link log: " + program->programLog());
            fnd::log(fnd::LogLevel::Error, "Fragment shader compile log: " + program->fragmentShaderLog());
            fnd::log(fnd::LogLevel::Error, "Vertex shader compile log: " + program->vertexShaderLog());
            std::fprintf(stderr, "Filter shader link failed\n");
            std::abort();
        }
    }
    return program;
}

std::shared_ptr<GLProgram> setUpProgram(const std::string& vertexShader, const std::string& fragmentShader,
                                        const std::vector<std::string>& attributes)
{
    std::shared_ptr<GLProgram> program;
    runOnProcessingQueueSync([&] {
        GfxContext::useImageProcessingContext();
        program = linkedProgram(GfxContext::sharedImageProcessingContext(), vertexShader, fragmentShader, attributes);
        GfxContext::setActiveShaderProgram(program);
        for (const auto& attribute : attributes)
            glEnableVertexAttribArray(program->attributeIndex(attribute));
    });
    return program;
}
