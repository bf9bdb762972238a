#include "imaging/GfxContext.h"

#include "imaging/GfxFramebufferCache.h"
#include "imaging/GLProgram.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/gl/Context.h"
#include "platform/gl/Drawable.h"
#include "platform/gl/GLES.h"
#include "platform/gl/Limits.h"
#include "platform/gl/TextureCache.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

[[noreturn]] void fail(const char* message)
{
    std::fprintf(stderr, "%s\n", message);
    std::abort();
}

}  // namespace

void runOnProcessingQueueSync(const std::function<void()>& block)
{
    auto& main = fnd::DispatchQueue::main();
    if (main.isCurrent())
        block();
    else
        main.sync(block);
}

void runOnProcessingQueueAsync(std::function<void()> block)
{
    auto& main = fnd::DispatchQueue::main();
    if (main.isCurrent())
        block();
    else
        main.async(std::move(block));
}

void runOnContextQueueSync(GfxContext& context, const std::function<void()>& block)
{
    context.contextQueue()->sync(block);
}

void runOnContextQueueAsync(GfxContext& context, std::function<void()> block)
{
    auto& queue = *context.contextQueue();
    if (queue.isCurrent())
        block();
    else
        queue.async(std::move(block));
}

GfxContext::GfxContext() : contextQueue_(std::make_shared<fnd::DispatchQueue>("norvale.imaging.contextQueue")) {}

GfxContext::~GfxContext()
{
    // Programs and textures of a context are deleted with it current, on its queue.
    if (context_) {
        auto programs = std::make_shared<decltype(shaderProgramCache_)>(std::move(shaderProgramCache_));
        auto current = std::move(currentShaderProgram_);
        auto textureCache = std::move(coreVideoTextureCache_);
        context_->deleteObjects([programs, current, textureCache]() mutable {
            current.reset();
            programs->clear();
            textureCache.reset();
        });
    }
}

GfxContext& GfxContext::sharedImageProcessingContext()
{
    // Lives for the process: framebuffers returned during shutdown still find it.
    static GfxContext* shared = new GfxContext;
    return *shared;
}

GfxFramebufferCache& GfxContext::sharedFramebufferCache()
{
    return sharedImageProcessingContext().framebufferCache();
}

std::shared_ptr<fnd::DispatchQueue> GfxContext::sharedContextQueue()
{
    return sharedImageProcessingContext().contextQueue();
}

void GfxContext::useImageProcessingContext()
{
    sharedImageProcessingContext().useAsCurrentContext();
}

void GfxContext::setActiveShaderProgram(const std::shared_ptr<GLProgram>& program)
{
    sharedImageProcessingContext().setContextShaderProgram(program);
}

int GfxContext::maximumTextureSizeForThisDevice()
{
    return gl::Limits::device().maxTextureSize;
}

int GfxContext::maximumTextureUnitsForThisDevice()
{
    return gl::Limits::device().maxTextureImageUnits;
}

int GfxContext::maximumVaryingVectorsForThisDevice()
{
    return gl::Limits::device().maxVaryingVectors;
}

bool GfxContext::deviceSupportsOpenGLESExtension(const std::string& extension)
{
    return gl::Limits::device().supportsExtension(extension);
}

bool GfxContext::deviceSupportsRedTextures()
{
    return gl::Limits::device().supportsRedTextures();
}

bool GfxContext::deviceSupportsFramebufferReads()
{
    return gl::Limits::device().supportsFramebufferReads();
}

ui::Size GfxContext::sizeThatFitsWithinATextureForSize(ui::Size size)
{
    return sizeThatFitsWithinATextureForSize(size, maximumTextureSizeForThisDevice());
}

ui::Size GfxContext::sizeThatFitsWithinATextureForSize(ui::Size size, double maximum)
{
    if (size.width < maximum && size.height < maximum)
        return size;
    if (size.width > size.height)
        return {maximum, size.height * maximum / size.width};
    return {size.width * maximum / size.height, maximum};
}

bool GfxContext::supportsFastTextureUpload()
{
    return gl::Limits::supportsFastTextureUpload;
}

void GfxContext::useAsCurrentContext()
{
    const auto& current = context();
    if (gl::Context::currentContext() != current)
        gl::Context::setCurrentContext(current);
}

void GfxContext::setContextShaderProgram(const std::shared_ptr<GLProgram>& program)
{
    useAsCurrentContext();
    if (program != currentShaderProgram_) {
        currentShaderProgram_ = program;
        program->use();
    }
}

void GfxContext::presentBufferForDisplay()
{
    gl::presentRenderbuffer(*context());
}

std::shared_ptr<GLProgram> GfxContext::programForVertexShaderString(const std::string& vertexShader,
                                                                    const std::string& fragmentShader)
{
    const std::string key = "V: " + vertexShader + " - F: " + fragmentShader;
    if (const auto found = shaderProgramCache_.find(key); found != shaderProgramCache_.end())
        return found->second;
    auto program = std::make_shared<GLProgram>(vertexShader, fragmentShader);
    shaderProgramCache_.emplace(key, program);
    return program;
}

void GfxContext::useSharegroup(std::shared_ptr<gl::Sharegroup> sharegroup)
{
    if (context_)
        fail("Unable to use a share group when the context has already been created. Call this method before "
             "you use the context for the first time.");
    sharegroup_ = std::move(sharegroup);
}

std::shared_ptr<gl::Context> GfxContext::createContext()
{
    auto context = gl::Context::create(sharegroup_);
    if (!context)
        fail("Unable to create an OpenGL ES 2.0 context. The image pipeline requires OpenGL ES 2.0 support to "
             "work.");
    return context;
}

const std::shared_ptr<gl::Context>& GfxContext::context()
{
    if (!context_) {
        context_ = createContext();
        if (this != &sharedImageProcessingContext())
            context_->setOwningQueue(contextQueue_);
        gl::Context::setCurrentContext(context_);
        glDisable(GL_DEPTH_TEST);
    }
    return context_;
}

gl::TextureCache& GfxContext::coreVideoTextureCache()
{
    if (!coreVideoTextureCache_) {
        coreVideoTextureCache_ = gl::TextureCache::create(context());
        if (!coreVideoTextureCache_) {
            char message[64];
            std::snprintf(message, sizeof message, "Error at CVOpenGLESTextureCacheCreate %d", -1);
            fail(message);
        }
    }
    return *coreVideoTextureCache_;
}

GfxFramebufferCache& GfxContext::framebufferCache()
{
    if (!framebufferCache_)
        framebufferCache_ = std::make_unique<GfxFramebufferCache>();
    return *framebufferCache_;
}
