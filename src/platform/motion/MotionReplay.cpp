#include "platform/motion/MotionReplay.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace motion {

namespace {

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

std::optional<MotionReplay> MotionReplay::load(const std::filesystem::path& path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "Cannot read the motion replay file " + path.string();
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    MotionReplay replay = parse(text.str());
    if (replay.samples_.empty()) {
        error = "The motion replay file " + path.string() + " holds no \"t,x,y,z\" line";
        return std::nullopt;
    }
    return replay;
}

MotionReplay MotionReplay::parse(const std::string& text)
{
    MotionReplay replay;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto sample = parseLine(line);
        if (sample && (replay.samples_.empty() || sample->time >= replay.samples_.back().time))
            replay.samples_.push_back(*sample);
    }
    return replay;
}

Acceleration MotionReplay::at(double seconds) const
{
    const auto after = std::upper_bound(samples_.begin(), samples_.end(), seconds,
                                        [](double t, const Sample& s) { return t < s.time; });
    return after == samples_.begin() ? Acceleration{} : std::prev(after)->userAcceleration;
}

}  // namespace motion
