#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

// Writes a CSV file as its rows are recorded, so a crash keeps what was
// already written and the rows need not stay in memory: the first call starts
// the file with its header, later calls append. A file an earlier recording
// left under the same name is kept, moved aside (see keepAside).
class CsvAppender {
public:
    // Appends `rows` (text of whole rows); `header` is asked for only when the
    // file is started. False when the file cannot be written, or an earlier
    // file in its place cannot be kept: the caller keeps the rows for the next try.
    bool append(const std::filesystem::path& file, const std::function<std::string()>& header,
                const std::string& rows);

    // Moves an earlier log out of the way of a new one, as "<name> <time>.csv" beside it, <time> being
    // when that log was last written ("yyyy-MM-dd HH-mm-ss"). Nothing to do when there is no such file;
    // false when it is there and cannot be moved. Only a plain file is moved: a link or a folder in the
    // way stays, and the new file fails to start there.
    static bool keepAside(const std::filesystem::path& file);

    // Rows a log keeps while its file cannot be written; older ones give way.
    static constexpr std::size_t maxPendingRows = 10000;

private:
    bool fileStarted_ = false;
};
