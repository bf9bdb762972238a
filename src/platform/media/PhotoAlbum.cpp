#include "platform/media/PhotoAlbum.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/FileIO.h"

namespace media {

namespace {

namespace fs = std::filesystem;

constexpr const char* albumName = "Norvale";

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A folder named in ~/.config/user-dirs.dirs, as XDG_PICTURES_DIR="$HOME/Pictures".
std::optional<fs::path> userDir(const std::string& key, const fs::path& home)
{
    const std::string configHome = environment("XDG_CONFIG_HOME");
    const fs::path config = configHome.empty() ? home / ".config" : fs::path(configHome);
    std::ifstream file(config / "user-dirs.dirs");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(key + "=", 0) != 0)
            continue;
        std::string value = line.substr(key.size() + 1);
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            return std::nullopt;
        value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            return home / fs::path(value.substr(5)).relative_path();
        if (!value.empty() && value.front() == '/')
            return fs::path(value);
        return std::nullopt;
    }
    return std::nullopt;
}

fs::path albumFolder(const char* key, const char* fallback)
{
    if (const std::string home = environment("NORVALE_HOME"); !home.empty())
        return fs::path(home) / fallback / albumName;
    const fs::path home = environment("HOME");
    return userDir(key, home).value_or(home / fallback) / albumName;
}

fnd::DispatchQueue& workQueue()
{
    static fnd::DispatchQueue queue("album");
    return queue;
}

// "Norvale 2024-05-01 12.34.56", made on the main thread (the formatter is not shared).
std::string baseName()
{
    return std::string(albumName) + " " + fnd::DateFormatter("yyyy-MM-dd HH.mm.ss").stringFromDate(fnd::Date::now());
}

// Gives the finished file `temp` the first free name of base + extension,
// base + " 2" + extension, ...; a hard link never replaces a file that exists.
std::optional<fs::path> placeUnderFreeName(const fs::path& temp, const std::string& base, const std::string& extension,
                                           std::string& error)
{
    const fs::path folder = temp.parent_path();
    for (int n = 1; n < 10000; ++n) {
        const std::string suffix = n == 1 ? "" : " " + std::to_string(n);
        const fs::path target = folder / (base + suffix + extension);
        if (::link(temp.c_str(), target.c_str()) == 0) {
            ::unlink(temp.c_str());
            return target;
        }
        if (errno != EEXIST) {
            error = "Cannot save " + target.string() + ": " + std::strerror(errno);
            break;
        }
    }
    if (error.empty())
        error = "No free name left in " + folder.string();
    ::unlink(temp.c_str());
    return std::nullopt;
}

fs::path tempFileIn(const fs::path& folder)
{
    static int serial = 0;  // used on the album queue only
    return folder / (".saving-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
}

void finish(const PhotoAlbum::Completion& completion, std::optional<fs::path> saved, std::string error)
{
    if (completion)
        fnd::DispatchQueue::main().async(
            [completion, saved = std::move(saved), error = std::move(error)] { completion(saved, error); });
}

}  // namespace

fs::path PhotoAlbum::picturesFolder()
{
    return albumFolder("XDG_PICTURES_DIR", "Pictures");
}

fs::path PhotoAlbum::videosFolder()
{
    return albumFolder("XDG_VIDEOS_DIR", "Videos");
}

void PhotoAlbum::saveImage(const ui::Image& image, Completion completion)
{
    workQueue().async([image, completion = std::move(completion), folder = picturesFolder(), base = baseName()] {
        if (image.isNull())
            return finish(completion, std::nullopt, "There is no image to save");
        const fs::path temp = tempFileIn(folder);
        if (!fnd::writeFileAtomically(temp, image.pngData()))
            return finish(completion, std::nullopt, "Cannot write to " + folder.string());
        std::string error;
        auto saved = placeUnderFreeName(temp, base, ".png", error);
        finish(completion, std::move(saved), std::move(error));
    });
}

void PhotoAlbum::saveVideo(const fs::path& file, Completion completion)
{
    workQueue().async([file, completion = std::move(completion), folder = videosFolder(), base = baseName()] {
        std::error_code failure;
        if (!fs::is_regular_file(file, failure))
            return finish(completion, std::nullopt, "There is no file " + file.string());
        fs::create_directories(folder, failure);
        const fs::path temp = tempFileIn(folder);
        if (!fs::copy_file(file, temp, fs::copy_options::overwrite_existing, failure)) {
            fs::remove(temp, failure);
            return finish(completion, std::nullopt, "Cannot copy " + file.string() + " to " + folder.string());
        }
        std::string error;
        auto saved = placeUnderFreeName(temp, base, file.extension().string(), error);
        finish(completion, std::move(saved), std::move(error));
    });
}

}  // namespace media
