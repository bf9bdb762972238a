#include "platform/media/AudioSession.h"

#include "platform/foundation/DispatchQueue.h"

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
    const std::lock_guard lock(mutex_);
    return permission_;
}

void AudioSession::setRecordPermission(RecordPermission permission)
{
    const std::lock_guard lock(mutex_);
    permission_ = permission;
}

void AudioSession::requestRecordPermission(std::function<void(bool granted)> response)
{
    if (!response)
        return;
    const bool granted = recordPermission() == RecordPermission::Granted;
    fnd::DispatchQueue::main().async([response = std::move(response), granted] { response(granted); });
}

}  // namespace media
