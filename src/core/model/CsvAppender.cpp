#include "core/model/CsvAppender.h"

#include "core/model/CsvText.h"
#include "platform/foundation/FileIO.h"

bool CsvAppender::append(const std::filesystem::path& file, const std::function<std::string()>& header,
                         const std::string& rows)
{
    if (!fileStarted_) {
        if (!fnd::writeFileAtomically(file, header()))
            return false;
        fileStarted_ = true;
    }
    return rows.empty() || appendToFile(file, rows);
}
