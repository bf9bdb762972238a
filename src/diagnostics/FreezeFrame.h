#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/obd/PidNames.h"
#include "core/obd/Response.h"

// The freeze frame of service 02: frame 00 holds the code that stored it (PID 02) and the values of that
// moment, engine load (PID 04) to throttle position (PID 11). Replies carry the frame number after the
// PID: "42 02 00 01 71" is P0171.
namespace freezeFrame {

inline constexpr int firstPid = pid::engineLoad;
inline constexpr int rowCount = 14;
inline constexpr int frameNumber = freezeFrameNumber::stored;

// Row names (as written; the marked ones pass through the localization table) and units.
struct Row {
    const char* name;
    bool localized;
    const char* unit;
};
extern const std::array<Row, rowCount> rows;

// The first code a freeze frame reply to PID 02 names; nothing for any other reply or filler bytes.
std::optional<std::string> storedCode(const Response& response);
// A value row's text ("1726 rpm", "-6 %") from a freeze frame reply, in metric units; nothing for any other
// reply, a PID outside the rows, or a reply without data.
std::optional<std::pair<int, std::string>> rowValue(const Response& response);
// The short description of a stored code; "No description available" for the codes it lacks.
std::string getDescription(const std::string& code);

}  // namespace freezeFrame
