#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace elmsim {

using Bytes = std::vector<std::uint8_t>;

// One more ECU's trouble codes and warning lamp.
struct EcuCodes {
    std::vector<std::string> stored;
    std::vector<std::string> pending;
    std::vector<std::string> permanent;
    bool milOn = false;
};

// A service-22 identifier the car answers, and the data bytes of its reply.
struct CustomPid {
    int id = 0;  // the two PID bytes, 0xPPQQ
    Bytes data;
};

// How the car is driven while `moving` is on. `drive` is a one-minute loop of
// pulling away, cruising, braking and idling; the others are steady or scripted
// for one feature: standing at idle, cruising at 100 km/h, stop-and-go city
// traffic, an engine running hot (coolant and oil over the warning limits), a
// steady 140 km/h, standing starts at full throttle every 30 s, standing starts
// at a steady 3 m/s^2 to 200 km/h through the gears every 60 s (dragrun), and
// the laps of tools/replays/oval-three-laps.nmea.
enum class Profile { drive, idle, cruise, city, hot, speeding, drag, dragRun, lap };

// The profile by its name ("drive", "idle", ...); nullopt for any other.
std::optional<Profile> profileNamed(const std::string& name);

// What the simulated car reports, in metric units. Tests set fields directly (through
// Simulator::updateCar); with `moving` on, the values follow the profile's drive, and
// air flow and fuel rate follow from engine speed, manifold pressure and intake
// temperature (see deriveFlows), so every fuel-economy method sees one car.
struct CarState {
    bool moving = true;
    Profile profile = Profile::drive;
    double engineSize = 3.0;     // litres
    double time = 0;             // seconds of driving so far
    double rpm = 850;
    double speed = 0;            // km/h
    double coolant = 40;         // C
    double intakeTemp = 25;      // C
    double oilTemp = 38;         // C
    double ambientTemp = 20;     // C
    double maf = 3.5;            // g/s
    double map = 35;             // kPa
    double baro = 101;           // kPa
    double throttle = 15;        // %
    double load = 20;            // %
    double fuelLevel = 62;       // %
    double fuelRate = 0.9;       // L/h
    double timingAdvance = 8;    // degrees before TDC
    double refTorque = 350;      // N.m
    double runTime = 0;          // s
    double voltage = 12.6;       // V, what "AT RV" reads
    std::vector<int> missingPids;               // service-01 PIDs this car leaves out (0x5C ...)
    std::vector<std::string> storedCodes;       // "P0301"
    std::vector<std::string> pendingCodes;
    std::vector<std::string> permanentCodes;
    // The codes and lamp of the other ECUs: entry 0 is ECU 1. An ECU without an entry has none.
    std::vector<EcuCodes> otherEcus;
    // Readiness (service 01 PID 01 bytes B, C and D): monitors supported and not yet complete.
    std::uint8_t readinessB = 0x07;
    std::uint8_t readinessC = 0xE5;
    std::uint8_t readinessD = 0x00;
    // The vehicle information screen's service-01 values.
    std::uint8_t fuelSystemStatus = 0x02;  // PID 03 byte A: closed loop
    std::uint8_t secondaryAir = 0x04;      // PID 12: from outside atmosphere or off
    double distanceWithMil = 0;            // km, PID 21
    int warmUps = 12;                      // PID 30
    double distanceSinceClear = 1200;      // km, PID 31
    double minutesWithMil = 0;             // PID 4D
    double minutesSinceClear = 1500;       // PID 4E
    std::uint8_t fuelType = 0x01;          // PID 51: gasoline
    std::string vin = "1D4GP00R55B123456";
    std::string calibrationId = "NVSIM-CAL-0001";
    std::vector<std::uint32_t> calibrationVerification = {0x1791BC82};  // service 09 PID 06, one per module
    std::string ecuName = "ECM-EngineControl";                         // service 09 PID 0A, up to 20 bytes
    // A turbocharged engine: under load the manifold pressure rises by up to turboBoost above `map`.
    bool turbo = false;
    double turboBoost = 80;      // kPa at full load
    double fuelPressure = 380;   // kPa
    std::vector<CustomPid> customPids;  // service 22

    // Air flow by speed-density (volumetric efficiency 0.85, `engineSize`) and the
    // fuel rate that burns it at 14.7:1 with fuel of 740 g/L.
    void deriveFlows();
};

// The car's ECUs: service replies as message bytes, service byte first.
class Car {
public:
    const CarState& state() const { return state_; }
    // Changes the state; stored codes that appear freeze the values of that moment (service 02).
    void update(const std::function<void(CarState&)>& change);
    // Moves the values along the drive when `moving` is on.
    void advance(double seconds);
    // Service 04: stored and pending codes and the freeze frame go; permanent codes stay.
    void clearCodes();

    // The reply of ECU `ecu` (0 engine, 1.. others) to a service and its PID bytes; nullopt: no answer.
    // Service 01 answers every supported PID of a packed request; codes come as CAN lays them out.
    std::optional<Bytes> reply(int ecu, std::uint8_t service, const Bytes& pids) const;
    // The trouble codes of ECU `ecu` for service 03, 07 or 0A.
    std::vector<std::string> codes(int ecu, std::uint8_t service) const;

private:
    void followProfile();
    std::optional<Bytes> liveData(int ecu, std::uint8_t pid, const CarState& values) const;
    // A PID's value bytes, whether the car lists the PID as supported or not.
    std::optional<Bytes> valueBytes(int ecu, std::uint8_t pid, const CarState& values) const;
    std::optional<Bytes> vehicleInformation(int ecu, std::uint8_t pid) const;
    Bytes monitorStatus(int ecu) const;
    bool supports(int ecu, std::uint8_t pid) const;
    Bytes bitmap(int ecu, std::uint8_t base) const;
    void captureFreezeFrame();

    CarState state_;
    std::optional<CarState> freezeFrame_;
    std::string freezeCode_;
};

// "P0301" as its two bytes (J1979: two bits of letter, then the digits).
Bytes codeBytes(const std::string& code);

}  // namespace elmsim
