#include "core/model/FuelLog.h"

#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"

namespace {

// A label as one CSV field: day keys such as "Dec 7, 2024" hold a comma.
std::string quoted(const std::string& label)
{
    std::string field = "\"";
    for (const char c : label) {
        if (c == '"')
            field += '"';
        field += c;
    }
    return field + "\"";
}

}  // namespace

FuelLog::FuelLog(std::vector<std::string> labels, std::vector<std::vector<float>> columns, std::string header)
    : labels_(std::move(labels)),
      columns_(std::move(columns)),
      header_(std::move(header)),
      filePath_(fnd::Paths::documents() / "Fuel_eco_DATA.csv")
{
}

bool FuelLog::saveToFile() const
{
    std::string text = header_ + "\n";
    for (std::size_t row = 0; row < labels_.size(); ++row) {
        text += quoted(labels_[row]) + ", ";
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            if (row < columns_[column].size())
                text += fnd::format("%.1f", columns_[column][row]);
            if (column + 1 < columns_.size())
                text += ", ";
        }
        text += "\n";
    }
    return fnd::writeFileAtomically(filePath_, text);
}
