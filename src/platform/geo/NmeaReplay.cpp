#include "platform/geo/NmeaReplay.h"

#include <string>

namespace geo {

namespace {

constexpr double secondsPerDay = 86400;
// Receivers write 82 characters at most; anything much longer is not NMEA.
constexpr std::size_t longestLine = 256;
// So many bytes without one good sentence mean the file is not (or no longer) an NMEA log.
constexpr std::uint64_t mostBytesWithoutASentence = 64 * 1024;

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
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "Cannot read the GPS replay file " + path.string();
        return nullptr;
    }
    auto replay = std::make_unique<NmeaReplay>(std::move(file), std::move(events));
    replay->next_ = replay->nextEpoch();
    if (!replay->next_) {
        error = replay->sawSentence_ ? "The GPS replay file " + path.string() + " holds no position fix"
                                     : "The GPS replay file " + path.string() + " is not an NMEA log";
        return nullptr;
    }
    return replay;
}

NmeaReplay::NmeaReplay(std::ifstream file, SourceEvents events)
    : file_(std::move(file)), lines_(file_, longestLine), events_(std::move(events))
{
}

NmeaReplay::~NmeaReplay()
{
    fnd::RunLoop::main().cancelScheduled(scheduled_);
}

void NmeaReplay::start()
{
    if (!next_)
        return;
    nextAt_ = fnd::RunLoop::main().now();
    scheduled_ = fnd::RunLoop::main().scheduleAt(nextAt_, [this] { deliverAndScheduleNext(); });
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
    if (auto epoch = assembler_.finish(); epoch && epoch->location())
        return epoch;
    return std::nullopt;
}

void NmeaReplay::deliverAndScheduleNext()
{
    scheduled_ = 0;
    const nmea::Epoch current = *next_;
    next_ = nextEpoch();
    if (next_) {
        nextAt_ += delayBetween(*current.timeOfDay, *next_->timeOfDay);
        scheduled_ = fnd::RunLoop::main().scheduleAt(nextAt_, [this] { deliverAndScheduleNext(); });
    }
    Fix fix{*current.location(), current.trueHeading};
    fix.location.timestamp = fnd::Date::now();
    if (events_.fix)
        events_.fix(fix);
}

}  // namespace geo
