#include <gtest/gtest.h>

#include <GLES2/gl2.h>

#include <cstring>

#include "platform/gl/Context.h"
#include "platform/gl/GlTestSupport.h"
#include "platform/gl/TextureCache.h"
#include "platform/media/PixelBuffer.h"

namespace {

using gltest::readPixel;

// Luma in red, chroma pair in green and blue, as a camera conversion reads them.
const char* planesFragment =
    "varying highp vec2 textureCoordinate; uniform sampler2D inputImageTexture; uniform sampler2D chroma; "
    "void main() { gl_FragColor = vec4(texture2D(inputImageTexture, textureCoordinate).r, "
    "texture2D(chroma, textureCoordinate).ra, 1.0); }";

class TextureCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        context = gl::Context::create();
        ASSERT_TRUE(context);
        ASSERT_TRUE(gl::Context::setCurrentContext(context));
        cache = gl::TextureCache::create(context);
        buffer = media::PixelBuffer::create(60, 48, media::PixelFormat::NV12FullRange);
        buffer->lockBaseAddress();
        // Rows are padded, so the copy must honour bytes per row.
        ASSERT_GT(buffer->bytesPerRowOfPlane(0), 60u);
        for (int y = 0; y < 48; ++y)
            std::memset(buffer->baseAddressOfPlane(0) + y * buffer->bytesPerRowOfPlane(0), 200, 60);
        for (int y = 0; y < 24; ++y) {
            std::uint8_t* row = buffer->baseAddressOfPlane(1) + y * buffer->bytesPerRowOfPlane(1);
            for (int x = 0; x < 30; ++x) {
                row[2 * x] = 60;
                row[2 * x + 1] = 180;
            }
        }
        buffer->unlockBaseAddress();
    }
    void TearDown() override
    {
        cache.reset();
        gl::Context::setCurrentContext(nullptr);
    }

    std::shared_ptr<gl::Context> context;
    std::shared_ptr<gl::TextureCache> cache;
    std::shared_ptr<media::PixelBuffer> buffer;
};

TEST_F(TextureCacheTest, CameraPlanesSampleTheirBytesNotBlack)
{
    int error = 1;
    glActiveTexture(GL_TEXTURE4);
    const auto luma =
        cache->createTextureFromImage(*buffer, GL_TEXTURE_2D, GL_LUMINANCE, 60, 48, GL_LUMINANCE, GL_UNSIGNED_BYTE, 0, &error);
    ASSERT_TRUE(luma);
    EXPECT_EQ(error, 0);
    glActiveTexture(GL_TEXTURE5);
    const auto chroma = cache->createTextureFromImage(*buffer, GL_TEXTURE_2D, GL_LUMINANCE_ALPHA, 30, 24,
                                                      GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 1, &error);
    ASSERT_TRUE(chroma);
    EXPECT_NE(luma->name(), chroma->name());

    const GLuint program = gltest::linkProgram(gltest::passthroughVertex, planesFragment);
    gltest::TextureTarget target(40, 30);
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, luma->name());
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, chroma->name());
    glUniform1i(glGetUniformLocation(program, "chroma"), 1);
    gltest::drawQuad(program);

    for (const auto& pixel : {readPixel(0, 0), readPixel(20, 15), readPixel(39, 29)}) {
        EXPECT_NEAR(pixel[0], 200, 1);
        EXPECT_NEAR(pixel[1], 60, 1);
        EXPECT_NEAR(pixel[2], 180, 1);
    }
    EXPECT_FALSE(buffer->isLocked());
}

TEST_F(TextureCacheTest, ReleasedTexturesAreReusedAndBadRequestsRefused)
{
    unsigned first = 0;
    {
        const auto texture = cache->createTextureFromImage(*buffer, GL_TEXTURE_2D, GL_LUMINANCE, 60, 48,
                                                           GL_LUMINANCE, GL_UNSIGNED_BYTE, 0);
        ASSERT_TRUE(texture);
        first = texture->name();
    }
    const auto again =
        cache->createTextureFromImage(*buffer, GL_TEXTURE_2D, GL_LUMINANCE, 60, 48, GL_LUMINANCE, GL_UNSIGNED_BYTE, 0);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->name(), first);

    int error = 0;
    EXPECT_FALSE(cache->createTextureFromImage(*buffer, GL_TEXTURE_2D, GL_LUMINANCE, 60, 48, GL_LUMINANCE,
                                               GL_UNSIGNED_BYTE, 2, &error));
    EXPECT_EQ(error, gl::TextureCache::InvalidArgument);
    EXPECT_FALSE(cache->createTextureFromImage(*buffer, GL_TEXTURE_2D, GL_LUMINANCE_ALPHA, 31, 24,
                                               GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 1, &error));
    EXPECT_EQ(error, gl::TextureCache::InvalidArgument);
}

TEST_F(TextureCacheTest, FlushDeletesIdleTexturesOnTheContextsQueue)
{
    unsigned name = 0;
    {
        const auto texture = cache->createTextureFromImage(*buffer, GL_TEXTURE_2D, GL_LUMINANCE, 60, 48,
                                                           GL_LUMINANCE, GL_UNSIGNED_BYTE, 0);
        name = texture->name();
        EXPECT_TRUE(glIsTexture(name));
    }
    // The context belongs to the main queue and this is the main thread: at once.
    cache->flush();
    EXPECT_FALSE(glIsTexture(name));
}

}  // namespace
