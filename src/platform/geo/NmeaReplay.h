#pragma once

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/LineReader.h"
#include "platform/foundation/NonBlockingInput.h"
#include "platform/foundation/RunLoop.h"
#include "platform/geo/LocationSource.h"
#include "platform/geo/Nmea.h"

namespace geo {

// Plays an NMEA 0183 log back as if a receiver were writing it: the first fix at
// once, each later one after the time its sentences say has passed, on the run
// loop's clock. Sentences with a bad checksum, a void status or no fix are
// skipped. Fixes carry the time they are delivered. A named pipe or a device is never waited on: what its
// writer sends is played as it arrives, and it may be quiet for as long as it likes.
class NmeaReplay : public LocationSource {
public:
    // nullptr with `error` set when the file cannot be read, is not an NMEA log or holds no fix (as far as
    // a pipe has sent anything yet).
    static std::unique_ptr<NmeaReplay> open(const std::filesystem::path& path, SourceEvents events,
                                            std::string& error);
    NmeaReplay(std::unique_ptr<fnd::NonBlockingInput> input, SourceEvents events);
    ~NmeaReplay() override;

    void start() override;
    bool isReachable() const override { return true; }

private:
    // The next moment of the log that has a position; nullopt at the end, where the log turns into
    // something that is not NMEA, or while a pipe has sent no more.
    std::optional<nmea::Epoch> nextEpoch();
    // The next fix at the time the log gives it after the last one (at once for the first, or for one a
    // pipe sent late); a pipe that has sent no more is looked at again shortly.
    void scheduleNext();
    void deliver();

    std::unique_ptr<fnd::NonBlockingInput> input_;
    std::istream stream_;
    fnd::LineReader lines_;
    bool sawSentence_ = false;
    SourceEvents events_;
    nmea::EpochAssembler assembler_;
    std::optional<nmea::Epoch> next_;
    std::optional<double> lastTimeOfDay_;  // of the fix delivered last
    double nextAt_ = 0;                    // run-loop time of next_, once scheduled
    fnd::RunLoop::ScheduleId scheduled_ = 0;
};

}  // namespace geo
