#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/ui/Color.h"

// The fuel screen wrote the daily fuel log (the object is the screen, there is no user info).
inline constexpr const char* fuelLogSavedNotification = "fuelLogSavedNotification";

// The daily fuel log in display units, newest day first, as the trends screen
// shows and exports it.
struct TrendLog {
    std::vector<std::string> dateArr;
    std::vector<float> dataArr;   // economy
    std::vector<float> fuelArr;   // US gallons or litres
    std::vector<float> distArr;   // miles or km
    std::vector<float> costArr;
    std::vector<float> speedArr;  // mph or km/h

    std::size_t dayCount() const { return dateArr.size(); }
    // The log from the records, converted to the current unit.
    static TrendLog fromFuelData();
    // Only the entries from stored index `first` to `last` (inclusive).
    TrendLog slice(std::size_t first, std::size_t last) const;
};

// The statistics of the selected days and their change against the same number
// of logged days just before them.
struct TrendStats {
    std::string fromDateStr;
    std::string toDateStr;
    float average = 0;
    float min = 0;
    float max = 0;
    float fuelVal = 0;
    float fuelCost = 0;
    float distance = 0;
    float co2 = 0;
    float avgSpeed = 0;
    // Relative change of economy, fuel, cost, distance, CO2 and average speed;
    // not a number where the earlier days sum to 0.
    std::array<float, 6> diffArr{};
    int begIndex = 0;
    int endIndex = 0;

    // `lo` and `hi` are log positions (0 the oldest day), the older and the
    // newer end. `mode` is the fuel unit; `co2PerFuel` the CO2 of one unit of
    // fuel (pounds per US gallon or kilograms per litre).
    static TrendStats compute(const TrendLog& log, int lo, int hi, int mode, float co2PerFuel);
};

// A change as the table shows it: "▲12%" or "▼3%", or "" for no number. In
// the economy row a rise is good (green), in the others a fall is.
struct ChangeText {
    std::string text;
    ui::Color color;
    static ChangeText of(float change, bool economyRow, ui::Color noNumberColor);
};
