#pragma once

#include <filesystem>
#include <string>

// A CSV field as written: as it stands, or in double quotes (with inner quotes
// doubled) when it holds a comma, a quote or a line break.
std::string csvField(const std::string& text);

// A name made safe as a file name in Documents: path separators and the
// characters file systems refuse become "-".
std::string safeFileName(std::string name);

// Appends UTF-8 text to a file (created when missing) and flushes it; false,
// with the file as it was, when it cannot be written.
bool appendToFile(const std::filesystem::path& file, const std::string& text);
