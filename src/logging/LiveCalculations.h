#pragma once

// The calculated sensors of the live screens, in one place so that the shared
// calculations of the data core can take their place without touching the
// screens.
namespace livecalc {

// US miles per gallon at `speedKmh` and `airFlow` grams per second, with a
// stoichiometric petrol mixture (14.7 : 1, 6.17 lb per gallon, 454 g per lb).
// Speed counts up to 255 km/h; no air flow divides by 360 instead.
double fuelEconomyMpg(double speedKmh, double airFlow);
// Manifold pressure above barometric, both in kPa: bar (metric) or psi.
float boost(float manifoldKpa, float barometricKpa, bool metric);
// Horsepower from air flow in g/s, or from reference torque (lb·ft) and engine speed.
float horsepowerFromAirFlow(float airFlow);
float horsepowerFromTorque(float torqueLbFt, float rpm);
// Horsepower shown in kW (metric) or hp.
float horsepowerIn(float hp, bool metric);

}  // namespace livecalc
