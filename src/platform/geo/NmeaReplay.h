#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/LineReader.h"
#include "platform/foundation/RunLoop.h"
#include "platform/geo/LocationSource.h"
#include "platform/geo/Nmea.h"

namespace geo {

// Plays an NMEA 0183 log back as if a receiver were writing it: the first fix at
// once, each later one after the time its sentences say has passed, on the run
// loop's clock. Sentences with a bad checksum, a void status or no fix are
// skipped. Fixes carry the time they are delivered.
class NmeaReplay : public LocationSource {
public:
    // nullptr with `error` set when the file cannot be read, is not an NMEA log or holds no fix.
    static std::unique_ptr<NmeaReplay> open(const std::filesystem::path& path, SourceEvents events,
                                            std::string& error);
    NmeaReplay(std::ifstream file, SourceEvents events);
    ~NmeaReplay() override;

    void start() override;
    bool isReachable() const override { return true; }

private:
    // The next moment of the log that has a position; nullopt at the end, or where the log turns into
    // something that is not NMEA.
    std::optional<nmea::Epoch> nextEpoch();
    void deliverAndScheduleNext();

    std::ifstream file_;
    fnd::LineReader lines_;
    bool sawSentence_ = false;
    SourceEvents events_;
    nmea::EpochAssembler assembler_;
    std::optional<nmea::Epoch> next_;
    double nextAt_ = 0;  // run-loop time of next_
    fnd::RunLoop::ScheduleId scheduled_ = 0;
};

}  // namespace geo
