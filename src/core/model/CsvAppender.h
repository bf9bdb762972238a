#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

// Writes a CSV file as its rows are recorded, so a crash keeps what was
// already written and the rows need not stay in memory: the first call
// replaces any older file with the header, later calls append.
class CsvAppender {
public:
    // Appends `rows` (text of whole rows); `header` is asked for only when the
    // file is started. False when the file cannot be written: the caller keeps
    // the rows for the next try.
    bool append(const std::filesystem::path& file, const std::function<std::string()>& header,
                const std::string& rows);

    // Rows a log keeps while its file cannot be written; older ones give way.
    static constexpr std::size_t maxPendingRows = 10000;

private:
    bool fileStarted_ = false;
};
