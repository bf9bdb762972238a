#include "fuel/FuelTrip.h"

#include <algorithm>
#include <cmath>

#include "core/model/FuelData.h"
#include "core/model/MethodClass.h"
#include "fuel/FuelAverages.h"
#include "platform/foundation/Strings.h"

namespace {

constexpr float kmPerMile = 1.60934f;
constexpr float litresPerGallon = 3.78541f;
constexpr float milesPerKm = 0.621371f;
constexpr float poundsPerKg = 2.2046f;

bool isMetric(int mode) { return mode == 1 || mode == 2; }

}  // namespace

bool FuelTrip::tick(float kmh)
{
    const float speed = std::isfinite(kmh) && kmh > 0 ? kmh : 0;
    ticks_ += 1;
    distance_ += speed / 3600;
    if (static_cast<long>(ticks_) % sampleInterval != 0)
        return false;
    speedArr_.push_back(speed);
    return true;
}

void FuelTrip::addBackground(float seconds, float km)
{
    if (std::isfinite(seconds) && seconds > 0)
        ticks_ += seconds;
    if (std::isfinite(km) && km > 0)
        distance_ += km;
}

void FuelTrip::reset() { *this = FuelTrip(); }

float FuelTrip::meanSpeed() const { return meanOf(speedArr_); }

std::string FuelTrip::timeText() const
{
    const long seconds = static_cast<long>(ticks_);
    return fnd::format("%02.0f:%02.0f:%02.0f", static_cast<double>(seconds / 3600),
                       static_cast<double>((seconds / 60) % 60), static_cast<double>(seconds % 60));
}

std::optional<float> FuelTrip::fuelUsed(float km, float average, int mode)
{
    float fuel = 0;
    if (mode == 2) {
        fuel = km / 100 * average;
    } else if (mode == 1) {
        fuel = km / average;
    } else {
        // The average is in US or Imperial mpg; the fuel is in US gallons like the log.
        fuel = km * milesPerKm / MethodClass::convertToMPG(average);
    }
    if (!std::isfinite(fuel) || fuel < 0)
        return std::nullopt;
    return fuel;
}

float FuelTrip::co2(float fuel, int mode)
{
    if (isMetric(mode))
        return MethodClass::convertFuelToCO2(fuel);
    return MethodClass::convertFuelToCO2(fuel * litresPerGallon) * poundsPerKg;
}

bool FuelTrip::saveDay(FuelData& log, const std::string& day, float tripMpg, float fuelCost, int mode)
{
    if (!std::isfinite(tripMpg) || !(tripMpg > 0))
        return false;
    const float miles = distance_ / kmPerMile;
    const float gallons = miles / tripMpg;
    const float newMiles = std::max(0.0f, miles - loggedMiles_);
    const float newGallons = std::max(0.0f, gallons - loggedGallons_);
    const float price = std::isfinite(fuelCost) ? fuelCost : 0;
    const float cost = price * (isMetric(mode) ? newGallons * litresPerGallon : newGallons);
    const float mph = meanSpeed() / kmPerMile;

    const auto found = std::find(log.dateArr.begin(), log.dateArr.end(), day);
    const auto at = static_cast<std::size_t>(found - log.dateArr.begin());
    if (found != log.dateArr.end() && at < searchedDays && at < log.dayCount()) {
        const float oldMiles = log.distanceArr[at];
        const float totalMiles = oldMiles + newMiles;
        const float totalGallons = log.fuelArr[at] + newGallons;
        log.distanceArr[at] = totalMiles;
        log.fuelArr[at] = totalGallons;
        log.costArr[at] += cost;
        if (totalGallons > 0 && totalMiles > 0)
            log.dataArr[at] = totalMiles / totalGallons;
        // Weighted by distance, so the day's speed is that of all its trips.
        if (totalMiles > 0)
            log.speedArr[at] = (log.speedArr[at] * oldMiles + mph * newMiles) / totalMiles;
    } else {
        log.dateArr.insert(log.dateArr.begin(), day);
        log.dataArr.insert(log.dataArr.begin(), tripMpg);
        log.fuelArr.insert(log.fuelArr.begin(), newGallons);
        log.speedArr.insert(log.speedArr.begin(), mph);
        log.distanceArr.insert(log.distanceArr.begin(), newMiles);
        log.costArr.insert(log.costArr.begin(), cost);
    }
    loggedMiles_ = miles;
    loggedGallons_ = gallons;
    return true;
}
