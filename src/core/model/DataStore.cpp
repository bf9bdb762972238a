#include "core/model/DataStore.h"

#include "core/obd/SensorTable.h"

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
