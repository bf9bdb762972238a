#include "platform/motion/MotionReplay.h"

#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace motion {

namespace {

// Four numbers and their commas fit in far less; a longer line is not a sample.
constexpr std::size_t longestLine = 256;
// So many bytes without one sample mean the file is not (or no longer) a recording.
constexpr std::uint64_t mostBytesWithoutASample = 64 * 1024;

// Four comma-separated finite numbers, white space around each allowed.
std::optional<MotionReplay::Sample> parseLine(std::string_view line)
{
    double values[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = line.find(',', start);
        if ((i < 3) == (comma == std::string_view::npos))
            return std::nullopt;
        std::string_view part = line.substr(start, comma == std::string_view::npos ? line.npos : comma - start);
        while (!part.empty() && std::isspace(static_cast<unsigned char>(part.front())))
            part.remove_prefix(1);
        while (!part.empty() && std::isspace(static_cast<unsigned char>(part.back())))
            part.remove_suffix(1);
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), values[i]);
        if (part.empty() || error != std::errc() || end != part.data() + part.size() || !std::isfinite(values[i]))
            return std::nullopt;
        start = comma + 1;
    }
    return MotionReplay::Sample{values[0], {values[1], values[2], values[3]}};
}

}  // namespace

std::unique_ptr<MotionReplay> MotionReplay::open(const std::filesystem::path& path, std::string& error)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = "The motion replay file " + path.string() + " is a folder";
        return nullptr;
    }
    auto input = fnd::NonBlockingInput::open(path);
    if (!input) {
        error = "Cannot read the motion replay file " + path.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    auto replay = std::make_unique<MotionReplay>(std::make_unique<std::istream>(input.get()));
    replay->input_ = std::move(input);
    replay->upcoming_ = replay->nextSample();
    if (!replay->upcoming_ && !replay->waiting()) {
        error = "The motion replay file " + path.string() + " holds no \"t,x,y,z\" line near its start";
        return nullptr;
    }
    return replay;
}

MotionReplay::MotionReplay(std::unique_ptr<std::istream> in) : in_(std::move(in)), lines_(*in_, longestLine) {}

std::optional<MotionReplay::Sample> MotionReplay::nextSample()
{
    const std::uint64_t giveUpAt = lines_.bytesRead() + mostBytesWithoutASample;
    while (const auto line = lines_.next()) {
        if (!line->tooLong && !line->text.empty() && line->text[0] != '#') {
            const auto sample = parseLine(line->text);
            if (sample && (!lastTime_ || sample->time >= *lastTime_)) {
                lastTime_ = sample->time;
                return sample;
            }
        }
        if (lines_.bytesRead() > giveUpAt)
            break;
    }
    return std::nullopt;
}

Acceleration MotionReplay::at(double seconds)
{
    for (;;) {
        if (!upcoming_ && !ended_) {
            upcoming_ = nextSample();
            ended_ = !upcoming_ && !waiting();
        }
        if (!upcoming_ || upcoming_->time > seconds)
            break;
        current_ = std::move(upcoming_);
        upcoming_.reset();
    }
    return current_ ? current_->userAcceleration : Acceleration{};
}

}  // namespace motion
