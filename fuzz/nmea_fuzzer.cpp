// A GPS log of any bytes, line by line as the replay reads it: sentences, then
// the moments they gather into. Lines without a checksum are also tried with the
// right one, so the field parsing behind the checksum is reached.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/geo/Nmea.h"

namespace {

std::string withChecksum(std::string_view line)
{
    unsigned sum = 0;
    for (const char c : line.substr(1))
        sum ^= static_cast<unsigned char>(c);
    char suffix[4];
    std::snprintf(suffix, sizeof suffix, "*%02X", sum);
    return std::string(line) + suffix;
}

void checkLocation(const geo::nmea::Epoch& epoch)
{
    const auto location = epoch.location();
    if (!location)
        return;
    const auto [latitude, longitude] = location->coordinate;
    if (!(std::abs(latitude) <= 90) || !(std::abs(longitude) <= 180) || !epoch.timeOfDay)
        __builtin_trap();
}

void add(geo::nmea::EpochAssembler& assembler, std::string_view line)
{
    if (const auto sentence = geo::nmea::parseSentence(line)) {
        if (const auto epoch = assembler.add(*sentence))
            checkLocation(*epoch);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    geo::nmea::EpochAssembler assembler;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        add(assembler, line);
        if (line.starts_with('$') && line.find('*') == std::string_view::npos)
            add(assembler, withChecksum(line));
    }
    if (const auto epoch = assembler.finish())
        checkLocation(*epoch);
    return 0;
}
