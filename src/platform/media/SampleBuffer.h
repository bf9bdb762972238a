#pragma once

#include "platform/media/MediaTime.h"
#include "platform/media/PixelBuffer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace media {

enum class MediaType { Video, Audio };

// One captured item with its time: a video frame (a pixel buffer) or a run of
// mono 16-bit audio samples. Shared through std::shared_ptr; times and content
// are fixed when it is made, except that a consumer may edit audio samples in
// place and invalidate the buffer when done with it.
class SampleBuffer {
public:
    static std::shared_ptr<SampleBuffer> makeVideo(std::shared_ptr<PixelBuffer> pixels, MediaTime presentationTime,
                                                   MediaTime duration = MediaTime::invalid());
    // nullptr for an empty run or a sample rate outside 1-384000.
    static std::shared_ptr<SampleBuffer> makeAudio(std::vector<std::int16_t> samples, int sampleRate,
                                                   MediaTime presentationTime);

    MediaType mediaType() const { return type_; }
    MediaTime presentationTimeStamp() const { return presentationTime_; }
    MediaTime outputPresentationTimeStamp() const { return presentationTime_; }
    MediaTime decodeTimeStamp() const { return presentationTime_; }
    // Video: the given duration (or invalid); audio: sample count / rate.
    MediaTime duration() const;

    // Video only (nullptr for audio).
    const std::shared_ptr<PixelBuffer>& imageBuffer() const { return pixels_; }

    // Audio only: mono signed 16-bit samples.
    int sampleRate() const { return sampleRate_; }
    std::size_t numSamples() const { return type_ == MediaType::Audio ? samples_.size() : 1; }
    const std::vector<std::int16_t>& samples() const { return samples_; }
    std::int16_t* mutableSampleData() { return samples_.data(); }

    // A copy whose times are moved back by `offset` (presentation = old - offset).
    std::shared_ptr<SampleBuffer> copyWithTimeOffset(MediaTime offset) const;

    void invalidate() { valid_ = false; }
    bool isValid() const { return valid_; }

private:
    SampleBuffer() = default;
    MediaType type_ = MediaType::Video;
    MediaTime presentationTime_;
    MediaTime duration_;
    std::shared_ptr<PixelBuffer> pixels_;
    std::vector<std::int16_t> samples_;
    int sampleRate_ = 0;
    bool valid_ = true;
};

}  // namespace media
