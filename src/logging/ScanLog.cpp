#include "logging/ScanLog.h"

#include <algorithm>

#include "core/model/CsvText.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"

ScanLog::ScanLog(const std::string& name, const std::string& units, const std::string& fileName)
    : sensorName_(fnd::format("%s in %s", name, units)),
      filePath_(fnd::Paths::documents() / fnd::format("%s.csv", safeFileName(fileName.empty() ? name : fileName)))
{
}

void ScanLog::addValue(float value)
{
    dataArr_.push_back(value);
}

void ScanLog::addTimeStamp()
{
    stamped_ = true;
    timeArr_.push_back(fnd::DateFormatter("HH:mm:ss").stringFromDate(fnd::Date::now()));
}

void ScanLog::dropOverflow()
{
    if (dataArr_.size() <= CsvAppender::maxPendingRows)
        return;
    const std::size_t excess = dataArr_.size() - CsvAppender::maxPendingRows;
    dataArr_.erase(dataArr_.begin(), dataArr_.begin() + static_cast<std::ptrdiff_t>(excess));
    timeArr_.erase(timeArr_.begin(), timeArr_.begin() + static_cast<std::ptrdiff_t>(std::min(excess, timeArr_.size())));
    lostRows_ += excess;
}

std::string ScanLog::valueText(float value)
{
    return fnd::format("%.7g", static_cast<double>(value));
}

bool ScanLog::appendNewRows(bool stamped)
{
    const std::size_t rows = stamped ? std::min(timeArr_.size(), dataArr_.size()) : dataArr_.size();
    std::string text;
    for (std::size_t row = 0; row < rows; ++row) {
        if (stamped)
            text += fnd::format("%s, %s\n", timeArr_[row], valueText(dataArr_[row]));
        else
            text += valueText(dataArr_[row]) + "\n";
    }
    if (!appender_.append(filePath_, [this] { return csvField(sensorName_) + "\n"; }, text)) {
        dropOverflow();
        return false;
    }
    dataArr_.erase(dataArr_.begin(), dataArr_.begin() + static_cast<std::ptrdiff_t>(rows));
    if (stamped)
        timeArr_.erase(timeArr_.begin(), timeArr_.begin() + static_cast<std::ptrdiff_t>(rows));
    return true;
}

bool ScanLog::saveToFile()
{
    return appendNewRows(stamped_) && lostRows_ == 0;
}
