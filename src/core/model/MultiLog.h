#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "core/model/CsvAppender.h"

// The CSV log of several sensors at once, written to Documents/<title>.csv: a
// title line, a header of names and units, then one row per value of the first
// sensor, optionally led by its time stamp. Rows reach the disk as they are
// recorded (appendNewRows) and are then forgotten, so a long recording holds
// only the rows not yet written.
class MultiLog {
public:
    // `timeStamps`: rows will carry stamps, so the header has a time column
    // even when it is written before the first stamp.
    MultiLog(std::vector<std::string> names, std::vector<std::string> units, const std::string& title,
             bool timeStamps = false);

    // One list of value texts per sensor, in the order of the names; the caller
    // appends. Rows written to the file are taken off the front.
    std::vector<std::deque<std::string>>& sensorValArray() { return sensorValArray_; }
    const std::filesystem::path& filePath() const { return filePath_; }

    // Appends the current time as "HH:mm:ss".
    void addTimeStamp();
    // Writes every row not yet on disk; false when the file is not complete.
    bool saveToFile();
    // While recording: the first call starts the file with its title and header,
    // later calls append the first `rows` rows held (at most as many as the
    // first sensor has values), which are then forgotten. False when the file
    // cannot be written: the rows wait, the oldest giving way past
    // CsvAppender::maxPendingRows.
    bool appendNewRows(std::size_t rows);
    // Rows held in memory, waiting to be written.
    std::size_t pendingRows() const;
    // Rows given up because the file could not be written.
    std::size_t lostRows() const { return lostRows_; }

private:
    std::string headerText() const;
    std::string rowText(std::size_t row) const;
    void dropRows(std::size_t rows);

    std::vector<std::string> names_;
    std::vector<std::string> units_;
    std::vector<std::deque<std::string>> sensorValArray_;
    std::deque<std::string> timeStampArr_;
    bool timeStamps_;
    std::size_t lostRows_ = 0;
    std::filesystem::path filePath_;
    CsvAppender appender_;
};
