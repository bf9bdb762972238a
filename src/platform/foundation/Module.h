#pragma once

#include <filesystem>
#include <string>

namespace fnd {

// Opens one of the program's own modules (shared objects it loads when first needed, so that what they
// link stays out of start-up): next to the executable (an installed or copied program), else in
// `buildFolder` (tests and benchmarks run from their own build folders). A module is never closed: its
// threads and objects may live until the program ends. The address of its `entry` symbol; nullptr when
// it cannot be opened, with `error` saying why.
void* openModuleEntry(const std::string& fileName, const std::filesystem::path& buildFolder, const char* entry,
                      std::string& error);

}  // namespace fnd
