#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/model/CsvAppender.h"

// The CSV log of several sensors at once, written to Documents/<title>.csv: a
// title line, a header of names and units, then one row per value of the first
// sensor, optionally led by its time stamp.
class MultiLog {
public:
    MultiLog(std::vector<std::string> names, std::vector<std::string> units, const std::string& title);

    // One list of value texts per sensor, in the order of the names; the caller appends.
    std::vector<std::vector<std::string>>& sensorValArray() { return sensorValArray_; }
    const std::vector<std::string>& timeStampArr() const { return timeStampArr_; }
    const std::filesystem::path& filePath() const { return filePath_; }

    // Appends the current time as "HH:mm:ss".
    void addTimeStamp();
    // Replaces the file; false (and logged) when it cannot be written.
    bool saveToFile() const;
    // While recording: the first call starts the file with its title and header,
    // later calls append the rows below `rows` not yet written, so a crash
    // keeps what was recorded. saveToFile() at the end writes the whole file.
    bool appendNewRows(std::size_t rows);

private:
    std::string headerText() const;
    std::size_t rowCount() const;
    std::string rowText(std::size_t row) const;

    std::vector<std::string> names_;
    std::vector<std::string> units_;
    std::vector<std::vector<std::string>> sensorValArray_;
    std::vector<std::string> timeStampArr_;
    std::filesystem::path filePath_;
    CsvAppender appender_;
};
