#pragma once

#include <cstdint>
#include <string>

// One request to the adapter. A `pid` of 255 is a service alone ("03"); a `pid2` of 0 means the request
// has no second PID byte. `commandString` is the request text as it goes to the adapter (ASCII); the link
// ends it with a carriage return unless it already ends with one.
struct Command {
    std::uint8_t mode = 0;
    std::uint8_t pid = 255;
    std::uint8_t pid2 = 0;
    int index = 0;               // a custom PID's entry in UserData.pids
    int priority = 1;            // 1 fast, 2 normal, 3 slow
    bool isVoltageCommand = false;
    std::string commandString;

    bool operator==(const Command&) const = default;
};

// A request typed or built as text: the text with a carriage return appended, unchecked.
struct ELMCommand : Command {
    explicit ELMCommand(const std::string& text);
};
