// html5lib-runner DIR: runs every html5lib tokenizer (.test) and
// tree-construction (.dat) file below DIR and ends with the totals.

#include "SuiteStats.h"
#include "TokenizerSuite.h"
#include "TreeConstructionSuite.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: html5lib-runner DIR\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (auto entry = std::filesystem::recursive_directory_iterator(folder, error);
         !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error)) {
        if (entry->is_regular_file())
            files.push_back(entry->path());
    }
    if (error) {
        std::cerr << "html5lib-runner: cannot read " << folder << ": " << error.message() << "\n";
        return 2;
    }
    std::sort(files.begin(), files.end());
    SuiteStats stats;
    for (const std::filesystem::path& file : files) {
        if (file.extension() == ".test")
            RunTokenizerFile(file, stats);
        else if (file.extension() == ".dat")
            RunTreeConstructionFile(file, stats);
    }
    for (const auto& [rule, count] : stats.skipsByRule)
        std::cout << "skip rule: " << rule << ": " << count << "\n";
    std::cout << stats.passed << " passed, " << stats.failed << " failed, " << stats.skipped << " skipped\n";
    return stats.failed == 0 ? 0 : 1;
}
