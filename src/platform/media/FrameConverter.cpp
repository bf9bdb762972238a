#include "platform/media/FrameConverter.h"

#include "platform/media/FfmpegSupport.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace media {

struct FrameConverter::Impl {
    SwsContext* scaler = nullptr;
    ~Impl() { sws_freeContext(scaler); }
};

FrameConverter::FrameConverter() : impl_(std::make_unique<Impl>()) {}
FrameConverter::~FrameConverter() = default;

bool FrameConverter::convert(const Picture& in, PixelBuffer& out, YCbCrMatrix matrix)
{
    if (in.width < 1 || in.height < 1)
        return false;
    const AVPixelFormat outFormat = out.pixelFormat() == PixelFormat::BGRA32 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_NV12;
    impl_->scaler = sws_getCachedContext(impl_->scaler, in.width, in.height, static_cast<AVPixelFormat>(in.pixelFormat),
                                         out.width(), out.height(), outFormat, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!impl_->scaler)
        return false;
    const int colorspace = swscaleColorspace(matrix);
    const bool outFullRange = out.pixelFormat() != PixelFormat::NV12VideoRange;
    sws_setColorspaceDetails(impl_->scaler, sws_getCoefficients(colorspace), in.fullRange ? 1 : 0,
                             sws_getCoefficients(colorspace), outFullRange ? 1 : 0, 0, 1 << 16, 1 << 16);
    out.lockBaseAddress();
    std::uint8_t* planes[4] = {out.baseAddressOfPlane(0), out.baseAddressOfPlane(1), nullptr, nullptr};
    int strides[4] = {static_cast<int>(out.bytesPerRowOfPlane(0)), static_cast<int>(out.bytesPerRowOfPlane(1)), 0, 0};
    const int rows = sws_scale(impl_->scaler, in.planes, in.strides, 0, in.height, planes, strides);
    out.unlockBaseAddress();
    ColorAttachments tags = out.attachments();
    tags.matrix = matrix;
    out.setAttachments(tags);
    return rows > 0;
}

bool FrameConverter::convertBGRA(const std::uint8_t* pixels, int width, int height, std::size_t stride,
                                 PixelBuffer& out, YCbCrMatrix matrix)
{
    Picture in;
    in.planes[0] = pixels;
    in.strides[0] = static_cast<int>(stride);
    in.width = width;
    in.height = height;
    in.pixelFormat = AV_PIX_FMT_BGRA;
    return convert(in, out, matrix);
}

}  // namespace media
