#include "core/model/FuelData.h"

#include <algorithm>

#include "core/model/Archive.h"
#include "platform/foundation/Log.h"

template <typename Self, typename Visitor>
void FuelData::visitFields(Self& f, Visitor&& field)
{
    field("dateArr", f.dateArr);
    field("dataArr", f.dataArr);
    field("fuelArr", f.fuelArr);
    field("speedArr", f.speedArr);
    field("distanceArr", f.distanceArr);
    field("costArr", f.costArr);
}

fnd::KeyedArchiver FuelData::archive() const
{
    return archive::write(*this);
}

FuelData FuelData::fromArchive(const fnd::KeyedUnarchiver& in)
{
    FuelData data;
    archive::readFields(in, data);
    std::size_t shortest = data.dateArr.size();
    std::size_t longest = shortest;
    visitFields(data, [&](const char*, const auto& field) {
        shortest = std::min(shortest, field.size());
        longest = std::max(longest, field.size());
    });
    if (shortest != longest) {
        fnd::log(fnd::LogLevel::Warning, "fuel log arrays differ in length; keeping the " +
                                             std::to_string(shortest) + " days that are complete");
        visitFields(data, [&](const char*, auto& field) { field.resize(shortest); });
    }
    return data;
}
