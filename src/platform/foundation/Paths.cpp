#include "platform/foundation/Paths.h"

#include <cstdlib>
#include <system_error>

namespace fnd {

namespace fs = std::filesystem;

namespace {

fs::path fromEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? fs::path(value) : fs::path();
}

fs::path created(fs::path folder)
{
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return folder;
}

bool isResourceFolder(const fs::path& folder)
{
    std::error_code ignored;
    return fs::is_directory(folder / "strings", ignored);
}

}  // namespace

fs::path Paths::home()
{
    if (auto home = fromEnv("NORVALE_HOME"); !home.empty())
        return created(home);
    if (auto data = fromEnv("XDG_DATA_HOME"); !data.empty())
        return created(data / "Norvale");
    if (auto user = fromEnv("HOME"); !user.empty())
        return created(user / ".local" / "share" / "Norvale");
    return created(fs::temp_directory_path() / "Norvale");
}

fs::path Paths::documents()
{
    return created(home() / "Documents");
}

fs::path Paths::resources()
{
    if (auto resources = fromEnv("NORVALE_RESOURCES"); !resources.empty())
        return resources;
    std::error_code error;
    const fs::path exeDir = fs::read_symlink("/proc/self/exe", error).parent_path();
    if (!error) {
        for (const auto& candidate : {exeDir / ".." / "resources", exeDir / "resources",
                                      exeDir / ".." / ".." / "resources", exeDir / ".." / "share" / "norvale"}) {
            if (isResourceFolder(candidate))
                return fs::weakly_canonical(candidate, error);
        }
    }
    // A developer build run from anywhere: the source tree it was built from.
    return NORVALE_SOURCE_RESOURCES;
}

}  // namespace fnd
