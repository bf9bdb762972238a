#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/foundation/KeyedArchiver.h"

// The persisted settings (archive "settings.data"). The field initialisers are
// the first-run defaults; every field is archived under its own name.
struct Settings {
    // The adapter link.
    int deviceMode = 0;  // 0 ELM327 over Wi-Fi, 1 Kiwi 3/4 PLX, 2 Bluetooth LE, 3 OBDLink MX, 4 Vgate vLinker
    std::string hostIP = "192.168.0.10";
    unsigned port = 35000;
    int protocol = 0;        // ELM327 protocol number: 0 automatic, 1-9 and 10-12 (A-C) a fixed protocol
    int connectionMode = 0;  // 0 connect automatically, 1 by the menu's power button
    bool fastPollingEnabled = false;
    bool multiMessageCANEnabled = false;

    // Warnings.
    bool speedLimitEnabled = false;
    int speedLimit = 70;    // mph
    int speedLimit2 = 110;  // km/h
    bool highTempEnabled = false;

    int theme = 0;  // 0 dark, 1 light

    // Dashboard and dash-camera gauge slots by SensorIndex; entries 16-20 are the
    // dash camera's five tiles, slot 0 the rightmost.
    std::vector<int> sensors = {8, 9, 1, 0, 13, 11, 7, 12, 98, 95, 96, 97, 42, 38, 2, 3, 9, 8, 1, 96, 98};
    static constexpr std::size_t sensorSlotCount = 21;

    // Sensor list and strip charts.
    std::vector<int> gaugeListArr = {8, 9, 1, 0, 13, 98};
    std::vector<int> graphListArr = {8, 9};
    std::vector<int> graphLineColorArr = {0, 1};  // 0-8, parallel to graphListArr
    // The most entries the gauge list and the chart list are read with from a file.
    static constexpr std::size_t maxListLength = 256;
    int numOfGraphs = 2;
    int scrollGraphCount = 1;  // graphs per screen: 0 two, 1 three, 2 four
    bool twoFingerScroll = false;
    int graphType = 1;         // 0 "Basic", 1 "Enhanced"
    int plotSpacing = 2;       // pixels between samples, 1-5
    bool dualGraphingEnabled = false;

    // Data logger.
    int loggerInterface = 0;  // 0 CSV files, 1 TCP server
    int logFormat = 0;        // 0 one file for all graphs, 1 one file per graph
    float loggerDelay = 0;    // seconds between rows; 0 logs every sample
    bool loggerTimeStamp = false;
    bool formattedLoggerData = true;
    std::string loggerIP = "192.168.1.100";
    unsigned loggerPort = 10000;

    // Fuel economy.
    int fuelUnitsMode = 0;  // 0 US mpg, 1 km/L, 2 L/100 km, 3 Imperial mpg
    int fuelType = 0;       // 0-6: gasoline, diesel, LNG, CNG, propane, methanol, ethanol
    float fuelDensity = 6.17f;  // pounds per US gallon
    float fuelAirRatio = 14.7f;
    int fuelCalcMethod = 0;     // 0 mass airflow, 1 speed-density, 2 fuel rate
    float engineDisplacement = 3.0f;  // litres
    float fuelCost = 1.0f;      // per gallon (units 0 and 3) or litre (1 and 2)

    // Performance.
    bool firstRace = true;
    bool rpmEnabled = true;
    bool shiftAssistEnabled = true;
    int hpMode = 0;          // 0 from mass airflow, 1 from engine reference torque
    int shiftLightColor = 0; // 0 yellow, 1 orange, 2 green

    // Dash camera.
    int camGaugeCount = 5;   // 1-5
    int recordMode = 2;      // 0 352x288, 1 640x480, 2 1280x720, 3 1920x1080, 4 3840x2160
    int frameRate = 30;      // 15-30
    bool is30Framerate = false;
    bool isRaceMode = false;
    bool gMeterEnabled = false;
    bool gpsEnabled = false;
    bool displayTimeEnabled = false;
    bool compassEnabled = false;
    bool mapEnabled = false;

    // Every archived field once, for the archive helpers.
    template <typename Self, typename Visitor>
    static void visitFields(Self& record, Visitor&& field);

    fnd::KeyedArchiver archive() const;
    // Missing or mistyped fields keep their defaults, and so do values outside
    // what the field can hold (a theme of 99, a host name that is none); a short
    // `sensors` list is completed from the defaults so every slot exists.
    static Settings fromArchive(const fnd::KeyedUnarchiver& in);
    // Sensor indexes must name a sensor (0 to sensorCount - 1): a dashboard slot
    // that does not goes back to its default, a list entry is left out (a graph
    // with its colour).
    void keepValidSensors(int sensorCount);
};
