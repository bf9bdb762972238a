#include "core/model/Pid.h"

#include <nlohmann/json.hpp>

#include "core/model/Archive.h"

namespace {

template <typename Self, typename Visitor>
void visitFields(Self& pid, Visitor&& field)
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

}  // namespace

nlohmann::json Pid::toJson() const
{
    nlohmann::json object = nlohmann::json::object();
    visitFields(*this, [&](const char* key, const auto& value) { object[key] = value; });
    object["root"] = root ? root->toJson() : nlohmann::json();
    return object;
}

Pid Pid::fromJson(const nlohmann::json& value)
{
    Pid pid;
    const fnd::KeyedUnarchiver in(value);
    visitFields(pid, [&](const char* key, auto& field) { archive::read(in, key, field); });
    if (const auto it = value.find("root"); it != value.end())
        pid.root = Node::fromJson(*it);
    return pid;
}
