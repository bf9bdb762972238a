#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace walker {

// A finding the walker expects while its mend is under way elsewhere.
struct KnownFault {
    std::string shape;   // "phone", "landscape", "pad" or "*"
    std::string screen;  // as the walker names it; a trailing '*' matches any ending
    std::string check;
    std::string note;    // the fault, in a few words

    bool matches(const std::string& shape, const std::string& screen, const std::string& check) const;
};

// One fault a line: shape | screen | check | note. Blank lines and lines from '#' are left out.
std::vector<KnownFault> readKnownFaults(const std::filesystem::path& file);
// The list kept beside the walker: known-faults.txt.
std::vector<KnownFault> knownFaults();

}  // namespace walker
