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

template <typename List>
const std::string& cell(const List& list, std::size_t row)
{
    static const std::string empty;
    return row < list.size() ? list[row] : empty;
}

}  // namespace

MultiLog::MultiLog(std::vector<std::string> names, std::vector<std::string> units, const std::string& title,
                   bool timeStamps)
    : names_(std::move(names)),
      units_(std::move(units)),
      sensorValArray_(names_.size()),
      timeStamps_(timeStamps),
      filePath_(fnd::Paths::documents() / fileNameFor(title))
{
}

void MultiLog::addTimeStamp()
{
    timeStamps_ = true;
    timeStampArr_.push_back(fnd::DateFormatter("HH:mm:ss").stringFromDate(fnd::Date::now()));
}

std::string MultiLog::headerText() const
{
    std::string text =
        "Norvale data log " + fnd::DateFormatter("MMM d, yyyy-HH:mm a").stringFromDate(fnd::Date::now()) + "\n";
    if (timeStamps_)
        text += "Time,";
    for (std::size_t sensor = 0; sensor < names_.size(); ++sensor)
        text += csvField(fnd::format("%s (%s)", names_[sensor], cell(units_, sensor))) + ",";
    return text + "\n";
}

std::size_t MultiLog::pendingRows() const
{
    return sensorValArray_.empty() ? 0 : sensorValArray_.front().size();
}

std::string MultiLog::rowText(std::size_t row) const
{
    std::string text;
    if (timeStamps_)
        text += csvField(cell(timeStampArr_, row)) + ",";
    for (const auto& values : sensorValArray_)
        text += csvField(cell(values, row)) + ",";
    return text + "\n";
}

void MultiLog::dropRows(std::size_t rows)
{
    const auto dropFront = [rows](std::deque<std::string>& list) {
        list.erase(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(std::min(rows, list.size())));
    };
    for (auto& values : sensorValArray_)
        dropFront(values);
    dropFront(timeStampArr_);
}

bool MultiLog::saveToFile()
{
    return appendNewRows(pendingRows()) && lostRows_ == 0;
}

bool MultiLog::appendNewRows(std::size_t rows)
{
    rows = std::min(rows, pendingRows());
    std::string text;
    for (std::size_t row = 0; row < rows; ++row)
        text += rowText(row);
    if (appender_.append(filePath_, [this] { return headerText(); }, text)) {
        dropRows(rows);
        return true;
    }
    if (pendingRows() > CsvAppender::maxPendingRows) {
        const std::size_t excess = pendingRows() - CsvAppender::maxPendingRows;
        dropRows(excess);
        lostRows_ += excess;
    }
    return false;
}
