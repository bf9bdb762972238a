#include "core/model/CsvAppender.h"

#include "core/model/CsvText.h"
#include "platform/foundation/FileIO.h"

bool CsvAppender::append(const std::filesystem::path& file, std::size_t rows,
                         const std::function<std::string()>& header,
                         const std::function<std::string(std::size_t row)>& rowText)
{
    if (!fileStarted_) {
        if (!fnd::writeFileAtomically(file, header()))
            return false;
        fileStarted_ = true;
    }
    if (rows <= rowsWritten_)
        return true;
    std::string text;
    for (std::size_t row = rowsWritten_; row < rows; ++row)
        text += rowText(row);
    if (!appendToFile(file, text))
        return false;
    rowsWritten_ = rows;
    return true;
}
