#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "core/obd/PidNames.h"

// Which request a reply answers: the request's service, its PID and its second
// PID byte (0 when there is none). Screens map replies to their rows with it:
//
//   std::unordered_map<ReplyKey, std::vector<int>> rowsByKey;
//   rowsByKey[ReplyKey::ofRequest(command.mode, command.pid, command.pid2)].push_back(row);
//   ...
//   auto rows = rowsByKey.find(ReplyKey::ofReply(response.mode, response.pid, response.pid2));
//
// PID 0x01 with second byte 0x10 and PID 0x10 with none are different keys.
struct ReplyKey {
    std::uint8_t service = 0;
    std::uint8_t pid = 0;
    std::uint8_t pid2 = 0;

    // From a request: service, PID, and a second byte where 0 or 255 (the
    // request builder's "left out") mean none.
    static constexpr ReplyKey ofRequest(int service, int pid, int pid2 = 0)
    {
        return {byte(service), byte(pid), pid2 == pid::none ? std::uint8_t{0} : byte(pid2)};
    }
    // From a reply, whose service byte is the request's service + `service::replyOffset`.
    static constexpr ReplyKey ofReply(int replyService, int pid, int pid2 = 0)
    {
        return {byte(replyService - service::replyOffset), byte(pid), byte(pid2)};
    }
    // A service-01 live-data PID.
    static constexpr ReplyKey live(int pid) { return ofRequest(service::currentData, pid); }

    auto operator<=>(const ReplyKey&) const = default;

private:
    static constexpr std::uint8_t byte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }
};

template <>
struct std::hash<ReplyKey> {
    std::size_t operator()(const ReplyKey& key) const noexcept
    {
        return std::hash<std::uint32_t>{}(std::uint32_t{key.service} << 16 | std::uint32_t{key.pid} << 8 | key.pid2);
    }
};
