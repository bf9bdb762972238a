#include "logging/ScanLog.h"

#include <algorithm>

#include "core/model/CsvText.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"

ScanLog::ScanLog(const std::string& name, const std::string& units)
    : sensorName_(fnd::format("%s in %s", name, units)),
      filePath_(fnd::Paths::documents() / fnd::format("%s.csv", safeFileName(name)))
{
}

void ScanLog::addTimeStamp()
{
    timeArr_.push_back(fnd::DateFormatter("HH:mm:ss").stringFromDate(fnd::Date::now()));
}

std::string ScanLog::valueText(float value)
{
    return fnd::format("%.7g", static_cast<double>(value));
}

std::string ScanLog::rowText(std::size_t row, bool stamped) const
{
    if (stamped)
        return fnd::format("%s, %s\n", timeArr_[row], valueText(dataArr_[row]));
    return valueText(dataArr_[row]) + "\n";
}

bool ScanLog::appendNewRows(bool stamped)
{
    const std::size_t rows = stamped ? std::min(timeArr_.size(), dataArr_.size()) : dataArr_.size();
    return appender_.append(filePath_, rows, [this] { return csvField(sensorName_) + "\n"; },
                            [this, stamped](std::size_t row) { return rowText(row, stamped); });
}

bool ScanLog::saveToFile() const
{
    const bool stamped = !timeArr_.empty();
    const std::size_t rows = stamped ? std::min(timeArr_.size(), dataArr_.size()) : dataArr_.size();
    std::string text = csvField(sensorName_) + "\n";
    for (std::size_t row = 0; row < rows; ++row)
        text += rowText(row, stamped);
    return fnd::writeFileAtomically(filePath_, text);
}
