#include "core/model/CsvText.h"

#include <algorithm>
#include <fstream>
#include <string_view>

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string safeFileName(std::string name)
{
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            c = '-';
    }
    if (name.empty() || name == "." || name == "..")
        name = "-" + name;
    return name;
}

bool appendToFile(const std::filesystem::path& file, const std::string& text)
{
    std::error_code error;
    const auto size = std::filesystem::exists(file, error) ? std::filesystem::file_size(file, error) : 0;
    if (error)
        return false;
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out << text;
    out.flush();
    if (out)
        return true;
    out.close();
    // A full disk may have taken part of the text: cut it off, so the next try
    // does not leave half a row in the file.
    std::filesystem::resize_file(file, size, error);
    return false;
}
