#include "core/model/FuelData.h"

#include <algorithm>

#include "core/model/Archive.h"
#include "platform/foundation/Log.h"

namespace {

template <typename Self, typename Visitor>
void visitArrays(Self& f, Visitor&& field)
{
    field("dateArr", f.dateArr);
    field("dataArr", f.dataArr);
    field("fuelArr", f.fuelArr);
    field("speedArr", f.speedArr);
    field("distanceArr", f.distanceArr);
    field("costArr", f.costArr);
}

}  // namespace

fnd::KeyedArchiver FuelData::archive() const
{
    fnd::KeyedArchiver out;
    visitArrays(*this, [&](const char* key, const auto& value) { out.encode(key, value); });
    return out;
}

FuelData FuelData::fromArchive(const fnd::KeyedUnarchiver& in)
{
    FuelData data;
    visitArrays(data, [&](const char* key, auto& field) { archive::read(in, key, field); });
    std::size_t shortest = data.dateArr.size();
    std::size_t longest = shortest;
    visitArrays(data, [&](const char*, const auto& field) {
        shortest = std::min(shortest, field.size());
        longest = std::max(longest, field.size());
    });
    if (shortest != longest) {
        fnd::log(fnd::LogLevel::Warning, "fuel log arrays differ in length; keeping the " +
                                             std::to_string(shortest) + " days that are complete");
        visitArrays(data, [&](const char*, auto& field) { field.resize(shortest); });
    }
    return data;
}
