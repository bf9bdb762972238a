#pragma once

#include <cstdint>

// Service-01 value decoders: pure functions from the reply's data bytes to the
// value in metric units, after SAE J1979. `a` is the first byte a sensor reads
// and `b` the next (0 for one-byte values). Each comment gives the physical range.
namespace decode {

using Decoder = float (*)(unsigned a, unsigned b);

constexpr unsigned word(unsigned a, unsigned b)
{
    return a * 256 + b;
}

// 0 to 255 (kPa, km/h, count)
constexpr float byteValue(unsigned a, unsigned)
{
    return static_cast<float>(a);
}

// 0 to 100 %
constexpr float percent(unsigned a, unsigned)
{
    return static_cast<float>(a) * 100.0f / 255.0f;
}

// -40 to 215 C
constexpr float temperature(unsigned a, unsigned)
{
    return static_cast<float>(a) - 40.0f;
}

// -100 (leaner) to 99.2 (richer) %
constexpr float fuelTrim(unsigned a, unsigned)
{
    return (static_cast<float>(a) - 128.0f) * 100.0f / 128.0f;
}

// 0 to 765 kPa
constexpr float fuelPressure(unsigned a, unsigned)
{
    return static_cast<float>(a) * 3.0f;
}

// 0 to 16383.75 rpm
constexpr float engineSpeed(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) / 4.0f;
}

// -64 to 63.5 degrees before TDC
constexpr float timingAdvance(unsigned a, unsigned)
{
    return static_cast<float>(a) / 2.0f - 64.0f;
}

// 0 to 655.35 g/s
constexpr float airFlow(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) / 100.0f;
}

// 0 to 65535 (s, km, min, N·m)
constexpr float wordValue(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b));
}

// 0 to 1.275 V
constexpr float oxygenVoltage(unsigned a, unsigned)
{
    return static_cast<float>(a) / 200.0f;
}

// 0 to 5177.265 kPa (fuel rail, relative to manifold vacuum)
constexpr float railPressureRelative(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) * 0.079f;
}

// 0 to 655350 kPa (fuel rail gauge and absolute pressure)
constexpr float railPressure(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) * 10.0f;
}

// 0 to < 2 (air-fuel equivalence ratio, lambda)
constexpr float equivalenceRatio(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) * 2.0f / 65536.0f;
}

// -8192 to 8191.75 Pa (two's complement, quarter pascals)
constexpr float vapourPressure(unsigned a, unsigned b)
{
    return static_cast<float>(static_cast<std::int16_t>(word(a, b))) / 4.0f;
}

// -32768 to 32767 Pa (two's complement)
constexpr float vapourPressureWide(unsigned a, unsigned b)
{
    return static_cast<float>(static_cast<std::int16_t>(word(a, b)));
}

// -40 to 6513.5 C (catalyst and exhaust gas)
constexpr float hotTemperature(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) / 10.0f - 40.0f;
}

// 0 to 65.535 V
constexpr float moduleVoltage(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) / 1000.0f;
}

// 0 to 25700 %
constexpr float absoluteLoad(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) * 100.0f / 255.0f;
}

// 0 to 327.675 kPa
constexpr float vapourPressureAbsolute(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) / 200.0f;
}

// -210 to 301.992 degrees
constexpr float injectionTiming(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) / 128.0f - 210.0f;
}

// 0 to 3276.75 L/h
constexpr float fuelRate(unsigned a, unsigned b)
{
    return static_cast<float>(word(a, b)) / 20.0f;
}

// -125 to 130 % of reference torque
constexpr float torquePercent(unsigned a, unsigned)
{
    return static_cast<float>(a) - 125.0f;
}

}  // namespace decode

// Metric to imperial, one function per pair of units; `same` for unit-free values.
namespace imperial {

using Conversion = float (*)(float metric);

constexpr float same(float value)
{
    return value;
}

constexpr float fahrenheit(float celsius)
{
    return celsius * 9.0f / 5.0f + 32.0f;
}

// The factor the speed readers rely on (62 / 100), not the exact 0.621371.
constexpr float milesPerHour(float kmh)
{
    return kmh * 62.0f / 100.0f;
}

constexpr float miles(float km)
{
    return km / 1.60934f;
}

constexpr float psi(float kPa)
{
    return kPa * 0.145038f;
}

// g/s to lb/min with the factor the readers rely on (132 / 1000).
constexpr float poundsPerMinute(float gramsPerSecond)
{
    return gramsPerSecond * 132.0f / 1000.0f;
}

constexpr float inchesOfWater(float pascals)
{
    return pascals * 0.00401865f;
}

constexpr float gallonsPerHour(float litresPerHour)
{
    return litresPerHour / 3.78541f;
}

constexpr float poundFeet(float newtonMetres)
{
    return newtonMetres * 0.737562f;
}

}  // namespace imperial
