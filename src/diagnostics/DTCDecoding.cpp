#include "diagnostics/DTCDecoding.h"

#include <algorithm>

#include "diagnostics/DTCDescriptionTable.h"
#include "platform/foundation/Strings.h"

namespace {

bool isFiller(std::uint8_t b0, std::uint8_t b1)
{
    return b0 == 0 && b1 == 0;
}

std::string codeString(std::uint8_t b0, std::uint8_t b1)
{
    return fnd::format("%c%02X%02X", DTCLetterTable[b0 >> 6], b0 & 0x3F, b1);
}

// Only powertrain codes are described: a chassis code with a powertrain code's digits means
// something else entirely.
std::string describe(std::uint8_t b0, std::uint8_t b1)
{
    if (b0 > 0x3F)
        return {};
    const auto key = static_cast<std::uint16_t>(((b0 & 0x3F) << 8) | b1);
    const auto found = std::lower_bound(DTCDescriptionTable.begin(), DTCDescriptionTable.end(), key,
                                        [](const DTCDescription& row, std::uint16_t value) { return row.code < value; });
    return found != DTCDescriptionTable.end() && found->code == key ? found->text : "";
}

template <typename Make>
std::vector<std::string> eachPair(std::span<const std::uint8_t> bytes, Make make)
{
    std::vector<std::string> out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        if (!isFiller(bytes[i], bytes[i + 1]))
            out.push_back(make(bytes[i], bytes[i + 1]));
    }
    return out;
}

}  // namespace

std::vector<std::string> getCodes(std::span<const std::uint8_t> bytes)
{
    return eachPair(bytes, codeString);
}

std::vector<std::string> getDescription(std::span<const std::uint8_t> bytes)
{
    return eachPair(bytes, describe);
}

DTCList troubleCodesOf(const std::vector<Response>& responses, std::uint8_t replyMode)
{
    DTCList list;
    for (const Response& response : responses) {
        if (response.mode != replyMode)
            continue;
        list.whole = list.whole && response.data.size() % 2 == 0;
        const std::vector<std::string> codes = getCodes(response.data);
        const std::vector<std::string> descriptions = getDescription(response.data);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (std::find(list.codes.begin(), list.codes.end(), codes[i]) != list.codes.end())
                continue;
            list.codes.push_back(codes[i]);
            list.descriptions.push_back(descriptions[i]);
        }
    }
    return list;
}
