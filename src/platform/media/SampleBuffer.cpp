#include "platform/media/SampleBuffer.h"

namespace media {

std::shared_ptr<SampleBuffer> SampleBuffer::makeVideo(std::shared_ptr<PixelBuffer> pixels, MediaTime presentationTime,
                                                      MediaTime duration)
{
    if (!pixels)
        return nullptr;
    std::shared_ptr<SampleBuffer> buffer(new SampleBuffer());
    buffer->type_ = MediaType::Video;
    buffer->pixels_ = std::move(pixels);
    buffer->presentationTime_ = presentationTime;
    buffer->duration_ = duration;
    return buffer;
}

std::shared_ptr<SampleBuffer> SampleBuffer::makeAudio(std::vector<std::int16_t> samples, int sampleRate,
                                                      MediaTime presentationTime)
{
    if (samples.empty() || sampleRate < 1 || sampleRate > 384000)
        return nullptr;
    std::shared_ptr<SampleBuffer> buffer(new SampleBuffer());
    buffer->type_ = MediaType::Audio;
    buffer->samples_ = std::move(samples);
    buffer->sampleRate_ = sampleRate;
    buffer->presentationTime_ = presentationTime;
    return buffer;
}

MediaTime SampleBuffer::duration() const
{
    if (type_ == MediaType::Audio)
        return MediaTime::make(static_cast<std::int64_t>(samples_.size()), sampleRate_);
    return duration_;
}

std::shared_ptr<SampleBuffer> SampleBuffer::copyWithTimeOffset(MediaTime offset) const
{
    std::shared_ptr<SampleBuffer> copy(new SampleBuffer(*this));
    copy->presentationTime_ = presentationTime_ - offset;
    return copy;
}

}  // namespace media
