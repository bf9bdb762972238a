#pragma once

#include <vector>

#include "core/obd/Command.h"

// The polling order of the sensor list: up to three fast (priority 1) requests
// before each slower one and up to two normal (2) before each slow (3) one,
// taken round-robin from the faster group, which is polled whole at least once
// per cycle. Requests of any other priority are left out. The same requests
// (copies) come back, some of them several times.
std::vector<Command> getCommandArray(const std::vector<Command>& commands);
