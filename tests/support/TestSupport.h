#pragma once

#include <cstddef>
#include <filesystem>

// Helpers for every test program. TestMain sets the stage: offscreen Qt, the
// run loop on its manual clock, NORVALE_HOME in a fresh temporary folder, and
// system sounds recorded but silent.
namespace testsupport {

// $NORVALE_ARTIFACTS (created): where tests keep what they rendered.
std::filesystem::path artifactsDir();
// The source tree, wherever the test runs from.
std::filesystem::path sourceDir();
// $NORVALE_TEST_DATA, else the fixtures in the source tree's tests/data.
std::filesystem::path testDataDir();
// $NORVALE_RESOURCES, else the source tree's resources.
std::filesystem::path resourcesDir();
// The temporary folder this test program was given as NORVALE_HOME.
std::filesystem::path programHome();
// Points NORVALE_HOME at a new empty folder for the running test and returns its
// Documents folder (created), so each test starts with nothing saved.
std::filesystem::path freshDocuments();
// The most memory this test program has held at once, for checks that input is not kept whole.
std::size_t peakResidentBytes();

}  // namespace testsupport
