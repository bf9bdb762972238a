#pragma once

#include <map>
#include <string>

// Counts kept while the runner goes through the conformance files. Every
// skipped test names the departure rule that explains it.
struct SuiteStats {
    int passed = 0;
    int failed = 0;
    int skipped = 0;
    std::map<std::string, int> skipsByRule;

    void skip(const std::string& rule)
    {
        ++skipped;
        ++skipsByRule[rule];
    }
};
