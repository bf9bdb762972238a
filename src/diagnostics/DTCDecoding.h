#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/obd/Response.h"

// The letter of a trouble code by the top two bits of its first byte: powertrain, chassis, body, network.
inline constexpr std::string_view DTCLetterTable = "PCBU";

// Trouble-code bytes come in pairs (SAE J1979): two bits of letter, then four hexadecimal digits.
// A pair of two zero bytes is filler and a lone last byte is ignored.
std::vector<std::string> getCodes(std::span<const std::uint8_t> bytes);
// One description per code that getCodes gives for the same bytes: the built-in text of a powertrain
// code, "" for a code the table lacks and for every chassis, body and network code.
std::vector<std::string> getDescription(std::span<const std::uint8_t> bytes);

// The codes of one reply to a trouble-code request, with their descriptions.
struct DTCList {
    std::vector<std::string> codes;
    std::vector<std::string> descriptions;
    bool whole = true;  // false when a reply held half a code
};

// The codes of every Response of service `replyMode` (0x43, 0x47 or 0x4A) in the array: every line and
// every ECU of one reply, in reply order, each code once. The link hands over the code bytes alone.
DTCList troubleCodesOf(const std::vector<Response>& responses, std::uint8_t replyMode);
