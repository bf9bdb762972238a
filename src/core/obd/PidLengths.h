#pragma once

#include <cstdint>

#include "core/obd/Response.h"

// The number of data bytes of a service-01 PID reply (SAE J1979), 0 when unknown. Splitting a packed
// multi-PID reply and choosing what may be packed both rest on it.
int service01DataLength(std::uint8_t pid);

// Whether a reply's data is as long as its PID's data: for service 01, and for service 02 after its frame
// number. Replies of other services and PIDs of unknown length fit. A reply that does not fit is never
// decoded: a short "41 0D" is no speed.
bool fitsPidLength(const Response& response);
