// libFuzzer target: adapter replies of any shape, in every frame layout, never crash the parser.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/obd/ReplyParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const Framing framing : {Framing::Unknown, Framing::Can11, Framing::Can29, Framing::Legacy}) {
        for (const bool headers : {false, true}) {
            const Reply reply = parseReply(text, "0100", ReplyFormat{framing, headers});
            for (const Response& response : reply.responses) {
                if (!response.rawData || response.rawData->empty() || response.rawData->front() != response.mode)
                    __builtin_trap();
            }
            (void)reply.beginsWithNoCallText();
        }
    }
    return 0;
}
