#pragma once

#include <optional>
#include <string>
#include <vector>

struct FuelData;

// The fuel screen's trip: elapsed time, distance from the speed replies, a speed
// sample every 10 s, and the daily log entries it writes. Each save adds what
// the trip drove since its previous save to the day it is saved on, so a second
// trip on the same day adds to that day and a trip across midnight counts each
// part in its own day.
class FuelTrip {
public:
    static constexpr int sampleInterval = 10;  // seconds between speed samples
    static constexpr std::size_t searchedDays = 200;

    // One second at `kmh`; true when a speed sample was taken.
    bool tick(float kmh);
    // Time and distance that the other live screens gathered.
    void addBackground(float seconds, float km);
    void reset();

    float ticks() const { return ticks_; }
    float distance() const { return distance_; }
    const std::vector<float>& speedArr() const { return speedArr_; }
    float meanSpeed() const;
    // "HH:MM:SS" of the elapsed time.
    std::string timeText() const;

    // Fuel used over `km` at the trip average `average` (display unit of
    // `mode`): US gallons in the mpg units, litres in the metric ones; nothing
    // when there is no finite figure (no average yet).
    static std::optional<float> fuelUsed(float km, float average, int mode);
    // CO2 of that fuel: pounds in the mpg units, kilograms in the metric ones.
    static float co2(float fuel, int mode);

    // Adds the trip's part since the last save to the entry of `day`. `tripMpg`
    // is the trip average in US mpg; `fuelCost` the price per US gallon (modes 0
    // and 3) or per litre (modes 1 and 2). Nothing is written, and false
    // returned, without a positive economy.
    bool saveDay(FuelData& log, const std::string& day, float tripMpg, float fuelCost, int mode);

private:
    float ticks_ = 0;
    float distance_ = 0;  // km
    std::vector<float> speedArr_;
    float loggedMiles_ = 0;
    float loggedGallons_ = 0;
};
