#include "core/model/ReplyRouting.h"

#include <cstdlib>

#include "core/obd/PidNames.h"

void routeReplies(const std::vector<Response>& responses, const ReplyRoutes& routes, SensorDecoder& decoder,
                  FuelBookkeeping& fuel, bool trackFuel, const ReplySink& sink)
{
    for (const Response& response : responses) {
        const auto routed = routes.find(replyKeyFor(response));
        if (routed == routes.end())
            continue;
        decoder.take(response);
        if (trackFuel && response.mode == service::currentDataReply && response.pid == pid::vehicleSpeed)
            fuel.noteSpeed(decoder.speed());
        bool fuelSampled = false;
        for (int row : routed->second) {
            const int s = sink.sensorOf(row);
            const std::optional<float> value = decoder.valueFor(s, response);
            if (!value) {
                if (sink.failed)
                    if (const FormulaFault fault = decoder.formulaFault(s, response); fault != FormulaFault::None)
                        sink.failed(row, fault);
                continue;
            }
            if (s == fuelEconomySensor && !fuelSampled) {
                fuel.addSample(*value);
                fuelSampled = true;
            }
            sink.show(row, *value);
        }
    }
}

void showBatteryVolts(const std::vector<Response>& responses, int row,
                      const std::function<void(int row, float value)>& show)
{
    for (const Response& response : responses) {
        if (!response.dataString)
            continue;
        char* end = nullptr;
        const float volts = std::strtof(response.dataString->c_str(), &end);
        if (end != response.dataString->c_str())
            show(row, volts);
    }
}
