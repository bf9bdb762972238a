#pragma once

#include <filesystem>
#include <optional>
#include <string>

// What the screens may ask of the media layer's FFmpeg module (libnorvale_media_ffmpeg.so) itself.
namespace media {

// Whether cameras, microphones and movie writers can work: their module opens. When it cannot, `why`
// says why (the file is missing or broken).
bool isAvailable(std::string* why = nullptr);

// Whether the movie holds at least one video frame that can be read back. A movie cut short keeps the
// frames of its whole fragments; one cut before its first fragment, or no file, hold none. Without the
// module it cannot be told (nullopt).
std::optional<bool> movieHasVideoFrames(const std::filesystem::path& movie);

}  // namespace media
