#include "elmsim/lib/Car.h"

#include "elmsim/lib/ExtraData.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <utility>

namespace elmsim {

namespace {

constexpr std::uint8_t kEngineOnlyPids[] = {0x03, 0x04, 0x05, 0x06, 0x07, 0x0B, 0x0C, 0x0E, 0x0F, 0x10, 0x11, 0x12,
                                            0x1F, 0x21, 0x2F, 0x30, 0x31, 0x33, 0x42, 0x46, 0x4D, 0x4E, 0x51, 0x5C,
                                            0x5E, 0x63};
// The freeze frame holds these, engine load to throttle position.
constexpr std::uint8_t kFirstFreezePid = 0x04;
constexpr std::uint8_t kLastFreezePid = 0x11;
// Every ECU of the car answers these.
constexpr std::uint8_t kCommonPids[] = {0x01, 0x0D, 0x1C};

std::uint8_t byteOf(double value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

void appendWord(Bytes& out, double value)
{
    const auto word = static_cast<std::uint16_t>(std::clamp(std::lround(value), 0L, 65535L));
    out.push_back(static_cast<std::uint8_t>(word >> 8));
    out.push_back(static_cast<std::uint8_t>(word & 0xFF));
}

// At least `size` bytes: shorter texts are padded with zeros.
Bytes textBytes(const std::string& text, std::size_t size)
{
    Bytes bytes(text.begin(), text.end());
    bytes.resize(std::max(size, bytes.size()), 0);
    return bytes;
}

}  // namespace

Bytes codeBytes(const std::string& code)
{
    static const std::string kLetters = "PCBU";
    if (code.size() != 5)
        return {0, 0};
    const auto letter = kLetters.find(code[0]);
    const auto digit = [&](std::size_t i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(code[i])));
        return c >= '0' && c <= '9' ? c - '0' : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0);
    };
    const int first = (static_cast<int>(letter == std::string::npos ? 0 : letter) << 6) | (digit(1) << 4) | digit(2);
    return {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>((digit(3) << 4) | digit(4))};
}

void Car::update(const std::function<void(CarState&)>& change)
{
    change(state_);
    // A moving car is at once where its profile has it, with flows that match.
    if (state_.moving) {
        followProfile();
        state_.deriveFlows();
    }
    captureFreezeFrame();
}

std::optional<Profile> profileNamed(const std::string& name)
{
    static const std::pair<const char*, Profile> names[] = {
        {"drive", Profile::drive}, {"idle", Profile::idle},         {"cruise", Profile::cruise},
        {"city", Profile::city},   {"hot", Profile::hot},           {"speeding", Profile::speeding},
        {"drag", Profile::drag},   {"dragrun", Profile::dragRun}, {"lap", Profile::lap}};
    for (const auto& [text, profile] : names) {
        if (name == text)
            return profile;
    }
    return std::nullopt;
}

void CarState::deriveFlows()
{
    constexpr double volumetricEfficiency = 0.85;
    constexpr double airMolarMass = 28.97;  // g/mol
    constexpr double gasConstant = 8.314;   // J/(mol K)
    constexpr double airFuelRatio = 14.7;
    constexpr double fuelDensity = 740;     // g/L
    // Intake strokes per second times the air each one takes in.
    maf = rpm * map / (intakeTemp + 273.15) / 120.0 * volumetricEfficiency * engineSize * airMolarMass / gasConstant;
    fuelRate = maf * 3600 / airFuelRatio / fuelDensity;
}

void Car::advance(double seconds)
{
    if (!state_.moving || seconds <= 0)
        return;
    CarState& s = state_;
    s.time += seconds;
    s.runTime += seconds;
    followProfile();
    s.deriveFlows();
    const bool hot = s.profile == Profile::hot;
    s.coolant = std::min(hot ? 120.0 : 90.0, s.coolant + (hot ? 2.0 : 0.5) * seconds);
    s.oilTemp = std::min(hot ? 130.0 : 105.0, s.oilTemp + (hot ? 2.0 : 0.4) * seconds);
    s.fuelLevel = std::max(0.0, s.fuelLevel - 0.002 * seconds);
    captureFreezeFrame();
}

// Road speed, throttle and the engine's state at the profile's moment `time`.
void Car::followProfile()
{
    CarState& s = state_;
    // How hard the engine works, 0 idling to 1 at full throttle, and the road speed.
    double effort = 0;
    switch (s.profile) {
    case Profile::drive: {
        // A one-minute loop: pull away, cruise, brake, idle.
        const double phase = std::fmod(s.time, 60.0) / 60.0;
        const double drive = std::max(0.0, std::sin(phase * 2 * std::numbers::pi));
        s.speed = 110 * drive;
        s.throttle = 12 + 60 * drive;
        s.load = 18 + 55 * drive;
        s.rpm = 800 + 2600 * drive + 40 * std::sin(s.time * 3);
        s.map = 32 + 60 * drive;
        s.timingAdvance = 6 + 20 * drive;
        return;
    }
    case Profile::hot: {
        // A one-minute loop: pull away, cruise, brake, idle.
        const double phase = std::fmod(s.time, 60.0) / 60.0;
        effort = std::max(0.0, std::sin(phase * 2 * std::numbers::pi));
        s.speed = 110 * effort;
        break;
    }
    case Profile::idle:
        s.speed = 0;
        break;
    case Profile::cruise:
        effort = 0.35;
        s.speed = 100;
        break;
    case Profile::speeding:
        effort = 0.55;
        s.speed = 140;
        break;
    case Profile::city: {
        // 40 s between lights: 10 s pulling away to 50 km/h, 15 s rolling, 7 s braking, 8 s waiting.
        const double t = std::fmod(s.time, 40.0);
        if (t < 10) {
            s.speed = 5 * t;
            effort = 0.6;
        } else if (t < 25) {
            s.speed = 50;
            effort = 0.25;
        } else if (t < 32) {
            s.speed = 50 * (32 - t) / 7;
        } else {
            s.speed = 0;
        }
        break;
    }
    case Profile::drag: {
        // A standing start every 30 s: full throttle for 15 s, then coasting to a stop.
        const double t = std::fmod(s.time, 30.0);
        if (t < 15) {
            s.speed = 230 * (1 - std::exp(-t / 8));
            effort = 1;
        } else {
            const double top = 230 * (1 - std::exp(-15.0 / 8));
            s.speed = std::max(0.0, top * (1 - (t - 15) / 12));
        }
        break;
    }
    case Profile::dragRun: {
        // Every 60 s: 5 s standing, then a steady 3 m/s^2 to 200 km/h (18.5 s)
        // through the gears, shifting up at 6500 rpm, then coasting to a stop.
        const double t = std::fmod(s.time, 60.0);
        constexpr double top = 200;
        constexpr double kmhPerSecond = 3 * 3.6;
        const double accelerating = t - 5;
        const double reached = top / kmhPerSecond;
        if (t < 5) {
            s.speed = 0;
        } else if (accelerating < reached) {
            s.speed = kmhPerSecond * accelerating;
            effort = 1;
        } else {
            s.speed = std::max(0.0, top * (1 - (accelerating - reached) / 30));
        }
        if (s.speed > 0) {
            // The default gearbox ratios (km/h per rpm): the lowest gear below the shift point.
            static constexpr double ratios[] = {0.008, 0.014, 0.021, 0.028, 0.032, 0.04};
            double rpm = s.speed / ratios[5];
            for (const double ratio : ratios) {
                if (s.speed / ratio < 6500) {
                    rpm = s.speed / ratio;
                    break;
                }
            }
            s.rpm = std::max(800.0, rpm);
        } else {
            s.rpm = 800;
        }
        s.throttle = 12 + 80 * effort;
        s.load = 18 + 75 * effort;
        s.map = 30 + 65 * effort;
        s.timingAdvance = 6 + 20 * effort;
        return;
    }
    case Profile::lap:
        // tools/replays/oval-three-laps.nmea: 20 s on the start line, then about 79 km/h
        // round the oval until the replay ends (203 s).
        s.speed = s.time < 20 || s.time > 203 ? 0 : 79;
        effort = s.speed > 0 ? 0.4 : 0;
        break;
    }
    s.throttle = 12 + 80 * effort;
    s.load = 18 + 75 * effort;
    s.rpm = 800 + std::min(5200.0, 2600 * effort + 12 * s.speed) + 40 * std::sin(s.time * 3);
    s.map = 30 + 65 * effort;
    s.timingAdvance = 6 + 20 * effort;
}

void Car::clearCodes()
{
    state_.storedCodes.clear();
    state_.pendingCodes.clear();
    freezeFrame_.reset();
    freezeCode_.clear();
}

void Car::captureFreezeFrame()
{
    if (state_.storedCodes.empty()) {
        freezeFrame_.reset();
        freezeCode_.clear();
    } else if (!freezeFrame_) {
        freezeFrame_ = state_;
        freezeCode_ = state_.storedCodes.front();
    }
}

std::vector<std::string> Car::codes(int ecu, std::uint8_t service) const
{
    if (ecu > 0) {
        if (static_cast<std::size_t>(ecu) > state_.otherEcus.size())
            return {};
        const EcuCodes& other = state_.otherEcus[static_cast<std::size_t>(ecu) - 1];
        return service == 0x07 ? other.pending : service == 0x0A ? other.permanent : other.stored;
    }
    if (service == 0x07)
        return state_.pendingCodes;
    if (service == 0x0A)
        return state_.permanentCodes;
    return state_.storedCodes;
}

// A: the lamp and the count of stored codes; B, C, D: the readiness monitors.
Bytes Car::monitorStatus(int ecu) const
{
    const auto count = static_cast<std::uint8_t>(std::min<std::size_t>(codes(ecu, 0x03).size(), 0x7F));
    bool lamp = count > 0;
    if (ecu > 0)
        lamp = static_cast<std::size_t>(ecu) <= state_.otherEcus.size() && state_.otherEcus[ecu - 1].milOn;
    return {static_cast<std::uint8_t>((lamp ? 0x80 : 0) | count), state_.readinessB, state_.readinessC,
            state_.readinessD};
}

bool Car::supports(int ecu, std::uint8_t pid) const
{
    if (std::find(state_.missingPids.begin(), state_.missingPids.end(), pid) != state_.missingPids.end())
        return false;
    if (std::find(std::begin(kCommonPids), std::end(kCommonPids), pid) != std::end(kCommonPids))
        return true;
    return ecu == 0 && (std::find(std::begin(kEngineOnlyPids), std::end(kEngineOnlyPids), pid) != std::end(kEngineOnlyPids) ||
                        isExtraPid(pid));
}

// Bit 7 of the first byte is PID base+1; the last bit says whether the next bitmap exists.
Bytes Car::bitmap(int ecu, std::uint8_t base) const
{
    Bytes bits(4, 0);
    for (int pid = base + 1; pid <= base + 0x20 && pid <= 0xFF; ++pid) {
        bool on = supports(ecu, static_cast<std::uint8_t>(pid));
        if (pid == base + 0x20) {
            on = false;
            for (int later = pid + 1; later <= 0xFF; ++later)
                on = on || supports(ecu, static_cast<std::uint8_t>(later));
        }
        if (on) {
            const int bit = pid - base - 1;
            bits[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
        }
    }
    return bits;
}

std::optional<Bytes> Car::liveData(int ecu, std::uint8_t pid, const CarState& v) const
{
    if (pid % 0x20 == 0) {
        if (pid > 0 && !(bitmap(ecu, static_cast<std::uint8_t>(pid - 0x20))[3] & 0x01))
            return std::nullopt;
        return bitmap(ecu, pid);
    }
    if (!supports(ecu, pid))
        return std::nullopt;
    return valueBytes(ecu, pid, v);
}

std::optional<Bytes> Car::valueBytes(int ecu, std::uint8_t pid, const CarState& v) const
{
    Bytes out;
    switch (pid) {
    case 0x01: return monitorStatus(ecu);
    case 0x03: return Bytes{v.fuelSystemStatus, 0x00};
    case 0x04: return Bytes{byteOf(v.load * 255 / 100)};
    case 0x05: return Bytes{byteOf(v.coolant + 40)};
    case 0x06:
    case 0x07:
    case 0x08:
    case 0x09: return Bytes{0x80};
    case 0x0A: return Bytes{byteOf(v.fuelPressure / 3)};
    case 0x0B: return Bytes{byteOf(manifoldPressure(v))};
    case 0x0C: appendWord(out, v.rpm * 4); return out;
    case 0x0D: return Bytes{byteOf(v.speed)};
    case 0x0E: return Bytes{byteOf((v.timingAdvance + 64) * 2)};
    case 0x0F: return Bytes{byteOf(v.intakeTemp + 40)};
    case 0x10: appendWord(out, v.maf * 100); return out;
    case 0x11: return Bytes{byteOf(v.throttle * 255 / 100)};
    case 0x12: return Bytes{v.secondaryAir};
    case 0x1C: return Bytes{0x01};
    case 0x1F: appendWord(out, v.runTime); return out;
    case 0x21: appendWord(out, v.distanceWithMil); return out;
    case 0x2F: return Bytes{byteOf(v.fuelLevel * 255 / 100)};
    case 0x30: return Bytes{byteOf(v.warmUps)};
    case 0x31: appendWord(out, v.distanceSinceClear + v.time / 60); return out;
    case 0x33: return Bytes{byteOf(v.baro)};
    case 0x42: appendWord(out, v.voltage * 1000); return out;
    case 0x46: return Bytes{byteOf(v.ambientTemp + 40)};
    case 0x4D: appendWord(out, v.minutesWithMil); return out;
    case 0x4E: appendWord(out, v.minutesSinceClear); return out;
    case 0x51: return Bytes{v.fuelType};
    case 0x5C: return Bytes{byteOf(v.oilTemp + 40)};
    case 0x5E: appendWord(out, v.fuelRate * 20); return out;
    case 0x63: appendWord(out, v.refTorque); return out;
    default: return extraLiveData(pid, v);
    }
}

std::optional<Bytes> Car::reply(int ecu, std::uint8_t service, const Bytes& pids) const
{
    const auto responseService = static_cast<std::uint8_t>(service + 0x40);
    switch (service) {
    case 0x01: {
        Bytes out{responseService};
        for (const std::uint8_t pid : pids) {
            if (auto data = liveData(ecu, pid, state_)) {
                out.push_back(pid);
                out.insert(out.end(), data->begin(), data->end());
            }
        }
        return out.size() > 1 ? std::optional(out) : std::nullopt;
    }
    case 0x02: {
        // Frame 00 only: the code that stored it (PID 02) and the values of that moment.
        if (ecu != 0 || !freezeFrame_ || pids.empty() || (pids.size() > 1 && pids[1] != 0x00))
            return std::nullopt;
        Bytes out{responseService, pids[0], 0x00};
        if (pids[0] == 0x02) {
            const Bytes code = codeBytes(freezeCode_);
            out.insert(out.end(), code.begin(), code.end());
            return out;
        }
        if (pids[0] < kFirstFreezePid || pids[0] > kLastFreezePid)
            return std::nullopt;
        const auto data = valueBytes(ecu, pids[0], *freezeFrame_);
        if (!data)
            return std::nullopt;
        out.insert(out.end(), data->begin(), data->end());
        return out;
    }
    case 0x03:
    case 0x07:
    case 0x0A: {
        const auto list = codes(ecu, service);
        if (ecu > 0 && static_cast<std::size_t>(ecu) > state_.otherEcus.size())
            return Bytes{responseService, 0x00};
        Bytes out{responseService, static_cast<std::uint8_t>(list.size())};
        for (const auto& code : list) {
            const Bytes bytes = codeBytes(code);
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
        return out;
    }
    case 0x04:
        return ecu == 0 ? std::optional(Bytes{responseService}) : std::nullopt;
    case 0x09:
        if (pids.empty())
            return std::nullopt;
        return vehicleInformation(ecu, pids[0]);
    case 0x22:
        return ecu == 0 ? readByIdentifier(state_, pids) : std::nullopt;
    default:
        return std::nullopt;
    }
}

// Service 09 as CAN lays it out: the even PIDs carry a count of data items before their data.
std::optional<Bytes> Car::vehicleInformation(int ecu, std::uint8_t pid) const
{
    if (ecu != 0)
        return std::nullopt;
    Bytes out{0x49, pid};
    switch (pid) {
    case 0x00: {
        const Bytes supported{0x54, 0x40, 0x00, 0x00};  // PIDs 02, 04, 06 and 0A
        out.insert(out.end(), supported.begin(), supported.end());
        return out;
    }
    case 0x02:
        out.push_back(0x01);
        for (const std::uint8_t byte : textBytes(state_.vin, 17))
            out.push_back(byte);
        return out;
    case 0x04:
        out.push_back(0x01);
        for (const std::uint8_t byte : textBytes(state_.calibrationId, 16))
            out.push_back(byte);
        return out;
    case 0x06:
        out.push_back(static_cast<std::uint8_t>(state_.calibrationVerification.size()));
        for (const std::uint32_t cvn : state_.calibrationVerification) {
            for (int shift = 24; shift >= 0; shift -= 8)
                out.push_back(static_cast<std::uint8_t>(cvn >> shift));
        }
        return out;
    case 0x0A:
        out.push_back(0x01);
        for (const std::uint8_t byte : textBytes(state_.ecuName, 20))
            out.push_back(byte);
        return out;
    default:
        return std::nullopt;
    }
}

}  // namespace elmsim
