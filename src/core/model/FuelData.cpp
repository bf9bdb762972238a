#include "core/model/FuelData.h"

#include <algorithm>

#include "core/model/Archive.h"

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
    visitFields(data, [&](const char* key, const auto&) {
        if (in.containsKey(key) && !archive::isArray(in, key))
            in.noteDamage(std::string("fuel log list ") + key + " is not a list");
    });
    std::size_t shortest = data.dateArr.size();
    std::size_t longest = shortest;
    visitFields(data, [&](const char*, const auto& field) {
        shortest = std::min(shortest, field.size());
        longest = std::max(longest, field.size());
    });
    if (shortest != longest) {
        in.noteDamage("fuel log lists differ in length; keeping the " + std::to_string(shortest) +
                      " days that are complete");
        visitFields(data, [&](const char*, auto& field) { field.resize(shortest); });
    }
    return data;
}
