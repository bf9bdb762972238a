#include <gtest/gtest.h>

#include "platform/media/PixelBuffer.h"
#include "platform/media/SampleBuffer.h"

namespace {

using media::PixelBuffer;
using media::PixelFormat;

TEST(PixelBuffer, PlanesAndLocking)
{
    const auto nv12 = PixelBuffer::create(353, 289, PixelFormat::NV12VideoRange);
    ASSERT_TRUE(nv12);
    EXPECT_EQ(nv12->planeCount(), 2);
    EXPECT_EQ(nv12->widthOfPlane(1), 177);
    EXPECT_EQ(nv12->heightOfPlane(1), 145);
    EXPECT_GE(nv12->bytesPerRowOfPlane(1), 354u);
    EXPECT_EQ(nv12->baseAddressOfPlane(0), nullptr);  // not locked
    nv12->lockBaseAddress();
    nv12->lockBaseAddress();
    ASSERT_NE(nv12->baseAddressOfPlane(1), nullptr);
    // The last chroma byte is inside the buffer.
    nv12->baseAddressOfPlane(1)[nv12->bytesPerRowOfPlane(1) * 144 + 353] = 1;
    EXPECT_EQ(nv12->baseAddressOfPlane(2), nullptr);
    nv12->unlockBaseAddress();
    EXPECT_TRUE(nv12->isLocked());
    nv12->unlockBaseAddress();
    nv12->unlockBaseAddress();  // an extra unlock is harmless
    EXPECT_FALSE(nv12->isLocked());

    const auto bgra = PixelBuffer::create(10, 2, PixelFormat::BGRA32);
    EXPECT_EQ(bgra->planeCount(), 1);
    EXPECT_EQ(bgra->bytesPerRow() % 64, 0u);
    EXPECT_FALSE(PixelBuffer::create(0, 10, PixelFormat::BGRA32));
    EXPECT_FALSE(PixelBuffer::create(20000, 10, PixelFormat::BGRA32));
}

TEST(PixelBufferPool, RecyclesBuffersAndHonoursItsLimit)
{
    media::PixelBufferPool pool(64, 32, PixelFormat::BGRA32, 2);
    const PixelBuffer* first = nullptr;
    {
        auto a = pool.createPixelBuffer();
        auto b = pool.createPixelBuffer();
        ASSERT_TRUE(a && b);
        a->setAttachments({media::ColorPrimaries::ITU_R_709_2, media::YCbCrMatrix::ITU_R_601_4, {}});
        a->lockBaseAddress();
        EXPECT_EQ(pool.buffersOut(), 2u);
        EXPECT_FALSE(pool.createPixelBuffer());
        first = a.get();
    }
    EXPECT_EQ(pool.buffersOut(), 0u);
    const auto again = pool.createPixelBuffer();
    ASSERT_TRUE(again);
    EXPECT_EQ(again.get(), first);
    // A recycled buffer comes back clean.
    EXPECT_FALSE(again->isLocked());
    EXPECT_FALSE(again->attachments().matrix);
}

TEST(PixelBufferPool, BuffersMayOutliveThePool)
{
    std::shared_ptr<PixelBuffer> kept;
    {
        media::PixelBufferPool pool(8, 8, PixelFormat::NV12FullRange);
        kept = pool.createPixelBuffer();
    }
    ASSERT_TRUE(kept);
    kept->lockBaseAddress();
    EXPECT_NE(kept->baseAddress(), nullptr);
}

TEST(SampleBuffer, CopyWithTimeOffsetMovesTimesBack)
{
    const auto audio =
        media::SampleBuffer::makeAudio(std::vector<std::int16_t>(441, 7), 44100, media::MediaTime::make(88200, 44100));
    ASSERT_TRUE(audio);
    EXPECT_DOUBLE_EQ(audio->duration().seconds(), 0.01);
    const auto moved = audio->copyWithTimeOffset(media::MediaTime::make(500, 1000));
    EXPECT_DOUBLE_EQ(moved->presentationTimeStamp().seconds(), 1.5);
    EXPECT_DOUBLE_EQ(audio->presentationTimeStamp().seconds(), 2.0);
    EXPECT_EQ(moved->samples(), audio->samples());
    EXPECT_FALSE(media::SampleBuffer::makeAudio({}, 44100, media::MediaTime::zero()));
    EXPECT_FALSE(media::SampleBuffer::makeVideo(nullptr, media::MediaTime::zero()));
}

}  // namespace
