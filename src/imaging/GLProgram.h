#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A shader program: compiled when made, linked by its first user. The
// position of an attribute name in `attributes` is its bound location.
class GLProgram {
public:
    GLProgram(const std::string& vertexShaderString, const std::string& fragmentShaderString);
    ~GLProgram();
    GLProgram(const GLProgram&) = delete;
    GLProgram& operator=(const GLProgram&) = delete;

    void addAttribute(const std::string& attributeName);
    // The bound location, or -1 (as unsigned) when the name was never added.
    std::uint32_t attributeIndex(const std::string& attributeName) const;
    std::int32_t uniformIndex(const std::string& uniformName) const;
    bool link();
    void use();
    void validate();

    std::uint32_t program() const { return program_; }
    bool initialized() const { return initialized_; }
    const std::string& vertexShaderLog() const { return vertexShaderLog_; }
    const std::string& fragmentShaderLog() const { return fragmentShaderLog_; }
    const std::string& programLog() const { return programLog_; }

private:
    bool compileShader(std::uint32_t* shader, std::uint32_t type, const std::string& source);

    std::vector<std::string> attributes_;
    std::uint32_t program_ = 0;
    std::uint32_t vertShader_ = 0;
    std::uint32_t fragShader_ = 0;
    bool initialized_ = false;
    std::string vertexShaderLog_;
    std::string fragmentShaderLog_;
    std::string programLog_;
};

class GfxContext;

// The program of `context` for the two sources, linked with `attributes`
// bound in order on first use; a link failure stops the program. The
// context must be current.
std::shared_ptr<GLProgram> linkedProgram(GfxContext& context, const std::string& vertexShader,
                                         const std::string& fragmentShader,
                                         const std::vector<std::string>& attributes);

// The set-up every drawing node runs on the processing queue: the shared
// context's program for the two sources, linked with `attributes` bound in
// order on first use, made active. A link failure stops the program.
std::shared_ptr<GLProgram> setUpProgram(const std::string& vertexShader, const std::string& fragmentShader,
                                        const std::vector<std::string>& attributes);
