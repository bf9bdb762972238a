#include "core/obd/ECU.h"

#include <algorithm>

#include "core/obd/SensorTable.h"

namespace {

const SensorRow* rowForIndex(int sensorIndex)
{
    if (sensorIndex < 0 || sensorIndex >= standardSensorCount)
        return nullptr;
    return &sensorTable[static_cast<std::size_t>(sensorIndex)];
}

// The first row of the PID: for PIDs with several values, the first of them.
const SensorRow* rowForPid(int pid)
{
    const auto end = sensorTable.begin() + standardSensorCount;
    const auto it = std::find_if(sensorTable.begin(), end, [pid](const SensorRow& row) { return row.pid == pid; });
    return it == end ? nullptr : &*it;
}

// Pressures the boost readers convert themselves.
bool staysInKilopascals(int pid)
{
    return pid == 0x0B || pid == 0x33;
}

}  // namespace

float ECU::calculate(int sensorIndex, int pid) const
{
    const SensorRow* row = sensorIndex == -1 ? rowForPid(pid) : rowForIndex(sensorIndex);
    if (row == nullptr)
        return 0;
    const auto& data = response_.data;
    const std::size_t first = row->firstByte;
    if (data.size() < first + row->byteCount)
        return 0;
    const unsigned a = data[first];
    const unsigned b = row->byteCount > 1 ? data[first + 1] : 0;
    const float metric = row->decoder(a, b);
    if (unitMode_ != 0 || (sensorIndex == -1 && staysInKilopascals(pid)))
        return metric;
    return row->toImperial(metric);
}

float ECU::valueOf(const Response& response, int unitMode, int sensorIndex)
{
    ECU ecu;
    ecu.setUnitMode(unitMode);
    ecu.setResponse(response);
    return ecu.calculate(sensorIndex, response.pid);
}
