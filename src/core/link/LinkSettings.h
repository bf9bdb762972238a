#pragma once

#include <string>

// Where the Wi-Fi adapter is reached.
struct AdapterAddress {
    std::string host;
    unsigned port = 0;

    bool operator==(const AdapterAddress&) const = default;
};

// What the link needs to know of the user's settings, handed to it as a value (Manager builds it from
// Settings and hands it over again whenever they change). The defaults are the first-run settings.
struct LinkSettings {
    AdapterAddress adapter{"192.168.0.10", 35000};
    int protocol = 0;                // ELM327 protocol number: 0 automatic, 1-12 a fixed one
    bool fastPolling = false;        // requests end in "1": the adapter answers without waiting out its timeout
    bool multiMessageCAN = false;    // several service-01 PIDs per request on CAN cars that answer them
    bool speedWarning = false;       // the status requests ask for the speed
    bool temperatureWarning = false; // ... and for the coolant and oil temperatures

    bool operator==(const LinkSettings&) const = default;
};
