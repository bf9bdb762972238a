#pragma once

// Instantaneous fuel economy in US mpg from the adapter's inputs.
namespace fuelformulas {

// Speeds count from 0 to 255 km/h, as the speed PID can report them.
float limitedSpeed(float kmh);
// From vehicle speed and air mass flow. An air flow of 0 or less divides by 360
// instead of flow x 3600.
float mpgFromAirFlow(float kmh, float gramsPerSecond, float density, float airFuelRatio);
// Air mass flow in g/s by speed-density: rpm, manifold pressure (kPa), intake
// temperature (Celsius) and engine size (litres), at a volumetric efficiency of 0.85.
float speedDensityAirFlow(float rpm, float mapKPa, float iatCelsius, float engineLitres);
// From vehicle speed and the fuel rate in L/h; rates below 0.1 L/h count as 0.1.
float mpgFromFuelRate(float kmh, float litresPerHour);

}  // namespace fuelformulas
