#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One parsed reply. `mode` is the reply's service byte (request service + 0x40), `data` the bytes after the
// service and PID bytes (after the second PID byte for service 0x62), multi-frame pieces already joined.
struct Response {
    std::uint8_t mode = 0;
    std::uint8_t pid = 0;
    std::uint8_t pid2 = 0;
    std::vector<std::uint8_t> data;
    std::optional<std::vector<std::uint8_t>> rawData; // every byte of the reply, service byte first
    std::optional<std::string> dataString;            // the text of a voltage reply ("12.6V")
    int ecu = 0;    // the answering ECU's address (0x7E8, 0x18DAF110, 0x10 ...); 0 when headers were off

    bool operator==(const Response&) const = default;
};
