#pragma once

#include <memory>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "core/model/Node.h"

// A user-defined sensor: the request bytes, names, units and range, and the
// formula that turns its reply into a value.
struct Pid {
    int mode = 1;  // service
    int pid = 0;
    int pid2 = 0;  // second PID byte; 0 = none
    std::string sName;
    std::string lName;
    std::string units;   // shown when unitsMode is 1
    std::string units2;  // shown when unitsMode is 0
    int unitsMode = 1;   // 1 metric; 0: the value is shown as offset + conversion x value
    float min = 0;
    float max = 100;
    float conversion = 1;
    float offset = 0;
    std::shared_ptr<const Node> root;

    // Every archived field once, for the archive helpers.
    template <typename Self, typename Visitor>
    static void visitFields(Self& record, Visitor&& field);

    nlohmann::json toJson() const;
    // Fields that are missing or of the wrong type keep their defaults; a bad
    // formula leaves `root` empty (the sensor then reads 0).
    static Pid fromJson(const nlohmann::json& value);
};
