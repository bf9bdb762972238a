#include "dashcam/PendingMovie.h"

#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/media/MediaModule.h"
#include "platform/media/PhotoAlbum.h"

#include <fstream>

namespace {

constexpr std::string_view markerEnding = ".pending";

fnd::DispatchQueue& probeQueue()
{
    static fnd::DispatchQueue queue("movie-probe");
    return queue;
}

}  // namespace

PendingMovie::PendingMovie(std::filesystem::path movie)
    : movie_(std::move(movie)), marker_(movie_.string() + std::string(markerEnding))
{
}

bool PendingMovie::mark() const { return static_cast<bool>(std::ofstream(marker_)); }

void PendingMovie::recordingStarted() const
{
    if (!mark())
        fnd::log(fnd::LogLevel::Warning, "dash camera: cannot mark " + movie_.string() + " as pending");
}

bool PendingMovie::isLeft() const
{
    std::error_code ignored;
    return std::filesystem::exists(marker_, ignored) && std::filesystem::is_regular_file(movie_, ignored);
}

void PendingMovie::hasFrames(std::function<void(std::optional<bool> frames)> told) const
{
    probeQueue().async([movie = movie_, told = std::move(told)] {
        fnd::DispatchQueue::main().async([told, frames = media::movieHasVideoFrames(movie)] { told(frames); });
    });
}

void PendingMovie::saveToAlbum(std::function<void(bool saved, const std::string& error)> done) const
{
    copyToAlbum(false, std::move(done));
}

void PendingMovie::moveToAlbum(std::function<void(bool saved, const std::string& error)> done) const
{
    copyToAlbum(true, std::move(done));
}

void PendingMovie::copyToAlbum(bool removeWhenSaved,
                               std::function<void(bool saved, const std::string& error)> done) const
{
    media::PhotoAlbum::saveVideo(movie_, [*this, removeWhenSaved, done = std::move(done)](const auto& saved,
                                                                                          const std::string& error) {
        // A movie that did not reach the album stays pending, so that nothing records over it.
        if (saved && removeWhenSaved)
            discard();
        else if (saved)
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

std::optional<PendingMovie> PendingMovie::moveAside(std::string& error) const
{
    namespace fs = std::filesystem;
    const fs::path folder = movie_.parent_path();
    const std::string stamp = fnd::DateFormatter("yyyy-MM-dd HH.mm.ss").stringFromDate(fnd::Date::now());
    std::error_code failure;
    for (int n = 1; n < 100; ++n) {
        const std::string count = n > 1 ? " " + std::to_string(n) : "";
        const PendingMovie aside(folder / (movie_.stem().string() + " " + stamp + count + movie_.extension().string()));
        if (fs::exists(aside.movie_, failure) || fs::exists(aside.marker_, failure))
            continue;
        // Marked before it moves: stopped half-way, the movie is still pending under one name or both.
        if (!aside.mark()) {
            error = "cannot write in " + folder.string();
            return std::nullopt;
        }
        fs::rename(movie_, aside.movie_, failure);
        if (failure) {
            aside.settle();
            error = failure.message();
            return std::nullopt;
        }
        settle();
        return aside;
    }
    error = "no free name left in " + folder.string();
    return std::nullopt;
}

std::vector<PendingMovie> PendingMovie::movedAside() const
{
    const std::string start = movie_.stem().string() + " ";
    const std::string ending = movie_.extension().string() + std::string(markerEnding);
    std::vector<PendingMovie> movies;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(movie_.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(start) || !name.ends_with(ending))
            continue;
        PendingMovie aside(movie_.parent_path() / name.substr(0, name.size() - markerEnding.size()));
        if (aside.isLeft())
            movies.push_back(std::move(aside));
    }
    return movies;
}
