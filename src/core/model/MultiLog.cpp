#include "core/model/MultiLog.h"

#include "core/model/CsvText.h"

#include <algorithm>

#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"

namespace {

// The title names a file in Documents; a slash in it (a sensor called
// "Air/fuel ratio") must not reach into another folder.
std::string fileNameFor(const std::string& title)
{
    return fnd::format("%s.csv", safeFileName(title));
}

const std::string& cell(const std::vector<std::string>& list, std::size_t row)
{
    static const std::string empty;
    return row < list.size() ? list[row] : empty;
}

}  // namespace

MultiLog::MultiLog(std::vector<std::string> names, std::vector<std::string> units, const std::string& title)
    : names_(std::move(names)),
      units_(std::move(units)),
      sensorValArray_(names_.size()),
      filePath_(fnd::Paths::documents() / fileNameFor(title))
{
}

void MultiLog::addTimeStamp()
{
    timeStampArr_.push_back(fnd::DateFormatter("HH:mm:ss").stringFromDate(fnd::Date::now()));
}

std::string MultiLog::headerText() const
{
    std::string text =
        "Norvale data log " + fnd::DateFormatter("MMM d, yyyy-HH:mm a").stringFromDate(fnd::Date::now()) + "\n";
    if (!timeStampArr_.empty())
        text += "Time,";
    for (std::size_t sensor = 0; sensor < names_.size(); ++sensor)
        text += csvField(fnd::format("%s (%s)", names_[sensor], cell(units_, sensor))) + ",";
    return text + "\n";
}

std::size_t MultiLog::rowCount() const
{
    return sensorValArray_.empty() ? 0 : sensorValArray_.front().size();
}

std::string MultiLog::rowText(std::size_t row) const
{
    static const std::vector<std::string> noValues;
    std::string text;
    if (!timeStampArr_.empty())
        text += csvField(cell(timeStampArr_, row)) + ",";
    for (std::size_t sensor = 0; sensor < names_.size(); ++sensor)
        text += csvField(cell(sensor < sensorValArray_.size() ? sensorValArray_[sensor] : noValues, row)) + ",";
    return text + "\n";
}

bool MultiLog::saveToFile() const
{
    std::string text = headerText();
    for (std::size_t row = 0; row < rowCount(); ++row)
        text += rowText(row);
    return fnd::writeFileAtomically(filePath_, text);
}

bool MultiLog::appendNewRows(std::size_t rows)
{
    return appender_.append(filePath_, std::min(rows, rowCount()), [this] { return headerText(); },
                            [this](std::size_t row) { return rowText(row); });
}
