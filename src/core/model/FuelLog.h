#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The fuel-economy export "Fuel_eco_DATA.csv" in the Documents folder: a header
// line, then one line per day with its label (quoted, as day keys hold a comma)
// and the day's numbers.
class FuelLog {
public:
    // `labels` is the first column (one entry per row); each of `columns` holds
    // one number per row.
    FuelLog(std::vector<std::string> labels, std::vector<std::vector<float>> columns, std::string header);

    const std::filesystem::path& filePath() const { return filePath_; }
    // Replaces the file; false (and logged) when it cannot be written. A column
    // shorter than the labels leaves its cells of the missing rows empty.
    bool saveToFile() const;

private:
    std::vector<std::string> labels_;
    std::vector<std::vector<float>> columns_;
    std::string header_;
    std::filesystem::path filePath_;
};
