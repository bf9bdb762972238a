#include "core/model/Pid.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "core/model/Archive.h"

template <typename Self, typename Visitor>
void Pid::visitFields(Self& pid, Visitor&& field)
{
    field("mode", pid.mode);
    field("pid", pid.pid);
    field("pid2", pid.pid2);
    field("sName", pid.sName);
    field("lName", pid.lName);
    field("units", pid.units);
    field("units2", pid.units2);
    field("unitsMode", pid.unitsMode);
    field("min", pid.min);
    field("max", pid.max);
    field("conversion", pid.conversion);
    field("offset", pid.offset);
}

nlohmann::json Pid::toJson() const
{
    nlohmann::json object = archive::write(*this).root();
    object["root"] = root ? root->toJson() : nlohmann::json();
    return object;
}

Pid Pid::fromJson(const nlohmann::json& value)
{
    Pid pid;
    const fnd::KeyedUnarchiver in(value);
    archive::readFields(in, pid);
    const Pid d;
    using archive::keepIn;
    keepIn(pid.mode, 0, 255, d.mode);
    keepIn(pid.pid, 0, 255, d.pid);
    keepIn(pid.pid2, 0, 255, d.pid2);
    keepIn(pid.unitsMode, 0, 1, d.unitsMode);
    if (!(std::isfinite(pid.min) && std::isfinite(pid.max) && pid.min < pid.max)) {
        pid.min = d.min;
        pid.max = d.max;
    }
    if (!std::isfinite(pid.conversion))
        pid.conversion = d.conversion;
    if (!std::isfinite(pid.offset))
        pid.offset = d.offset;
    if (const auto it = value.find("root"); it != value.end())
        pid.root = Node::fromJson(*it);
    return pid;
}
