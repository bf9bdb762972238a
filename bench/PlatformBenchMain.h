#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/foundation/RunLoop.h"

// main() of a benchmark that needs the platform (fonts, drawing, the run loop): an empty home of its
// own, offscreen Qt, then the benchmarks.
inline int runPlatformBenchmarks(int argc, char** argv, const std::string& homeName)
{
    const auto home = std::filesystem::temp_directory_path() / homeName;
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    setenv("NORVALE_HOME", home.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    fnd::initPlatform(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fnd::shutdownPlatform();
    return 0;
}
