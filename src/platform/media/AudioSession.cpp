#include "platform/media/AudioSession.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/media/CaptureDevice.h"

namespace media {

AudioSession& AudioSession::sharedInstance()
{
    static AudioSession session;
    return session;
}

double AudioSession::sampleRate() const
{
    const std::lock_guard lock(mutex_);
    return sampleRate_;
}

void AudioSession::setPreferredSampleRate(double rate)
{
    if (!(rate >= 8000 && rate <= 192000))
        return;
    const std::lock_guard lock(mutex_);
    sampleRate_ = rate;
}

RecordPermission AudioSession::recordPermission() const
{
    switch (CaptureDevice::authorizationStatusForMediaType(MediaType::Audio)) {
    case AuthorizationStatus::NotDetermined:
        return RecordPermission::Undetermined;
    case AuthorizationStatus::Authorized:
        return RecordPermission::Granted;
    default:
        return RecordPermission::Denied;
    }
}

void AudioSession::setRecordPermission(RecordPermission permission)
{
    switch (permission) {
    case RecordPermission::Undetermined:
        CaptureDevice::setAuthorizationStatus(MediaType::Audio, AuthorizationStatus::NotDetermined);
        break;
    case RecordPermission::Granted:
        CaptureDevice::setAuthorizationStatus(MediaType::Audio, AuthorizationStatus::Authorized);
        break;
    case RecordPermission::Denied:
        CaptureDevice::setAuthorizationStatus(MediaType::Audio, AuthorizationStatus::Denied);
        break;
    }
}

void AudioSession::requestRecordPermission(std::function<void(bool granted)> response)
{
    if (!response)
        return;
    const bool granted = recordPermission() == RecordPermission::Granted;
    fnd::DispatchQueue::main().async([response = std::move(response), granted] { response(granted); });
}

}  // namespace media
