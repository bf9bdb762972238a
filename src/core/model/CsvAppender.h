#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

// Writes a CSV file as its rows are recorded, so a crash keeps what was
// already written: the first call replaces any older file with the header,
// later calls append only the rows not yet written.
class CsvAppender {
public:
    // Writes the rows below `rows` not yet on disk; `header` is asked for only
    // when the file is started. False when the file cannot be written (the
    // same rows are tried again next time).
    bool append(const std::filesystem::path& file, std::size_t rows, const std::function<std::string()>& header,
                const std::function<std::string(std::size_t row)>& rowText);

private:
    bool fileStarted_ = false;
    std::size_t rowsWritten_ = 0;
};
