#include "core/model/CsvAppender.h"

#include <chrono>
#include <system_error>

#include "core/model/CsvText.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"

namespace fs = std::filesystem;

namespace {

std::string lastWrittenText(const fs::path& file)
{
    std::error_code error;
    const auto written = fs::last_write_time(file, error);
    if (error)
        return "earlier";
    const auto seconds =
        std::chrono::duration<double>(std::chrono::file_clock::to_sys(written).time_since_epoch());
    return fnd::DateFormatter("yyyy-MM-dd HH-mm-ss").stringFromDate(fnd::Date{seconds.count()});
}

}  // namespace

bool CsvAppender::keepAside(const fs::path& file)
{
    std::error_code error;
    if (fs::symlink_status(file, error).type() != fs::file_type::regular)
        return true;
    const std::string stem = file.stem().string() + " " + lastWrittenText(file);
    fs::path aside = file.parent_path() / (stem + file.extension().string());
    for (int n = 2; fs::exists(fs::symlink_status(aside, error)); ++n)
        aside = file.parent_path() / fnd::format("%s %d%s", stem, n, file.extension().string());
    fs::rename(file, aside, error);
    if (error) {
        fnd::log(fnd::LogLevel::Error, "could not keep " + file.string() + " aside: " + error.message());
        return false;
    }
    return true;
}

bool CsvAppender::append(const fs::path& file, const std::function<std::string()>& header, const std::string& rows)
{
    if (!fileStarted_) {
        if (!keepAside(file) || !fnd::writeFileAtomically(file, header()))
            return false;
        fileStarted_ = true;
    }
    return rows.empty() || appendToFile(file, rows);
}
