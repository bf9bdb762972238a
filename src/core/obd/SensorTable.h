#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/obd/Decoders.h"

// One sensor as the application knows it by its SensorIndex. Ranges are the
// default display ranges (the user can change them per vehicle). Standard rows
// decode `byteCount` data bytes starting at `firstByte` (0 is A) with `decoder`,
// in metric units, and convert with `toImperial`.
struct SensorRow {
    int index;
    std::uint8_t pid;  // service 01; 0 for the calculated sensors
    std::string_view label;
    std::string_view shortLabel;
    std::string_view metricUnit;
    std::string_view imperialUnit;
    float metricMin;
    float metricMax;
    float imperialMin;
    float imperialMax;
    std::uint8_t firstByte;
    std::uint8_t byteCount;
    decode::Decoder decoder;  // nullptr for the calculated sensors
    imperial::Conversion toImperial;
};

inline constexpr int standardSensorCount = 95;  // SensorIndex 0-94: service-01 sensors
inline constexpr int builtInSensorCount = 101;  // then 95-100: calculated sensors
inline constexpr int firstCustomSensorIndex = 101;

// The standard sensors the screens read themselves, by SensorIndex.
inline constexpr int coolantSensor = 1;
inline constexpr int engineSpeedSensor = 8;
inline constexpr int vehicleSpeedSensor = 9;

// The calculated sensors, by SensorIndex.
inline constexpr int firstCalculatedSensorIndex = 95;
inline constexpr int fuelEconomySensor = 95;
inline constexpr int boostSensor = 96;
inline constexpr int horsepowerSensor = 97;
inline constexpr int batteryVoltageSensor = 98;
inline constexpr int gForceSensor = 99;
inline constexpr int gearSensor = 100;

// Index n is PID 0x04 + n for n = 0 to 13. From 14 on, the numeric service-01
// PIDs of SAE J1979 in ascending order, leaving out the bitmaps, enumerations and
// packed records (0x12, 0x13, 0x1C-0x1E, 0x4F-0x51, 0x5F, 0x64-0x66, 0x69-0x76).
// PIDs that report several values have one row per value: 0x14 gives the first
// oxygen sensor's voltage (14) and fuel trim (15), 0x78 and 0x79 the four exhaust
// gas temperatures of each bank (87-94). 0x67, 0x68 and 0x77 give their first
// sensor (byte B; byte A says which sensors exist).
inline constexpr std::array<SensorRow, builtInSensorCount> sensorTable = {{
    // clang-format off
    // index pid   label                                    short           metric   imperial  mMin    mMax    iMin    iMax  byte n decoder                         imperial
    { 0, 0x04, "Calculated engine load",                  "Load",          "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    { 1, 0x05, "Engine coolant temperature",              "Coolant",       "°C",    "°F",     -40,   215,    -40,   419,  0, 1, decode::temperature,            imperial::fahrenheit},
    { 2, 0x06, "Short term fuel trim - Bank 1",           "STFT B1",       "%",     "%",     -100,   100,   -100,   100,  0, 1, decode::fuelTrim,               imperial::same},
    { 3, 0x07, "Long term fuel trim - Bank 1",            "LTFT B1",       "%",     "%",     -100,   100,   -100,   100,  0, 1, decode::fuelTrim,               imperial::same},
    { 4, 0x08, "Short term fuel trim - Bank 2",           "STFT B2",       "%",     "%",     -100,   100,   -100,   100,  0, 1, decode::fuelTrim,               imperial::same},
    { 5, 0x09, "Long term fuel trim - Bank 2",            "LTFT B2",       "%",     "%",     -100,   100,   -100,   100,  0, 1, decode::fuelTrim,               imperial::same},
    { 6, 0x0A, "Fuel pressure",                           "Fuel press",    "kPa",   "psi",      0,   765,      0,   111,  0, 1, decode::fuelPressure,           imperial::psi},
    { 7, 0x0B, "Intake manifold absolute pressure",       "MAP",           "kPa",   "psi",      0,   255,      0,    37,  0, 1, decode::byteValue,              imperial::psi},
    { 8, 0x0C, "Engine speed",                            "RPM",           "rpm",   "rpm",      0,  8000,      0,  8000,  0, 2, decode::engineSpeed,            imperial::same},
    { 9, 0x0D, "Vehicle speed",                           "Speed",         "km/h",  "mph",      0,   255,      0,   160,  0, 1, decode::byteValue,              imperial::milesPerHour},
    {10, 0x0E, "Timing advance",                          "Timing",        "°",     "°",      -64,  63.5,    -64,  63.5,  0, 1, decode::timingAdvance,          imperial::same},
    {11, 0x0F, "Intake air temperature",                  "IAT",           "°C",    "°F",     -40,   215,    -40,   419,  0, 1, decode::temperature,            imperial::fahrenheit},
    {12, 0x10, "Mass air flow rate",                      "MAF",           "g/s",   "lb/min",   0,   300,      0,    40,  0, 2, decode::airFlow,                imperial::poundsPerMinute},
    {13, 0x11, "Throttle position",                       "Throttle",      "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {14, 0x14, "Oxygen sensor 1 voltage",                 "O2 S1",         "V",     "V",        0, 1.275,      0, 1.275,  0, 1, decode::oxygenVoltage,          imperial::same},
    {15, 0x14, "Oxygen sensor 1 fuel trim",               "O2 S1 trim",    "%",     "%",     -100,   100,   -100,   100,  1, 1, decode::fuelTrim,               imperial::same},
    {16, 0x15, "Oxygen sensor 2 voltage",                 "O2 S2",         "V",     "V",        0, 1.275,      0, 1.275,  0, 1, decode::oxygenVoltage,          imperial::same},
    {17, 0x16, "Oxygen sensor 3 voltage",                 "O2 S3",         "V",     "V",        0, 1.275,      0, 1.275,  0, 1, decode::oxygenVoltage,          imperial::same},
    {18, 0x17, "Oxygen sensor 4 voltage",                 "O2 S4",         "V",     "V",        0, 1.275,      0, 1.275,  0, 1, decode::oxygenVoltage,          imperial::same},
    {19, 0x18, "Oxygen sensor 5 voltage",                 "O2 S5",         "V",     "V",        0, 1.275,      0, 1.275,  0, 1, decode::oxygenVoltage,          imperial::same},
    {20, 0x19, "Oxygen sensor 6 voltage",                 "O2 S6",         "V",     "V",        0, 1.275,      0, 1.275,  0, 1, decode::oxygenVoltage,          imperial::same},
    {21, 0x1A, "Oxygen sensor 7 voltage",                 "O2 S7",         "V",     "V",        0, 1.275,      0, 1.275,  0, 1, decode::oxygenVoltage,          imperial::same},
    {22, 0x1B, "Oxygen sensor 8 voltage",                 "O2 S8",         "V",     "V",        0, 1.275,      0, 1.275,  0, 1, decode::oxygenVoltage,          imperial::same},
    {23, 0x1F, "Run time since engine start",             "Run time",      "s",     "s",        0, 65535,      0, 65535,  0, 2, decode::wordValue,              imperial::same},
    {24, 0x21, "Distance traveled with MIL on",           "MIL dist",      "km",    "mi",       0, 65535,      0, 40722,  0, 2, decode::wordValue,              imperial::miles},
    {25, 0x22, "Fuel rail pressure (relative)",           "Rail rel",      "kPa",   "psi",      0,  5177,      0,   751,  0, 2, decode::railPressureRelative,   imperial::psi},
    {26, 0x23, "Fuel rail gauge pressure",                "Rail gauge",    "kPa",   "psi",      0, 200000,     0, 29000,  0, 2, decode::railPressure,           imperial::psi},
    {27, 0x24, "Oxygen sensor 1 air-fuel ratio",          "O2 S1 λ",       "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {28, 0x25, "Oxygen sensor 2 air-fuel ratio",          "O2 S2 λ",       "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {29, 0x26, "Oxygen sensor 3 air-fuel ratio",          "O2 S3 λ",       "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {30, 0x27, "Oxygen sensor 4 air-fuel ratio",          "O2 S4 λ",       "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {31, 0x28, "Oxygen sensor 5 air-fuel ratio",          "O2 S5 λ",       "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {32, 0x29, "Oxygen sensor 6 air-fuel ratio",          "O2 S6 λ",       "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {33, 0x2A, "Oxygen sensor 7 air-fuel ratio",          "O2 S7 λ",       "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {34, 0x2B, "Oxygen sensor 8 air-fuel ratio",          "O2 S8 λ",       "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {35, 0x2C, "Commanded EGR",                           "EGR cmd",       "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {36, 0x2D, "EGR error",                               "EGR err",       "%",     "%",     -100,   100,   -100,   100,  0, 1, decode::fuelTrim,               imperial::same},
    {37, 0x2E, "Commanded evaporative purge",             "Evap purge",    "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {38, 0x2F, "Fuel tank level",                         "Fuel level",    "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {39, 0x30, "Warm-ups since codes cleared",            "Warm-ups",      "",      "",         0,   255,      0,   255,  0, 1, decode::byteValue,              imperial::same},
    {40, 0x31, "Distance traveled since codes cleared",   "Clear dist",    "km",    "mi",       0, 65535,      0, 40722,  0, 2, decode::wordValue,              imperial::miles},
    {41, 0x32, "Evap system vapor pressure",              "Evap press",    "Pa",    "inH2O", -8192,  8192,    -33,    33,  0, 2, decode::vapourPressure,         imperial::inchesOfWater},
    {42, 0x33, "Absolute barometric pressure",            "Baro",          "kPa",   "psi",      0,   255,      0,    37,  0, 1, decode::byteValue,              imperial::psi},
    {43, 0x34, "Oxygen sensor 1 air-fuel ratio (current)","O2 S1 λ (I)",   "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {44, 0x35, "Oxygen sensor 2 air-fuel ratio (current)","O2 S2 λ (I)",   "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {45, 0x36, "Oxygen sensor 3 air-fuel ratio (current)","O2 S3 λ (I)",   "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {46, 0x37, "Oxygen sensor 4 air-fuel ratio (current)","O2 S4 λ (I)",   "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {47, 0x38, "Oxygen sensor 5 air-fuel ratio (current)","O2 S5 λ (I)",   "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {48, 0x39, "Oxygen sensor 6 air-fuel ratio (current)","O2 S6 λ (I)",   "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {49, 0x3A, "Oxygen sensor 7 air-fuel ratio (current)","O2 S7 λ (I)",   "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {50, 0x3B, "Oxygen sensor 8 air-fuel ratio (current)","O2 S8 λ (I)",   "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {51, 0x3C, "Catalyst temperature B1 S1",              "Cat B1S1",      "°C",    "°F",       0,  1000,     32,  1832,  0, 2, decode::hotTemperature,         imperial::fahrenheit},
    {52, 0x3D, "Catalyst temperature B2 S1",              "Cat B2S1",      "°C",    "°F",       0,  1000,     32,  1832,  0, 2, decode::hotTemperature,         imperial::fahrenheit},
    {53, 0x3E, "Catalyst temperature B1 S2",              "Cat B1S2",      "°C",    "°F",       0,  1000,     32,  1832,  0, 2, decode::hotTemperature,         imperial::fahrenheit},
    {54, 0x3F, "Catalyst temperature B2 S2",              "Cat B2S2",      "°C",    "°F",       0,  1000,     32,  1832,  0, 2, decode::hotTemperature,         imperial::fahrenheit},
    {55, 0x42, "Control module voltage",                  "Module V",      "V",     "V",        0,    20,      0,    20,  0, 2, decode::moduleVoltage,          imperial::same},
    {56, 0x43, "Absolute load value",                     "Abs load",      "%",     "%",        0,   100,      0,   100,  0, 2, decode::absoluteLoad,           imperial::same},
    {57, 0x44, "Commanded air-fuel ratio",                "Cmd λ",         "λ",     "λ",        0,     2,      0,     2,  0, 2, decode::equivalenceRatio,       imperial::same},
    {58, 0x45, "Relative throttle position",              "Rel throttle",  "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {59, 0x46, "Ambient air temperature",                 "Ambient",       "°C",    "°F",     -40,   215,    -40,   419,  0, 1, decode::temperature,            imperial::fahrenheit},
    {60, 0x47, "Absolute throttle position B",            "Throttle B",    "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {61, 0x48, "Absolute throttle position C",            "Throttle C",    "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {62, 0x49, "Accelerator pedal position D",            "Pedal D",       "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {63, 0x4A, "Accelerator pedal position E",            "Pedal E",       "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {64, 0x4B, "Accelerator pedal position F",            "Pedal F",       "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {65, 0x4C, "Commanded throttle actuator",             "Throttle cmd",  "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {66, 0x4D, "Time run with MIL on",                    "MIL time",      "min",   "min",      0, 65535,      0, 65535,  0, 2, decode::wordValue,              imperial::same},
    {67, 0x4E, "Time since trouble codes cleared",        "Clear time",    "min",   "min",      0, 65535,      0, 65535,  0, 2, decode::wordValue,              imperial::same},
    {68, 0x52, "Ethanol fuel percentage",                 "Ethanol",       "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {69, 0x53, "Absolute evap system vapor pressure",     "Evap abs",      "kPa",   "psi",      0, 327.675,    0,  47.5,  0, 2, decode::vapourPressureAbsolute, imperial::psi},
    {70, 0x54, "Evap system vapor pressure (wide)",       "Evap press W",  "Pa",    "inH2O",-32768, 32767, -131.7, 131.7,  0, 2, decode::vapourPressureWide,     imperial::inchesOfWater},
    {71, 0x55, "Short term secondary O2 trim - Bank 1",   "STST B1",       "%",     "%",     -100,   100,   -100,   100,  0, 1, decode::fuelTrim,               imperial::same},
    {72, 0x56, "Long term secondary O2 trim - Bank 1",    "LTST B1",       "%",     "%",     -100,   100,   -100,   100,  0, 1, decode::fuelTrim,               imperial::same},
    {73, 0x57, "Short term secondary O2 trim - Bank 2",   "STST B2",       "%",     "%",     -100,   100,   -100,   100,  0, 1, decode::fuelTrim,               imperial::same},
    {74, 0x58, "Long term secondary O2 trim - Bank 2",    "LTST B2",       "%",     "%",     -100,   100,   -100,   100,  0, 1, decode::fuelTrim,               imperial::same},
    {75, 0x59, "Fuel rail absolute pressure",             "Rail abs",      "kPa",   "psi",      0, 200000,     0, 29000,  0, 2, decode::railPressure,           imperial::psi},
    {76, 0x5A, "Relative accelerator pedal position",     "Rel pedal",     "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {77, 0x5B, "Hybrid battery pack remaining life",      "Hybrid batt",   "%",     "%",        0,   100,      0,   100,  0, 1, decode::percent,                imperial::same},
    {78, 0x5C, "Engine oil temperature",                  "Oil temp",      "°C",    "°F",     -40,   215,    -40,   419,  0, 1, decode::temperature,            imperial::fahrenheit},
    {79, 0x5D, "Fuel injection timing",                   "Inj timing",    "°",     "°",     -210,   302,   -210,   302,  0, 2, decode::injectionTiming,        imperial::same},
    {80, 0x5E, "Engine fuel rate",                        "Fuel rate",     "L/h",   "gal/h",    0,   100,      0,  26.4,  0, 2, decode::fuelRate,               imperial::gallonsPerHour},
    {81, 0x61, "Driver's demand engine torque",           "Demand torque", "%",     "%",     -125,   130,   -125,   130,  0, 1, decode::torquePercent,          imperial::same},
    {82, 0x62, "Actual engine torque",                    "Actual torque", "%",     "%",     -125,   130,   -125,   130,  0, 1, decode::torquePercent,          imperial::same},
    {83, 0x63, "Engine reference torque",                 "Ref torque",    "N·m",   "lb·ft",    0,  1000,      0,   738,  0, 2, decode::wordValue,              imperial::poundFeet},
    {84, 0x67, "Engine coolant temperature sensor 1",     "Coolant 1",     "°C",    "°F",     -40,   215,    -40,   419,  1, 1, decode::temperature,            imperial::fahrenheit},
    {85, 0x68, "Intake air temperature sensor 1",         "IAT 1",         "°C",    "°F",     -40,   215,    -40,   419,  1, 1, decode::temperature,            imperial::fahrenheit},
    {86, 0x77, "Charge air cooler temperature",           "CACT",          "°C",    "°F",     -40,   215,    -40,   419,  1, 1, decode::temperature,            imperial::fahrenheit},
    {87, 0x78, "Exhaust gas temperature B1 S1",           "EGT B1S1",      "°C",    "°F",       0,  1000,     32,  1832,  1, 2, decode::hotTemperature,         imperial::fahrenheit},
    {88, 0x78, "Exhaust gas temperature B1 S2",           "EGT B1S2",      "°C",    "°F",       0,  1000,     32,  1832,  3, 2, decode::hotTemperature,         imperial::fahrenheit},
    {89, 0x78, "Exhaust gas temperature B1 S3",           "EGT B1S3",      "°C",    "°F",       0,  1000,     32,  1832,  5, 2, decode::hotTemperature,         imperial::fahrenheit},
    {90, 0x78, "Exhaust gas temperature B1 S4",           "EGT B1S4",      "°C",    "°F",       0,  1000,     32,  1832,  7, 2, decode::hotTemperature,         imperial::fahrenheit},
    {91, 0x79, "Exhaust gas temperature B2 S1",           "EGT B2S1",      "°C",    "°F",       0,  1000,     32,  1832,  1, 2, decode::hotTemperature,         imperial::fahrenheit},
    {92, 0x79, "Exhaust gas temperature B2 S2",           "EGT B2S2",      "°C",    "°F",       0,  1000,     32,  1832,  3, 2, decode::hotTemperature,         imperial::fahrenheit},
    {93, 0x79, "Exhaust gas temperature B2 S3",           "EGT B2S3",      "°C",    "°F",       0,  1000,     32,  1832,  5, 2, decode::hotTemperature,         imperial::fahrenheit},
    {94, 0x79, "Exhaust gas temperature B2 S4",           "EGT B2S4",      "°C",    "°F",       0,  1000,     32,  1832,  7, 2, decode::hotTemperature,         imperial::fahrenheit},
    // Calculated by the screens from other PIDs, the adapter or the phone. Fuel
    // economy is held in US mpg in both unit systems and converted only for display.
    {95, 0,    "Fuel economy",                            "Fuel eco",      "mpg",   "mpg",      0,    50,      0,    50,  0, 0, nullptr,                        imperial::same},
    {96, 0,    "Boost pressure",                          "Boost",         "bar",   "psi",     -1,     2,    -15,    30,  0, 0, nullptr,                        imperial::same},
    {97, 0,    "Horsepower",                              "HP",            "kW",    "hp",       0,   500,      0,   500,  0, 0, nullptr,                        imperial::same},
    {98, 0,    "Battery voltage",                         "Battery",       "V",     "V",        0,    16,      0,    16,  0, 0, nullptr,                        imperial::same},
    {99, 0,    "G-force",                                 "G-force",       "g",     "g",        0,     2,      0,     2,  0, 0, nullptr,                        imperial::same},
    {100, 0,   "Gear",                                    "Gear",          "",      "",         0,     6,      0,     6,  0, 0, nullptr,                        imperial::same},
    // clang-format on
}};
