#include "dashcam/PendingMovie.h"

#include "platform/foundation/Log.h"
#include "platform/media/MediaModule.h"
#include "platform/media/PhotoAlbum.h"

#include <fstream>

PendingMovie::PendingMovie(std::filesystem::path movie)
    : movie_(std::move(movie)), marker_(movie_.string() + ".pending")
{
}

void PendingMovie::recordingStarted() const
{
    if (!std::ofstream(marker_))
        fnd::log(fnd::LogLevel::Warning, "dash camera: cannot mark " + movie_.string() + " as pending");
}

bool PendingMovie::isLeft() const
{
    std::error_code ignored;
    return std::filesystem::exists(marker_, ignored) && std::filesystem::is_regular_file(movie_, ignored);
}

std::optional<bool> PendingMovie::hasFrames() const { return media::movieHasVideoFrames(movie_); }

void PendingMovie::saveToAlbum(std::function<void(bool saved, const std::string& error)> done) const
{
    media::PhotoAlbum::saveVideo(movie_, [*this, done = std::move(done)](const auto& saved, const std::string& error) {
        // A movie that did not reach the album stays pending, so that nothing records over it.
        if (saved)
            settle();
        else
            fnd::log(fnd::LogLevel::Error, "dash camera album copy: " + error);
        done(saved.has_value(), error);
    });
}

void PendingMovie::settle() const
{
    std::error_code ignored;
    std::filesystem::remove(marker_, ignored);
}

void PendingMovie::discard() const
{
    std::error_code ignored;
    std::filesystem::remove(movie_, ignored);
    settle();
}
