#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/obd/Response.h"

// How the adapter lays out frames: from its protocol number ("AT DPN") and the header setting.
enum class Framing { Unknown, Can11, Can29, Legacy };

// The framing of an ELM327 protocol number (1-5 legacy, 6-C CAN); Unknown for 0 or anything else.
Framing framingForProtocol(int protocolNumber);

struct ReplyFormat {
    Framing framing = Framing::Unknown;
    bool headers = false;
};

// One adapter reply, cleaned: the hexadecimal frames as Responses (grouped by ECU, multi-frame messages
// joined, packed service-01 replies split per PID) and the adapter's own texts in order.
struct Reply {
    std::vector<Response> responses;
    std::vector<std::string> messages;  // "SEARCHING...", "NO DATA", "OK", "ELM327 v1.5", "12.6V" ...
    std::string firstLine;              // the first line after the echo, as the adapter wrote it
    bool broken = false;  // a frame could not be read, or did not fit its message: what it carried is missing

    // Whether the reply to an OBD request was read whole: some frames, nothing broken, and no text but the
    // adapter's "SEARCHING..." and "BUS INIT: ...OK" (so "NO DATA", "?", "CAN ERROR" and noise are not).
    bool isWhole() const;

    // A reply that begins "?", "SEARCHING...", "NO DATA", "CAN ERROR" or "LV RESET" (any case): no call.
    bool beginsWithNoCallText() const;
    // Whether one of the adapter's texts begins with `text` (any case).
    bool hasMessage(std::string_view text) const;
};

// A request or echo without spaces and line ends, in capitals: "at h1\r" and "ATH1" compare equal.
std::string compactText(std::string_view text);

// Parses the text the adapter sent for `request` up to (not including) the prompt ">". Never throws:
// whatever cannot be read as a frame is an adapter text, and an incomplete message is left out.
Reply parseReply(std::string_view text, std::string_view request, ReplyFormat format);
