#include "core/model/DataStore.h"

#include "core/model/SensorTable.h"

namespace {

template <typename Field>
std::vector<std::string> column(Field field)
{
    std::vector<std::string> values;
    for (const auto& row : sensorTable)
        values.emplace_back(row.*field);
    return values;
}

std::vector<int> standardPids()
{
    std::vector<int> pids;
    for (int index = 0; index < standardSensorCount; ++index)
        pids.push_back(sensorTable[static_cast<std::size_t>(index)].pid);
    return pids;
}

}  // namespace

DataStore& DataStore::sharedDataStore()
{
    static DataStore store;
    return store;
}

DataStore::DataStore()
    : pidArr(standardPids()),
      sensorLabelArr(column(&SensorRow::label)),
      sensorMetUnitsArr(column(&SensorRow::metricUnit)),
      sensorImpUnitsArr(column(&SensorRow::imperialUnit)),
      protocolArr({
          "Automatic",
          "SAE J1850 PWM (41.6 kbaud)",
          "SAE J1850 VPW (10.4 kbaud)",
          "ISO 9141-2 (5 baud init)",
          "ISO 14230-4 KWP (5 baud init)",
          "ISO 14230-4 KWP (fast init)",
          "ISO 15765-4 CAN (11 bit ID, 500 kbaud)",
          "ISO 15765-4 CAN (29 bit ID, 500 kbaud)",
          "ISO 15765-4 CAN (11 bit ID, 250 kbaud)",
          "ISO 15765-4 CAN (29 bit ID, 250 kbaud)",
          "SAE J1939 CAN (29 bit ID, 250 kbaud)",
          "User1 CAN (11 bit ID, 125 kbaud)",
          "User2 CAN (11 bit ID, 50 kbaud)",
      })
{
}

void DataStore::setSupportedPIDs(int basePid, std::uint32_t bitmap)
{
    if (basePid < 0 || basePid % 0x20 != 0 || basePid / 0x20 >= bitmapCount)
        return;
    supportedBitmaps_[static_cast<std::size_t>(basePid / 0x20)] = bitmap;
    bitmapRead_.set(static_cast<std::size_t>(basePid / 0x20));
}

void DataStore::clearSupportedPIDs()
{
    supportedBitmaps_.fill(0);
    bitmapRead_.reset();
}

bool DataStore::isService01PIDSupported(int pid) const
{
    if (pid == 0)
        return bitmapRead_.test(0);
    if (pid < 1 || pid > 0x20 * bitmapCount)
        return false;
    const int slot = (pid - 1) / 0x20;
    const int bit = 31 - (pid - 1) % 0x20;
    return bitmapRead_.test(static_cast<std::size_t>(slot)) &&
           (supportedBitmaps_[static_cast<std::size_t>(slot)] >> bit & 1u) != 0;
}

void DataStore::resetForTesting()
{
    clearSupportedPIDs();
    protocol = 0;
    fuelEconomyArr.clear();
    fuelEcoMinArr.clear();
    fuelEco5MinArr.clear();
    fuelEco30MinArr.clear();
    fuelTotalAvgArr.clear();
    fuelElapsedTime = 0;
    distance = 0;
}
