#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <string>

#include "core/model/CsvAppender.h"

// The CSV file of one chart's values: Documents/<sensor name>.csv with the line
// "<name> in <unit>", then one value per line, each led by its "HH:mm:ss" stamp
// and ", " when stamps were taken. Rows reach the disk as they are recorded
// (appendNewRows) and are then forgotten, so a long recording holds only the
// rows not yet written.
class ScanLog {
public:
    // The file is named after the sensor, or `fileName` when given.
    ScanLog(const std::string& name, const std::string& units, const std::string& fileName = {});

    const std::string& sensorName() const { return sensorName_; }
    const std::filesystem::path& filePath() const { return filePath_; }

    void addValue(float value);
    // Appends the current local time as "HH:mm:ss".
    void addTimeStamp();
    // Writes the rows recorded since the last call (the first call replaces any
    // older file and writes the header). `stamped`: rows carry time stamps, so a
    // value waits for its stamp. False when the file cannot be written: the rows
    // wait for the next call, the oldest giving way past CsvAppender::maxPendingRows.
    bool appendNewRows(bool stamped);
    // Writes every row not yet on disk; false when the file is not complete.
    bool saveToFile();
    // Values held in memory, waiting to be written.
    std::size_t pendingRows() const { return dataArr_.size(); }
    // Values given up because the file could not be written.
    std::size_t lostRows() const { return lostRows_; }

    // A value as the file shows it: up to 7 significant digits, no trailing zeros.
    static std::string valueText(float value);

private:
    void dropOverflow();

    std::string sensorName_;
    std::filesystem::path filePath_;
    std::deque<std::string> timeArr_;
    std::deque<float> dataArr_;
    bool stamped_ = false;
    std::size_t lostRows_ = 0;
    CsvAppender appender_;
};
