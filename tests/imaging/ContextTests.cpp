#include <gtest/gtest.h>

#include <GLES2/gl2.h>

#include "imaging/GLProgram.h"
#include "imaging/GfxContext.h"
#include "imaging/GfxFramebuffer.h"
#include "imaging/GfxFramebufferCache.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"

namespace {

const char* vertex =
    "attribute vec4 position; attribute vec4 inputTextureCoordinate; varying vec2 textureCoordinate; "
    "void main() { gl_Position = position; textureCoordinate = inputTextureCoordinate.xy; }";
const char* fragmentA =
    "varying highp vec2 textureCoordinate; uniform sampler2D inputImageTexture; "
    "void main() { gl_FragColor = texture2D(inputImageTexture, textureCoordinate); }";
const char* fragmentB = "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }";

TEST(GfxContextTest, EqualSourcesShareOneLinkedProgramAndSwitchesAreSkipped)
{
    const auto first = setUpProgram(vertex, fragmentA, {"position", "inputTextureCoordinate"});
    const auto second = setUpProgram(vertex, fragmentA, {"position", "inputTextureCoordinate"});
    const auto other = setUpProgram(vertex, fragmentB, {"position", "inputTextureCoordinate"});
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    EXPECT_TRUE(first->initialized());
    EXPECT_EQ(first->attributeIndex("inputTextureCoordinate"), 1u);

    auto& context = GfxContext::sharedImageProcessingContext();
    context.setContextShaderProgram(first);
    // Whoever changes GL's program behind the context's back shows whether a
    // second request for the same program switches again.
    glUseProgram(0);
    context.setContextShaderProgram(first);
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    context.setContextShaderProgram(other);
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), other->program());
}

TEST(GfxContextTest, ProcessingQueueSyncRunsInlineOnTheMainQueue)
{
    bool ran = false;
    runOnProcessingQueueSync([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(GfxContextTest, SizesAreFittedIntoTheLargestTexture)
{
    const auto fit = [](double w, double h) { return GfxContext::sizeThatFitsWithinATextureForSize({w, h}, 4096); };
    EXPECT_EQ(fit(4000, 3000), (ui::Size{4000, 3000}));
    EXPECT_EQ(fit(8000, 6000), (ui::Size{4096, 3072}));
    EXPECT_EQ(fit(3000, 8000), (ui::Size{1536, 4096}));
    EXPECT_EQ(fit(4096, 100), (ui::Size{4096, 100}));
    EXPECT_GE(GfxContext::maximumTextureSizeForThisDevice(), 2048);
}

class FramebufferCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cache().purgeAllUnassignedFramebuffers();
        cache().resetCounters();
    }
    static GfxFramebufferCache& cache() { return GfxContext::sharedFramebufferCache(); }
};

TEST_F(FramebufferCacheTest, LookupKeysFollowSizeOptionsAndKind)
{
    EXPECT_EQ(GfxFramebufferCache::hashForSize({1280, 720}, {}, false),
              "1280.0x720.0-9729:9729:33071:33071:6408:32993:5121");
    EXPECT_EQ(GfxFramebufferCache::hashForSize({1280, 720}, {}, true),
              "1280.0x720.0-9729:9729:33071:33071:6408:32993:5121-NOFB");
    EXPECT_EQ(GfxFramebufferCache::hashForSize({1280.04, 720}, {}, false),
              GfxFramebufferCache::hashForSize({1280, 720}, {}, false));
}

TEST_F(FramebufferCacheTest, SlotsAreAStackAndKindsNeverShare)
{
    auto a = cache().fetchFramebufferForSize({64, 32}, false);
    auto b = cache().fetchFramebufferForSize({64, 32}, false);
    EXPECT_NE(a, b);
    EXPECT_EQ(cache().framebuffersCreated(), 2u);
    a->unlock();
    b->unlock();
    EXPECT_EQ(cache().idleFramebufferCount(), 2u);
    EXPECT_EQ(cache().fetchFramebufferForSize({64, 32}, false), b);

    auto textureOnly = cache().fetchFramebufferForSize({64, 32}, true);
    EXPECT_NE(textureOnly, a);
    EXPECT_TRUE(textureOnly->missingFramebuffer());
    EXPECT_EQ(textureOnly->framebuffer(), 0u);
}

TEST_F(FramebufferCacheTest, ReturnsOnlyAfterTheLastOfThreeUnlocks)
{
    auto framebuffer = cache().fetchFramebufferForSize({16, 16}, false);
    framebuffer->lock();
    framebuffer->lock();
    framebuffer->unlock();
    framebuffer->unlock();
    EXPECT_EQ(cache().idleFramebufferCount(), 0u);
    framebuffer->unlock();
    EXPECT_EQ(cache().idleFramebufferCount(), 1u);
#ifdef NDEBUG
    // In release builds an extra unlock is counted and has no effect.
    framebuffer->unlock();
    EXPECT_EQ(cache().unbalancedUnlocks(), 1u);
    EXPECT_EQ(cache().idleFramebufferCount(), 1u);
#endif
}

TEST_F(FramebufferCacheTest, AFramebufferLockedAgainBeforeItsReturnStaysLent)
{
    // Its last unlock on one thread hands it back while another thread has just locked it again: the
    // new lock holds, and the framebuffer is not lent a second time.
    auto framebuffer = cache().fetchFramebufferForSize({24, 24}, false);
    cache().returnFramebufferToCache(framebuffer);
    EXPECT_EQ(framebuffer->lockCount(), 1u);
    EXPECT_EQ(cache().idleFramebufferCount(), 0u);
    EXPECT_NE(cache().fetchFramebufferForSize({24, 24}, false), framebuffer);
    framebuffer->unlock();
    EXPECT_EQ(cache().unbalancedUnlocks(), 0u);
    EXPECT_EQ(cache().fetchFramebufferForSize({24, 24}, false), framebuffer);
}

TEST_F(FramebufferCacheTest, MemoryWarningDropsIdleFramebuffersOnly)
{
    auto idle = cache().fetchFramebufferForSize({8, 8}, false);
    auto lent = cache().fetchFramebufferForSize({8, 8}, false);
    idle->unlock();
    fnd::NotificationCenter::defaultCenter().post(GfxFramebufferCache::memoryWarningNotification);
    EXPECT_EQ(cache().idleFramebufferCount(), 0u);
    EXPECT_NE(cache().fetchFramebufferForSize({8, 8}, false), idle);
    EXPECT_EQ(lent->lockCount(), 1u);
    lent->unlock();
    EXPECT_EQ(cache().fetchFramebufferForSize({8, 8}, false), lent);
}

}  // namespace
