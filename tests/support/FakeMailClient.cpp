#include "support/FakeMailClient.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include <unistd.h>

namespace testsupport {

namespace fs = std::filesystem;

namespace {

fs::path makeTemporaryFolder(const char* name)
{
    std::string pattern = (fs::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
    return ::mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
}

std::string currentPath()
{
    const char* path = std::getenv("PATH");
    return path ? path : "";
}

fs::path findOnPath(const std::string& program)
{
    std::istringstream folders(currentPath());
    std::error_code ignored;
    for (std::string folder; std::getline(folders, folder, ':');) {
        const fs::path candidate = fs::path(folder.empty() ? "." : folder) / program;
        if (fs::is_regular_file(candidate, ignored) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

void writeScript(const fs::path& file, const std::string& text)
{
    std::ofstream(file) << text;
    fs::permissions(file, fs::perms::owner_all, fs::perm_options::replace);
}

std::vector<std::string> lines(const fs::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

}  // namespace

FakeMailClient::FakeMailClient() : folder_(makeTemporaryFolder("norvale-mail")), real_(findOnPath("xdg-email")), path_(currentPath())
{
    // Each argument in brackets on a line of its own, so that an empty one shows; a line "call" before each.
    writeScript(folder_ / "xdg-email", "#!/bin/sh\n"
                                       "{ echo call; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } >> \"" +
                                           (folder_ / "calls").string() + "\"\nexec \"" + real_.string() +
                                           "\" \"$@\"\n");
    writeScript(folder_ / "xdg-email-hook.sh",
                "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + (folder_ / "opened").string() + "\"\n" +
                    "head -c \"$(cat \"" + (folder_ / "noise").string() + "\")\" /dev/zero >&2\n" +
                    "exit $(cat \"" + (folder_ / "answer").string() + "\")\n");
    setClientOpens(true);
    setClientErrorOutput(0);
    ::setenv("PATH", (folder_.string() + ":" + path_).c_str(), 1);
}

FakeMailClient::~FakeMailClient()
{
    ::setenv("PATH", path_.c_str(), 1);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void FakeMailClient::setClientOpens(bool opens)
{
    std::ofstream(folder_ / "answer") << (opens ? 0 : 1) << "\n";
}

void FakeMailClient::setClientErrorOutput(std::size_t bytes)
{
    std::ofstream(folder_ / "noise") << bytes << "\n";
}

std::vector<std::vector<std::string>> FakeMailClient::calls() const
{
    std::vector<std::vector<std::string>> result;
    for (const std::string& line : lines(folder_ / "calls")) {
        if (line == "call")
            result.emplace_back();
        else if (!result.empty() && line.size() >= 2)
            result.back().push_back(line.substr(1, line.size() - 2));
    }
    return result;
}

std::vector<std::string> FakeMailClient::opened() const { return lines(folder_ / "opened"); }

FakeMailClient::Missing::Missing() : path_(currentPath()), folder_(makeTemporaryFolder("norvale-no-mail"))
{
    ::setenv("PATH", folder_.c_str(), 1);
}

FakeMailClient::Missing::~Missing()
{
    ::setenv("PATH", path_.c_str(), 1);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

}  // namespace testsupport
