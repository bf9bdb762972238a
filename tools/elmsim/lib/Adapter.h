#pragma once

#include <deque>
#include <optional>
#include <string>

#include "elmsim/lib/Car.h"

namespace elmsim {

// Faults the adapter can be told to show on its next OBD requests.
enum class Fault {
    None,             // a normal reply
    Drop,             // closes the connection instead of answering
    Garbage,          // binary noise, then the prompt
    Stall,            // half a reply and no prompt; the next byte received stops it ("STOPPED")
    StrayBytes,       // the reply, with stray bytes before the prompt
    BusInit,          // "BUS INIT: ...OK" ahead of the reply
    Stopped,          // "STOPPED"
    CanError,         // "CAN ERROR"
    BufferFull,       // the reply, then "BUFFER FULL"
    UnableToConnect,  // "UNABLE TO CONNECT"
    LvReset,          // "LV RESET": the adapter restarts with its default settings
    NoData,           // "NO DATA"
    Unknown,          // "?"
    Refused,          // a negative response "7F <service> 22" (conditions not correct)
    NotSupported,     // a negative response "7F <service> 11" (service not supported)
    ResponsePending,  // "7F <service> 78" (response pending), then the prompt without the answer
    BadHex,           // the reply with a digit that is not hexadecimal in its first line
    LyingLength,      // the reply's first frame says it carries one byte more than it does
    LostFrame,        // the last frame of a multi-frame reply is missing
    OddBytes,         // the reply's last byte is missing
};

// What the adapter writes back for one request.
struct Output {
    std::string text;
    bool drop = false;   // close the connection instead
    bool stall = false;  // the reply never ends: no prompt
};

// Settings that a real adapter or car would fix, chosen by the test.
struct AdapterOptions {
    int carProtocol = 6;                      // the car's protocol (ELM numbers 1-9)
    int ecuCount = 1;                         // ECUs answering (engine first)
    bool packedRequests = true;               // the car answers several service-01 PIDs in one CAN request
    std::string identification = "ELM327 v1.5";
    std::optional<std::string> lineEnd;       // "\r\n" or "\r" whatever AT L says
    std::optional<bool> spaces;               // spaces on or off whatever AT S says
    std::optional<bool> echo;                 // echo on or off whatever AT E says
};

// The ELM327 command interpreter: AT commands and OBD requests answered from the car.
class Adapter {
public:
    Car& car() { return car_; }
    AdapterOptions& options() { return options_; }

    // One request as received, without its carriage return.
    Output handle(const std::string& request);
    // The adapter's reply when a byte arrives while it is busy.
    std::string interruption() const;

    // times < 0: until cleared. With a request ("07", "04") only that request is hit.
    void injectFault(Fault fault, int times, const std::string& request = {});
    void clearFaults();

private:
    struct ProtocolSetting {
        int number = 0;        // 0: automatic
        bool automatic = true;
    };

    std::string at(const std::string& command);
    std::string obd(const std::string& request, Fault fault, bool& stall);
    void reset();
    std::string lineEnd() const;
    bool spaces() const;
    std::string finish(const std::vector<std::string>& lines) const;
    // lengthLie is added to the length the first frame announces.
    std::vector<std::string> frameLines(int ecu, const Bytes& message, int lengthLie = 0) const;
    std::optional<Fault> takeFault(const std::string& request);

    Car car_;
    AdapterOptions options_;
    struct PendingFault {
        Fault fault;
        int times;
        std::string request;  // empty: any OBD request
    };
    std::deque<PendingFault> faults_;
    std::string lastRequest_;
    bool echo_ = true;
    bool linefeeds_ = true;
    bool spaces_ = true;
    bool headers_ = false;
    ProtocolSetting setting_;
    int current_ = 0;  // the protocol found; 0 until the next request searches
};

}  // namespace elmsim
