#include "core/model/MultiLog.h"

#include <algorithm>

#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"

namespace {

// The title names a file in Documents; a slash in it (a sensor called
// "Air/fuel ratio") must not reach into another folder.
std::string fileNameFor(std::string title)
{
    std::replace(title.begin(), title.end(), '/', '-');
    return fnd::format("%s.csv", title);
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

bool MultiLog::saveToFile() const
{
    static const std::vector<std::string> noValues;
    const bool stamped = !timeStampArr_.empty();
    std::string text =
        "Norvale data log " + fnd::DateFormatter("MMM d, yyyy-HH:mm a").stringFromDate(fnd::Date::now()) + "\n";
    if (stamped)
        text += "Time,";
    for (std::size_t sensor = 0; sensor < names_.size(); ++sensor)
        text += fnd::format("%s (%s),", names_[sensor], cell(units_, sensor));
    text += "\n";

    const std::size_t rows = sensorValArray_.empty() ? 0 : sensorValArray_.front().size();
    for (std::size_t row = 0; row < rows; ++row) {
        if (stamped)
            text += cell(timeStampArr_, row) + ",";
        for (std::size_t sensor = 0; sensor < names_.size(); ++sensor)
            text += cell(sensor < sensorValArray_.size() ? sensorValArray_[sensor] : noValues, row) + ",";
        text += "\n";
    }
    return fnd::writeFileAtomically(filePath_, text);
}
