#include "platform/foundation/Module.h"

#include <dlfcn.h>

#include <vector>

namespace fnd {

namespace {

std::filesystem::path executableFolder()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

}  // namespace

void* openModuleEntry(const std::string& fileName, const std::filesystem::path& buildFolder, const char* entry,
                      std::string& error)
{
    std::vector<std::filesystem::path> candidates;
    if (const auto folder = executableFolder(); !folder.empty())
        candidates.push_back(folder / fileName);
    candidates.push_back(buildFolder / fileName);
    for (const auto& path : candidates) {
        std::error_code ignored;
        if (!std::filesystem::exists(path, ignored))
            continue;
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            error = dlerror();
            return nullptr;
        }
        if (void* address = dlsym(module, entry))
            return address;
        error = path.string() + " is not Norvale's " + fileName;
        return nullptr;
    }
    error = "cannot find " + fileName + " next to the program or in " + buildFolder.string();
    return nullptr;
}

}  // namespace fnd
