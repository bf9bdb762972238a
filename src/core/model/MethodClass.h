#pragma once

// Fuel-economy unit conversions by Settings.fuelUnitsMode (0 US mpg, 1 km/L,
// 2 L/100 km, 3 Imperial mpg) and CO2 by Settings.fuelType, read from the shared
// Manager at each call.
class MethodClass {
public:
    static float convertFromMPG(float mpg);     // US mpg to the current unit
    static float convertFromMPG(float mpg, int unitsMode); // US mpg to the unit given
    static float convertToMPG(float value);     // the current unit to US mpg
    static float convertToMiles(float value);   // km to miles in units 1 and 2
    static float convertFromMiles(float miles); // miles to km in units 1 and 2
    static float convertGallons(float gallons); // US gallons to litres in units 1 and 2
    static float convertFuelToCO2(float litres); // kilograms of CO2
};
