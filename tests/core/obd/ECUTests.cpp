#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "core/obd/ECU.h"
#include "core/obd/PidLengths.h"

namespace {

constexpr int metric = 1;
constexpr int imperial = 0;

struct DecodeCase {
    const char* name;
    int sensorIndex;
    int pid;
    std::vector<std::uint8_t> data;
    int unitMode;
    float expected;
};

float decoded(const DecodeCase& c)
{
    Response response;
    response.mode = 0x41;
    response.pid = static_cast<std::uint8_t>(c.pid);
    response.data = c.data;
    ECU ecu;
    ecu.setUnitMode(c.unitMode);
    ecu.setResponse(response);
    return ecu.calculate(c.sensorIndex, c.pid);
}

TEST(ECU, ValuesTheScreensRelyOnByPid)
{
    const DecodeCase cases[] = {
        {"speed km/h", -1, 0x0D, {100}, metric, 100},
        {"speed mph is x62/100", -1, 0x0D, {100}, imperial, 62},
        {"engine speed", -1, 0x0C, {0x1A, 0xF8}, metric, 1726},
        {"engine speed has no imperial form", -1, 0x0C, {0x1A, 0xF8}, imperial, 1726},
        {"air flow g/s", -1, 0x10, {0x01, 0xF4}, metric, 5},
        {"air flow x132/1000", -1, 0x10, {0x01, 0xF4}, imperial, 0.66f},
        {"manifold pressure kPa", -1, 0x0B, {101}, metric, 101},
        {"manifold pressure stays kPa", -1, 0x0B, {101}, imperial, 101},
        {"barometric pressure stays kPa", -1, 0x33, {99}, imperial, 99},
        {"coolant C", -1, 0x05, {130}, metric, 90},
        {"coolant F", -1, 0x05, {130}, imperial, 194},
        {"coolant floor", -1, 0x05, {0}, imperial, -40},
        {"intake air", -1, 0x0F, {65}, metric, 25},
        {"oil temperature F", -1, 0x5C, {152}, imperial, 233.6f},
        {"reference torque N·m", -1, 0x63, {0x01, 0x2C}, metric, 300},
        {"reference torque lb·ft", -1, 0x63, {0x01, 0x2C}, imperial, 300 * 0.737562f},
        {"fuel level", -1, 0x2F, {255}, metric, 100},
        {"fuel rate L/h", -1, 0x5E, {0x01, 0x90}, metric, 20},
        {"load", -1, 0x04, {51}, metric, 20},
        {"fuel trim lean end", -1, 0x06, {0}, metric, -100},
        {"fuel trim centre", -1, 0x09, {128}, metric, 0},
        {"fuel pressure", -1, 0x0A, {100}, metric, 300},
        {"timing advance", -1, 0x0E, {100}, metric, -14},
        {"throttle", -1, 0x11, {255}, metric, 100},
        {"run time", -1, 0x1F, {0x01, 0x02}, metric, 258},
        {"distance with MIL", -1, 0x21, {0x01, 0x02}, metric, 258},
        {"warm-ups", -1, 0x30, {7}, metric, 7},
        {"distance since clear", -1, 0x31, {0x10, 0x00}, metric, 4096},
        {"time with MIL", -1, 0x4D, {0x00, 0x3C}, metric, 60},
        {"time since clear", -1, 0x4E, {0x00, 0x3C}, metric, 60},
        {"vapour pressure is signed", -1, 0x32, {0xFF, 0xFC}, metric, -1},
        {"first value of a multi-value PID", -1, 0x14, {0x80, 0x40}, metric, 0.64f},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(decoded(c), c.expected, 1e-3f) << c.name;
}

TEST(ECU, SensorRowsUseTheirOwnBytesAndUnits)
{
    const DecodeCase cases[] = {
        {"oxygen voltage", 14, 0x14, {0x80, 0x40}, metric, 0.64f},
        {"oxygen trim reads byte B", 15, 0x14, {0x80, 0x40}, metric, -50},
        {"manifold pressure in psi by its row", 7, 0x0B, {100}, imperial, 14.5038f},
        {"speed row", 9, 0x0D, {50}, imperial, 31},
        {"distance row in miles", 24, 0x21, {0x00, 0xA1}, imperial, 100.04f},
        {"coolant sensor 1 reads byte B", 84, 0x67, {0x01, 130}, metric, 90},
        {"exhaust bank 1 sensor 2 reads D and E", 88, 0x78, {0x0F, 0x1F, 0x40, 0x0F, 0xA0}, metric, 360},
        {"exhaust bank 2 sensor 4 reads H and I", 94, 0x79, {0x0F, 0, 0, 0, 0, 0, 0, 0x1F, 0x40}, imperial, 1400},
        {"catalyst temperature", 51, 0x3C, {0x0F, 0xA0}, metric, 360},
        {"rail gauge pressure", 26, 0x23, {0x00, 0x64}, metric, 1000},
        {"module voltage", 55, 0x42, {0x31, 0x24}, metric, 12.58f},
        {"injection timing", 79, 0x5D, {0x69, 0x00}, metric, 0},
        {"actual torque percent", 82, 0x62, {225}, metric, 100},
        {"lambda", 57, 0x44, {0x80, 0x00}, metric, 1},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(decoded(c), c.expected, 1e-2f) << c.name;
}

TEST(ECU, WithoutAFormulaOrTheBytesTheValueIsZero)
{
    const DecodeCase cases[] = {
        {"fuel system status", -1, 0x03, {0x02, 0x00}, metric, 0},
        {"secondary air status", -1, 0x12, {0x04}, metric, 0},
        {"fuel type", -1, 0x51, {0x01}, metric, 0},
        {"supported PIDs", -1, 0x00, {0xBE, 0x1F, 0xA8, 0x13}, metric, 0},
        {"calculated sensor", 95, 0x0D, {100}, metric, 0},
        {"gear", 100, 0x0D, {100}, metric, 0},
        {"custom sensor", 101, 0x0D, {100}, metric, 0},
        {"negative index", -2, 0x0D, {100}, metric, 0},
        {"no bytes", -1, 0x0D, {}, metric, 0},
        {"one byte of two", -1, 0x0C, {0x1A}, metric, 0},
        {"trim needs byte B", 15, 0x14, {0x80}, metric, 0},
        {"exhaust sensor 4 needs H and I", 90, 0x78, {0x0F, 1, 2, 3, 4, 5, 6, 7}, metric, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decoded(c), c.expected) << c.name;
}

}  // namespace

namespace {

Response reply(std::uint8_t mode, std::uint8_t pid, std::vector<std::uint8_t> data)
{
    Response response;
    response.mode = mode;
    response.pid = pid;
    response.data = std::move(data);
    return response;
}

// Before any formula runs, a reply must carry exactly its PID's bytes: too few would decode as zero or
// garbage, too many would read padding.
TEST(PidLength, RepliesFitTheirPidOrAreNotDecoded)
{
    EXPECT_TRUE(fitsPidLength(reply(0x41, 0x0D, {0x32})));
    EXPECT_FALSE(fitsPidLength(reply(0x41, 0x0D, {})));
    EXPECT_FALSE(fitsPidLength(reply(0x41, 0x0C, {0x1A})));
    EXPECT_FALSE(fitsPidLength(reply(0x41, 0x0C, {0x1A, 0xF8, 0x55})));
    EXPECT_TRUE(fitsPidLength(reply(0x42, 0x0C, {0x00, 0x1A, 0xF8})));  // the frame number first
    EXPECT_FALSE(fitsPidLength(reply(0x42, 0x0C, {0x1A, 0xF8})));
    EXPECT_TRUE(fitsPidLength(reply(0x41, 0xA6, {1, 2, 3})));  // a PID of unknown length
    EXPECT_TRUE(fitsPidLength(reply(0x62, 0x0C, {1})));       // another service
}

}  // namespace
