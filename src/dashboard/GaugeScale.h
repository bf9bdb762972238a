#pragma once

#include <string>
#include <vector>

// The numbers on a gauge's dial and the text of its digital readout.
struct GaugeScale {
    // Label positions as fractions 0..1 of the range, first and last included,
    // with their texts.
    std::vector<float> fractions;
    std::vector<std::string> texts;
    // Ranges reaching 2000 and more are labelled in thousands ("x1000").
    bool thousands = false;

    // The range is divided into a round number of round steps when it allows
    // (0-8000 into 1000s, 0-100 into 20s, 0-2 into 0.5s), else into sixths.
    static GaugeScale forRange(float min, float max);
};

// A reading as the tile's readout shows it: two decimals for ranges up to 5,
// one up to 20, whole numbers above; "--" for no reading (NaN or infinite).
std::string gaugeReadoutText(float value, float max);
