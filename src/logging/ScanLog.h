#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/model/CsvAppender.h"

// The CSV file of one chart's values: Documents/<sensor name>.csv with the line
// "<name> in <unit>", then one value per line, each led by its "HH:mm:ss" stamp
// and ", " when stamps were taken. Rows reach the disk as they are recorded
// (appendNewRows), so a crash loses only what was not yet flushed.
class ScanLog {
public:
    ScanLog(const std::string& name, const std::string& units);

    const std::string& sensorName() const { return sensorName_; }
    const std::filesystem::path& filePath() const { return filePath_; }
    const std::vector<std::string>& timeArr() const { return timeArr_; }
    const std::vector<float>& dataArr() const { return dataArr_; }

    void addValue(float value) { dataArr_.push_back(value); }
    // Appends the current local time as "HH:mm:ss".
    void addTimeStamp();
    // Writes the rows recorded since the last call (the first call replaces any
    // older file and writes the header). `stamped`: rows carry time stamps, so a
    // value waits for its stamp.
    bool appendNewRows(bool stamped);
    // Replaces the file with everything recorded.
    bool saveToFile() const;

    // A value as the file shows it: up to 7 significant digits, no trailing zeros.
    static std::string valueText(float value);

private:
    std::string rowText(std::size_t row, bool stamped) const;

    std::string sensorName_;
    std::filesystem::path filePath_;
    std::vector<std::string> timeArr_;
    std::vector<float> dataArr_;
    CsvAppender appender_;
};
