#include "app/walker/KnownFaults.h"

#include <fstream>
#include <sstream>

#include "support/TestSupport.h"

namespace walker {

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

bool KnownFault::matches(const std::string& onShape, const std::string& onScreen, const std::string& failed) const
{
    if (shape != "*" && shape != onShape)
        return false;
    if (check != failed)
        return false;
    if (screen.ends_with('*'))
        return onScreen.starts_with(screen.substr(0, screen.size() - 1));
    return screen == onScreen;
}

std::vector<KnownFault> readKnownFaults(const std::filesystem::path& file)
{
    std::vector<KnownFault> faults;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, '|');)
            fields.push_back(trimmed(field));
        if (fields.size() == 4)
            faults.push_back({fields[0], fields[1], fields[2], fields[3]});
    }
    return faults;
}

std::vector<KnownFault> knownFaults()
{
    return readKnownFaults(testsupport::sourceDir() / "tests" / "app" / "walker" / "known-faults.txt");
}

}  // namespace walker
