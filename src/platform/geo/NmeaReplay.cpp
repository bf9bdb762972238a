#include "platform/geo/NmeaReplay.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace geo {

namespace {

constexpr double secondsPerDay = 86400;
// Receivers write 82 characters at most; anything much longer is not NMEA.
constexpr std::size_t longestLine = 256;
// So many bytes without one good sentence mean the file is not (or no longer) an NMEA log.
constexpr std::uint64_t mostBytesWithoutASentence = 64 * 1024;
// How often a quiet pipe is looked at again.
constexpr double pipePollInterval = 0.2;

// Seconds from one sentence time to the next; across midnight the clock wraps.
double delayBetween(double from, double to)
{
    double delay = to - from;
    if (delay < -secondsPerDay / 2)
        delay += secondsPerDay;
    return delay > 0 ? delay : 0;  // out-of-order moments follow at once
}

}  // namespace

std::unique_ptr<NmeaReplay> NmeaReplay::open(const std::filesystem::path& path, SourceEvents events,
                                             std::string& error)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = "The GPS replay file " + path.string() + " is a folder";
        return nullptr;
    }
    auto input = fnd::NonBlockingInput::open(path);
    if (!input) {
        error = "Cannot read the GPS replay file " + path.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    auto replay = std::make_unique<NmeaReplay>(std::move(input), std::move(events));
    replay->next_ = replay->nextEpoch();
    if (!replay->next_ && !replay->input_->waiting()) {
        error = replay->sawSentence_ ? "The GPS replay file " + path.string() + " holds no position fix"
                                     : "The GPS replay file " + path.string() + " is not an NMEA log";
        return nullptr;
    }
    return replay;
}

NmeaReplay::NmeaReplay(std::unique_ptr<fnd::NonBlockingInput> input, SourceEvents events)
    : input_(std::move(input)), stream_(input_.get()), lines_(stream_, longestLine), events_(std::move(events))
{
}

NmeaReplay::~NmeaReplay()
{
    fnd::RunLoop::main().cancelScheduled(scheduled_);
}

void NmeaReplay::start()
{
    scheduleNext();
}

std::optional<nmea::Epoch> NmeaReplay::nextEpoch()
{
    std::uint64_t giveUpAt = lines_.bytesRead() + mostBytesWithoutASentence;
    while (const auto line = lines_.next()) {
        const auto sentence = line->tooLong ? std::nullopt : nmea::parseSentence(line->text);
        if (!sentence) {
            if (lines_.bytesRead() > giveUpAt)
                break;
            continue;
        }
        sawSentence_ = true;
        giveUpAt = lines_.bytesRead() + mostBytesWithoutASentence;
        if (auto epoch = assembler_.add(*sentence); epoch && epoch->location())
            return epoch;
    }
    // A pipe's moment may still be gathering its sentences.
    if (input_->waiting())
        return std::nullopt;
    if (auto epoch = assembler_.finish(); epoch && epoch->location())
        return epoch;
    return std::nullopt;
}

void NmeaReplay::scheduleNext()
{
    fnd::RunLoop& loop = fnd::RunLoop::main();
    scheduled_ = 0;
    if (!next_)
        next_ = nextEpoch();
    if (!next_) {
        if (input_->waiting())
            scheduled_ = loop.scheduleAt(loop.now() + pipePollInterval, [this] { scheduleNext(); });
        return;
    }
    const double due = lastTimeOfDay_ ? nextAt_ + delayBetween(*lastTimeOfDay_, *next_->timeOfDay) : loop.now();
    nextAt_ = std::max(due, loop.now());
    scheduled_ = loop.scheduleAt(nextAt_, [this] { deliver(); });
}

void NmeaReplay::deliver()
{
    const nmea::Epoch current = *std::exchange(next_, std::nullopt);
    lastTimeOfDay_ = current.timeOfDay;
    scheduleNext();
    Fix fix{*current.location(), current.trueHeading};
    fix.location.timestamp = fnd::Date::now();
    if (events_.fix)
        events_.fix(fix);
}

}  // namespace geo
