#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/foundation/Paths.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

fs::path envPath(const char* name, const fs::path& fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? fs::path(value) : fallback;
}

}  // namespace

fs::path artifactsDir()
{
    const fs::path folder = envPath("NORVALE_ARTIFACTS", fs::current_path() / "test-artifacts");
    fs::create_directories(folder);
    return folder;
}

fs::path sourceDir()
{
    // Given by the build: compilers may name this file by a path relative to the build folder.
    return NORVALE_SOURCE_DIR;
}

fs::path testDataDir()
{
    return envPath("NORVALE_TEST_DATA", sourceDir() / "tests" / "data");
}

fs::path resourcesDir()
{
    return envPath("NORVALE_RESOURCES", sourceDir() / "resources");
}

fs::path programHome()
{
    static const fs::path home = envPath("NORVALE_HOME", {});
    return home;
}

fs::path freshDocuments()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "outside-test";
    for (char& c : name)
        if (c == '/')
            c = '_';
    fs::path home = programHome() / "tests" / name;
    for (int n = 2; fs::exists(home); ++n)
        home = programHome() / "tests" / (name + "-" + std::to_string(n));
    fs::create_directories(home);
    ::setenv("NORVALE_HOME", home.c_str(), 1);
    return fnd::Paths::documents();
}

std::size_t peakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stoul(line.substr(6)) * 1024;  // in kB
    return 0;
}

}  // namespace testsupport
