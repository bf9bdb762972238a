#pragma once

#include <functional>
#include <vector>

#include "core/obd/Response.h"
#include "core/model/FuelBookkeeping.h"
#include "core/model/SensorDecoder.h"
#include "core/model/SensorPlan.h"

// The reply handling the sensor list and the strip charts share: each reply
// goes through the decoder once, then to every row (or chart) its key feeds.
// A screen says which sensor a row shows and how it shows a value.
struct ReplySink {
    std::function<int(int row)> sensorOf;
    std::function<void(int row, float value)> show;
    // Optional: a custom sensor's formula gave no value for a reply, and why.
    std::function<void(int row, FormulaFault fault)> failed = {};
};

// Decodes the routed replies and shows each value. The fuel tally takes the
// road speed while `trackFuel` is set, and one fuel economy sample a reply
// however many rows show it.
void routeReplies(const std::vector<Response>& responses, const ReplyRoutes& routes, SensorDecoder& decoder,
                  FuelBookkeeping& fuel, bool trackFuel, const ReplySink& sink);

// Shows the adapter's battery voltage replies in `row`; replies that do not
// start with a number are skipped.
void showBatteryVolts(const std::vector<Response>& responses, int row,
                      const std::function<void(int row, float value)>& show);
