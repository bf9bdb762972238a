#pragma once

#include <functional>
#include <mutex>

namespace media {

enum class RecordPermission { Undetermined, Denied, Granted };

// The process's audio settings: the rate at which the microphone's samples
// are delivered, and the permission to record. The permission is the
// microphone's access (CaptureDevice's authorization for audio): refused, no
// microphone input can be made, so movies are recorded without sound. A
// desktop asks nobody, so it is granted unless set otherwise (tests).
class AudioSession {
public:
    static AudioSession& sharedInstance();

    double sampleRate() const;
    double currentHardwareSampleRate() const { return sampleRate(); }
    // Rates from 8000 to 192000 Hz; others are ignored. Takes effect at the
    // next start of a capture session.
    void setPreferredSampleRate(double rate);

    RecordPermission recordPermission() const;
    void setRecordPermission(RecordPermission permission);
    // The answer comes on the main thread, never inside the call.
    void requestRecordPermission(std::function<void(bool granted)> response);

private:
    AudioSession() = default;
    mutable std::mutex mutex_;
    double sampleRate_ = 44100;
};

}  // namespace media
