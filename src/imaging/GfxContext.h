#pragma once

#include "platform/ui/Geometry.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace fnd {
class DispatchQueue;
}
namespace gl {
class Context;
class Sharegroup;
class TextureCache;
}

class GLProgram;
class GfxFramebufferCache;

// The pipeline's processing queue is the main queue: these run the block at
// once when the caller is already on it, otherwise they hand it over.
void runOnProcessingQueueSync(const std::function<void()>& block);
void runOnProcessingQueueAsync(std::function<void()> block);

class GfxContext;
// The same rule with a context's own queue (the movie writer's).
void runOnContextQueueSync(GfxContext& context, const std::function<void()>& block);
void runOnContextQueueAsync(GfxContext& context, std::function<void()> block);

// The rendering context every pipeline node draws with, its program cache
// and its framebuffer cache. One shared instance serves the main queue; the
// movie writer makes a second one that shares its textures.
class GfxContext {
public:
    GfxContext();
    ~GfxContext();
    GfxContext(const GfxContext&) = delete;
    GfxContext& operator=(const GfxContext&) = delete;

    static GfxContext& sharedImageProcessingContext();
    static GfxFramebufferCache& sharedFramebufferCache();
    static std::shared_ptr<fnd::DispatchQueue> sharedContextQueue();
    static void useImageProcessingContext();
    static void setActiveShaderProgram(const std::shared_ptr<GLProgram>& program);

    static int maximumTextureSizeForThisDevice();
    static int maximumTextureUnitsForThisDevice();
    static int maximumVaryingVectorsForThisDevice();
    static bool deviceSupportsOpenGLESExtension(const std::string& extension);
    static bool deviceSupportsRedTextures();
    static bool deviceSupportsFramebufferReads();
    static ui::Size sizeThatFitsWithinATextureForSize(ui::Size size);
    // The fitting rule for a given maximum side.
    static ui::Size sizeThatFitsWithinATextureForSize(ui::Size size, double maximum);
    static bool supportsFastTextureUpload();

    void useAsCurrentContext();
    void setContextShaderProgram(const std::shared_ptr<GLProgram>& program);
    void presentBufferForDisplay();
    std::shared_ptr<GLProgram> programForVertexShaderString(const std::string& vertexShader,
                                                             const std::string& fragmentShader);
    void useSharegroup(std::shared_ptr<gl::Sharegroup> sharegroup);

    const std::shared_ptr<gl::Context>& context();
    const std::shared_ptr<fnd::DispatchQueue>& contextQueue() const { return contextQueue_; }
    gl::TextureCache& coreVideoTextureCache();
    GfxFramebufferCache& framebufferCache();

private:
    std::shared_ptr<gl::Context> createContext();

    std::map<std::string, std::shared_ptr<GLProgram>> shaderProgramCache_;
    std::shared_ptr<gl::Sharegroup> sharegroup_;
    std::shared_ptr<gl::Context> context_;
    std::shared_ptr<GLProgram> currentShaderProgram_;
    std::shared_ptr<fnd::DispatchQueue> contextQueue_;
    std::shared_ptr<gl::TextureCache> coreVideoTextureCache_;
    std::unique_ptr<GfxFramebufferCache> framebufferCache_;
};
