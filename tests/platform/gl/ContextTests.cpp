#include <gtest/gtest.h>

#include <GLES2/gl2.h>

#include <thread>

#include "platform/gl/GlTestSupport.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/gl/Context.h"
#include "platform/gl/Drawable.h"
#include "platform/gl/Fence.h"
#include "platform/gl/Limits.h"

namespace {

using gltest::readPixel;

const char* colourFragment =
    "precision mediump float; varying vec2 textureCoordinate; "
    "void main() { gl_FragColor = vec4(textureCoordinate.x, 0.5, 1.0 - textureCoordinate.y, 1.0); }";
const char* sampleFragment =
    "varying highp vec2 textureCoordinate; uniform sampler2D inputImageTexture; "
    "void main() { gl_FragColor = texture2D(inputImageTexture, textureCoordinate); }";

class ContextTest : public ::testing::Test {
protected:
    void TearDown() override { gl::Context::setCurrentContext(nullptr); }
};

TEST_F(ContextTest, SurfacelessContextCompilesDrawsAndReadsBack)
{
    const auto context = gl::Context::create();
    ASSERT_TRUE(context);
    ASSERT_TRUE(gl::Context::setCurrentContext(context));
    EXPECT_EQ(gl::Context::currentContext(), context);
    EXPECT_TRUE(context->isCurrent());

    bool linked = false;
    const GLuint program = gltest::linkProgram(gltest::passthroughVertex, colourFragment, &linked);
    ASSERT_TRUE(linked);
    gltest::TextureTarget target(64, 32);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    gltest::drawQuad(program);

    // Left-bottom is x small, top faded; red follows x and blue falls with y.
    const auto bottomLeft = readPixel(0, 0);
    const auto topRight = readPixel(63, 31);
    EXPECT_LT(bottomLeft[0], 10);
    EXPECT_NEAR(bottomLeft[1], 128, 2);
    EXPECT_GT(bottomLeft[2], 245);
    EXPECT_GT(topRight[0], 245);
    EXPECT_LT(topRight[2], 10);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ContextTest, BrokenShaderFailsToLinkWithoutHarm)
{
    const auto context = gl::Context::create();
    ASSERT_TRUE(gl::Context::setCurrentContext(context));
    bool linked = true;
    gltest::linkProgram(gltest::passthroughVertex, "void main() { gl_FragColor = nonsense; }", &linked);
    EXPECT_FALSE(linked);
}

TEST_F(ContextTest, SecondContextOfTheGroupOnAnotherThreadSamplesTheFirstsTextureAfterAFence)
{
    const auto first = gl::Context::create();
    ASSERT_TRUE(first);
    const auto second = gl::Context::create(first->sharegroup());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->sharegroup(), first->sharegroup());

    ASSERT_TRUE(gl::Context::setCurrentContext(first));
    const GLuint program = gltest::linkProgram(gltest::passthroughVertex, colourFragment);
    gltest::TextureTarget drawn(16, 16);
    gltest::drawQuad(program);
    const auto fence = gl::Fence::insert();
    ASSERT_TRUE(fence);
    const auto expected = readPixel(12, 4);

    std::array<std::uint8_t, 4> sampled{};
    bool sawFirstsContextAsCurrent = true;
    std::thread other([&] {
        sawFirstsContextAsCurrent = gl::Context::currentContext() != nullptr;
        ASSERT_TRUE(gl::Context::setCurrentContext(second));
        ASSERT_TRUE(fence->waitOnCurrentContext());
        const GLuint sampler = gltest::linkProgram(gltest::passthroughVertex, sampleFragment);
        gltest::TextureTarget copy(16, 16);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, drawn.texture);
        gltest::drawQuad(sampler);
        sampled = readPixel(12, 4);
        gl::Context::setCurrentContext(nullptr);
    });
    other.join();
    EXPECT_FALSE(sawFirstsContextAsCurrent);
    EXPECT_TRUE(fence->isSignaled());
    EXPECT_EQ(sampled, expected);
    EXPECT_GT(sampled[0], 100);
}

TEST_F(ContextTest, ContextCurrentOnAnotherThreadCannotBeMadeCurrentHere)
{
    const auto context = gl::Context::create();
    ASSERT_TRUE(gl::Context::setCurrentContext(context));
    bool madeCurrent = true;
    std::thread other([&] { madeCurrent = gl::Context::setCurrentContext(context); });
    other.join();
    EXPECT_FALSE(madeCurrent);
    EXPECT_FALSE(context->lastError().empty());
}

TEST_F(ContextTest, PresentReadsTheRenderbufferIntoTheDrawablesImageTopRowFirst)
{
    const auto context = gl::Context::create();
    ASSERT_TRUE(gl::Context::setCurrentContext(context));
    const auto drawable = std::make_shared<gl::Drawable>();
    drawable->setPixelSize(8, 4);
    int presents = 0;
    drawable->setPresentHandler([&](const ui::Image&) { ++presents; });

    GLuint framebuffer = 0;
    GLuint renderbuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    ASSERT_TRUE(gl::renderbufferStorageFromDrawable(*context, drawable));
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, 8, 4);
    // Red below, green in GL's top row (the screen's top), one half-transparent pixel beside it.
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 3, 8, 1);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(1, 3, 1, 1);
    glClearColor(1, 1, 1, 0.2f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    ASSERT_TRUE(gl::presentRenderbuffer(*context));
    EXPECT_EQ(presents, 1);
    const ui::Image image = drawable->image();
    ASSERT_EQ(image.pixelWidth(), 8);
    ASSERT_EQ(image.pixelHeight(), 4);
    EXPECT_EQ(image.pixels()[0], 0xFF00FF00u);
    EXPECT_EQ(image.pixels()[1], 0x33333333u);
    EXPECT_EQ(image.pixels()[3 * 8 + 5], 0xFFFF0000u);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), framebuffer);

    // With another framebuffer bound the renderbuffer is still what is read, and the binding stays.
    GLuint other = 0;
    glGenFramebuffers(1, &other);
    glBindFramebuffer(GL_FRAMEBUFFER, other);
    ASSERT_TRUE(gl::presentRenderbuffer(*context));
    EXPECT_EQ(drawable->image().pixels()[3 * 8 + 5], 0xFFFF0000u);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), other);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &other);

    // A drawable without a size gives no storage.
    const auto empty = std::make_shared<gl::Drawable>();
    EXPECT_FALSE(gl::renderbufferStorageFromDrawable(*context, empty));
}

TEST_F(ContextTest, ObjectsAreDeletedOnTheOwningQueueWithoutWaitingForIt)
{
    const auto queue = std::make_shared<fnd::DispatchQueue>("writer context");
    const auto context = gl::Context::create();
    context->setOwningQueue(queue);
    GLuint texture = 0;
    queue->sync([&] {
        ASSERT_TRUE(gl::Context::setCurrentContext(context));
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        gl::Context::setCurrentContext(nullptr);
    });

    bool ranOnQueue = false;
    bool deleted = false;
    context->deleteObjects([&] {
        ranOnQueue = queue->isCurrent();
        glDeleteTextures(1, &texture);
        deleted = glIsTexture(texture) == GL_FALSE;
    });
    queue->sync([] {});
    EXPECT_TRUE(ranOnQueue);
    EXPECT_TRUE(deleted);
    queue->sync([&] { EXPECT_EQ(gl::Context::currentContext(), nullptr); });
}

TEST_F(ContextTest, ObjectsOfAMainQueueContextReleasedByAWorkerWaitedOnByMainDoNotDeadlock)
{
    const auto context = gl::Context::create();
    ASSERT_TRUE(gl::Context::setCurrentContext(context));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);

    fnd::DispatchQueue writer("writer");
    bool deleted = false;
    // The main thread waits on the writer while the writer lets go of a main-queue object.
    writer.sync([&] { context->deleteObjects([&] { glDeleteTextures(1, &texture); deleted = true; }); });
    EXPECT_FALSE(deleted);
    fnd::RunLoop::main().processEvents();
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_EQ(gl::Context::currentContext(), context);
}

TEST_F(ContextTest, DeviceLimitsAndExtensionsAreReadOnce)
{
    const auto mine = gl::Context::create();
    ASSERT_TRUE(gl::Context::setCurrentContext(mine));
    const gl::Limits& limits = gl::Limits::device();
    EXPECT_GE(limits.maxTextureSize, 2048);
    EXPECT_GE(limits.maxTextureImageUnits, 8);
    EXPECT_GE(limits.maxVaryingVectors, 8);
    EXPECT_FALSE(limits.extensions.empty());
    EXPECT_TRUE(limits.supportsExtension(limits.extensions.front()));
    EXPECT_FALSE(limits.supportsExtension("GL_NOT_an_extension"));
    EXPECT_EQ(&gl::Limits::device(), &limits);
    EXPECT_EQ(gl::Context::currentContext(), mine);
}

}  // namespace
