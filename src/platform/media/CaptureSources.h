#pragma once

// Private to src/platform/media: what feeds a running capture session.

#include "platform/media/CaptureDevice.h"
#include "platform/media/SampleBuffer.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fnd {
class DispatchQueue;
}

namespace media {

struct VideoSourceFormat {
    int width = 640;
    int height = 480;
    PixelFormat pixelFormat = PixelFormat::NV12VideoRange;
    MediaTime frameDuration = MediaTime::make(1, 30);
};

// Produces sample buffers between start() and stop(); `deliver` may be
// called on any thread, never after stop() returns. So may `failed`, once,
// saying why the device cannot be read; nothing is delivered after it.
class CaptureSource {
public:
    using Deliver = std::function<void(std::shared_ptr<SampleBuffer>)>;
    using Failed = std::function<void(const std::string& error)>;
    virtual ~CaptureSource() = default;
    virtual void start(Deliver deliver, Failed failed) = 0;
    virtual void stop() = 0;
};

// Synthetic sources run on the main run loop's clock (a test's manual clock)
// and do their work on `work`.
std::unique_ptr<CaptureSource> makeSyntheticCamera(std::shared_ptr<CaptureDevice> device, VideoSourceFormat format,
                                                   std::shared_ptr<fnd::DispatchQueue> work);
std::unique_ptr<CaptureSource> makeSyntheticMicrophone(std::shared_ptr<CaptureDevice> device, int sampleRate,
                                                       std::shared_ptr<fnd::DispatchQueue> work);
// Real devices read through FFmpeg's libavdevice on a thread of their own;
// nullptr when the media module cannot be opened.
std::unique_ptr<CaptureSource> makeDeviceCamera(std::shared_ptr<CaptureDevice> device, VideoSourceFormat format);
std::unique_ptr<CaptureSource> makeDeviceMicrophone(std::shared_ptr<CaptureDevice> device, int sampleRate);

// Times of captured items: the main run loop's clock in nanoseconds. Inline, so the media module has it
// whatever the program that opens it happens to link.
inline MediaTime captureClockTime(double seconds) { return MediaTime::makeWithSeconds(seconds, 1'000'000'000); }

}  // namespace media
