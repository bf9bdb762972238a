#pragma once

#include <filesystem>
#include <string>

#include "platform/foundation/Log.h"

namespace fnd {

// Opens one of the program's own modules (shared objects it loads when first needed, so that what they
// link stays out of start-up): next to the executable (an installed or copied program), else in
// `buildFolder` (tests and benchmarks run from their own build folders). A module is never closed: its
// threads and objects may live until the program ends. The address of its `entry` symbol; nullptr when
// it cannot be opened, with `error` saying why.
void* openModuleEntry(const std::string& fileName, const std::filesystem::path& buildFolder, const char* entry,
                      std::string& error);

// The backend a module's `entry` function hands out; when there is none, `error` says why.
template <typename Backend>
struct ModuleBackend {
    Backend* backend = nullptr;
    std::string error;
};

// Opens the module and asks its `entry` function for the backend; a failure is logged under `subject`.
template <typename Backend>
ModuleBackend<Backend> loadModuleBackend(const std::string& fileName, const std::filesystem::path& buildFolder,
                                         const char* entry, const std::string& subject)
{
    ModuleBackend<Backend> loaded;
    if (void* address = openModuleEntry(fileName, buildFolder, entry, loaded.error))
        loaded.backend = reinterpret_cast<Backend* (*)()>(address)();
    else
        log(LogLevel::Error, subject + ": " + loaded.error);
    return loaded;
}

}  // namespace fnd
