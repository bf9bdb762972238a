#include "fuel/FuelTrends.h"

#include <cmath>
#include <limits>

#include "core/model/FuelData.h"
#include "core/model/Manager.h"
#include "core/model/MethodClass.h"
#include "platform/foundation/Strings.h"

namespace {

const ui::Color changeRed = ui::Color::rgb(0.706, 0, 0.176);
const ui::Color changeGreen = ui::Color::rgb(0.255, 0.659, 0.502);

std::vector<float> converted(const std::vector<float>& values, float (*convert)(float))
{
    std::vector<float> out;
    out.reserve(values.size());
    for (const float value : values)
        out.push_back(convert(value));
    return out;
}

template <typename T>
std::vector<T> part(const std::vector<T>& values, std::size_t first, std::size_t last)
{
    if (values.empty() || first > last || first >= values.size())
        return {};
    last = std::min(last, values.size() - 1);
    return std::vector<T>(values.begin() + static_cast<long>(first), values.begin() + static_cast<long>(last) + 1);
}

float relativeChange(float now, float before)
{
    if (before == 0)
        return std::numeric_limits<float>::quiet_NaN();
    return (now - before) / before;
}

}  // namespace

TrendLog TrendLog::fromFuelData()
{
    const FuelData& data = Manager::sharedManager().fuelData();
    TrendLog log;
    const std::size_t days = std::min({data.dateArr.size(), data.dataArr.size(), data.fuelArr.size(),
                                       data.distanceArr.size(), data.costArr.size(), data.speedArr.size()});
    log.dateArr.assign(data.dateArr.begin(), data.dateArr.begin() + static_cast<long>(days));
    const auto firstDays = [days](const std::vector<float>& values) {
        return std::vector<float>(values.begin(), values.begin() + static_cast<long>(days));
    };
    log.dataArr = converted(firstDays(data.dataArr), MethodClass::convertFromMPG);
    log.distArr = converted(firstDays(data.distanceArr), MethodClass::convertFromMiles);
    log.fuelArr = converted(firstDays(data.fuelArr), MethodClass::convertGallons);
    log.costArr = firstDays(data.costArr);
    log.speedArr = converted(firstDays(data.speedArr), MethodClass::convertFromMiles);
    return log;
}

TrendLog TrendLog::slice(std::size_t first, std::size_t last) const
{
    TrendLog out;
    out.dateArr = part(dateArr, first, last);
    out.dataArr = part(dataArr, first, last);
    out.fuelArr = part(fuelArr, first, last);
    out.distArr = part(distArr, first, last);
    out.costArr = part(costArr, first, last);
    out.speedArr = part(speedArr, first, last);
    return out;
}

TrendStats TrendStats::compute(const TrendLog& log, int lo, int hi, int mode, float co2PerFuel)
{
    TrendStats stats;
    stats.min = 1000.0f;
    stats.begIndex = lo;
    stats.endIndex = hi;
    const int n = static_cast<int>(log.dayCount());
    if (n == 0 || lo < 0 || hi < lo || hi >= n)
        return stats;
    const auto at = [n](int position) { return static_cast<std::size_t>(n - 1 - position); };

    stats.fromDateStr = log.dateArr[at(lo)];
    stats.toDateStr = log.dateArr[at(hi)];
    const int len = hi - lo + 1;
    const bool compared = lo >= len && n >= 2;

    float economySum = 0, fuelSum = 0, speedSum = 0;
    float economyBefore = 0, fuelBefore = 0, costBefore = 0, distanceBefore = 0, speedBefore = 0;
    for (int p = lo; p <= hi; ++p) {
        const std::size_t i = at(p);
        const float economy = log.dataArr[i];
        economySum += economy;
        fuelSum += log.fuelArr[i];
        speedSum += log.speedArr[i];
        stats.distance += log.distArr[i];
        stats.fuelCost += log.costArr[i];
        if (economy > stats.max)
            stats.max = economy;
        if (economy < stats.min)
            stats.min = economy;
        if (compared) {
            const std::size_t j = at(p - len);
            economyBefore += log.dataArr[j];
            fuelBefore += log.fuelArr[j];
            costBefore += log.costArr[j];
            distanceBefore += log.distArr[j];
            speedBefore += log.speedArr[j];
        }
    }
    // Per distance, the lowest figure is the best: Min shows the worst, Max the best in every unit.
    if (mode == 2)
        std::swap(stats.min, stats.max);
    stats.avgSpeed = speedSum / static_cast<float>(len);
    stats.average = economySum / static_cast<float>(len);
    stats.fuelVal = fuelSum;
    stats.co2 = fuelSum * co2PerFuel;
    if (compared) {
        stats.diffArr = {relativeChange(economySum, economyBefore),
                         relativeChange(fuelSum, fuelBefore),
                         relativeChange(stats.fuelCost, costBefore),
                         relativeChange(stats.distance, distanceBefore),
                         relativeChange(stats.co2, fuelBefore * co2PerFuel),
                         relativeChange(stats.avgSpeed, speedBefore / static_cast<float>(len))};
    }
    return stats;
}

ChangeText ChangeText::of(float change, bool economyRow, ui::Color noNumberColor)
{
    const float v = change * 100;
    if (!std::isfinite(v))
        return {"", noNumberColor};
    const ui::Color fall = economyRow ? changeRed : changeGreen;
    const ui::Color rise = economyRow ? changeGreen : changeRed;
    if (v <= 0)
        return {fnd::format("▼%d%%", static_cast<int>(std::abs(v))), fall};
    return {fnd::format("▲%d%%", static_cast<int>(v)), rise};
}
