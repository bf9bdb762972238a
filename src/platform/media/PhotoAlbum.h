#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/ui/Image.h"

namespace media {

// The user's photo album: copies go into a "Norvale" folder inside the
// user's pictures or videos folder (XDG_PICTURES_DIR / XDG_VIDEOS_DIR from
// user-dirs.dirs, else ~/Pictures and ~/Videos; below $NORVALE_HOME instead
// of the home folder when that is set). Every copy gets a name of its own,
// nothing is ever replaced, and the source file stays where it is. The work
// runs off the main thread; the completion comes back on it.
class PhotoAlbum {
public:
    // The file saved, or nullopt with a message saying why not.
    using Completion = std::function<void(const std::optional<std::filesystem::path>& saved, const std::string& error)>;

    // The image as PNG, named "Norvale <date and time>.png".
    static void saveImage(const ui::Image& image, Completion completion = {});
    // A copy of the movie (or any file), named "Norvale <date and time>" with the file's extension.
    static void saveVideo(const std::filesystem::path& file, Completion completion = {});

    static std::filesystem::path picturesFolder();
    static std::filesystem::path videosFolder();
};

}  // namespace media
